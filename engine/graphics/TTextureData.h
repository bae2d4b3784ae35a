#pragma once

// The pixel surface of a texture: one engine-pixel surface with the texture's flags, the
// size of the picture it holds (the surface may be larger) and where the picture came
// from (an image file and an optional mask file), so that it can be loaded again. A
// texture without the alpha flag reads alpha 255 everywhere: whatever writes into it
// (SetPixels, fills, blits, render-target copies, Unlock) leaves its alpha bytes at 255.
//
// Loading (Load) reads options from the file name: "ui/button?alpha,mipmap". The text
// after the last "?" is searched for the words "slow" (no size limit, and simple),
// "simple" (blitted only), "alpha" (an alpha channel whatever the file says) and
// "mipmap" (accepted; there are no mip levels). A bare name tries ".png", then ".jpg".
// An optional mask image gives the picture its alpha from its red channel.
//
// Surfaces live in memory and survive display changes: Restore rebuilds only a surface
// that was released. Main thread only.

#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TRect.h"
#include "engine/graphics/device/TSurface.h"

#include <cstdint>
#include <memory>

class TTextureData
{
public:
    // Restore's log lines when the files cannot be read again (the source; the source and
    // the mask).
    static constexpr const char* kRereadFailedLog =
        "graphics: texture: %s: cannot be read again for the display";
    static constexpr const char* kRereadPairFailedLog =
        "graphics: texture: %s and %s: cannot be read again for the display";

    enum : uint8_t
    {
        kAlpha = 0x02,          // the surface has an alpha channel
        kAlphaFromImage = 0x04, // the loaded PNG decides kAlpha
        kMipmap = 0x08,         // accepted; there are no mip levels
        kSimple = 0x10,         // blitted only, never drawn as a texture
        kSlow = 0x20,           // no size limit when loading
    };

    // Pictures larger than this on a side load only with "slow".
    static constexpr int kMaxLoadSide = 1024;
    // No surface is made larger than this on a side.
    static constexpr int kMaxSurfaceSide = 8192;

    uint8_t GetFlags() const { return mFlags; }
    void SetFlags(uint8_t flags) { mFlags = flags; }
    bool HasAlpha() const { return (mFlags & kAlpha) != 0; }
    bool IsSimple() const { return (mFlags & kSimple) != 0; }

    int GetImageWidth() const { return mImageWidth; }
    int GetImageHeight() const { return mImageHeight; }
    void SetImageSize(int width, int height);
    int GetSurfaceWidth() const { return mSurface ? mSurface->GetWidth() : 0; }
    int GetSurfaceHeight() const { return mSurface ? mSurface->GetHeight() : 0; }
    // The picture's size plus twice the border, each rounded up to an even number: the
    // surface size a loaded picture chose (2 x 2 for a 1 x 1 picture).
    void GetSurfaceSize(int& width, int& height) const;
    int GetBorderX() const { return mBorderX; }
    int GetBorderY() const { return mBorderY; }

    // The file name Load was given (options included), empty for a texture made by code;
    // the mask name, empty when none.
    const TString& GetSourceName() const { return mSourceName; }
    const TString& GetMaskName() const { return mMaskName; }

    // Fills the texture from an image file and an optional mask file (see the top of this
    // file), choosing the surface size: the decoded square's side wide, the picture's
    // height rounded up to a power of two high (square on a device that wants square
    // textures, unless simple). Refuses sides above kMaxLoadSide without "slow", from the
    // image file's header before it is decoded (the log line names the file). On
    // success the names are kept for Restore; failure leaves no new surface. The flags set
    // before the call stay; options add theirs.
    bool Load(const TString& fileName, const TString& maskName = TString());

    // Makes a surface of width x height, all zeros (a new surface is always clear, so
    // clear asks for nothing more), and makes that the picture's size. A device that
    // wants square textures gets a square power of two for a non-simple texture. False,
    // keeping no surface, when a side is not positive or above kMaxSurfaceSide.
    bool CreateSurface(int width, int height, bool clear);
    // Gives the surface up; names, sizes and flags stay for Restore.
    void ReleaseSurface();
    // Rebuilds a released surface: loads the source files again, or makes an empty surface
    // of the picture's size for a texture made by code. When a load fails although the
    // files are there, the display is marked broken (at most every 250 ms) so that a
    // later restore tries again; when a file is gone, it gives up.
    void Restore();

    // Writes pixels (rows of width pixels, engine layout) into the top-left corner of the
    // surface, as far as the surface reaches. False without a surface.
    bool SetPixels(int width, int height, const uint32_t* pixels);
    // Copies source (the whole picture when null) of this surface to (x, y) on target's
    // surface, or on the display's back buffer when target is null; raw pixels, cut to
    // both surfaces.
    void Blit(int x, int y, const TRect* source, TTextureData* target);
    // Fills the surface with 0 (255 in the alpha bytes without the alpha flag).
    void Clear();
    // Hands out the pixels (pitch in pixels). False without a surface or while already
    // locked; one lock at a time.
    bool Lock(uint32_t*& pixels, int& pitch);
    // Ends a Lock; without the alpha flag every alpha byte becomes 255.
    void Unlock();
    // After something wrote into rect: without the alpha flag its alpha bytes become 255.
    void KeepOpaque(const TRect& rect);

    // The surface, or null before CreateSurface.
    TSurface* GetSurface() { return mSurface.get(); }
    const TSurface* GetSurface() const { return mSurface.get(); }

private:
    bool LoadFound(const TString& name, const TString& options, const TString& maskName);
    void RestoreFromFiles();

    std::unique_ptr<TSurface> mSurface;
    TString mSourceName;
    TString mMaskName;
    uint8_t mFlags = 0;
    int mImageWidth = 0;
    int mImageHeight = 0;
    int mBorderX = 0;
    int mBorderY = 0;
    bool mLocked = false;
};
