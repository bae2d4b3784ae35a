#include "engine/foundation/app/TSystemCursorImage.h"

#include <zlib.h>

#include <cstring>

namespace {

constexpr int kSize = 32;

// '.' transparent, 'X' outline, 'o' fill. Rows not listed are transparent.
constexpr const char* kArrow[] = {
    "X",           "XX",           "XoX",         "XooX",        "XoooX",
    "XooooX",      "XoooooX",      "XooooooX",    "XoooooooX",   "XooooooooX",
    "XoooooooooX", "XooooooXXXXX", "XoooXooX",    "XooX.XooX",   "XoX..XooX",
    "XX....XooX",  "X.....XooX",   ".......XooX", ".......XooX", "........XX",
};

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data)
{
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0, out.data() + start, static_cast<uInt>(out.size() - start));
    PutBigEndian(out, static_cast<uint32_t>(crc));
}

std::vector<uint8_t> BuildPng()
{
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<uint8_t> header;
    PutBigEndian(header, kSize);
    PutBigEndian(header, kSize);
    header.insert(header.end(), {8, 3, 0, 0, 0}); // 8-bit palette, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "PLTE", {0xff, 0x00, 0xff, 0x00, 0x00, 0x00, 0xff, 0xff, 0xff});
    PutChunk(png, "tRNS", {0x00, 0xff, 0xff});

    std::vector<uint8_t> raw;
    const std::vector<uint8_t>& indices = TSystemCursorImage::GetIndices();
    for (int y = 0; y < kSize; ++y) {
        raw.push_back(0); // filter: none
        raw.insert(raw.end(), indices.begin() + y * kSize, indices.begin() + (y + 1) * kSize);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9);
    packed.resize(packedSize);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return png;
}

} // namespace

const std::vector<uint8_t>& TSystemCursorImage::GetIndices()
{
    static const std::vector<uint8_t> indices = [] {
        std::vector<uint8_t> pixels(kSize * kSize, 0);
        int y = 0;
        for (const char* row : kArrow) {
            for (int x = 0; row[x] != '\0' && x < kSize; ++x)
                pixels[y * kSize + x] = row[x] == 'X' ? 1 : row[x] == 'o' ? 2 : 0;
            ++y;
        }
        return pixels;
    }();
    return indices;
}

const std::vector<uint8_t>& TSystemCursorImage::GetPng()
{
    static const std::vector<uint8_t> png = BuildPng();
    return png;
}
