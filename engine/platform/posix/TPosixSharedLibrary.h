#pragma once

#include "engine/platform/TSharedLibrary.h"

// A shared object opened with dlopen.
class TPosixSharedLibrary final : public TSharedLibrary
{
public:
    static std::unique_ptr<TSharedLibrary> Create(const std::string& path, bool quiet);
    ~TPosixSharedLibrary() override;

    void* FindSymbol(const char* name) const override;

private:
    explicit TPosixSharedLibrary(void* handle) : mHandle(handle) {}

    void* mHandle;
};
