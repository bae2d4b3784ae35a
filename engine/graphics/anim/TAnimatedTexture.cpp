#include "engine/graphics/anim/TAnimatedTexture.h"

#include "engine/foundation/assets/TAssetManager.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TFile.h"
#include "engine/graphics/DrawState.h"
#include "engine/graphics/anim/AnimationAnm.h"
#include "engine/graphics/anim/AnimationLogLines.h"
#include "engine/graphics/anim/AnimationXml.h"

#include <algorithm>

namespace {

// The file an animation name stands for: the name, else name.xml, else name.anm; empty
// when none exists.
TString FindAnimationFile(const TString& name)
{
    for (const char* extension : {"", ".xml", ".anm"}) {
        const TString candidate = name + TString(extension);
        if (FileExists(candidate))
            return candidate;
    }
    return TString();
}

// The name up to and including its last "/" or "\", or "" when it has neither.
TString FolderOf(const TString& name)
{
    const int slash =
        std::max(name.FindChar('/', TString::kBackwards), name.FindChar('\\', TString::kBackwards));
    return name.Substr(0, slash + 1);
}

} // namespace

TAsset::TClassId TAnimatedTexture::ClassId()
{
    static const char id = 0;
    return &id;
}

TString TAnimatedTexture::MakeKey(const TString& name, const TString& image, const TString& mask)
{
    return name + ":" + image + ":" + mask;
}

std::shared_ptr<TAnimatedTexture> TAnimatedTexture::Get(const TString& name, const TString& image,
                                                        const TString& mask)
{
    const TString key = MakeKey(name, image, mask);
    if (std::shared_ptr<TAnimatedTexture> cached =
            AssetCast<TAnimatedTexture>(GetCache().Find(key)))
        return cached;
    auto texture = std::make_shared<TAnimatedTexture>();
    texture->mAnimation.fileName = name;
    GetCache().Add(key, texture);
    if (!texture->LoadAnimation(image, mask) || !texture->LoadImage())
        return nullptr; // its cache entry expires with it
    return texture;
}

bool TAnimatedTexture::LoadAnimation(const TString& image, const TString& mask)
{
    const TString& name = mAnimation.fileName;
    const TString file = FindAnimationFile(name);
    if (file.Length() == 0) {
        TraceLog(kAnimationNotFoundLog, name.CStr());
        return false;
    }
    bool loaded = false;
    if (file.Find(".xml", TString::kNoCase) >= 0) {
        loaded = LoadAnimationXml(file, mAnimation);
    } else if (file.Find(".anm", TString::kNoCase) >= 0) {
        loaded = LoadAnimationAnm(file, mAnimation);
    } else {
        TraceLog("graphics: animation: %s: the name has neither .xml nor .anm", file.CStr());
    }
    if (!loaded)
        return false;
    mAnimation.folder = FolderOf(name);
    if (image.Length() > 0)
        mAnimation.imageName = image;
    if (mask.Length() > 0)
        mAnimation.maskName = mask;
    return true;
}

bool TAnimatedTexture::LoadImage()
{
    TTextureData& data = GetData();
    data.SetFlags(static_cast<uint8_t>((data.GetFlags() | TTextureData::kAlpha) &
                                       ~TTextureData::kAlphaFromImage));
    const TString& folder = mAnimation.folder;
    const TString& image = mAnimation.imageName;
    const TString& mask = mAnimation.maskName;
    if (mask.Length() > 0)
        return data.Load(folder + image, folder + mask) || data.Load(image, mask);
    return data.Load(folder + image) || data.Load(image);
}

void TAnimatedTexture::SetCurrentFrame(int index)
{
    if (index < -1 || index >= GetFrameCount())
        return;
    mAnimation.currentFrame = index;
}

TRect TAnimatedTexture::GetFrameRect(int index) const
{
    const TAnimationFrame* frame = mAnimation.FindFrame(index);
    if (frame == nullptr)
        return TRect();
    return TRect(frame->x, frame->y, frame->x + frame->w, frame->y + frame->h);
}

TVec2 TAnimatedTexture::GetFrameAnchor(int index) const
{
    const TAnimationFrame* frame = mAnimation.FindFrame(index);
    if (frame == nullptr)
        return TVec2();
    return TVec2(static_cast<float>(frame->regX), static_cast<float>(frame->regY));
}

bool TAnimatedTexture::FindFramePoint(int index, const TString& name, int& x, int& y) const
{
    const TAnimationFrame* frame = mAnimation.FindFrame(index);
    if (frame == nullptr)
        return false;
    for (const TAnimationAnchor& anchor : frame->anchors) {
        if (anchor.name == name) {
            x = anchor.x;
            y = anchor.y;
            return true;
        }
    }
    return false;
}

int TAnimatedTexture::GetWidth() const
{
    const TAnimationFrame* frame = mAnimation.FindFrame(mAnimation.currentFrame);
    return frame != nullptr ? frame->w : 0;
}

int TAnimatedTexture::GetHeight() const
{
    const TAnimationFrame* frame = mAnimation.FindFrame(mAnimation.currentFrame);
    return frame != nullptr ? frame->h : 0;
}

bool TAnimatedTexture::MakeQuad(const DrawState& given, TLitVertex quad[4]) const
{
    const TAnimationFrame* frame = mAnimation.FindFrame(mAnimation.currentFrame);
    if (frame == nullptr)
        return false;
    DrawState state = given;
    if ((state.flags & DrawState::kUseOrigin) == 0) {
        state.flags |= DrawState::kUseOrigin;
        state.origin = TVec2(static_cast<float>(frame->regX), static_cast<float>(frame->regY));
        if ((state.flags & DrawState::kMirrorX) != 0)
            state.origin.x = static_cast<float>(frame->w - frame->regX);
        if ((state.flags & DrawState::kMirrorY) != 0)
            state.origin.y = static_cast<float>(frame->h - frame->regY);
    }
    if (frame->HasTransform())
        state.matrix = frame->GetTransform() * state.matrix;
    if (frame->w == 0)
        return false;
    const TRect frameRect(frame->x, frame->y, frame->x + frame->w, frame->y + frame->h);
    if ((state.flags & DrawState::kUseSourceRect) != 0) {
        const TRect& asked = state.sourceRect;
        const TRect moved(asked.left + frame->x, asked.top + frame->y, asked.right + frame->x,
                          asked.bottom + frame->y);
        state.sourceRect.Intersect(moved, frameRect);
    } else {
        state.flags |= DrawState::kUseSourceRect;
        state.sourceRect = frameRect;
    }
    state.alpha *= frame->alpha;
    return TTexture::MakeQuad(state, quad);
}

void TAnimatedTexture::DrawAt(float x, float y, float alpha, float scale, float rotation, int flags)
{
    DrawState state(TVec2(x, y), alpha, scale, flags);
    state.matrix.Rotate(rotation);
    Draw(state);
}
