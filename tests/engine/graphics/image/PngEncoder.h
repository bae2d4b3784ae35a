#pragma once

// Test support: PNG files of any colour type, depth and chunk set, encoded in memory
// with libpng, and a way to damage them chunk by chunk. The tests and the seed writer of
// the image fuzz targets make their pictures with it, so no binary image is committed.

#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

struct TPngSpec
{
    int width = 1;
    int height = 1;
    int bitDepth = 8;
    int colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    bool interlaced = false;
    // height rows of samples exactly as the format stores them: packed below 8 bits,
    // big-endian at 16 bits, no filter byte.
    std::vector<uint8_t> rows;
    std::vector<png_color> palette;
    std::vector<uint8_t> paletteAlpha;       // tRNS of a palette picture
    std::optional<png_color_16> transparent; // tRNS of a grey or truecolour picture
    double gamma = 0.0;                      // a gAMA chunk when above 0

    size_t RowBytes() const
    {
        static const int kChannels[] = {1, 0, 3, 1, 2, 0, 4};
        return (size_t(width) * kChannels[colorType] * bitDepth + 7) / 8;
    }
};

namespace png_encoder_detail {

inline void Write(png_structp png, png_bytep data, size_t length)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}

inline void Flush(png_structp) {}

// libpng jumps back here on an error; only plain values live in this frame.
inline bool Run(png_structp png, png_infop info, const TPngSpec* spec, png_bytepp rows,
                std::string* out)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, out, Write, Flush);
    png_set_IHDR(png, info, spec->width, spec->height, spec->bitDepth, spec->colorType,
                 spec->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!spec->palette.empty())
        png_set_PLTE(png, info, spec->palette.data(), int(spec->palette.size()));
    if (!spec->paletteAlpha.empty())
        png_set_tRNS(png, info, spec->paletteAlpha.data(), int(spec->paletteAlpha.size()), nullptr);
    if (spec->transparent) {
        png_color_16 colour = *spec->transparent;
        png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    if (spec->gamma > 0.0)
        png_set_gAMA(png, info, spec->gamma);
    png_write_info(png, info);
    if (spec->interlaced)
        png_set_interlace_handling(png);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

} // namespace png_encoder_detail

// The PNG file of spec, or "" when libpng refuses it.
inline std::string EncodePng(const TPngSpec& spec)
{
    std::string out;
    std::vector<png_bytep> rows(spec.height);
    for (int y = 0; y < spec.height; ++y)
        rows[y] = const_cast<png_bytep>(spec.rows.data() + y * spec.RowBytes());
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const bool ok = png_encoder_detail::Run(png, info, &spec, rows.data(), &out);
    png_destroy_write_struct(&png, &info);
    return ok ? out : std::string();
}

// The offset of the first chunk of type in png (at its length field), or npos.
inline size_t FindPngChunk(const std::string& png, const char* type)
{
    size_t at = 8;
    while (at + 12 <= png.size()) {
        if (png.compare(at + 4, 4, type) == 0)
            return at;
        const uint32_t length = uint32_t(uint8_t(png[at])) << 24 |
                                uint32_t(uint8_t(png[at + 1])) << 16 |
                                uint32_t(uint8_t(png[at + 2])) << 8 | uint8_t(png[at + 3]);
        at += 12 + size_t(length);
    }
    return std::string::npos;
}

// Recomputes the CRC of the chunk at offset (as FindPngChunk gives it).
inline void FixPngChunkCrc(std::string& png, size_t at)
{
    const uint32_t length = uint32_t(uint8_t(png[at])) << 24 |
                            uint32_t(uint8_t(png[at + 1])) << 16 |
                            uint32_t(uint8_t(png[at + 2])) << 8 | uint8_t(png[at + 3]);
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + at + 4), length + 4);
    for (int i = 0; i < 4; ++i)
        png[at + 8 + length + i] = char(crc >> (24 - 8 * i));
}

// png with the IHDR's width and height replaced (CRC kept valid).
inline std::string WithPngSize(std::string png, uint32_t width, uint32_t height)
{
    const size_t at = FindPngChunk(png, "IHDR");
    for (int i = 0; i < 4; ++i) {
        png[at + 8 + i] = char(width >> (24 - 8 * i));
        png[at + 12 + i] = char(height >> (24 - 8 * i));
    }
    FixPngChunkCrc(png, at);
    return png;
}
