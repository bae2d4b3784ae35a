#pragma once

// The node of the engine's scene tree: an optional texture (plain or animated) with its
// own draw state, and child sprites kept in layer order. Drawing composes the sprite's
// state with its parent's and draws the children of negative layers, then the sprite's
// own picture, then the other children; among equal layers the child added first is drawn
// first. Windows, text sprites, game entities and animated sprites build on it.
//
// Sprites are held through std::shared_ptr (Create): a parent's child list holds its
// children; the child keeps a plain pointer back. A destroyed sprite detaches its
// children (they live on while others hold them). The count of live sprites is kept in
// the setting "current_sprite_count".
//
// Depth limits recursion in Draw, GetBounds and HitTest: each level passes depth - 1 to
// its children, depth 0 covers the sprite alone, a negative depth never reaches 0.
//
// Main thread only.

#include "engine/foundation/math/TColor.h"
#include "engine/foundation/math/TMat3.h"
#include "engine/foundation/math/TRect.h"
#include "engine/foundation/math/TVec2.h"
#include "engine/graphics/DrawState.h"
#include "engine/graphics/TBlendMode.h"

#include <memory>
#include <vector>

class TCoverageProbe;
class TTexture;

class TSprite : public std::enable_shared_from_this<TSprite>
{
public:
    using TClassId = const void*;

    // The box GetBounds reports for a sprite without texture or children: any union
    // replaces it.
    static constexpr int kEmptyBound = 10000000;

    static TClassId ClassId();
    virtual const char* GetClassName() const { return "TSprite"; }
    virtual bool IsKindOf(TClassId id) const { return id == ClassId(); }

    // A new sprite on layer, showing texture (none: a sprite that only groups children).
    static std::shared_ptr<TSprite> Create(int layer = 0,
                                           std::shared_ptr<TTexture> texture = nullptr);
    virtual ~TSprite();
    TSprite(const TSprite&) = delete;
    TSprite& operator=(const TSprite&) = delete;

    // Draws the tree below this sprite under the parent's state (see the top). Nothing
    // for a hidden sprite.
    virtual void Draw(const DrawState& parent, int depth = -1);
    // Draws the tree below this sprite onto probe's pixel, as Draw would draw it.
    virtual void Probe(TCoverageProbe& probe, const DrawState& parent, int depth = -1);
    // Takes child out of the list and clears its parent; false when it is not a child.
    // The list's reference goes, which may destroy the child.
    virtual bool RemoveChild(TSprite* child);
    // The screen box of the sprite's picture under the parent's state (its corners
    // transformed, truncated toward zero), united with its children's, hidden ones
    // included. The picture spans from (0, 0) to the source rectangle's right and bottom
    // when the state has one, else to the texture's size; it is centred unless the state
    // gives an origin.
    virtual void GetBounds(TRect& out, const DrawState& parent, int depth = -1);
    virtual void SetTexture(std::shared_ptr<TTexture> texture);
    // Stable sort by layer, ascending.
    virtual void SortChildren();

    // Appends child (first taking it from its parent) and sorts; nothing when it is
    // already a child here, and nothing (with a log line) for this sprite or one of its
    // ancestors.
    void AddChild(std::shared_ptr<TSprite> child);
    // Clears every child's parent and empties the list.
    void RemoveAllChildren();
    const std::vector<std::shared_ptr<TSprite>>& GetChildren() const { return mChildren; }
    TSprite* GetParent() const { return mParent; }

    // A new layer re-sorts the parent's children; the same layer changes nothing.
    void SetLayer(int layer);
    int GetLayer() const { return mLayer; }
    // A hidden sprite and its children are neither drawn nor hit, but still measured.
    void SetVisible(bool visible) { mVisible = visible; }
    bool IsVisible() const { return mVisible; }
    std::shared_ptr<TTexture> GetTexture() const { return mTexture; }

    // True when point lies in the bounds (GetBounds with depth) of a visible sprite with a
    // texture and, for minAlpha 0 to 255, when the sprite drawn there gives the pixel an
    // alpha of at least minAlpha: the alpha that drawing the tree (as Draw does, with
    // depth) into an alpha render target would give the pixel under point, found from
    // the textures' pixels (TCoverageProbe) without drawing or asking for a redraw, in a
    // frame as well. There the texels' alpha counts, not the sprites' alpha and tint
    // (BlendStates.h). A negative minAlpha tests the box only.
    bool HitTest(const TVec2& point, const DrawState& parent, int minAlpha, int depth = -1);

    // The sprite's own draw state: identity matrix at (0, 0), alpha 1, no flags, blend
    // mode -1 (the parent's) at creation.
    DrawState& GetDrawState() { return mState; }
    const DrawState& GetDrawState() const { return mState; }
    void SetPosition(const TVec2& position);
    TVec2 GetPosition() const;
    void SetMatrix(const TMat3& matrix) { mState.matrix = matrix; }
    const TMat3& GetMatrix() const { return mState.matrix; }
    void SetAlpha(float alpha) { mState.alpha = alpha; }
    float GetAlpha() const { return mState.alpha; }
    void SetTint(const TColor& tint) { mState.tint = tint; }
    void SetFlags(int flags) { mState.flags = flags; }
    int GetFlags() const { return mState.flags; }
    void SetSourceRect(const TRect& rect) { mState.sourceRect = rect; }
    void SetOrigin(const TVec2& origin) { mState.origin = origin; }
    void SetBlendMode(TBlendMode mode) { mState.blendMode = mode; }

    // a before b when a's layer is lower.
    static bool LayerLess(const std::shared_ptr<TSprite>& a, const std::shared_ptr<TSprite>& b);
    static int GetLiveCount();

protected:
    explicit TSprite(int layer);

private:
    bool IsSelfOrAncestor(const TSprite* sprite) const;
    // A visible sprite in drawing order (see the top) under the parent's state:
    // child(sprite, state, depth - 1) for the children of negative layers, then
    // picture(texture, state) for its own picture, then child for the others.
    template <class TPicture, class TChild>
    void Walk(const DrawState& parent, int depth, const TPicture& picture, const TChild& child);

    TSprite* mParent = nullptr;
    bool mVisible = true;
    int mLayer;
    std::shared_ptr<TTexture> mTexture;
    DrawState mState;
    std::vector<std::shared_ptr<TSprite>> mChildren; // sorted by layer
};

// sprite as a T (from its own shared reference), or empty when it is null or not a T.
template <class T> std::shared_ptr<T> SpriteCast(TSprite* sprite)
{
    if (sprite == nullptr || !sprite->IsKindOf(T::ClassId()))
        return nullptr;
    return std::static_pointer_cast<T>(sprite->weak_from_this().lock());
}

template <class T> std::shared_ptr<T> SpriteCast(const std::shared_ptr<TSprite>& sprite)
{
    return SpriteCast<T>(sprite.get());
}
