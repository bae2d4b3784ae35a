#include "engine/foundation/files/TPackageWriter.h"

#include <cstdio>

namespace {

void AppendU32(uint32_t value, std::string& out)
{
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((value >> shift) & 0xff);
    }
}

} // namespace

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
    AppendU32(static_cast<uint32_t>(mEntries.size()), out);
    uint32_t offset = static_cast<uint32_t>(mDirectorySize);
    for (const TEntry& entry : mEntries) {
        out += static_cast<char>(entry.name.size());
        out += entry.name;
        AppendU32(offset, out);
        AppendU32(static_cast<uint32_t>(entry.bytes.size()), out);
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
