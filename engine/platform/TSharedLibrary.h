#pragma once

#include <memory>
#include <string>

// A native code library loaded at run time (plug-in modules, the test hook).
class TSharedLibrary
{
public:
    // Loads the library at path (a full path; the system's search path is never used).
    // Null with a log line when it cannot be loaded, unless quiet is set.
    static std::unique_ptr<TSharedLibrary> Create(const std::string& path, bool quiet = false);

    // Unloads the library; nothing from it may be called afterwards.
    virtual ~TSharedLibrary() = default;

    // Address of the exported symbol, or null.
    virtual void* FindSymbol(const char* name) const = 0;
};
