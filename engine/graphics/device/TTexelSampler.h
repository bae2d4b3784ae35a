#pragma once

// Reads the texels of a span of pixels from the bound texture. Texel coordinates are
// s = u * width and t = v * height in 16.16 fixed point, so the texel (i, j) spans
// [i, i + 1) x [j, j + 1) and its centre is at (i + 0.5, j + 0.5).
//
// Point filtering takes texel (floor(s), floor(t)); linear filtering weighs the four
// texels around (s - 0.5, t - 0.5), each channel on its own, with 8-bit weights:
// first across (h = t0 * (256 - fx) + t1 * fx), then down
// (((h0 >> 8) * (256 - fy) + (h1 >> 8) * fy + 128) >> 8). With clamping, coordinates
// outside the surface read its edge texels; with wrapping, they repeat it. Whatever
// lies in the surface beyond the picture is sampled like any texel.
//
// The sampler hands out texels as they are stored: the caller forces alpha to 255 for a
// texture without alpha (TexelOr).

#include "engine/graphics/device/TDeviceState.h"

#include <cstdint>

class TSurface;

class TTexelSampler
{
public:
    static constexpr int kShift = 16;
    static constexpr int64_t kOne = int64_t(1) << kShift;

    // A null surface unbinds: the texture then reads as opaque white.
    void Bind(const TSurface* surface, bool hasAlpha);
    bool IsBound() const { return mPixels != nullptr; }
    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }
    // What to OR into every texel: 0xFF000000 for a texture without alpha, else 0.
    uint32_t TexelOr() const { return mTexelOr; }

    // The texels of count (<= the out buffer's size) pixels from (s, t), stepping by
    // (ds, dt) per pixel. Returns a pointer into the surface when the texels are
    // consecutive texels of one row read without weights, else fills out and returns it.
    const uint32_t* Sample(TFilter filter, TAddress addressU, TAddress addressV, int64_t s,
                           int64_t t, int64_t ds, int64_t dt, int count, uint32_t* out) const;

private:
    const uint32_t* Direct(TAddress addressV, int64_t column, int64_t row, int count) const;
    template <TAddress U, TAddress V>
    void SamplePoint(int64_t s, int64_t t, int64_t ds, int64_t dt, int count, uint32_t* out) const;
    template <TAddress U, TAddress V>
    void SampleLinear(int64_t s, int64_t t, int64_t ds, int64_t dt, int count, uint32_t* out) const;

    const uint32_t* mPixels = nullptr;
    int mWidth = 0;
    int mHeight = 0;
    int mPitch = 0;
    uint32_t mTexelOr = 0;
};
