#pragma once

// A texture whose image is a sheet of animation frames, read from an animation file in
// XML (AnimationXml.h) or tagged binary form (AnimationAnm.h): each frame a rectangle of
// the sheet with a registration point, named points, an optional transform and an alpha,
// plus the Lua script that plays them (TAnimatedSprite runs it).
//
// The texture draws its current frame. The current frame belongs to the texture, so all
// holders of one animated texture share it; animated sprites set it before each draw.
// Animated textures are cached like textures, under MakeKey (name, image, mask).
//
// Main thread only.

#include "engine/foundation/assets/TAssetMap.h"
#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TRect.h"
#include "engine/foundation/math/TVec2.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/anim/TAnimationData.h"

#include <memory>

class TAnimatedTexture : public TTexture
{
public:
    static constexpr const char* kAssetMapNotFound = TAssetMap::kAnimatedTextureNotFound;

    static TClassId ClassId();
    const char* GetClassName() const override { return "TAnimatedTexture"; }
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TTexture::IsKindOf(id); }

    // Use Get; public for the cache's shared pointer.
    TAnimatedTexture() = default;

    // The animation of the file name (tried as given, then with ".xml", then with
    // ".anm"): the cached one, or a new one loaded now. A non-empty image or mask replaces
    // the sheet or mask the file names. The sheet is looked for in the animation file's
    // folder first, then as named. Empty when the file or the sheet cannot be loaded (the
    // reason is logged).
    static std::shared_ptr<TAnimatedTexture>
    Get(const TString& name, const TString& image = TString(), const TString& mask = TString());
    // name + ":" + image + ":" + mask.
    static TString MakeKey(const TString& name, const TString& image, const TString& mask);

    int GetFrameCount() const { return mAnimation.GetFrameCount(); }
    int GetCurrentFrame() const { return mAnimation.currentFrame; }
    // -1 (nothing is drawn) or a frame below the count becomes current; an index at or
    // past the count, or below -1, is ignored.
    void SetCurrentFrame(int index);
    // (x, y, x + w, y + h) of the frame on the sheet, or (0, 0, 0, 0) for no such frame.
    TRect GetFrameRect(int index) const;
    // The frame's registration point, or (0, 0) for no such frame.
    TVec2 GetFrameAnchor(int index) const;
    // The first named point of the frame called name (exact): false for no such frame or
    // point.
    bool FindFramePoint(int index, const TString& name, int& x, int& y) const;
    const TString& GetScript() const { return mAnimation.script; }
    const TAnimationData& GetAnimation() const { return mAnimation; }

    // The quad of the current frame (Draw draws it) with its registration point at the
    // state's origin (mirrored with the state's mirror flags) unless the state gives an
    // origin, its transform applied first, its alpha multiplied, and the state's source
    // rectangle (if any) taken inside the frame. None without a current frame.
    bool MakeQuad(const DrawState& state, TLitVertex quad[4]) const override;
    void DrawAt(float x, float y, float alpha, float scale, float rotation, int flags) override;
    // The current frame's size; 0 without a current frame. (Blit and CopyTo still work on
    // the whole sheet.)
    int GetWidth() const override;
    int GetHeight() const override;

private:
    bool LoadAnimation(const TString& image, const TString& mask);
    bool LoadImage();

    TAnimationData mAnimation;
};
