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

// Linear filtering between two texels with a 7-bit weight w (0..127): each channel
// (a * (128 - w) + b * w + 64) >> 7.
static inline uint32_t MixTexels(uint32_t a, uint32_t b, uint32_t w)
{
    const uint32_t redBlue = 0x00FF00FFu;
    const uint32_t half = 0x00400040u;
    const uint32_t v = 128 - w;
    const uint32_t rb = (((a & redBlue) * v + (b & redBlue) * w + half) >> 7) & redBlue;
    const uint32_t ag =
        ((((a >> 8) & redBlue) * v + ((b >> 8) & redBlue) * w + half) << 1) & ~redBlue;
    return rb | ag;
}

// Bilinear filtering of four texels: down each column with fy, then across with fx.
static inline uint32_t LinearTexels(uint32_t topLeft, uint32_t topRight, uint32_t bottomLeft,
                                    uint32_t bottomRight, uint32_t fx, uint32_t fy)
{
    return MixTexels(MixTexels(topLeft, bottomLeft, fy), MixTexels(topRight, bottomRight, fy), fx);
}

// The top 7 bits of the fraction of a 16.16 texel coordinate.
static inline uint32_t TexelWeight(int64_t coordinate)
{
    return static_cast<uint32_t>(coordinate >> 9) & 0x7Fu;
}
