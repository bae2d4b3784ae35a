#include "engine/foundation/xml/TZxml.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/LittleEndian.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace {

enum class TInflate
{
    Done,
    CutShort,
    Corrupt,
    TooLong,
    NoMemory
};

// Inflates a whole zlib stream of packedSize bytes that must unpack to at most limit
// bytes, like zlib's uncompress into a buffer of limit bytes. The output grows as bytes
// come out, so a header that claims much more than the stream holds costs nothing.
TInflate Inflate(const uint8_t* packed, size_t packedSize, uint32_t limit, std::string& text)
{
    z_stream stream{};
    stream.next_in = const_cast<Bytef*>(packed);
    stream.avail_in = static_cast<uInt>(packedSize);
    if (inflateInit(&stream) != Z_OK) {
        return TInflate::NoMemory;
    }
    constexpr size_t kFirstChunk = 64 * 1024;
    TInflate outcome = TInflate::Done;
    for (;;) {
        const size_t done = stream.total_out;
        if (done == limit) {
            // Full: the stream must end here without producing more.
            char probe;
            stream.next_out = reinterpret_cast<Bytef*>(&probe);
            stream.avail_out = 1;
            const int result = inflate(&stream, Z_FINISH);
            if (stream.avail_out == 0) {
                outcome = TInflate::TooLong;
            } else if (result == Z_DATA_ERROR || result == Z_NEED_DICT) {
                outcome = TInflate::Corrupt;
            } else if (result != Z_STREAM_END) {
                outcome = TInflate::CutShort;
            }
            break;
        }
        const size_t room = std::min<size_t>(std::max(kFirstChunk, done), limit - done);
        text.resize(done + room);
        stream.next_out = reinterpret_cast<Bytef*>(text.data() + done);
        stream.avail_out = static_cast<uInt>(room);
        const int result = inflate(&stream, Z_NO_FLUSH);
        if (result == Z_STREAM_END) {
            break;
        }
        if (result == Z_OK || (result == Z_BUF_ERROR && stream.avail_out == 0)) {
            continue; // out of room only: grow and go on
        }
        if (result == Z_BUF_ERROR && stream.avail_in == 0) {
            outcome = TInflate::CutShort; // the stream ends before its end marker
        } else if (result == Z_MEM_ERROR) {
            outcome = TInflate::NoMemory;
        } else {
            outcome = TInflate::Corrupt;
        }
        break;
    }
    text.resize(std::min<size_t>(stream.total_out, limit));
    inflateEnd(&stream);
    return outcome;
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
    const size_t packedSize = std::min<size_t>(ReadLE32(bytes + 4), size - kHeaderSize);
    const uint32_t unpackedSize = ReadLE32(bytes + 8);
    if (unpackedSize > kMaxUnpackedSize) {
        TraceLog("xml: %s: unpacked size %u is over the limit of %u bytes", source, unpackedSize,
                 kMaxUnpackedSize);
        return false;
    }
    const TInflate result = Inflate(bytes + kHeaderSize, packedSize, unpackedSize, text);
    if (result == TInflate::Done) {
        return true;
    }
    text.clear();
    switch (result) {
    case TInflate::CutShort:
        TraceLog("xml: %s: packed data cut short", source);
        break;
    case TInflate::Corrupt:
        TraceLog("xml: %s: packed data corrupt", source);
        break;
    case TInflate::TooLong:
        TraceLog("xml: %s: unpacks to more than the %u bytes its header gives", source,
                 unpackedSize);
        break;
    default:
        TraceLog("xml: %s: out of memory while unpacking", source);
        break;
    }
    return false;
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
    AppendLE32(block, static_cast<uint32_t>(packedSize));
    AppendLE32(block, static_cast<uint32_t>(text.size()));
    block.append(packed.data(), packedSize);
    return block;
}
