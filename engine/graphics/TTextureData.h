#pragma once

// The pixel surface of a texture: one engine-pixel surface with the texture's flags and
// the size of the picture it holds (the surface may be larger). A texture without the
// alpha flag reads alpha 255 everywhere: whatever writes into it through the display
// (fills, render-target copies, Unlock) leaves its alpha bytes at 255.
//
// This holds what drawing needs; loading images into it and rebuilding it after a
// display change come with the image loader.

#include "engine/foundation/math/TRect.h"
#include "engine/graphics/device/TSurface.h"

#include <cstdint>
#include <memory>

class TTextureData
{
public:
    enum : uint8_t
    {
        kAlpha = 0x02,          // the surface has an alpha channel
        kAlphaFromImage = 0x04, // the loaded image decides kAlpha
        kMipmap = 0x08,         // accepted; there are no mip levels
        kSimple = 0x10,         // blitted only, never drawn as a texture
        kSlow = 0x20,           // no size limit when loading
    };

    uint8_t GetFlags() const { return mFlags; }
    void SetFlags(uint8_t flags) { mFlags = flags; }
    bool HasAlpha() const { return (mFlags & kAlpha) != 0; }
    bool IsSimple() const { return (mFlags & kSimple) != 0; }

    int GetImageWidth() const { return mImageWidth; }
    int GetImageHeight() const { return mImageHeight; }
    void SetImageSize(int width, int height);
    int GetSurfaceWidth() const { return mSurface ? mSurface->GetWidth() : 0; }
    int GetSurfaceHeight() const { return mSurface ? mSurface->GetHeight() : 0; }

    // Makes a surface of width x height, all zeros (a new surface is always clear, so
    // clear asks for nothing more). False, keeping no surface, when a side is not
    // positive.
    bool CreateSurface(int width, int height, bool clear);
    // Fills the surface with 0 (255 in the alpha bytes without the alpha flag).
    void Clear();
    // Hands out the pixels (pitch in pixels). False without a surface or while already
    // locked; one lock at a time.
    bool Lock(uint32_t*& pixels, int& pitch);
    // Ends a Lock; without the alpha flag every alpha byte becomes 255.
    void Unlock();
    // After the display wrote into rect: without the alpha flag its alpha bytes become 255.
    void KeepOpaque(const TRect& rect);

    // The surface, or null before CreateSurface.
    TSurface* GetSurface() { return mSurface.get(); }
    const TSurface* GetSurface() const { return mSurface.get(); }

private:
    std::unique_ptr<TSurface> mSurface;
    uint8_t mFlags = 0;
    int mImageWidth = 0;
    int mImageHeight = 0;
    bool mLocked = false;
};
