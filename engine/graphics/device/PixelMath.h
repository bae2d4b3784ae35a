#pragma once

// Channel arithmetic on engine pixels (0xAARRGGBB): the per-pixel rules that the vector
// kernels (TSpanKernels) follow byte for byte.
//
// NOTE: every function here has internal linkage (static), because the kernels are also
// compiled for AVX2: a shared inline copy built for AVX2 could otherwise stand in for the
// baseline one on a processor without it.

#include <cstdint>

// round(x / 255) for 0 <= x <= 65662 (every sum of two 8-bit products that stays
// within 255 * 255), without a division.
static inline uint32_t Div255(uint32_t x)
{
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// round(x / 255) for any x that fits: the general blend sums reach 2 * 255 * 255.
static inline uint32_t Div255Wide(uint32_t x)
{
    return (x + 127) / 255;
}

// a * b / 255, rounded, for two 8-bit channel values.
static inline uint32_t MulChannel(uint32_t a, uint32_t b)
{
    return Div255(a * b);
}

static inline uint32_t Channel(uint32_t pixel, int shift)
{
    return (pixel >> shift) & 0xFFu;
}

static inline uint32_t AlphaOf(uint32_t pixel)
{
    return pixel >> 24;
}

static inline uint32_t PackPixel(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue)
{
    return (alpha << 24) | (red << 16) | (green << 8) | blue;
}

static inline uint32_t MinChannel(uint32_t a, uint32_t b)
{
    return a < b ? a : b;
}

// Each channel of a times the same channel of b, / 255, rounded.
static inline uint32_t ModulatePixel(uint32_t a, uint32_t b)
{
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8)
        result |= MulChannel(Channel(a, shift), Channel(b, shift)) << shift;
    return result;
}

// The alpha byte copied into red, green and blue.
static inline uint32_t ReplicateAlpha(uint32_t pixel)
{
    const uint32_t a = AlphaOf(pixel);
    return PackPixel(a, a, a, a);
}

// Linear filtering down a column: each channel (top * (256 - fy) + bottom * fy) >> 8.
static inline uint32_t DownTexels(uint32_t top, uint32_t bottom, uint32_t fy)
{
    const uint32_t redBlue = 0x00FF00FFu;
    const uint32_t gy = 256 - fy;
    const uint32_t rb = (((top & redBlue) * gy + (bottom & redBlue) * fy) >> 8) & redBlue;
    const uint32_t ag = (((top >> 8) & redBlue) * gy + ((bottom >> 8) & redBlue) * fy) & ~redBlue;
    return rb | ag;
}

// Linear filtering across: each channel (left * (256 - fx) + right * fx + 128) >> 8.
static inline uint32_t AcrossTexels(uint32_t left, uint32_t right, uint32_t fx)
{
    const uint32_t redBlue = 0x00FF00FFu;
    const uint32_t gx = 256 - fx;
    const uint32_t rb =
        (((left & redBlue) * gx + (right & redBlue) * fx + 0x00800080u) >> 8) & redBlue;
    const uint32_t ag =
        (((left >> 8) & redBlue) * gx + ((right >> 8) & redBlue) * fx + 0x00800080u) & ~redBlue;
    return rb | ag;
}

// The top 8 bits of the fraction of a 16.16 texel coordinate.
static inline uint32_t TexelWeight(int64_t coordinate)
{
    return static_cast<uint32_t>(coordinate >> 8) & 0xFFu;
}
