#include "engine/graphics/TDXContext.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/graphics/CursorPixels.h"
#include "engine/graphics/TGraphicsHost.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/device/TSurface.h"
#include "engine/platform/TNativeWindow.h"

#include <vector>

namespace {

TDXContext::TOutputFactory& OutputFactory()
{
    static TDXContext::TOutputFactory factory;
    return factory;
}

std::unique_ptr<TDisplayOutput> MakeOutput()
{
    if (OutputFactory())
        return OutputFactory()();
    TNativeWindow* window = TGraphicsHost::Get().GetMainWindow();
    if (window == nullptr) {
        TraceLog("graphics: display: there is no main window to show frames in");
        return nullptr;
    }
    return window->CreateDisplayOutput();
}

bool IsHosted()
{
    return TGraphicsHost::Get().GetHosting().hosted;
}

uint64_t Pack(TDXContext::TPoint point)
{
    return (static_cast<uint64_t>(static_cast<uint32_t>(point.x)) << 32) |
           static_cast<uint32_t>(point.y);
}

} // namespace

void TDXContext::SetOutputFactory(TOutputFactory factory)
{
    OutputFactory() = std::move(factory);
}

TDXContext::TDXContext() : mPosition(Pack({-1, -1})) {}

TDXContext::~TDXContext()
{
    Destroy();
}

TDisplayOutput* TDXContext::GetOutput()
{
    if (!mOutputMade) {
        mOutputMade = true;
        mOutput = MakeOutput();
        if (mOutput)
            UpdateDesktopMode();
    }
    return mOutput.get();
}

bool TDXContext::Create(bool fullScreen, int width, int height)
{
    Destroy();
    TDisplayOutput* output = GetOutput();
    if (output == nullptr)
        return false;
    UpdateDesktopMode();
    if (!fullScreen && !IsHosted() && IsDesktopTooSmall(width, height)) {
        TraceLog("graphics: display: a %dx%d window does not fit on the %dx%d desktop", width,
                 height, mDesktopWidth, mDesktopHeight);
        return false;
    }
    if (!output->Open(width, height, fullScreen, fullScreen || mVSync))
        return false;
    mFullScreen = fullScreen;
    mWidth = width;
    mHeight = height;
    UpdateWindowBounds();
    TraceLog("graphics: display: %dx%d %s on a %dx%d desktop; renderer %s", width, height,
             fullScreen ? "full screen" : "in a window", mDesktopWidth, mDesktopHeight,
             output->Describe().c_str());
    return true;
}

void TDXContext::Destroy()
{
    if (mOutput)
        mOutput->Close();
}

bool TDXContext::IsOpen() const
{
    return mOutput && mOutput->IsOpen();
}

void TDXContext::UpdateDesktopMode()
{
    if (TDisplayOutput* output = GetOutput()) {
        const TDisplayOutput::TDesktopMode desktop = output->GetDesktopMode();
        SetDesktopMode(-1, desktop.width, desktop.height);
    }
}

void TDXContext::SetDesktopMode(int colours, int width, int height)
{
    mDesktopColours = colours;
    mDesktopWidth = width;
    mDesktopHeight = height;
}

bool TDXContext::IsDesktopTooSmall(int width, int height) const
{
    return !(width < mDesktopWidth && height < mDesktopHeight);
}

int TDXContext::GetRefreshRate()
{
    TDisplayOutput* output = GetOutput();
    return output != nullptr ? output->GetDesktopMode().refreshRate : 0;
}

bool TDXContext::Present(const TSurface& backBuffer)
{
    if (!IsOpen() || backBuffer.GetWidth() != mWidth || backBuffer.GetHeight() != mHeight)
        return false;
    return mOutput->Present(backBuffer.GetPixels(), backBuffer.GetPitch());
}

bool TDXContext::RestoreSurfaces()
{
    return IsOpen() && mOutput->RestoreSurfaces();
}

void TDXContext::SetVSync(bool on)
{
    mVSync = on;
    if (IsOpen())
        mOutput->SetVSync(mFullScreen || on);
}

bool TDXContext::SetMouseImage(const std::shared_ptr<TTexture>& texture, int hotX, int hotY)
{
    TDisplayOutput* output = GetOutput();
    if (output == nullptr)
        return false;
    std::vector<uint32_t> pixels;
    uint32_t* texels = nullptr;
    int pitch = 0;
    if (texture && texture->Lock(texels, pitch)) {
        pixels = MakeCursorPixels(texels, pitch, texture->GetWidth(), texture->GetHeight());
        texture->Unlock();
    } else if (texture) {
        TraceLog(
            "graphics: display: the cursor image cannot be read; the system's arrow stands in");
    }
    if (pixels.empty())
        output->SetCursorImage(nullptr, 0, 0, 0, 0);
    else
        output->SetCursorImage(pixels.data(), texture->GetWidth(), texture->GetHeight(), hotX,
                               hotY);
    mHasImage = texture != nullptr;
    mVisible = true;
    output->ShowCursor(true);
    return true;
}

void TDXContext::ShowMouse(bool show)
{
    if (show == mVisible)
        return;
    mVisible = show;
    if (TDisplayOutput* output = GetOutput())
        output->ShowCursor(show);
}

TDXContext::TPoint TDXContext::MoveMouse(int windowX, int windowY)
{
    if (windowX == -1 && windowY == -1)
        return GetMousePosition();
    // In full screen the frame is stretched over the window.
    TPoint point{windowX, windowY};
    if (mWindowWidth > 0 && mWindowHeight > 0 && mWidth > 0 && mHeight > 0) {
        point.x = static_cast<int>(static_cast<int64_t>(windowX) * mWidth / mWindowWidth);
        point.y = static_cast<int>(static_cast<int64_t>(windowY) * mHeight / mWindowHeight);
    }
    StorePosition(point);
    if (mOutput)
        mOutput->TrackPointer(windowX, windowY);
    return point;
}

TDXContext::TPoint TDXContext::GetMousePosition() const
{
    const uint64_t packed = mPosition.load();
    return {static_cast<int>(static_cast<uint32_t>(packed >> 32)),
            static_cast<int>(static_cast<uint32_t>(packed))};
}

void TDXContext::StorePosition(TPoint point)
{
    mPosition.store(Pack(point));
}

void TDXContext::HideCursor()
{
    StorePosition({-1, -1});
    if (mOutput)
        mOutput->TrackPointer(-1, -1);
}

void TDXContext::UpdateWindowBounds()
{
    if (mOutput)
        mOutput->GetWindowSize(mWindowWidth, mWindowHeight);
}
