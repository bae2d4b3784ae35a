#include "engine/graphics/TDxDisplayHandler.h"

#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/app/TPlatformData.h"
#include "engine/foundation/assets/TAssetManager.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/Settings.h"
#include "engine/foundation/core/TCommandLine.h"
#include "engine/foundation/files/TFile.h"
#include "engine/foundation/host/TMsnZylomHandler.h"
#include "engine/foundation/math/TColor32.h"
#include "engine/foundation/seams/TWindowManagerSeam.h"
#include "engine/foundation/xml/TXmlNode.h"
#include "engine/graphics/BuildQuad.h"
#include "engine/graphics/TBlendMode.h"
#include "engine/graphics/TDXContext.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/TVertexArray.h"
#include "engine/platform/TTimeSource.h"

#include <algorithm>
#include <cstdlib>

namespace {

TDxDisplayHandler* sInstance = nullptr;

uint32_t Now()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform != nullptr ? platform->GetTimer() : TTimeSource::Now();
}

void InvalidateWindows()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (TWindowManagerSeam* windows = platform != nullptr ? platform->GetWindowManager() : nullptr)
        windows->Invalidate();
}

bool IsWindowManagerSuspended()
{
    TPlatform* platform = TPlatform::GetInstance();
    TWindowManagerSeam* windows = platform != nullptr ? platform->GetWindowManager() : nullptr;
    return windows != nullptr && windows->IsSuspended();
}

void Sleep(int milliseconds)
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->Sleep(milliseconds);
}

bool IsMinimized()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform != nullptr && platform->GetData().GetPump().IsMinimized();
}

// The process ends at once, without any clean-up, with exit code -1.
[[noreturn]] void EndProcess()
{
    std::_Exit(-1);
}

const char kDisplaySettings[] = "common:display.xml";

