#pragma once

// Reads the texels of a span of pixels from the bound texture. Texel coordinates are
// s = u * width and t = v * height in 16.16 fixed point, so the texel (i, j) spans
// [i, i + 1) x [j, j + 1) and its centre is at (i + 0.5, j + 0.5).
//
// Point filtering takes texel (floor(s), floor(t)). Linear filtering weighs the four
// texels around (s - 0.5, t - 0.5), each channel on its own, with 7-bit weights fx, fy
// (the fraction's top 7 bits): first down each column, v = (top * (128 - fy) + bottom *
// fy + 64) >> 7, then across the same way with fx. With clamping, coordinates outside the
// surface read its edge texels; with wrapping, they repeat it. Whatever lies in the
// surface beyond the picture is sampled like any texel.
//
// Every path (per pixel, along a row, vector kernels) follows that formula exactly. The
// sampler hands out texels as they are stored: the caller forces alpha to 255 for a
// texture without alpha (TexelOr).

#include "engine/graphics/device/TDeviceState.h"
#include "engine/graphics/device/TSpanKernels.h"

#include <cstddef>
#include <cstdint>

class TSurface;

class TTexelSampler
{
public:
    static constexpr int kShift = 16;
    static constexpr int64_t kOne = int64_t(1) << kShift;
    // The most texels that one call of Sample may read along a row in one go.
    static constexpr int kMaxRowTexels = 1024;

    // A null surface unbinds: the texture then reads as opaque white.
    void Bind(const TSurface* surface, bool hasAlpha);
    bool IsBound() const { return mPixels != nullptr; }
    int GetWidth() const { return mWidth; }
    int GetHeight() const { return mHeight; }
    int GetPitch() const { return mPitch; }
    // Just past the surface's last texel.
    const uint32_t* End() const { return mPixels + static_cast<ptrdiff_t>(mHeight) * mPitch; }
    // What to OR into every texel: 0xFF000000 for a texture without alpha, else 0.
    uint32_t TexelOr() const { return mTexelOr; }

    // The texels of count (at most 512) pixels from (s, t), stepping by (ds, dt) per
    // pixel. Returns a pointer into the surface when the texels are read in place
    // (InPlace), else fills out and returns it.
    const uint32_t* Sample(TFilter filter, TAddress addressU, TAddress addressV, int64_t s,
                           int64_t t, int64_t ds, int64_t dt, int count, uint32_t* out) const
    {
        if (ds == kOne && dt == 0)
            if (const uint32_t* texels = InPlace(filter, s, t, count))
                return texels;
        return SampleInto(filter, addressU, addressV, s, t, ds, dt, count, out);
    }

    // The texels of count pixels from (s, t) one texel a pixel along a row, when they are
    // read as they stand (point filtering, or linear on texel centres) inside the surface;
    // else null. Sample gives the same texels.
    const uint32_t* InPlace(TFilter filter, int64_t s, int64_t t, int count) const
    {
        if (filter == TFilter::Linear) {
            constexpr int64_t kHalf = kOne / 2;
            if (((s - kHalf) & (kOne - 1)) != 0 || ((t - kHalf) & (kOne - 1)) != 0)
                return nullptr;
            s -= kHalf;
            t -= kHalf;
        }
        const int64_t column = s >> kShift;
        const int64_t row = t >> kShift;
        if (column < 0 || column + count > mWidth || row < 0 || row >= mHeight)
            return nullptr;
        return mPixels + row * mPitch + column;
    }

    // One pixel by the formula above, whatever the coordinates.
    uint32_t SampleOne(TFilter filter, TAddress addressU, TAddress addressV, int64_t s,
                       int64_t t) const;

private:
    // Sample for spans not read in place.
    const uint32_t* SampleInto(TFilter filter, TAddress addressU, TAddress addressV, int64_t s,
                               int64_t t, int64_t ds, int64_t dt, int count, uint32_t* out) const;
    const uint32_t* Row(TAddress addressV, int64_t row) const;
    bool SampleRowOne(TAddress addressU, TAddress addressV, int64_t s, int64_t t, int count,
                      uint32_t* out) const;
    bool SampleAlongRow(TAddress addressU, TAddress addressV, int64_t s, int64_t t, int64_t ds,
                        int count, uint32_t* out) const;
    void SampleLinear(TAddress addressU, TAddress addressV, int64_t s, int64_t t, int64_t ds,
                      int64_t dt, int count, uint32_t* out) const;

public:
    // The kernels to sample with (the processor's best unless told otherwise: tests
    // compare the builds).
    void UseKernels(const TSpanKernels& kernels) { mKernels = &kernels; }

    const uint32_t* mPixels = nullptr;
    int mWidth = 0;
    int mHeight = 0;
    int mPitch = 0;
    uint32_t mTexelOr = 0;
    const TSpanKernels* mKernels = &TSpanKernels::Get();
};
