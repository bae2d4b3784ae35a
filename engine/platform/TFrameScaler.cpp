#include "engine/platform/TFrameScaler.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

} // namespace

// Channel pairs at once: a pair's products stay below 2^16 a channel.
uint32_t TFrameScaler::Blend(uint32_t a, uint32_t b, int weight)
{
    const uint32_t keep = 256u - static_cast<uint32_t>(weight);
    const uint32_t take = static_cast<uint32_t>(weight);
    const uint32_t redBlue = (((a & 0xFF00FFu) * keep + (b & 0xFF00FFu) * take) >> 8) & 0xFF00FFu;
    const uint32_t green = (((a & 0xFF00u) * keep + (b & 0xFF00u) * take) >> 8) & 0xFF00u;
    return kOpaque | redBlue | green;
}

TFrameScaler::TTap TFrameScaler::MapPixel(int target, int targetSize, int frameSize)
{
    // (target + 0.5) * frameSize / targetSize - 0.5, in 256ths of a frame pixel.
    const int64_t numerator = (2 * static_cast<int64_t>(target) + 1) * frameSize * 256;
    const int64_t position = numerator / (2 * static_cast<int64_t>(targetSize)) - 128;
    if (position <= 0)
        return {0, 0};
    const int index = static_cast<int>(position >> 8);
    if (index >= frameSize - 1)
        return {frameSize - 1, 0};
    return {index, static_cast<int>(position & 255)};
}

void TFrameScaler::SetSizes(int frameWidth, int frameHeight, int targetWidth, int targetHeight)
{
    mColumns.clear();
    mRows.clear();
    mFrameWidth = frameWidth;
    mFrameHeight = frameHeight;
    if (frameWidth < 1 || frameHeight < 1 || targetWidth < 1 || targetHeight < 1)
        return;
    for (int x = 0; x < targetWidth; ++x)
        mColumns.push_back(MapPixel(x, targetWidth, frameWidth));
    for (int y = 0; y < targetHeight; ++y)
        mRows.push_back(MapPixel(y, targetHeight, frameHeight));
    mUpper.assign(mColumns.size(), 0);
    mLower.assign(mColumns.size(), 0);
}

void TFrameScaler::Scale(const uint32_t* frame, int framePitch, uint32_t* target, int targetPitch)
{
    if (IsEmpty())
        return;
    const int targetWidth = static_cast<int>(mColumns.size());
    const int targetHeight = static_cast<int>(mRows.size());
    if (targetWidth == mFrameWidth && targetHeight == mFrameHeight) {
        CopyRows(frame, framePitch, target, targetPitch);
        return;
    }
    // The rows stretched for the previous frame are stale.
    mUpperRow = -1;
    mLowerRow = -1;
    for (int y = 0; y < targetHeight; ++y) {
        const TTap row = mRows[y];
        const int next = row.index + (row.weight != 0 ? 1 : 0);
        if (mUpperRow != row.index) {
            if (mLowerRow == row.index) {
                std::swap(mUpper, mLower);
                std::swap(mUpperRow, mLowerRow);
            } else {
                StretchRow(frame + static_cast<std::ptrdiff_t>(row.index) * framePitch,
                           mUpper.data());
                mUpperRow = row.index;
            }
        }
        uint32_t* out = target + static_cast<std::ptrdiff_t>(y) * targetPitch;
        if (next == row.index) {
            std::memcpy(out, mUpper.data(), mUpper.size() * sizeof(uint32_t));
            continue;
        }
        if (mLowerRow != next) {
            StretchRow(frame + static_cast<std::ptrdiff_t>(next) * framePitch, mLower.data());
            mLowerRow = next;
        }
        for (int x = 0; x < targetWidth; ++x)
            out[x] = Blend(mUpper[x], mLower[x], row.weight);
    }
}

void TFrameScaler::CopyRows(const uint32_t* frame, int framePitch, uint32_t* target,
                            int targetPitch) const
{
    for (int y = 0; y < mFrameHeight; ++y) {
        const uint32_t* in = frame + static_cast<std::ptrdiff_t>(y) * framePitch;
        uint32_t* out = target + static_cast<std::ptrdiff_t>(y) * targetPitch;
        for (int x = 0; x < mFrameWidth; ++x)
            out[x] = in[x] | kOpaque;
    }
}

void TFrameScaler::StretchRow(const uint32_t* frameRow, uint32_t* out) const
{
    const size_t width = mColumns.size();
    for (size_t x = 0; x < width; ++x) {
        const TTap column = mColumns[x];
        const int next = column.index + (column.weight != 0 ? 1 : 0);
        out[x] = Blend(frameRow[column.index], frameRow[next], column.weight);
    }
}