// Sets a flag (in set-up, restoring) for a scope and clears it on every way out.
class TFlagScope
{
public:
    explicit TFlagScope(bool& flag) : mFlag(flag) { mFlag = true; }
    ~TFlagScope() { mFlag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& mFlag;
};

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
    : mRenderer(renderer), mContext(std::make_unique<TDXContext>())
{
    if (!HasPqSwitch())
        ReadDisplaySettings();
}

void TDxDisplayHandler::ReadDisplaySettings()
{
    TXmlNode root;
    if (!root.LoadFile(kDisplaySettings))
        return;
    const TXmlNode* settings = root.FindChild("Settings");
    if (settings == nullptr)
        return;
    mLowVideoMemory = std::atoi(settings->GetAttribute("LowMemoryVideo").CStr()) != 0;
    if (mLowVideoMemory)
        TraceLog("Low memory video card setting enabled!");
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
    mBroken = false;
    mInScene = false;
    SetStartUpState();
    SetDeviceViewport(mViewport);
    return true;
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
    return mBackBuffer != nullptr && !mBroken;
}

void TDxDisplayHandler::MarkBroken()
{
    mBroken = true;
    mBrokenTime = Now();
}

void TDxDisplayHandler::MarkBrokenThrottled()
{
    if (!mBroken || Now() - mBrokenTime > 250)
        MarkBroken();
}

// The display set-up. Every way out clears the in-set-up flag; a call made while one runs
// (from a window message handled meanwhile) waits 50 ms and does nothing.
void TDxDisplayHandler::SetDisplay(int width, int height, bool fullScreen, bool force, bool quiet,
                                   bool childWindow)
{
    if (mInSetup) {
        Sleep(50);
        return;
    }
    TFlagScope inSetup(mInSetup);
    if (TMsnZylomHandler::IsZylomHost()) {
        fullScreen = false;
        quiet = true;
    }
    TPlatform* platform = TPlatform::GetInstance();
    if (platform == nullptr)
        return;
    if (IsMinimized()) {
        Sleep(100);
        return;
    }
    if (mLowVideoMemory) {
        if (HasPqSwitch()) {
            ShowMessage(TDisplayOutput::TMessageIcon::Warning, "Error",
                        "You cannot run this application at your current screen resolution or "
                        "bit depth (out of memory). Change your display settings and run again. "
                        "Closing other applications might also help.");
            EndProcess();
        }
        TraceLog("SetDisplay Forcing Fullscreen (MEMORY)");
        fullScreen = true;
    }
    const bool active = IsActiveForSetup();
    if (!active && !force)
        return;
    TPlatformData& data = platform->GetData();
    if (data.IsHosted() && !data.IsAxTest() && data.GetExternalWindowParent() != 0) {
        // No window of another program can be a host here: every host window is lost.
        TraceLog("Error: mExternalWindowParent is lost, exiting!");
        EndProcess();
    }
    if (mFatal)
        EndProcess();
    mWorkingCount = 0;
    // The desktop is never palettised here: its colours are always -1.
    if (fullScreen == mFullScreen && width == mDisplayRect.right && height == mDisplayRect.bottom &&
        !force)
        return;
    if (!OpenDisplay(width, height, fullScreen, quiet))
        return;
    OnDisplayOpened(width, height, mFullScreen, childWindow);
}

// Steps from the window checks to the device context's Create; false after a failure,
// which has been dealt with (fallback, broken or fatal).
bool TDxDisplayHandler::OpenDisplay(int width, int height, bool fullScreen, bool quiet)
{
    TPlatform* platform = TPlatform::GetInstance();
    TPlatformData& data = platform->GetData();
    mContext->GetOutput(); // from here on the context knows the desktop
    float scale = 1.0f;
    data.GetScale(scale);
    const int scaledWidth = static_cast<int>(static_cast<float>(width) * scale);
    const int scaledHeight = static_cast<int>(static_cast<float>(height) * scale);
    if (!fullScreen && !HasPqSwitch() && mContext->IsDesktopTooSmall(scaledWidth, scaledHeight)) {
        TraceLog("SetDisplay Forcing Fullscreen (SMALL)");
        fullScreen = true;
    }
    platform->GetAssetManager().ReleaseAll();
    data.GetPump().NotifyDisplayModeSet();

    mFullScreen = fullScreen;
    CloseBackBuffer();
    mDisplayRect = TRect(0, 0, width, height);
    mViewport = mClipRect = mTargetArea = mDisplayRect;
    mBroken = false;
    mContext->Destroy();
    if (mReconfigureNotice) {
        ShowMessage(TDisplayOutput::TMessageIcon::Warning, "Reconfiguring",
                    "Your video card doesn't have enough memory in the current mode. Changing "
                    "to another mode. This setting will be saved so you won't see this box "
                    "again. This will take less than a minute. Press OK to continue.");
        mReconfigureNotice = false;
    }
    if (mContext->Create(fullScreen, width, height))
        return true;
    FallBack(width, height, fullScreen, quiet, IsActiveForSetup());
    return false;
}

// After a failed Create: exactly one windowed <-> full-screen fallback, else broken, or
// fatal when the fallback failed too.
void TDxDisplayHandler::FallBack(int width, int height, bool fullScreen, bool quiet, bool active)
{
    // Too few colours and host windows do not exist here.
    if (mBeenFullScreen && fullScreen) {
        MarkBroken();
        Sleep(150);
        return;
    }
    TPlatform* platform = TPlatform::GetInstance();
    const bool foreground = platform->GetData().GetPump().IsAppActive();
    if (!mFallbackTried && !(active && foreground)) {
        TraceLog("SetDisplay marking DirectX Broken: %s, %s", active ? "ACTIVE" : "INACTIVE",
                 foreground ? "BACKGROUND" : "FOREGROUND");
        MarkBroken();
        return;
    }
    // The fallback is a set-up of its own: the flag of this one must not refuse it.
    if (!fullScreen && mContext->IsDesktopTooSmall(width, height)) {
        if (!quiet)
            ShowMessage(TDisplayOutput::TMessageIcon::None, "Error",
                        "Cannot run in a window when your desktop is set to 800x600 or lower "
                        "resolution. Switching to full screen.");
        mFallbackTried = true;
        mInSetup = false;
        SetDisplay(width, height, true, true, false, false);
        return;
    }
    if (mFallbackTried) {
        TraceLog("ERROR FALLBACK FAILED");
        ShowMessage(TDisplayOutput::TMessageIcon::Stop, "Error",
                    "Failed to initialize window. Please try running the game again. If that "
                    "doesn't help, try changing the screen resolution and color depth. If that "
                    "fails, then your video card does not support this game.");
        platform->PostQuitMessage(0);
        mFatal = true;
        return;
    }
    mFallbackTried = true;
    mInSetup = false;
    if (!fullScreen) {
        if (!quiet)
            ShowMessage(TDisplayOutput::TMessageIcon::None, "Error",
                        "Failed to initialize windowed mode. Trying full screen.");
        SetDisplay(width, height, true, false, false, false);
        return;
    }
    SetDisplay(width, height, false, true, false, false);
    if (!quiet)
        ShowMessage(TDisplayOutput::TMessageIcon::None, "Error",
                    "Failed to initialize full screen mode. Your video card is not supported. "
                    "Trying to run in a window.");
}

void TDxDisplayHandler::OnDisplayOpened(int width, int height, bool fullScreen, bool childWindow)
{
    mFallbackTried = false;
    TDisplayOutput* output = mContext->GetOutput();
    if (!childWindow) {
        int x = 0;
        int y = 0;
        output->GetWindowPosition(x, y);
        if (!fullScreen && x == 0 && y == 0)
            output->CentreOnScreen();
        output->Show(fullScreen);
    }
    mContext->UpdateWindowBounds(); // a window takes its full-screen size when shown
    OpenBackBuffer(width, height);
    TPlatform* platform = TPlatform::GetInstance();
    TWindowManagerSeam* windows = platform->GetWindowManager();
    if (windows != nullptr && !windows->IsSuspended())
        mContext->Present(*mBackBuffer);
    if (!IsValid())
        return;
    if (!mContext->HasMouseImage() && !mCursorOffered) {
        mCursorOffered = true;
        platform->SetMouseImage(nullptr, 2, 2, false);
    }
    RestoreAssets();
    InvalidateWindows();
    if (fullScreen)
        mBeenFullScreen = true;
    SetConfig("monitorfrequency", TString::Printf("%d", mContext->GetRefreshRate()));
}

void TDxDisplayHandler::CloseBackBuffer()
{
    mDevice.SetRenderTarget(nullptr);
    mBackBuffer.reset();
    mInScene = false;
}

bool TDxDisplayHandler::IsActiveForSetup() const
{
    TPlatform* platform = TPlatform::GetInstance();
    if (platform == nullptr)
        return false;
    const TEventPump& pump = platform->GetData().GetPump();
    bool active = pump.IsActive();
    if (pump.IsAppActiveChanging())
        active = active && pump.IsAppActive();
    return active;
}

void TDxDisplayHandler::ShowMessage(TDisplayOutput::TMessageIcon icon, const char* caption,
                                    const char* text)
{
    if (TDisplayOutput* output = mContext->GetOutput())
        output->ShowMessage(icon, caption, text);
    else
        TraceLog("%s: %s", caption, text);
}

bool TDxDisplayHandler::SetFullScreen(bool fullScreen)
{
    if (!fullScreen) {
        mContext->GetOutput();
        const bool fits = mDisplayRect.right < mContext->GetDesktopWidth() &&
                          mDisplayRect.bottom < mContext->GetDesktopHeight();
        if (mContext->GetDesktopColours() != -1 || !fits || mLowVideoMemory)
            return false;
    }
    SetDisplay(mDisplayRect.right, mDisplayRect.bottom, fullScreen, false, false, false);
    return true;
}

void TDxDisplayHandler::Restore()
{
    if (mRestoring) {
        MarkBroken();
        Sleep(50);
        return;
    }
    TFlagScope restoring(mRestoring);
    TPlatform* platform = TPlatform::GetInstance();
    if (platform == nullptr)
        return;
    if (IsMinimized()) {
        Sleep(50);
        return;
    }
    platform->GetAssetManager().ReleaseAll();
    const int width = mDisplayRect.right;
    const int height = mDisplayRect.bottom;
    if (!mContext->IsOpen() || mReconfigureNotice) {
        TraceLog("TPlatformData::Restore: mDirectDraw NULL. Calling SetDisplay()");
        SetDisplay(width, height, mFullScreen, true, true, false);
        return;
    }
    // Nothing can take the screen away from a window here, so there is no exclusive mode
    // to wait for: what failed was showing a frame.
    if (mWorkingCount < 3) {
        if (platform->GetData().GetPump().IsActive()) {
            TraceLog("TPlatformData::Restore: Working count too small (%d). Calling SetDisplay()",
                     mWorkingCount);
            SetDisplay(width, height, mFullScreen, true, false, false);
        } else {
            MarkBroken();
        }
        return;
    }
    mWorkingCount = 0;
    mBroken = false;
    if (mContext->RestoreSurfaces()) {
        RestoreAssets();
        InvalidateWindows();
        return;
    }
    TraceLog("RestoreAllSurfaces failed!");
    SetDisplay(width, height, mFullScreen, true, false, false);
}

void TDxDisplayHandler::RestoreAssets()
{
    if (!IsValid()) {
        TraceLog("RestoreAssets: DX broken");
        return;
    }
    TPlatform* platform = TPlatform::GetInstance();
    if (platform == nullptr)
        return;
    platform->GetAssetManager().RestoreAll();
    platform->RunRefreshTasks();
    InvalidateWindows();
}

void TDxDisplayHandler::UpdateDesktopMode()
{
    mContext->UpdateDesktopMode();
}

void TDxDisplayHandler::SetVSync(bool on)
{
    mContext->SetVSync(on);
}

void TDxDisplayHandler::OutOfVideoMemory()
{
    if (mLowVideoMemory || !mContext->IsOpen())
        return;
    TraceLog("OutOfVideoMemory triggered!");
    mLowVideoMemory = true;
    MarkBroken();
    mReconfigureNotice = true;
    TXmlNode settings("Settings");
    settings.SetAttribute("LowMemoryVideo", "1");
    const TString text = settings.ToString();
    TFile file;
    if (file.Open(kDisplaySettings, kFileWriteText))
        file.Write(text.CStr(), static_cast<size_t>(text.Length()));
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

bool TDxDisplayHandler::BeginDraw(bool)
{
    if (!IsValid())
        return false;
    ++mWorkingCount;
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
    if (!present || IsWindowManagerSuspended() || !mContext->IsOpen())
        return true;
    if (mContext->Present(*mBackBuffer))
        return true;
    TraceLog("TPlatform::EndDraw: Unexpected error (see above) on UpdateFrame or EndScene");
    Restore();
    return false;
}

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
        TraceLog("display: viewport pop without a push; ignored");
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

void TDxDisplayHandler::SetBlendMode(TBlendMode mode)
{
    mBlendMode = mode;
    TDeviceState& state = mDevice.State();
    const auto blend = [&state](TBlend src, TBlend dest) {
        state.srcBlend = src;
        state.destBlend = dest;
        state.alphaBlendEnable = true;
    };
    const bool alphaTarget = IsInAlphaTarget();
    switch (mode) {
    case kBlendNormal:
        blend(TBlend::SrcAlpha, alphaTarget ? TBlend::One : TBlend::InvSrcAlpha);
        break;
    case kBlendOpaque:
        state.alphaBlendEnable = false;
        break;
    case kBlendAdditiveAlpha:
        blend(TBlend::SrcAlpha, TBlend::One);
        break;
    case kBlendSubtractive:
        if (!alphaTarget)
            blend(TBlend::Zero, TBlend::InvSrcColor);
        else if (mNewSubtractive)
            blend(TBlend::One, TBlend::One);
        else
            blend(TBlend::SrcAlpha, TBlend::InvSrcAlpha);
        break;
    case kBlendMultiplicative:
        blend(TBlend::Zero, TBlend::SrcColor);
        break;
    }
    ApplyStageStates(mode);
}

void TDxDisplayHandler::ApplyStageStates(TBlendMode mode)
{
    TDeviceState& state = mDevice.State();
    state.textureFactor = 0xFFFFFFFFu;
    if (IsInAlphaTarget()) {
        // The drawn grey level is the coverage that becomes the texture's alpha.
        if (mode == kBlendSubtractive && mNewSubtractive) {
            state.colorArg1 = {TArgSource::TFactor, false};
        } else if (mRenderer.GetTexture()) {
            state.colorArg1 = {TArgSource::Texture, true};
            if (mNewRenderBlend) {
                state.colorArg2 = {TArgSource::Diffuse, true};
                state.colorOp = TTextureOp::Modulate;
            }
        } else {
            state.colorArg1 = {TArgSource::Diffuse, true};
            if (mNewRenderBlend)
                state.colorOp = TTextureOp::SelectArg1;
        }
        if (!mNewRenderBlend)
            state.colorOp = TTextureOp::SelectArg1;
        state.alphaArg1 = {TArgSource::TFactor, false};
        state.alphaOp = TTextureOp::SelectArg1;
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
    InvalidateWindows();
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
