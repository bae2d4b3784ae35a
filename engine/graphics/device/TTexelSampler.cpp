#include "engine/graphics/device/TTexelSampler.h"

#include "engine/graphics/device/FixedPoint.h"
#include "engine/graphics/device/PixelMath.h"
#include "engine/graphics/device/TSurface.h"

#include <algorithm>

namespace {

constexpr int64_t kHalf = TTexelSampler::kOne / 2;

int64_t Address(TAddress address, int64_t index, int size)
{
    if (address == TAddress::Clamp)
        return index < 0 ? 0 : index >= size ? size - 1 : index;
    const int64_t wrapped = index % size;
    return wrapped < 0 ? wrapped + size : wrapped;
}

// The pixels i of [begin, end) with low <= start + i * step < high.
void KeepInside(int64_t start, int64_t step, int64_t low, int64_t high, int64_t& begin,
                int64_t& end)
{
    if (step == 0) {
        if (start < low || start >= high)
            end = begin;
        return;
    }
    if (step > 0) {
        begin = std::max(begin, CeilDiv(low - start, step));
        end = std::min(end, CeilDiv(high - start, step));
    } else {
        begin = std::max(begin, FloorDiv(start - high, -step) + 1);
        end = std::min(end, FloorDiv(start - low, -step) + 1);
    }
}

} // namespace

void TTexelSampler::Bind(const TSurface* surface, bool hasAlpha)
{
    mPixels = nullptr;
    mWidth = mHeight = mPitch = 0;
    mTexelOr = 0;
    if (surface == nullptr || surface->IsEmpty())
        return;
    mPixels = surface->GetPixels();
    mWidth = surface->GetWidth();
    mHeight = surface->GetHeight();
    mPitch = surface->GetPitch();
    mTexelOr = hasAlpha ? 0u : 0xFF000000u;
}

const uint32_t* TTexelSampler::Row(TAddress addressV, int64_t row) const
{
    return mPixels + Address(addressV, row, mHeight) * mPitch;
}

uint32_t TTexelSampler::SampleOne(TFilter filter, TAddress addressU, TAddress addressV, int64_t s,
                                  int64_t t) const
{
    if (filter != TFilter::Linear)
        return Row(addressV, t >> kShift)[Address(addressU, s >> kShift, mWidth)];
    s -= kHalf;
    t -= kHalf;
    const uint32_t* top = Row(addressV, t >> kShift);
    const uint32_t* bottom = Row(addressV, (t >> kShift) + 1);
    const int64_t left = Address(addressU, s >> kShift, mWidth);
    const int64_t right = Address(addressU, (s >> kShift) + 1, mWidth);
    return LinearTexels(top[left], top[right], bottom[left], bottom[right], TexelWeight(s),
                        TexelWeight(t));
}

const uint32_t* TTexelSampler::SampleInto(TFilter filter, TAddress addressU, TAddress addressV,
                                          int64_t s, int64_t t, int64_t ds, int64_t dt, int count,
                                          uint32_t* out) const
{
    if (filter != TFilter::Linear) {
        for (int i = 0; i < count; ++i, s += ds, t += dt)
            out[i] = SampleOne(filter, addressU, addressV, s, t);
        return out;
    }
    if (ds == kOne && dt == 0 && SampleRowOne(addressU, addressV, s, t, count, out))
        return out;
    if (dt == 0 && ds != 0 && SampleAlongRow(addressU, addressV, s, t, ds, count, out))
        return out;
    SampleLinear(addressU, addressV, s, t, ds, dt, count, out);
    return out;
}

bool TTexelSampler::SampleRowOne(TAddress addressU, TAddress addressV, int64_t s, int64_t t,
                                 int count, uint32_t* out) const
{
    // One texel a pixel: the kernel weighs each column down as it goes, those outside the
    // surface clamped to its edge (wrapping takes the general way).
    s -= kHalf;
    t -= kHalf;
    const int64_t first = s >> kShift;
    if (first <= -kMaxRowTexels || first >= mWidth + kMaxRowTexels ||
        (addressU != TAddress::Clamp && (first < 0 || first + count >= mWidth)))
        return false;
    mKernels->linearRowOne(Row(addressV, t >> kShift), Row(addressV, (t >> kShift) + 1), mWidth,
                           static_cast<int>(first), TexelWeight(s), TexelWeight(t), count, out);
    return true;
}

