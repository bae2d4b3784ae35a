#include "engine/graphics/image/TDecodedImage.h"

#include <new>

int TDecodedImage::SquareSideFor(int64_t width, int64_t height)
{
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
        return 0;
    const int64_t larger = width > height ? width : height;
    int side = 1;
    while (side < larger)
        side *= 2;
    return side;
}

bool TDecodedImage::Allocate(int64_t width, int64_t height)
{
    Reset();
    const int side = SquareSideFor(width, height);
    if (side == 0)
        return false;
    try {
        mPixels.assign(static_cast<size_t>(side) * static_cast<size_t>(side), 0u);
    } catch (const std::bad_alloc&) {
        return false;
    }
    mWidth = static_cast<int>(width);
    mHeight = static_cast<int>(height);
    mSize = side;
    return true;
}

void TDecodedImage::Reset()
{
    std::vector<uint32_t>().swap(mPixels);
    mWidth = 0;
    mHeight = 0;
    mSize = 0;
    mHasAlpha = false;
}

bool TDecodedImage::TakeAlphaFrom(const TDecodedImage& mask)
{
    if (mask.mSize != mSize || mPixels.empty())
        return false;
    for (size_t i = 0; i < mPixels.size(); ++i)
        mPixels[i] = (mPixels[i] & 0x00ffffffu) | (mask.mPixels[i] & 0x00ff0000u) << 8;
    return true;
}
