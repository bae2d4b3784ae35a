#include "engine/graphics/TTexture.h"

#include "engine/foundation/assets/TAssetManager.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/graphics/BuildQuad.h"
#include "engine/graphics/DrawState.h"
#include "engine/graphics/TDxDisplayHandler.h"
#include "engine/graphics/TGraphicsHost.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/TVertexArray.h"
#include "engine/graphics/image/JpegImage.h"
#include "engine/graphics/image/PngImage.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

// The renderer when one exists (asking TRenderer::Get would make one).
TRenderer* ExistingRenderer()
{
    return TDxDisplayHandler::Get() != nullptr ? TRenderer::Get() : nullptr;
}

TString UnnamedKey(const TTexture* texture)
{
    return TString::Printf("%lx:tex:r",
                           static_cast<unsigned long>(reinterpret_cast<uintptr_t>(texture)));
}

// source cut to the picture, or the whole picture when source is null. The picture's
// own size counts, also for a texture whose GetWidth answers for a part of it.
TRect PartOfPicture(const TRect* source, const TTextureData& data)
{
    const int width = data.GetImageWidth();
    const int height = data.GetImageHeight();
    if (source == nullptr)
        return TRect(0, 0, width, height);
    return TRect(std::max(source->left, 0), std::max(source->top, 0),
                 std::min(source->right, width), std::min(source->bottom, height));
}

} // namespace

TAsset::TClassId TTexture::ClassId()
{
    static const char id = 0;
    return &id;
}

TTexture::~TTexture()
{
    if (mData.GetSourceName().Length() == 0)
        GetCache().Remove(UnnamedKey(this));
}

TAssetManager& TTexture::GetCache()
{
    return TGraphicsHost::Get().GetAssetCache();
}

uint64_t TTexture::GetCachedSurfaceBytes()
{
    uint64_t bytes = 0;
    GetCache().ForEachLive([&bytes](TAsset& asset) {
        if (!asset.IsKindOf(ClassId()))
            return;
        const TTextureData& data = static_cast<TTexture&>(asset).GetData();
        bytes +=
            uint64_t(data.GetSurfaceWidth()) * uint64_t(data.GetSurfaceHeight()) * sizeof(uint32_t);
    });
    return bytes;
}

TString TTexture::MakeKey(const TString& name, bool alpha, bool mipmap, bool simple)
{
    TString key = name;
    key.Replace("\\", "/", TString::kAll);
    return key + (alpha ? ":a" : "") + (mipmap ? ":m" : "") + (simple ? ":s" : "") + ":tex";
}

TString TTexture::MakeMaskKey(const TString& name, const TString& maskName, bool mipmap,
                              bool simple)
{
    return name + ":" + maskName + (mipmap ? ":m" : "") + (simple ? ":s" : "") + ":tex";
}

std::shared_ptr<TTexture> TTexture::FindCached(const TString& key)
{
    return AssetCast<TTexture>(GetCache().Find(key));
}

std::shared_ptr<TTexture> TTexture::Register(const TString& key)
{
    auto texture = std::make_shared<TTexture>();
    GetCache().Add(key, texture);
    return texture;
}

std::shared_ptr<TTexture> TTexture::Load(const TString& key, const TString& name,
                                         const TString& maskName, uint8_t flags)
{
    if (std::shared_ptr<TTexture> cached = FindCached(key))
        return cached;
    std::shared_ptr<TTexture> texture = Register(key);
    texture->mData.SetFlags(flags);
    if (!texture->mData.Load(name, maskName))
        return nullptr; // its cache entry expires with it
    return texture;
}

std::shared_ptr<TTexture> TTexture::Get(const TString& name, int flags)
{
    const bool alpha = (flags & kGetAlpha) != 0;
    const bool mipmap = (flags & kGetMipmap) != 0;
    uint8_t dataFlags = mipmap ? TTextureData::kMipmap : 0;
    if (alpha)
        dataFlags |= TTextureData::kAlpha;
    else if ((flags & kGetOpaque) == 0)
        dataFlags |= TTextureData::kAlphaFromImage;
    return Load(MakeKey(name, alpha, mipmap, false), name, TString(), dataFlags);
}

std::shared_ptr<TTexture> TTexture::GetWithMask(const TString& name, const TString& maskName,
                                                int flags)
{
    const bool mipmap = (flags & kGetMipmap) != 0;
    const uint8_t dataFlags = TTextureData::kAlpha | (mipmap ? TTextureData::kMipmap : 0);
    return Load(MakeMaskKey(name, maskName, mipmap, false), name, maskName, dataFlags);
}

std::shared_ptr<TTexture> TTexture::GetSimple(const TString& name)
{
    return Load(MakeKey(name, false, false, true), name, TString(),
                TTextureData::kSimple | TTextureData::kAlphaFromImage);
}

