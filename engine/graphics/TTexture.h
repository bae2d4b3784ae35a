#pragma once

// The shared image asset that sprites, windows, fonts and particles draw: one texture
// data object (its surface and flags) under the asset protocol. Held through
// std::shared_ptr; the renderer keeps the current texture and the render target alive
// while it uses them.
//
// What exists so far: textures made empty by code (Create), pixel access, and what the
// renderer reads (sizes, flags, the surface). Loading by name, the cache, drawing and
// saving come with the image loader.

#include "engine/foundation/assets/TAsset.h"
#include "engine/graphics/TTextureData.h"

#include <cstdint>
#include <memory>

class TTexture : public TAsset
{
public:
    static TClassId ClassId();
    const char* GetClassName() const override { return "TTexture"; }
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TAsset::IsKindOf(id); }

    // A new unnamed texture of width x height (its picture and its surface), transparent
    // black, with an alpha channel when alpha is set. Null when a side is not positive.
    static std::shared_ptr<TTexture> Create(int width, int height, bool alpha);

    // The picture's size (not the surface's).
    int GetWidth() const { return mData.GetImageWidth(); }
    int GetHeight() const { return mData.GetImageHeight(); }
    bool HasAlpha() const { return mData.HasAlpha(); }
    bool IsSimple() const { return mData.IsSimple(); }

    bool Lock(uint32_t*& pixels, int& pitch) { return mData.Lock(pixels, pitch); }
    void Unlock() { mData.Unlock(); }

    TTextureData& GetData() { return mData; }
    const TTextureData& GetData() const { return mData; }

private:
    TTextureData mData;
};
