#include "engine/graphics/TDxDisplayHandler.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/math/TColor32.h"
#include "engine/graphics/BlendStates.h"
#include "engine/graphics/BuildQuad.h"
#include "engine/graphics/TDisplaySetup.h"
#include "engine/graphics/TGraphicsHost.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/TVertexArray.h"

#include <algorithm>
#include <cstdlib>

namespace {

TDxDisplayHandler* sInstance = nullptr;

// The left-handed off-centre orthographic projection, with z passed through unchanged.
TMat4 OrthoOffCenter(float left, float right, float bottom, float top)
{
    TMat4 m;
    m.At(0, 0) = 2.0f / (right - left);
    m.At(1, 1) = 2.0f / (top - bottom);
    m.At(3, 0) = (left + right) / (left - right);
    m.At(3, 1) = (top + bottom) / (bottom - top);
    m.At(2, 2) = 1.0f;
    m.At(2, 3) = 0.0f;
    m.At(3, 2) = 0.0f;
    m.At(3, 3) = 1.0f;
    return m;
}

bool IsEmpty(const TRect& rect)
{
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

TRect Intersection(const TRect& a, const TRect& b)
{
    TRect r;
    r.Intersect(a, b);
    return r;
}

// The engine pixel of a colour: each channel clamped to 0..1, * 255, truncated.
uint32_t FillValue(const TColor& color)
{
    const auto clamp = [](float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; };
    return TColor32(TColor(clamp(color.r), clamp(color.g), clamp(color.b), clamp(color.a)))
        .GetValue();
}

} // namespace

// ---- the handler and its back buffer ----

std::unique_ptr<TDxDisplayHandler> TDxDisplayHandler::Create(TRenderer& renderer)
{
    std::unique_ptr<TDxDisplayHandler> handler(new TDxDisplayHandler(renderer));
    sInstance = handler.get();
    return handler;
}

TDxDisplayHandler* TDxDisplayHandler::Get()
{
    return sInstance;
}

TDxDisplayHandler::TDxDisplayHandler(TRenderer& renderer)
    : mRenderer(renderer), mSetup(std::make_unique<TDisplaySetup>(*this))
{
}

TDxDisplayHandler::~TDxDisplayHandler()
{
    if (sInstance == this)
        sInstance = nullptr;
}

bool TDxDisplayHandler::OpenBackBuffer(int width, int height)
{
    mDevice.SetRenderTarget(nullptr);
    mBackBuffer.reset();
    if (width <= 0 || height <= 0)
        return false;
    mBackBuffer = std::make_unique<TSurface>(width, height);
    mDevice.SetRenderTarget(mBackBuffer.get());
    mDisplayRect = TRect(0, 0, width, height);
    mViewport = mClipRect = mTargetArea = mDisplayRect;
    mViewportStack.clear();
    mProjectionDirty = true;
    mSetup->OnBackBufferOpened();
    mInScene = false;
    SetStartUpState();
    SetDeviceViewport(mViewport);
    return true;
}

void TDxDisplayHandler::CloseBackBuffer(int nextWidth, int nextHeight)
{
    mDevice.SetRenderTarget(nullptr);
    mBackBuffer.reset();
    mInScene = false;
    mDisplayRect = TRect(0, 0, nextWidth, nextHeight);
    mViewport = mClipRect = mTargetArea = mDisplayRect;
}

void TDxDisplayHandler::SetStartUpState()
{
    // The state a freshly opened display starts from; blend mode and stage states follow
    // from it until set.
    mDevice.State() = TDeviceState();
    mDevice.SetTexture(nullptr, false);
    mBoundTexture.reset();
    mZEnable = mZWriteEnable = true;
    SetMaterial(TMaterial{{1, 1, 1, 1}, {0.5f, 0.5f, 0.5f, 1}, {1, 1, 1, 1}, {0, 0, 0, 1}, 1.0f});
}

bool TDxDisplayHandler::IsValid() const
{
    return mBackBuffer != nullptr && mSetup->GetState() == TDisplayState::Open;
}

// ---- frames ----

bool TDxDisplayHandler::BeginDraw(bool)
{
    if (!IsValid())
        return false;
    mSetup->CountFrame();
    // The viewport in force, with the clip rectangle: a clip set before the frame holds.
    ApplyViewport();
    mInScene = true;
    return true;
}

bool TDxDisplayHandler::EndDraw(bool present)
{
    if (!mBackBuffer || !mInScene)
        return true;
    mInScene = false;
    if (!present)
        return true;
    return mSetup->PresentFrame(*mBackBuffer);
}

// ---- the 2D state ----

bool TDxDisplayHandler::Begin2d()
{
    TDeviceState& state = mDevice.State();
    state.specularEnable = false;
    state.clipping = false;
    state.addressU = TAddress::Clamp;
    state.addressV = TAddress::Clamp;
    SetBlendMode(kBlendNormal);
    SetFilter(TFilter::Linear);
    SetZEnable(false);
    SetZWriteEnable(false);
    SetCullMode(TCull::None);
    state.world = TMat4();
    state.view = TMat4();
    mProjectionDirty = true;
    return true;
}

void TDxDisplayHandler::End2d()
{
    mRenderer.SetTexture(nullptr);
    mDevice.State().world = TMat4();
    mDevice.State().view = TMat4();
}

void TDxDisplayHandler::SetCullMode(TCull mode)
{
    mDevice.State().cullMode = mode;
}

void TDxDisplayHandler::SetFilter(TFilter filter)
{
    TDeviceState& state = mDevice.State();
    state.minFilter = state.magFilter = state.mipFilter = filter;
}

void TDxDisplayHandler::SetShadeMode(TShade mode)
{
    mDevice.State().shadeMode = mode;
}

void TDxDisplayHandler::SetZEnable(bool enable)
{
    mZEnable = enable;
    mDevice.State().zEnable = enable;
}

void TDxDisplayHandler::SetZWriteEnable(bool enable)
{
    mZWriteEnable = enable;
    mDevice.State().zWriteEnable = enable;
}

void TDxDisplayHandler::SetAmbient(const TColor& color)
{
    mDevice.State().ambient = FillValue(color);
}

void TDxDisplayHandler::SetMaterial(const TMaterial& material)
{
    mDevice.State().material = material;
}

void TDxDisplayHandler::SetWorldTransform(const TMat4& matrix)
{
    mDevice.State().world = matrix;
}

void TDxDisplayHandler::SetViewTransform(const TMat4& matrix)
{
    mDevice.State().view = matrix;
}

void TDxDisplayHandler::SetProjection(const TMat4& matrix)
{
    mDevice.State().projection = matrix;
    mProjection = matrix;
    mProjectionDirty = true;
}

void TDxDisplayHandler::SetTexelOffset(float offset)
{
    mTexelOffset = offset;
    mProjectionDirty = true;
}

// Ten copies of a white texture with black corner texels, drawn with point sampling at
// texel offsets -0.5, -0.4, ... -0.5 + 0.9 into a render target: the first offset whose
// copy shows both corners in place is kept (-0.5 when none does).
void TDxDisplayHandler::CalibrateTexelOffset()
{
    if (mTexelCalibrated)
        return;
    mTexelCalibrated = true;
    constexpr int kCopies = 10;
    const std::shared_ptr<TTexture> small = TTexture::Create(16, 16, false);
    const std::shared_ptr<TTexture> large = TTexture::Create(1024, 512, false);
    if (!small || !large)
        return;
    mRenderer.FillRect(TRect(0, 0, 16, 16), TColor(1, 1, 1, 1), small);
    uint32_t* texels = nullptr;
    int pitch = 0;
    if (small->Lock(texels, pitch)) {
        texels[0] &= 0xFF000000u;
        texels[15 * pitch + 15] &= 0xFF000000u;
        small->Unlock();
    }
    mRenderer.FillRect(TRect(0, 0, 512, 512), TColor(1, 0, 0, 1), large);
    const auto offsetOf = [](int i) { return -0.5f + 0.1f * static_cast<float>(i); };
    if (mRenderer.BeginRenderTarget(large, TRenderTargetMode::Opaque)) {
        mRenderer.Begin2d();
        mRenderer.SetFilter(TFilter::Point);
        for (int i = 0; i < kCopies; ++i) {
            SetTexelOffset(offsetOf(i));
            const float left = 16.0f * static_cast<float>(i);
            TVec2 corners[4] = {TVec2(left, 0), TVec2(left + 16, 0), TVec2(left + 16, 16),
                                TVec2(left, 16)};
            TLitVertex quad[4];
            BuildQuad(TVec2(), quad, corners, TTexCoordRect(), TMat3(), 1.0f, TColor(1, 1, 1, 1));
            mRenderer.SetTexture(small);
            mRenderer.DrawVertices(TPrimitiveType::TriangleFan, TVertexArray(quad, 4));
        }
        mRenderer.SetFilter(TFilter::Linear);
        mRenderer.End2d();
        mRenderer.EndRenderTarget();
    }
    float chosen = -0.5f;
    if (large->Lock(texels, pitch)) {
        for (int i = 0; i < kCopies; ++i) {
            const uint32_t first = texels[16 * i] & 0xFFFFFFu;
            const uint32_t last = texels[15 * pitch + 16 * i + 15] & 0xFFFFFFu;
            if (first == 0 && last == 0) {
                chosen = offsetOf(i);
                break;
            }
        }
        large->Unlock();
    }
    SetTexelOffset(chosen);
    mRenderer.PushClipRect(mDisplayRect);
    mRenderer.FillRect(mDisplayRect, TColor(0, 0, 0, 1));
    mRenderer.PopClipRect();
}

// ---- viewports and the clip rectangle ----

void TDxDisplayHandler::SetViewport(const TRect& viewport)
{
    if (!mBackBuffer)
        return;
    mProjectionDirty = true;
    mViewport = viewport;
    ApplyViewport();
}

void TDxDisplayHandler::PushViewport(const TRect& viewport)
{
    mViewportStack.push_back(mViewport);
    SetViewport(viewport);
}

void TDxDisplayHandler::PopViewport()
{
    if (mViewportStack.empty()) {
        TraceLog("%s", kViewportPopWithoutPushLog);
        return;
    }
    mViewport = mViewportStack.back();
    mViewportStack.pop_back();
    ApplyViewport();
    mProjectionDirty = true;
}

void TDxDisplayHandler::SetClipRect(const TRect& clip)
{
    mClipRect = clip;
    mProjectionDirty = true;
    ApplyViewport();
}

bool TDxDisplayHandler::ApplyViewport()
{
    return SetDeviceViewport(Intersection(mViewport, mClipRect));
}

bool TDxDisplayHandler::SetDeviceViewport(const TRect& rect)
{
    // Kept on the display; a rectangle with nothing on it stays empty (zero width or
    // height), so nothing is drawn rather than the nearest edge column.
    const int width = mDisplayRect.right;
    const int height = mDisplayRect.bottom;
    const int left = std::clamp(rect.left, 0, width);
    const int top = std::clamp(rect.top, 0, height);
    const int right = std::clamp(rect.right, left, width);
    const int bottom = std::clamp(rect.bottom, top, height);
    mDevice.State().viewport = {left, top, right - left, bottom - top, 0.0f, 1.0f};
    return true;
}

void TDxDisplayHandler::PrepareVertexFormat(bool screenVertices)
{
    mDevice.State().lighting = false;
    if (screenVertices || !mProjectionDirty || !mRenderer.IsIn2d())
        return;
    mProjectionDirty = false;
    // Positions are relative to the viewport's top-left; when the clip rectangle starts
    // inside the viewport, the device viewport starts there and the projection shifts.
    const int ox = mClipRect.left > mViewport.left ? mClipRect.left - mViewport.left : 0;
    const int oy = mClipRect.top > mViewport.top ? mClipRect.top - mViewport.top : 0;
    const TRect r = Intersection(Intersection(mViewport, mDisplayRect), mClipRect);
    const float w = static_cast<float>(r.right - r.left);
    const float h = static_cast<float>(r.bottom - r.top);
    if (w <= 0.0f || h <= 0.0f)
        return; // nothing can be drawn there
    const float t = mTexelOffset;
    SetProjection(OrthoOffCenter(ox - t, ox + w - t, oy + h - t, oy - t));
}

// ---- drawing ----

void TDxDisplayHandler::DrawVertices(TPrimitiveType type, const TVertexArray& vertices)
{
    const bool screen = vertices.GetKind() == TVertexKind::Screen;
    PrepareVertexFormat(screen);
    if (screen)
        mDevice.DrawPrimitive(type, vertices.GetScreenVertices(), vertices.GetCount());
    else
        mDevice.DrawPrimitive(type, vertices.GetLitVertices(), vertices.GetCount());
}

void TDxDisplayHandler::DrawSpans(const TDeviceSpan* spans, int count)
{
    PrepareVertexFormat(true);
    mDevice.DrawSpans(spans, count);
}

void TDxDisplayHandler::DrawIndexedVertices(TPrimitiveType type, const uint16_t* indices,
                                            const TVertexArray& vertices, int indexCount)
{
    const bool screen = vertices.GetKind() == TVertexKind::Screen;
    PrepareVertexFormat(screen);
    if (screen)
        mDevice.DrawIndexedPrimitive(type, vertices.GetScreenVertices(), vertices.GetCount(),
                                     indices, indexCount);
    else
        mDevice.DrawIndexedPrimitive(type, vertices.GetLitVertices(), vertices.GetCount(), indices,
                                     indexCount);
}

void TDxDisplayHandler::SetTexture(const std::shared_ptr<TTexture>& texture)
{
    if (!IsValid())
        return;
    const TSurface* surface = texture ? texture->GetData().GetSurface() : nullptr;
    mBoundTexture = surface != nullptr ? texture : nullptr;
    mDevice.SetTexture(surface, surface != nullptr && texture->HasAlpha());
    ApplyStageStates(mBlendMode);
}

void TDxDisplayHandler::FillRect(const TRect& rect, const TColor& color,
                                 const std::shared_ptr<TTexture>& target)
{
    if (target || !mRenderer.IsDrawing()) {
        TSurface* surface = target ? target->GetData().GetSurface() : mBackBuffer.get();
        if (surface == nullptr)
            return;
        const TRect bounds = target ? TRect(0, 0, target->GetWidth(), target->GetHeight())
                                    : Intersection(mRenderer.GetClipRect(), mDisplayRect);
        const TRect cut = Intersection(rect, bounds);
        if (IsEmpty(cut))
            return;
        surface->Fill(cut, FillValue(color));
        if (target)
            target->GetData().KeepOpaque(cut);
        return;
    }

    const bool entered = !mRenderer.IsIn2d() && mRenderer.Begin2d();
    TVec2 corners[4] = {TVec2(rect.left, rect.top), TVec2(rect.right, rect.top),
                        TVec2(rect.right, rect.bottom), TVec2(rect.left, rect.bottom)};
    TLitVertex quad[4];
    const float alpha = IsInAlphaTarget() ? color.a : 1.0f;
    BuildQuad(TVec2(-mViewport.left, -mViewport.top), quad, corners, TTexCoordRect(), TMat3(),
              alpha, color);
    const std::shared_ptr<TTexture> remembered = mRenderer.GetTexture();
    mRenderer.SetTexture(nullptr);
    SetBlendMode(kBlendNormal);
    DrawVertices(TPrimitiveType::TriangleFan, TVertexArray(quad, 4));
    mRenderer.SetTexture(remembered);
    if (entered)
        mRenderer.End2d();
}

// ---- blend modes ----

void TDxDisplayHandler::SetBlendMode(TBlendMode mode)
{
    mBlendMode = mode;
    SetBlendFactors(mDevice.State(), mode, IsInAlphaTarget(), GetBlendOptions());
    ApplyStageStates(mode);
}

void TDxDisplayHandler::ApplyStageStates(TBlendMode mode)
{
    TDeviceState& state = mDevice.State();
    state.textureFactor = 0xFFFFFFFFu;
    if (IsInAlphaTarget()) {
        SetAlphaTargetStages(state, mode, mRenderer.GetTexture() != nullptr, GetBlendOptions());
        return;
    }
    state.colorArg1 = {TArgSource::Texture, false};
    if (mNewRenderBlend)
        state.colorArg2 = {TArgSource::Current, false};
    state.colorOp = TTextureOp::Modulate;
    if (mode == kBlendOpaque || (mode == kBlendSubtractive && mNewSubtractive)) {
        state.alphaArg1 = {TArgSource::TFactor, false};
        state.alphaOp = TTextureOp::SelectArg1;
    } else {
        state.alphaArg1 = {TArgSource::Texture, false};
        state.alphaOp = TTextureOp::Modulate;
    }
}

void TDxDisplayHandler::SetOption(const TString& key, const TString& value)
{
    const bool on = std::atoi(value.CStr()) > 0;
    if (key == TString("new_subtractive"))
        mNewSubtractive = on;
    else if (key == TString("new_render_blend"))
        mNewRenderBlend = on;
}

// ---- render targets ----

bool TDxDisplayHandler::IsInAlphaTarget() const
{
    return mTargetTexture != nullptr && mTargetMode == TRenderTargetMode::Alpha;
}

bool TDxDisplayHandler::BeginRenderTarget(const std::shared_ptr<TTexture>& texture,
                                          TRenderTargetMode mode)
{
    if (!IsValid() || !texture)
        return false;
    mTargetMode = mode;
    mTargetTexture = texture;
    PushViewport(TRect(0, 0, texture->GetWidth(), texture->GetHeight()));
    mTargetArea = mViewport;
    TGraphicsHost::Get().RequestFrame();
    if (mode == TRenderTargetMode::Alpha)
        FillRect(mTargetArea, TColor(0, 0, 0, 0), nullptr);
    if (BeginDraw(false))
        return true;
    mTargetTexture.reset();
    PopViewport();
    return false;
}

void TDxDisplayHandler::EndRenderTarget()
{
    if (!mTargetTexture)
        return;
    EndDraw(false);
    PopViewport();
    const TRect region(0, 0, std::min(mTargetArea.right, mDisplayRect.right),
                       std::min(mTargetArea.bottom, mDisplayRect.bottom));
    mTargetArea = mDisplayRect;
    TTexture& texture = *mTargetTexture;
    if (mTargetMode == TRenderTargetMode::Alpha) {
        CopyBackBufferToAlpha(texture, region);
    } else {
        CopyBackBufferToTexture(texture, region);
        if (mTargetMode == TRenderTargetMode::Opaque)
            if (TSurface* surface = texture.GetData().GetSurface())
                surface->MakeOpaque(region);
    }
    mTargetTexture.reset();
}

void TDxDisplayHandler::CopyBackBufferToTexture(TTexture& texture, const TRect& region)
{
    TSurface* surface = texture.GetData().GetSurface();
    if (surface == nullptr || !mBackBuffer)
        return;
    surface->Copy(*mBackBuffer, region, 0, 0);
    texture.GetData().KeepOpaque(region);
}

void TDxDisplayHandler::CopyBackBufferToAlpha(TTexture& texture, const TRect& region)
{
    TSurface* surface = texture.GetData().GetSurface();
    if (surface == nullptr || !mBackBuffer)
        return;
    // The coverage was drawn as grey: any colour byte gives it; the lowest is taken.
    const TRect cut = Intersection(region, surface->GetBounds());
    for (int y = cut.top; y < cut.bottom; ++y) {
        const uint32_t* from = mBackBuffer->Row(y);
        uint32_t* to = surface->Row(y);
        for (int x = cut.left; x < cut.right; ++x)
            to[x] = (to[x] & 0x00FFFFFFu) | ((from[x] & 0xFFu) << 24);
    }
    texture.GetData().KeepOpaque(cut);
}
