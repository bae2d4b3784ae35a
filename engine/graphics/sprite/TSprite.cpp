#include "engine/graphics/sprite/TSprite.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/Settings.h"
#include "engine/graphics/TCoverageProbe.h"
#include "engine/graphics/TTexture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

int gLiveSprites = 0;

void PublishLiveCount()
{
    SetConfig("current_sprite_count", TString::Printf("%d", gLiveSprites));
}

// value truncated toward zero, kept within the int range (NaN gives 0).
int TruncateToInt(float value)
{
    constexpr float kLimit = 2147483520.0f; // the largest float below 2^31
    if (!(std::fabs(value) < kLimit))
        return std::isnan(value)
                   ? 0
                   : (value < 0 ? -static_cast<int>(kLimit) : static_cast<int>(kLimit));
    return static_cast<int>(value);
}

} // namespace

TSprite::TClassId TSprite::ClassId()
{
    static const char id = 0;
    return &id;
}

std::shared_ptr<TSprite> TSprite::Create(int layer, std::shared_ptr<TTexture> texture)
{
    std::shared_ptr<TSprite> sprite(new TSprite(layer));
    if (texture)
        sprite->SetTexture(std::move(texture));
    return sprite;
}

TSprite::TSprite(int layer) : mLayer(layer)
{
    ++gLiveSprites;
    PublishLiveCount();
}

TSprite::~TSprite()
{
    RemoveAllChildren();
    --gLiveSprites;
    PublishLiveCount();
}

int TSprite::GetLiveCount()
{
    return gLiveSprites;
}

bool TSprite::LayerLess(const std::shared_ptr<TSprite>& a, const std::shared_ptr<TSprite>& b)
{
    return a->mLayer < b->mLayer;
}

void TSprite::SetTexture(std::shared_ptr<TTexture> texture)
{
    mTexture = std::move(texture);
}

void TSprite::SetPosition(const TVec2& position)
{
    mState.matrix.Row(2).x = position.x;
    mState.matrix.Row(2).y = position.y;
}

TVec2 TSprite::GetPosition() const
{
    return TVec2(mState.matrix.Row(2));
}

bool TSprite::IsSelfOrAncestor(const TSprite* sprite) const
{
    for (const TSprite* at = this; at != nullptr; at = at->mParent)
        if (at == sprite)
            return true;
    return false;
}

void TSprite::AddChild(std::shared_ptr<TSprite> child)
{
    if (!child || child->mParent == this)
        return;
    if (IsSelfOrAncestor(child.get())) {
        TraceLog(
            "graphics: sprite: a sprite cannot become a child of itself or of its own children");
        return;
    }
    if (child->mParent != nullptr)
        child->mParent->RemoveChild(child.get());
    TSprite* added = child.get();
    mChildren.push_back(std::move(child));
    SortChildren();
    added->mParent = this;
}

bool TSprite::RemoveChild(TSprite* child)
{
    auto found =
        std::find_if(mChildren.begin(), mChildren.end(),
                     [child](const std::shared_ptr<TSprite>& held) { return held.get() == child; });
    if (found == mChildren.end())
        return false;
    child->mParent = nullptr;
    // The entry may hold the last reference: move it out before the list changes.
    std::shared_ptr<TSprite> released = std::move(*found);
    mChildren.erase(found);
    return true;
}

void TSprite::RemoveAllChildren()
{
    std::vector<std::shared_ptr<TSprite>> children;
    children.swap(mChildren);
    for (const std::shared_ptr<TSprite>& child : children)
        child->mParent = nullptr;
}

void TSprite::SortChildren()
{
    std::stable_sort(mChildren.begin(), mChildren.end(), LayerLess);
}

void TSprite::SetLayer(int layer)
{
    if (layer == mLayer)
        return;
    mLayer = layer;
    if (mParent != nullptr)
        mParent->SortChildren();
}

template <class TPicture, class TChild>
void TSprite::Walk(const DrawState& parent, int depth, const TPicture& picture, const TChild& child)
{
    if (!mVisible)
        return;
    const DrawState state = DrawState::Compose(mState, parent);
    auto at = mChildren.begin();
    if (depth != 0) {
        for (; at != mChildren.end() && (*at)->mLayer < 0; ++at)
            child(**at, state, depth - 1);
    }
    if (mTexture)
        picture(*mTexture, state);
    if (depth != 0) {
        for (; at != mChildren.end(); ++at)
            child(**at, state, depth - 1);
    }
}

void TSprite::Draw(const DrawState& parent, int depth)
{
    Walk(
        parent, depth, [](TTexture& texture, const DrawState& state) { texture.Draw(state); },
        [](TSprite& sprite, const DrawState& state, int below) { sprite.Draw(state, below); });
}

void TSprite::Probe(TCoverageProbe& probe, const DrawState& parent, int depth)
{
    Walk(
        parent, depth,
        [&probe](TTexture& texture, const DrawState& state) { probe.Draw(texture, state); },
        [&probe](TSprite& sprite, const DrawState& state, int below) {
            sprite.Probe(probe, state, below);
        });
}

void TSprite::GetBounds(TRect& out, const DrawState& parent, int depth)
{
    const DrawState state = DrawState::Compose(mState, parent);
    TRect box(kEmptyBound, kEmptyBound, -kEmptyBound, -kEmptyBound);
    if (mTexture) {
        const bool sourceRect = (state.flags & DrawState::kUseSourceRect) != 0;
        const float right =
            static_cast<float>(sourceRect ? state.sourceRect.right : mTexture->GetWidth());
        const float bottom =
            static_cast<float>(sourceRect ? state.sourceRect.bottom : mTexture->GetHeight());
        const TVec2 offset = (state.flags & DrawState::kUseOrigin) != 0
                                 ? TVec2(-state.origin.x, -state.origin.y)
                                 : TVec2(-right / 2.0f, -bottom / 2.0f);
        const TVec2 corners[4] = {offset, TVec2(offset.x + right, offset.y),
                                  TVec2(offset.x + right, offset.y + bottom),
                                  TVec2(offset.x, offset.y + bottom)};
        TVec2 low = corners[0] * state.matrix;
        TVec2 high = low;
        for (const TVec2& corner : corners) {
            const TVec2 point = corner * state.matrix;
            low = TVec2(std::min(low.x, point.x), std::min(low.y, point.y));
            high = TVec2(std::max(high.x, point.x), std::max(high.y, point.y));
        }
        box = TRect(TruncateToInt(low.x), TruncateToInt(low.y), TruncateToInt(high.x),
                    TruncateToInt(high.y));
    }
    if (depth != 0) {
        for (const std::shared_ptr<TSprite>& child : mChildren) {
            TRect childBox;
            child->GetBounds(childBox, state, depth - 1);
            box.Union(box, childBox);
        }
    }
    out = box;
}

bool TSprite::HitTest(const TVec2& point, const DrawState& parent, int minAlpha, int depth)
{
    if (!mTexture || !mVisible)
        return false;
    TRect box;
    GetBounds(box, parent, depth);
    if (!(box.left <= point.x && point.x < box.right && box.top <= point.y && point.y < box.bottom))
        return false;
    if (minAlpha < 0)
        return true;
    TCoverageProbe probe(point);
    Probe(probe, parent, depth);
    return probe.GetAlpha() >= minAlpha;
}
