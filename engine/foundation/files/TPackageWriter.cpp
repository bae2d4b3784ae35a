#include "engine/foundation/files/TPackageWriter.h"

#include "engine/foundation/core/LittleEndian.h"

#include <cstdio>

bool TPackageWriter::Add(const std::string& name, const std::string& bytes)
{
    if (name.empty() || name.size() > 255) {
        return false;
    }
    const uint64_t directory = mDirectorySize + 9 + name.size();
    if (directory + mDataSize + bytes.size() > UINT32_MAX) {
        return false;
    }
    mEntries.push_back({name, bytes});
    mDirectorySize = directory;
    mDataSize += bytes.size();
    return true;
}

std::string TPackageWriter::Build() const
{
    std::string out = "HVPK";
    AppendLE32(out, static_cast<uint32_t>(mEntries.size()));
    uint32_t offset = static_cast<uint32_t>(mDirectorySize);
    for (const TEntry& entry : mEntries) {
        out += static_cast<char>(entry.name.size());
        out += entry.name;
        AppendLE32(out, offset);
        AppendLE32(out, static_cast<uint32_t>(entry.bytes.size()));
        offset += static_cast<uint32_t>(entry.bytes.size());
    }
    for (const TEntry& entry : mEntries) {
        out += entry.bytes;
    }
    return out;
}

bool TPackageWriter::WriteFile(const std::string& diskPath) const
{
    const std::string bytes = Build();
    FILE* file = std::fopen(diskPath.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
