#pragma once

// Builds ".hvp" package files (the format is described in TPackageList.h). The engine
// only reads packages; the package tool and the tests write them with this.

#include <cstdint>
#include <string>
#include <vector>

class TPackageWriter
{
public:
    // Adds an entry named in path-map key form. False (nothing added) when the name is
    // empty or longer than 255 bytes, or the package would outgrow 32-bit offsets.
    bool Add(const std::string& name, const std::string& bytes);
    // The package's bytes: magic, directory, then the entries' data in the order added.
    std::string Build() const;
    // Writes Build() to a disk path; false when the file cannot be written.
    bool WriteFile(const std::string& diskPath) const;

private:
    struct TEntry
    {
        std::string name;
        std::string bytes;
    };
    std::vector<TEntry> mEntries;
    uint64_t mDirectorySize = 8;
    uint64_t mDataSize = 0;
};
