#pragma once

// The shared image asset that sprites, windows, fonts, particles and the game draw: one
// texture data object (its surface, flags and source files) under the asset protocol.
// Held through std::shared_ptr; the renderer keeps the current texture and the render
// target alive while it uses them.
//
// The cache: a texture loaded by name is entered in the asset cache under a key made of
// its name and load flags (MakeKey, MakeMaskKey), so that every holder of the same key
// shares one surface while anyone holds it. Textures made empty by code are entered
// under "<address>:tex:r" so that display resets reach them too. The cache is the
// platform's asset manager while the platform exists, else one of the graphics' own.
//
// Main thread only.

#include "engine/foundation/assets/TAsset.h"
#include "engine/foundation/assets/TAssetMap.h"
#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TRect.h"
#include "engine/graphics/TTextureData.h"
#include "engine/graphics/device/TLitVertex.h"

#include <cstdint>
#include <memory>

class TAssetManager;
struct DrawState;

class TTexture : public TAsset
{
public:
    static constexpr const char* kAssetMapNotFound = TAssetMap::kTextureNotFound;
    // Save's log line for a name it cannot write (the name).
    static constexpr const char* kSaveRefusedLog =
        "graphics: texture: %s: not saved: only .jpg and .png names are written";

    // Flags of Get.
    enum : int
    {
        kGetMipmap = 1,
        kGetAlpha = 2,  // an alpha channel whatever the file says
        kGetOpaque = 4, // no alpha channel whatever the file says (without either, a PNG
                        // file decides)
    };

    static TClassId ClassId();
    const char* GetClassName() const override { return "TTexture"; }
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TAsset::IsKindOf(id); }

    // Use the getters or Create; public for the cache's shared pointer.
    TTexture() = default;
    // A texture made by code leaves the cache with its last holder.
    ~TTexture() override;

    // The texture of an image file (see TTextureData::Load for names and options): the
    // cached one under its key, whatever flags were asked for when it was loaded, or a new
    // one loaded now. Empty when the file cannot be loaded (the reason is logged).
    static std::shared_ptr<TTexture> Get(const TString& name, int flags = 0);
    // The texture of an image whose alpha comes from the red channel of a mask image.
    // flags: kGetMipmap.
    static std::shared_ptr<TTexture> GetWithMask(const TString& name, const TString& maskName,
                                                 int flags = 0);
    // A simple texture (blitted only, never drawn as a texture), alpha as the file says.
    static std::shared_ptr<TTexture> GetSimple(const TString& name);
    // A new texture of width x height (its picture and its surface), transparent black,
    // with an alpha channel when alpha is set. It is never shared through a name. Null
    // when a side is not positive or too large.
    static std::shared_ptr<TTexture> Create(int width, int height, bool alpha);

    // Cache keys: the name with "\" turned into "/", then ":a", ":m", ":s" for alpha,
    // mipmap and simple, then ":tex"; a mask key is name + ":" + mask (no separator
    // change), ":m", ":s", ":tex".
    static TString MakeKey(const TString& name, bool alpha, bool mipmap, bool simple);
    static TString MakeMaskKey(const TString& name, const TString& maskName, bool mipmap,
                               bool simple);
    // The live texture under key, or empty.
    static std::shared_ptr<TTexture> FindCached(const TString& key);
    // A new texture (no surface yet) entered under key.
    static std::shared_ptr<TTexture> Register(const TString& key);
    // The asset cache textures go into: the graphics host's.
    static TAssetManager& GetCache();
    // The memory the cache's live textures hold in their surfaces (4 bytes a pixel): the
    // statistics overlay's texture memory.
    static uint64_t GetCachedSurfaceBytes();

    // Surfaces live in memory, so a display reset keeps them: Release gives nothing up,
    // and Restore only rebuilds a surface that was released (TTextureData::Restore).
    void Release() override {}
    void Restore() override { mData.Restore(); }

    // Draws the picture (or the state's source rectangle) as a quad in the 2D state,
    // centred on the state's translation or with the state's origin there, mirrored by its
    // flags, with its matrix, alpha, tint and blend mode: the quad of MakeQuad. Nothing
    // outside the 2D state or where MakeQuad makes none.
    virtual void Draw(const DrawState& state);
    // The quad Draw draws with state: one fan of lit vertices in the state's coordinates,
    // texture coordinates on the surface. False (no quad) without a surface or for a
    // simple texture.
    virtual bool MakeQuad(const DrawState& state, TLitVertex quad[4]) const;
    // Draws at (x, y) with alpha, a uniform scale, a rotation (radians, about the
    // position) and draw-state flags.
    virtual void DrawAt(float x, float y, float alpha, float scale, float rotation, int flags);
    // Copies source (the whole picture when null; cut to the picture) to (x, y) on target,
    // or on the back buffer when target is null. Nothing while the renderer draws a frame
    // or into a render target.
    virtual void Blit(int x, int y, const TRect* source, TTexture* target);
    // Copies source (the whole picture when null; cut to the picture) to (x, y) on
    // destination, cut to its surface: a pixel copy between locked textures that works in
    // a frame as well. False when either texture cannot be locked (no surface, already
    // locked, or both are this texture).
    virtual bool CopyTo(int x, int y, const TRect* source, TTexture& destination);
    // The picture's size (not the surface's). Blit, CopyTo and Save always work on the
    // whole picture.
    virtual int GetWidth() const { return mData.GetImageWidth(); }
    virtual int GetHeight() const { return mData.GetImageHeight(); }

    void GetSurfaceSize(int& width, int& height) const { mData.GetSurfaceSize(width, height); }
    bool HasAlpha() const { return mData.HasAlpha(); }
    bool IsSimple() const { return mData.IsSimple(); }

    // Pixel access in engine pixels, pitch in pixels; one Lock at a time, each ended by
    // Unlock.
    bool Lock(uint32_t*& pixels, int& pitch) { return mData.Lock(pixels, pitch); }
    void Unlock() { mData.Unlock(); }

    // The source file name + "." + the mask name: a key for textures derived from this one.
    TString GetSourceKey() const;
    // Writes the picture to a ".png" file, or a ".jpg" file of quality 0..1 (whichever the
    // name contains). False, with a log line, for other names and when writing fails.
    bool Save(const TString& fileName, float quality);

    TTextureData& GetData() { return mData; }
    const TTextureData& GetData() const { return mData; }

private:
    static std::shared_ptr<TTexture> Load(const TString& key, const TString& name,
                                          const TString& maskName, uint8_t flags);

    TTextureData mData;
};
