#pragma once

// Channel arithmetic on engine pixels (0xAARRGGBB), shared by the exact per-pixel paths
// and the vector kernels so that both give the same bytes.

#include <algorithm>
#include <cstdint>

// round(x / 255) for 0 <= x <= 65662 (every sum of two 8-bit products that stays
// within 255 * 255), without a division.
inline uint32_t Div255(uint32_t x)
{
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// round(x / 255) for any x that fits: the general blend sums reach 2 * 255 * 255.
inline uint32_t Div255Wide(uint32_t x)
{
    return (x + 127) / 255;
}

// a * b / 255, rounded, for two 8-bit channel values.
inline uint32_t MulChannel(uint32_t a, uint32_t b)
{
    return Div255(a * b);
}

inline uint32_t Channel(uint32_t pixel, int shift)
{
    return (pixel >> shift) & 0xFFu;
}

inline uint32_t AlphaOf(uint32_t pixel)
{
    return pixel >> 24;
}

inline uint32_t PackPixel(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue)
{
    return (alpha << 24) | (red << 16) | (green << 8) | blue;
}

// Each channel of a times the same channel of b, / 255, rounded.
inline uint32_t ModulatePixel(uint32_t a, uint32_t b)
{
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8)
        result |= MulChannel(Channel(a, shift), Channel(b, shift)) << shift;
    return result;
}

// The alpha byte copied into red, green and blue.
inline uint32_t ReplicateAlpha(uint32_t pixel)
{
    const uint32_t a = AlphaOf(pixel);
    return PackPixel(a, a, a, a);
}