bool TTexelSampler::SampleAlongRow(TAddress addressU, TAddress addressV, int64_t s, int64_t t,
                                   int64_t ds, int count, uint32_t* out) const
{
    // One row pair for the whole span: down-weigh the columns it reads once (those
    // outside the surface through the addressing), then weigh across them.
    s -= kHalf;
    t -= kHalf;
    const int64_t end = s + (count - 1) * ds;
    const int64_t first = (ds > 0 ? s : end) >> kShift;
    const int64_t last = ((ds > 0 ? end : s) >> kShift) + 1;
    if (last - first + 1 > kMaxRowTexels)
        return false;
    const uint32_t* top = Row(addressV, t >> kShift);
    const uint32_t* bottom = Row(addressV, (t >> kShift) + 1);
    const uint32_t fy = TexelWeight(t);
    uint32_t down[kMaxRowTexels + 24]; // kernels may read 16 columns past the last
    const auto downAddressed = [&](int64_t from, int64_t to) {
        for (int64_t column = from; column <= to; ++column) {
            const int64_t at = Address(addressU, column, mWidth);
            down[column - first] = MixTexels(top[at], bottom[at], fy);
        }
    };
    const int64_t inFirst = std::max<int64_t>(first, 0);
    const int64_t inLast = std::min<int64_t>(last, mWidth - 1);
    if (inFirst <= inLast) {
        mKernels->downRow(top + inFirst, bottom + inFirst, fy,
                          static_cast<int>(inLast - inFirst + 1), down + (inFirst - first));
        downAddressed(first, inFirst - 1);
        downAddressed(inLast + 1, last);
    } else {
        downAddressed(first, last);
    }
    for (int64_t column = last + 1; column <= last + 16; ++column)
        down[column - first] = 0; // read by whole loads, never used
    mKernels->acrossRowStepping(down, first, s, ds, count, out);
    return true;
}

void TTexelSampler::SampleLinear(TAddress addressU, TAddress addressV, int64_t s, int64_t t,
                                 int64_t ds, int64_t dt, int count, uint32_t* out) const
{
    // The kernel clamps; it takes the whole span when coordinates stay within its range
    // (coordinates change linearly: both ends within, all are). With wrapping, it takes
    // the pixels whose four texels lie inside the surface, where addressing does nothing.
    s -= kHalf;
    t -= kHalf;
    const int64_t sEnd = s + (count - 1) * ds;
    const int64_t tEnd = t + (count - 1) * dt;
    constexpr int64_t kReach = int64_t(32767) << kShift;
    const auto within = [](int64_t c) { return c > -kReach && c < kReach; };
    const bool fits = mWidth >= 2 && mHeight >= 2 && mWidth < 32768 && mHeight < 32768;
    if (!fits) {
        for (int i = 0; i < count; ++i)
            out[i] = SampleOne(TFilter::Linear, addressU, addressV, s + kHalf + i * ds,
                               t + kHalf + i * dt);
        return;
    }
    if (addressU == TAddress::Clamp && addressV == TAddress::Clamp && within(s) && within(sEnd) &&
        within(t) && within(tEnd)) {
        mKernels->linearClamped(mPixels, mPitch, mWidth, mHeight, s, t, ds, dt, count, out);
        return;
    }
    int64_t begin = 0;
    int64_t end = count;
    KeepInside(s, ds, 0, (mWidth - 1) * kOne, begin, end);
    KeepInside(t, dt, 0, (mHeight - 1) * kOne, begin, end);
    if (begin >= end)
        begin = end = count;
    for (int64_t i = 0; i < begin; ++i)
        out[i] =
            SampleOne(TFilter::Linear, addressU, addressV, s + kHalf + i * ds, t + kHalf + i * dt);
    mKernels->linearClamped(mPixels, mPitch, mWidth, mHeight, s + begin * ds, t + begin * dt, ds,
                            dt, static_cast<int>(end - begin), out + begin);
    for (int64_t i = end; i < count; ++i)
        out[i] =
            SampleOne(TFilter::Linear, addressU, addressV, s + kHalf + i * ds, t + kHalf + i * dt);
}
