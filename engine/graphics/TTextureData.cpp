#include "engine/graphics/TTextureData.h"

void TTextureData::SetImageSize(int width, int height)
{
    mImageWidth = width;
    mImageHeight = height;
}

bool TTextureData::CreateSurface(int width, int height, bool)
{
    mLocked = false;
    if (width <= 0 || height <= 0) {
        mSurface.reset();
        return false;
    }
    mSurface = std::make_unique<TSurface>(width, height);
    KeepOpaque(mSurface->GetBounds());
    return true;
}

void TTextureData::Clear()
{
    if (!mSurface)
        return;
    mSurface->Fill(mSurface->GetBounds(), 0);
    KeepOpaque(mSurface->GetBounds());
}

bool TTextureData::Lock(uint32_t*& pixels, int& pitch)
{
    if (!mSurface || mLocked)
        return false;
    mLocked = true;
    pixels = mSurface->GetPixels();
    pitch = mSurface->GetPitch();
    return true;
}

void TTextureData::Unlock()
{
    if (!mLocked)
        return;
    mLocked = false;
    KeepOpaque(mSurface->GetBounds());
}

void TTextureData::KeepOpaque(const TRect& rect)
{
    if (mSurface && !HasAlpha())
        mSurface->MakeOpaque(rect);
}