std::shared_ptr<TTexture> TTexture::Create(int width, int height, bool alpha)
{
    auto texture = std::make_shared<TTexture>();
    TTextureData& data = texture->GetData();
    data.SetFlags(alpha ? TTextureData::kAlpha : 0);
    if (!data.CreateSurface(width, height, true))
        return nullptr;
    GetCache().Add(UnnamedKey(texture.get()), texture);
    return texture;
}

bool TTexture::MakeQuad(const DrawState& state, TLitVertex quad[4]) const
{
    if (mData.GetSurface() == nullptr || IsSimple())
        return false;
    const TRect rect = (state.flags & DrawState::kUseSourceRect) != 0
                           ? state.sourceRect
                           : TRect(0, 0, GetWidth(), GetHeight());
    const float w = static_cast<float>(rect.right - rect.left);
    const float h = static_cast<float>(rect.bottom - rect.top);
    const TVec2 offset = (state.flags & DrawState::kUseOrigin) != 0
                             ? TVec2(-state.origin.x, -state.origin.y)
                             : TVec2(-w / 2.0f, -h / 2.0f);
    TVec2 corners[4] = {TVec2(offset.x, offset.y), TVec2(offset.x + w, offset.y),
                        TVec2(offset.x + w, offset.y + h), TVec2(offset.x, offset.y + h)};
    if ((state.flags & DrawState::kMirrorY) != 0) {
        std::swap(corners[0].y, corners[2].y);
        std::swap(corners[1].y, corners[3].y);
    }
    if ((state.flags & DrawState::kMirrorX) != 0) {
        std::swap(corners[0].x, corners[1].x);
        std::swap(corners[2].x, corners[3].x);
    }
    // Over the surface's size, so that what lies beyond the picture is never shown.
    const float surfaceWidth = static_cast<float>(mData.GetSurfaceWidth());
    const float surfaceHeight = static_cast<float>(mData.GetSurfaceHeight());
    TTexCoordRect texCoords;
    texCoords.left = rect.left / surfaceWidth;
    texCoords.top = rect.top / surfaceHeight;
    texCoords.right = rect.right / surfaceWidth;
    texCoords.bottom = rect.bottom / surfaceHeight;
    BuildQuad(TVec2(), quad, corners, texCoords, state.matrix, state.alpha, state.tint);
    return true;
}

void TTexture::Draw(const DrawState& state)
{
    TRenderer* renderer = ExistingRenderer();
    if (renderer == nullptr || !renderer->IsIn2d())
        return;
    std::shared_ptr<TTexture> self = std::static_pointer_cast<TTexture>(weak_from_this().lock());
    TLitVertex quad[4];
    if (!self || !MakeQuad(state, quad))
        return;
    renderer->SetTexture(self);
    if (state.blendMode)
        renderer->SetBlendMode(*state.blendMode);
    renderer->DrawVertices(TPrimitiveType::TriangleFan, TVertexArray(quad, 4));
}

void TTexture::DrawAt(float x, float y, float alpha, float scale, float rotation, int flags)
{
    TRenderer* renderer = ExistingRenderer();
    if (renderer == nullptr || !renderer->IsIn2d() || mData.GetSurface() == nullptr)
        return;
    DrawState state(TVec2(x, y), alpha, scale, flags);
    state.matrix.Rotate(rotation);
    Draw(state);
}

void TTexture::Blit(int x, int y, const TRect* source, TTexture* target)
{
    if (mData.GetSurface() == nullptr)
        return;
    if (TRenderer* renderer = ExistingRenderer(); renderer != nullptr && renderer->IsDrawing())
        return;
    const TRect rect = PartOfPicture(source, mData);
    mData.Blit(x, y, &rect, target != nullptr ? &target->mData : nullptr);
}

bool TTexture::CopyTo(int x, int y, const TRect* source, TTexture& destination)
{
    uint32_t* from = nullptr;
    int fromPitch = 0;
    if (!Lock(from, fromPitch))
        return false;
    uint32_t* to = nullptr;
    int toPitch = 0;
    if (!destination.Lock(to, toPitch)) {
        Unlock();
        return false;
    }
    const TRect rect = PartOfPicture(source, mData);
    destination.mData.GetSurface()->Copy(*mData.GetSurface(), rect, x, y);
    destination.Unlock();
    Unlock();
    return true;
}

TString TTexture::GetSourceKey() const
{
    return mData.GetSourceName() + "." + mData.GetMaskName();
}

bool TTexture::Save(const TString& fileName, float quality)
{
    const bool jpeg = fileName.Find(".jpg") >= 0;
    if (!jpeg && fileName.Find(".png") < 0) {
        TraceLog(kSaveRefusedLog, fileName.CStr());
        return false;
    }
    uint32_t* pixels = nullptr;
    int pitch = 0;
    if (!Lock(pixels, pitch))
        return false;
    const bool saved = jpeg ? WriteJpegImage(fileName, quality, mData.GetImageWidth(),
                                             mData.GetImageHeight(), pitch * 4, pixels)
                            : WritePngImage(fileName, pixels, mData.GetImageWidth(),
                                            mData.GetImageHeight(), pitch * 4);
    Unlock();
    return saved;
}
