#pragma once

#include "engine/platform/TProcessMemory.h"

#include <string>

// The resident set read from the kernel's statm file: its second number is the resident
// size in pages, which the page size turns into bytes.
class TPosixProcessMemory final : public TProcessMemory
{
public:
    // Logged once when the resident set cannot be read (the file, the cause).
    static constexpr const char* kUnreadableLog =
        "memory: cannot read the resident set from %s: %s";

    // statmPath: the file to read; tests give one of their own.
    explicit TPosixProcessMemory(std::string statmPath = "/proc/self/statm");

    std::optional<uint64_t> GetResidentBytes() override;

private:
    std::optional<uint64_t> ReadResidentPages(std::string& cause) const;

    std::string mPath;
    uint64_t mPageSize;
    bool mReported = false;
};
