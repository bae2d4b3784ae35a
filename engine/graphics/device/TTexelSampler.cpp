#include "engine/graphics/device/TTexelSampler.h"

#include "engine/graphics/device/TSurface.h"

namespace {

constexpr uint32_t kRedBlue = 0x00FF00FFu;

template <TAddress A> inline int64_t Address(int64_t index, int size)
{
    if constexpr (A == TAddress::Clamp) {
        return index < 0 ? 0 : index >= size ? size - 1 : index;
    } else {
        const int64_t wrapped = index % size;
        return wrapped < 0 ? wrapped + size : wrapped;
    }
}

// Two texels weighed across by fx / 256, as two pairs of 16-bit lanes (red and blue,
// alpha and green), each lane holding channel * 256 at most.
inline void Across(uint32_t t0, uint32_t t1, uint32_t fx, uint32_t& redBlue, uint32_t& alphaGreen)
{
    const uint32_t gx = 256 - fx;
    redBlue = (t0 & kRedBlue) * gx + (t1 & kRedBlue) * fx;
    alphaGreen = ((t0 >> 8) & kRedBlue) * gx + ((t1 >> 8) & kRedBlue) * fx;
}

inline uint32_t Down(uint32_t top, uint32_t bottom, uint32_t fy)
{
    const uint32_t gy = 256 - fy;
    return ((((top >> 8) & kRedBlue) * gy + ((bottom >> 8) & kRedBlue) * fy + 0x00800080u) >> 8) &
           kRedBlue;
}

inline uint32_t Bilinear(uint32_t t00, uint32_t t01, uint32_t t10, uint32_t t11, uint32_t fx,
                         uint32_t fy)
{
    uint32_t rb0, ag0, rb1, ag1;
    Across(t00, t01, fx, rb0, ag0);
    Across(t10, t11, fx, rb1, ag1);
    return Down(rb0, rb1, fy) | (Down(ag0, ag1, fy) << 8);
}

} // namespace

void TTexelSampler::Bind(const TSurface* surface, bool hasAlpha)
{
    if (surface == nullptr || surface->IsEmpty()) {
        *this = TTexelSampler();
        return;
    }
    mPixels = surface->GetPixels();
    mWidth = surface->GetWidth();
    mHeight = surface->GetHeight();
    mPitch = surface->GetPitch();
    mTexelOr = hasAlpha ? 0u : 0xFF000000u;
}

const uint32_t* TTexelSampler::Direct(TAddress addressV, int64_t column, int64_t row,
                                      int count) const
{
    if (column < 0 || column + count > mWidth)
        return nullptr;
    row = addressV == TAddress::Clamp ? Address<TAddress::Clamp>(row, mHeight)
                                      : Address<TAddress::Wrap>(row, mHeight);
    return mPixels + row * mPitch + column;
}

const uint32_t* TTexelSampler::Sample(TFilter filter, TAddress addressU, TAddress addressV,
                                      int64_t s, int64_t t, int64_t ds, int64_t dt, int count,
                                      uint32_t* out) const
{
    constexpr int64_t kHalf = kOne / 2;
    constexpr int64_t kFraction = kOne - 1;
    if (filter == TFilter::Linear) {
        s -= kHalf;
        t -= kHalf;
        // On texel centres the weights vanish: the texels are read as they are.
        if (ds == kOne && dt == 0 && (s & kFraction) == 0 && (t & kFraction) == 0) {
            if (const uint32_t* row = Direct(addressV, s >> kShift, t >> kShift, count))
                return row;
        }
        s += kHalf;
        t += kHalf;
    } else if (ds == kOne && dt == 0) {
        if (const uint32_t* row = Direct(addressV, s >> kShift, t >> kShift, count))
            return row;
    }

    const bool clampU = addressU == TAddress::Clamp;
    const bool clampV = addressV == TAddress::Clamp;
    if (filter == TFilter::Linear) {
        if (clampU && clampV)
            SampleLinear<TAddress::Clamp, TAddress::Clamp>(s, t, ds, dt, count, out);
        else if (clampU)
            SampleLinear<TAddress::Clamp, TAddress::Wrap>(s, t, ds, dt, count, out);
        else if (clampV)
            SampleLinear<TAddress::Wrap, TAddress::Clamp>(s, t, ds, dt, count, out);
        else
            SampleLinear<TAddress::Wrap, TAddress::Wrap>(s, t, ds, dt, count, out);
    } else {
        if (clampU && clampV)
            SamplePoint<TAddress::Clamp, TAddress::Clamp>(s, t, ds, dt, count, out);
        else if (clampU)
            SamplePoint<TAddress::Clamp, TAddress::Wrap>(s, t, ds, dt, count, out);
        else if (clampV)
            SamplePoint<TAddress::Wrap, TAddress::Clamp>(s, t, ds, dt, count, out);
        else
            SamplePoint<TAddress::Wrap, TAddress::Wrap>(s, t, ds, dt, count, out);
    }
    return out;
}

template <TAddress U, TAddress V>
void TTexelSampler::SamplePoint(int64_t s, int64_t t, int64_t ds, int64_t dt, int count,
                                uint32_t* out) const
{
    for (int i = 0; i < count; ++i, s += ds, t += dt) {
        const int64_t x = Address<U>(s >> kShift, mWidth);
        const int64_t y = Address<V>(t >> kShift, mHeight);
        out[i] = mPixels[y * mPitch + x];
    }
}

template <TAddress U, TAddress V>
void TTexelSampler::SampleLinear(int64_t s, int64_t t, int64_t ds, int64_t dt, int count,
                                 uint32_t* out) const
{
    s -= kOne / 2;
    t -= kOne / 2;
    for (int i = 0; i < count; ++i, s += ds, t += dt) {
        const int64_t x = s >> kShift;
        const int64_t y = t >> kShift;
        const uint32_t fx = static_cast<uint32_t>(s >> (kShift - 8)) & 0xFFu;
        const uint32_t fy = static_cast<uint32_t>(t >> (kShift - 8)) & 0xFFu;
        const uint32_t* row0 = mPixels + Address<V>(y, mHeight) * mPitch;
        const uint32_t* row1 = mPixels + Address<V>(y + 1, mHeight) * mPitch;
        const int64_t x0 = Address<U>(x, mWidth);
        const int64_t x1 = Address<U>(x + 1, mWidth);
        out[i] = Bilinear(row0[x0], row0[x1], row1[x0], row1[x1], fx, fy);
    }
}
