#include "engine/graphics/CursorPixels.h"

#include <cstddef>

bool IsCursorKey(uint32_t texel)
{
    const uint32_t red = (texel >> 16) & 0xFF;
    const uint32_t green = (texel >> 8) & 0xFF;
    const uint32_t blue = texel & 0xFF;
    return red > 247 && green == 0 && blue > 247;
}

uint32_t ToCursorPixel(uint32_t texel)
{
    const auto scaled = [texel](int shift) {
        return (((texel >> shift) & 0xFF) * 255 / 256) << shift;
    };
    return 0xFF000000u | scaled(16) | scaled(8) | scaled(0);
}

std::vector<uint32_t> MakeCursorPixels(const uint32_t* texels, int pitch, int width, int height)
{
    std::vector<uint32_t> pixels;
    if (texels == nullptr || width <= 0 || height <= 0)
        return pixels;
    pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = texels + static_cast<ptrdiff_t>(y) * pitch;
        for (int x = 0; x < width; ++x)
            pixels.push_back(IsCursorKey(row[x]) ? 0u : ToCursorPixel(row[x]));
    }
    return pixels;
}
