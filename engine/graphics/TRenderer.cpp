#include "engine/graphics/TRenderer.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/Settings.h"
#include "engine/graphics/TDxDisplayHandler.h"
#include "engine/graphics/TGraphicsHost.h"
#include "engine/graphics/TOverlayText.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/TVertexArray.h"
#include "engine/platform/TProcessMemory.h"

#include <optional>

namespace {

std::unique_ptr<TRenderer> sRenderer;
TRenderer::TOverlayTextFactory sOverlayTextFactory;

} // namespace

TRenderer* TRenderer::Get()
{
    if (!sRenderer)
        sRenderer.reset(new TRenderer());
    return sRenderer.get();
}

void TRenderer::Destroy()
{
    sRenderer.reset();
}

TRenderer::TRenderer()
    : mDisplay(TDxDisplayHandler::Create(*this)), mProcessMemory(TProcessMemory::Create())
{
}

TRenderer::~TRenderer() = default;

bool TRenderer::BeginDraw(bool wait)
{
    mInScene = mDisplay->BeginDraw(wait);
    return mInScene;
}

bool TRenderer::EndDraw(bool present)
{
    mInScene = false;
    RecordFrameEnd();
    if (mStatsOn)
        DrawStats();
    return mDisplay->EndDraw(present);
}

TString TRenderer::FormatStats() const
{
    const std::optional<uint64_t> resident = mProcessMemory->GetResidentBytes();
    const TString memory =
        resident ? TString::Printf("%llu", static_cast<unsigned long long>(*resident / 1024))
                 : TString("?");
    const auto textureMemory = static_cast<unsigned long long>(TTexture::GetCachedSurfaceBytes());
    const int sprites = GetConfig("current_sprite_count", "").ToInt();
    return TString::Printf("Tarnwick Version %d.%d.%d.%d<br>%f FPS<tab pos='150'>Sprites: "
                           "%d<br>Mem: %skb<tab pos='150'>TexMem: %llukb<br>",
                           4, 0, 14, 1, static_cast<double>(mFramesPerSecond), sprites,
                           memory.CStr(), textureMemory / 1024);
}

void TRenderer::SetOverlayTextFactory(TOverlayTextFactory factory)
{
    sOverlayTextFactory = std::move(factory);
}

void TRenderer::DrawStats()
{
    if (!mStatsText && sOverlayTextFactory)
        mStatsText = sOverlayTextFactory();
    const TString text = FormatStats();
    const bool began = Begin2d();
    FillRect(TRect(0, 0, 300, 60), TColor(0, 0, 0, 0));
    if (mStatsText)
        mStatsText->Draw(text, TRect(0, 0, 512, 512));
    if (began)
        End2d();
}

void TRenderer::RecordFrameEnd()
{
    const uint32_t now = TGraphicsHost::Get().GetTimer();
    mFrameEnds[mRingIndex] = now;
    mRingIndex = (mRingIndex + 1) % kFrameRing;
    if (mRingIndex != 0)
        return;
    // The oldest entry is 14 frame ends old: 14 intervals.
    const uint32_t elapsed = now - mFrameEnds[0];
    if (elapsed != 0)
        mFramesPerSecond = static_cast<float>((kFrameRing - 1) * 1000.0 / elapsed);
}

bool TRenderer::Begin2d()
{
    if (mIn2d) {
        TraceLog("%s", kBegin2dTwiceLog);
        return false;
    }
    mIn2d = mDisplay->Begin2d();
    return mIn2d;
}

void TRenderer::End2d()
{
    if (!mIn2d) {
        TraceLog("%s", kEnd2dAloneLog);
        return;
    }
    mDisplay->End2d();
    mIn2d = false;
}

void TRenderer::DrawVertices(TPrimitiveType type, const TVertexArray& vertices)
{
    if (!mIn2d) {
        TraceLog(kOutside2dLog, "DrawVertices");
        return;
    }
    mDisplay->DrawVertices(type, vertices);
}

void TRenderer::DrawSpans(const TDeviceSpan* spans, int count)
{
    if (!mIn2d) {
        TraceLog(kOutside2dLog, "DrawSpans");
        return;
    }
    mDisplay->DrawSpans(spans, count);
}

void TRenderer::DrawIndexedVertices(TPrimitiveType type, const uint16_t* indices,
                                    const TVertexArray& vertices, int indexCount)
{
    if (!mIn2d) {
        TraceLog(kOutside2dLog, "DrawIndexedVertices");
        return;
    }
    mDisplay->DrawIndexedVertices(type, indices, vertices, indexCount);
}

void TRenderer::SetBlendMode(TBlendMode mode)
{
    mDisplay->SetBlendMode(mode);
}

void TRenderer::SetCullMode(TCull mode)
{
    mDisplay->SetCullMode(mode);
}

void TRenderer::SetFilter(TFilter filter)
{
    mDisplay->SetFilter(filter);
}

void TRenderer::SetTexture(std::shared_ptr<TTexture> texture)
{
    if (texture && texture->IsSimple())
        texture.reset();
    mTexture = std::move(texture);
    mDisplay->SetTexture(mTexture);
}

bool TRenderer::IsSquareTexturesOnly() const
{
    return mDisplay->IsSquareTexturesOnly();
}

void TRenderer::SetOption(const TString& key, const TString& value)
{
    mDisplay->SetOption(key, value);
}

TRect TRenderer::GetViewport() const
{
    return mDisplay->GetViewport();
}

void TRenderer::PushViewport(const TRect& viewport)
{
    mDisplay->PushViewport(viewport);
}

void TRenderer::PopViewport()
{
    mDisplay->PopViewport();
}

void TRenderer::PushClipRect(const TRect& clip)
{
    mClipStack.push_back(clip);
    mDisplay->SetClipRect(clip);
}

void TRenderer::SetClipRect(const TRect& clip)
{
    if (mClipStack.empty())
        mClipStack.push_back(clip);
    else
        mClipStack.back() = clip;
    mDisplay->SetClipRect(clip);
}

void TRenderer::PopClipRect()
{
    if (mClipStack.size() < 2)
        return;
    mClipStack.pop_back();
    mDisplay->SetClipRect(mClipStack.back());
}

TRect TRenderer::GetClipRect() const
{
    return mClipStack.empty() ? TRect() : mClipStack.back();
}

bool TRenderer::BeginRenderTarget(std::shared_ptr<TTexture> texture, TRenderTargetMode mode)
{
    if (!texture || texture->IsSimple() || mInScene || mInRenderTarget)
        return false;
    const bool began = mDisplay->BeginRenderTarget(texture, mode);
    mInRenderTarget = mInScene = began;
    return began;
}

void TRenderer::EndRenderTarget()
{
    mDisplay->EndRenderTarget();
    mInRenderTarget = false;
    mInScene = false;
}

void TRenderer::FillRect(const TRect& rect, const TColor& color,
                         const std::shared_ptr<TTexture>& target)
{
    if (target) {
        mDisplay->FillRect(rect, color, target);
        return;
    }
    const TRect viewport = mDisplay->GetViewport();
    TRect moved(rect.left + viewport.left, rect.top + viewport.top, rect.right + viewport.left,
                rect.bottom + viewport.top);
    moved.Intersect(moved, viewport);
    mDisplay->FillRect(moved, color, nullptr);
}

bool TRenderer::ToggleStats()
{
    const bool previous = mStatsOn;
    mStatsOn = !mStatsOn;
    return previous;
}
