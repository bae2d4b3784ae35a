#pragma once

// The packed XML form "ZXML": the four characters "ZXML", u32 packed size, u32 unpacked
// size (both little-endian), then a zlib stream of the XML text. XML files and string
// tables may be stored this way.

#include <cstddef>
#include <cstdint>
#include <string>

class TZxml
{
public:
    // Unpacked texts above this size are refused rather than allocated.
    static constexpr uint32_t kMaxUnpackedSize = 64u << 20;
    static constexpr size_t kHeaderSize = 12;

    // True when data begins with "ZXML".
    static bool IsPacked(const void* data, size_t size);
    // Unpacks a block of size bytes into text. The packed size is clamped to the bytes
    // present. False, with one log line naming source, when the header is short, the
    // unpacked size exceeds the limit or zlib fails; text is then empty.
    static bool Unpack(const void* data, size_t size, std::string& text, const char* source);
    // Packs text (at most kMaxUnpackedSize bytes) into a "ZXML" block; empty on failure.
    static std::string Pack(const std::string& text);
};
