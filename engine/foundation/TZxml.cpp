#include "engine/foundation/TZxml.h"

#include "engine/foundation/DebugLog.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace {

uint32_t ReadU32(const uint8_t* bytes)
{
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

void WriteU32(uint32_t value, std::string& out)
{
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>((value >> shift) & 0xff);
    }
}

} // namespace

bool TZxml::IsPacked(const void* data, size_t size)
{
    return data != nullptr && size >= 4 && std::memcmp(data, "ZXML", 4) == 0;
}

bool TZxml::Unpack(const void* data, size_t size, std::string& text, const char* source)
{
    text.clear();
    if (!IsPacked(data, size) || size < kHeaderSize) {
        TraceLog("xml: %s: packed header cut short", source);
        return false;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    const size_t packedSize = std::min<size_t>(ReadU32(bytes + 4), size - kHeaderSize);
    const uint32_t unpackedSize = ReadU32(bytes + 8);
    if (unpackedSize > kMaxUnpackedSize) {
        TraceLog("xml: %s: unpacked size %u is over the limit of %u bytes", source, unpackedSize,
                 kMaxUnpackedSize);
        return false;
    }
    text.resize(std::max<uint32_t>(unpackedSize, 1));
    uLongf produced = unpackedSize;
    const int result = uncompress(reinterpret_cast<Bytef*>(text.data()), &produced,
                                  bytes + kHeaderSize, static_cast<uLong>(packedSize));
    if (result != Z_OK) {
        TraceLog("xml: %s: cannot unpack: %s", source, zError(result));
        text.clear();
        return false;
    }
    text.resize(produced);
    return true;
}

std::string TZxml::Pack(const std::string& text)
{
    if (text.size() > kMaxUnpackedSize) {
        return std::string();
    }
    uLongf packedSize = compressBound(static_cast<uLong>(text.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        return std::string();
    }
    std::string block = "ZXML";
    WriteU32(static_cast<uint32_t>(packedSize), block);
    WriteU32(static_cast<uint32_t>(text.size()), block);
    block.append(packed.data(), packedSize);
    return block;
}
