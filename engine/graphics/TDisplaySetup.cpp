#include "engine/graphics/TDisplaySetup.h"

#include "engine/foundation/assets/TAssetManager.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/Settings.h"
#include "engine/foundation/core/TCommandLine.h"
#include "engine/foundation/files/TFile.h"
#include "engine/foundation/host/TMsnZylomHandler.h"
#include "engine/foundation/xml/TXmlNode.h"
#include "engine/graphics/TDXContext.h"
#include "engine/graphics/TDxDisplayHandler.h"
#include "engine/graphics/TGraphicsHost.h"

#include <cstdlib>

namespace {

const char kDisplaySettings[] = "common:display.xml";

TGraphicsHost& Host()
{
    return TGraphicsHost::Get();
}

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

} // namespace

TDisplaySetup::TDisplaySetup(TDxDisplayHandler& handler)
    : mHandler(handler), mContext(std::make_unique<TDXContext>())
{
    if (!HasPqSwitch())
        ReadDisplaySettings();
}

TDisplaySetup::~TDisplaySetup() = default;

void TDisplaySetup::ReadDisplaySettings()
{
    TXmlNode root;
    if (!root.LoadFile(kDisplaySettings))
        return;
    const TXmlNode* settings = root.FindChild("Settings");
    if (settings == nullptr)
        return;
    mLowVideoMemory = std::atoi(settings->GetAttribute("LowMemoryVideo").CStr()) != 0;
    if (mLowVideoMemory)
        TraceLog("%s", kLowMemorySettingLog);
}

// ---- state ----

void TDisplaySetup::MarkBroken()
{
    if (mState == TDisplayState::Closed || mState == TDisplayState::Open)
        mState = TDisplayState::Broken;
    mBrokenTime = Host().GetTimer();
}

void TDisplaySetup::MarkBrokenThrottled()
{
    if (mState == TDisplayState::Open || Host().GetTimer() - mBrokenTime > 250)
        MarkBroken();
}

void TDisplaySetup::OnBackBufferOpened()
{
    if (mState != TDisplayState::Failed)
        mState = TDisplayState::Open;
}

void TDisplaySetup::Fail(const char* cause)
{
    TraceLog("graphics: display: %s; the game is told to quit", cause);
    mState = TDisplayState::Failed;
    Host().PostQuitMessage(0);
}

// ---- set-up ----

// Every way out clears the in-set-up flag; a call made while one runs (from a window
// message handled meanwhile) waits 50 ms and does nothing.
void TDisplaySetup::SetDisplay(const TDisplayRequest& request)
{
    if (mState == TDisplayState::Failed) {
        TraceLog("graphics: display: %dx%d refused: the display has failed", request.width,
                 request.height);
        return;
    }
    if (mInSetup) {
        Host().Sleep(50);
        return;
    }
    TFlagScope inSetup(mInSetup);
    bool fullScreen = request.fullScreen;
    bool quiet = request.quiet;
    if (TMsnZylomHandler::IsZylomHost()) {
        fullScreen = false;
        quiet = true;
    }
    if (!Host().CanShowDisplay())
        return;
    if (Host().GetActivity().minimized) {
        Host().Sleep(100);
        return;
    }
    if (mLowVideoMemory) {
        if (HasPqSwitch()) {
            ShowMessage(TDisplayOutput::TMessageIcon::Warning, "Error",
                        "You cannot run this application at your current screen resolution or "
                        "bit depth (out of memory). Change your display settings and run again. "
                        "Closing other applications might also help.");
            Fail("out of video memory in host mode");
            return;
        }
        TraceLog("%s", kFullScreenForLowMemoryLog);
        fullScreen = true;
    }
    const bool active = IsActiveForSetup();
    if (!active && !request.force)
        return;
    const TGraphicsHost::THosting hosting = Host().GetHosting();
    if (hosting.hosted && !hosting.axTest && hosting.externalParent != 0) {
        // The game's window cannot be put inside another program's window: the host
        // window counts as lost.
        Fail("the host window is lost");
        return;
    }
    mWorkingCount = 0;
    // The desktop reports no colour count (-1), so only the size and the mode are compared.
    const TRect current = mHandler.GetDisplayRect();
    if (fullScreen == mFullScreen && request.width == current.right &&
        request.height == current.bottom && !request.force)
        return;
    if (!OpenDisplay(request.width, request.height, fullScreen, quiet))
        return;
    OnDisplayOpened(request.width, request.height, mFullScreen);
}

// Steps from the window checks to the device context's Create; false after a failure,
// which has been dealt with (fallback, broken or failed).
bool TDisplaySetup::OpenDisplay(int width, int height, bool fullScreen, bool quiet)
{
    mContext->GetOutput(); // makes the output: the context knows the desktop from now on
    const float scale = Host().GetHosting().scale;
    const int scaledWidth = static_cast<int>(static_cast<float>(width) * scale);
    const int scaledHeight = static_cast<int>(static_cast<float>(height) * scale);
    if (!fullScreen && !HasPqSwitch() && mContext->IsDesktopTooSmall(scaledWidth, scaledHeight)) {
        TraceLog("%s", kFullScreenForSmallDesktopLog);
        fullScreen = true;
    }
    Host().GetAssetCache().ReleaseAll();
    Host().NotifyDisplayModeSet();

    mFullScreen = fullScreen;
    mHandler.CloseBackBuffer(width, height);
    mContext->Destroy();
    if (mState == TDisplayState::Reconfiguring)
        ShowMessage(TDisplayOutput::TMessageIcon::Warning, "Reconfiguring",
                    "Your video card doesn't have enough memory in the current mode. Changing "
                    "to another mode. This setting will be saved so you won't see this box "
                    "again. This will take less than a minute. Press OK to continue.");
    if (mState != TDisplayState::FallingBack)
        mState = TDisplayState::Closed;
    if (mContext->Create(fullScreen, width, height))
        return true;
    FallBack(width, height, fullScreen, quiet, IsActiveForSetup());
    return false;
}

// After a failed Create: exactly one windowed <-> full-screen fallback, else broken, or
// failed when the fallback failed too.
void TDisplaySetup::FallBack(int width, int height, bool fullScreen, bool quiet, bool active)
{
    // A full-screen mode that worked before is taken to come back: broken, not failed.
    if (mBeenFullScreen && fullScreen) {
        MarkBroken();
        Host().Sleep(150);
        return;
    }
    const bool foreground = Host().GetActivity().foreground;
    const bool fallbackTried = mState == TDisplayState::FallingBack;
    if (!fallbackTried && !(active && foreground)) {
        TraceLog(kNotOpenedInactiveLog, active ? "active" : "inactive",
                 foreground ? "foreground" : "background");
        MarkBroken();
        return;
    }
    // The fallback is a set-up of its own: the flag of this one must not refuse it.
    if (!fullScreen && mContext->IsDesktopTooSmall(width, height)) {
        if (!quiet)
            ShowMessage(TDisplayOutput::TMessageIcon::None, "Error",
                        "Cannot run in a window when your desktop is set to 800x600 or lower "
                        "resolution. Switching to full screen.");
        mState = TDisplayState::FallingBack;
        mInSetup = false;
        SetDisplay({.width = width, .height = height, .fullScreen = true, .force = true});
        return;
    }
    if (fallbackTried) {
        TraceLog("%s", kFallbackFailedLog);
        ShowMessage(TDisplayOutput::TMessageIcon::Stop, "Error",
                    "Failed to initialize window. Please try running the game again. If that "
                    "doesn't help, try changing the screen resolution and color depth. If that "
                    "fails, then your video card does not support this game.");
        Fail("no display mode could be opened");
        return;
    }
    mState = TDisplayState::FallingBack;
    mInSetup = false;
    if (!fullScreen) {
        if (!quiet)
            ShowMessage(TDisplayOutput::TMessageIcon::None, "Error",
                        "Failed to initialize windowed mode. Trying full screen.");
        SetDisplay({.width = width, .height = height, .fullScreen = true});
        return;
    }
    SetDisplay({.width = width, .height = height, .fullScreen = false, .force = true});
    if (!quiet)
        ShowMessage(TDisplayOutput::TMessageIcon::None, "Error",
                    "Failed to initialize full screen mode. Your video card is not supported. "
                    "Trying to run in a window.");
}

void TDisplaySetup::OnDisplayOpened(int width, int height, bool fullScreen)
{
    if (mState == TDisplayState::FallingBack)
        mState = TDisplayState::Closed; // the fallback worked
    TDisplayOutput* output = mContext->GetOutput();
    // A window inside another program's window is placed and shown by that program.
    if (Host().GetHosting().externalParent == 0) {
        int x = 0;
        int y = 0;
        output->GetWindowPosition(x, y);
        if (!fullScreen && x == 0 && y == 0)
            output->CentreOnScreen();
        output->Show(fullScreen);
    }
    mContext->UpdateWindowBounds(); // a window takes its full-screen size when shown
    mHandler.OpenBackBuffer(width, height);
    const TSurface* backBuffer = mHandler.GetBackBuffer();
    if (backBuffer != nullptr && Host().GetWindowFrames() == TGraphicsHost::TWindowFrames::Drawn)
        mContext->Present(*backBuffer);
    if (!mHandler.IsValid())
        return;
    if (!mContext->HasMouseImage() && !mCursorOffered) {
        mCursorOffered = true;
        Host().UseDefaultCursor();
    }
    RestoreAssets();
    Host().RequestFrame();
    if (fullScreen)
        mBeenFullScreen = true;
    SetConfig("monitorfrequency", TString::Printf("%d", mContext->GetRefreshRate()));
}

bool TDisplaySetup::IsActiveForSetup() const
{
    if (!Host().CanShowDisplay())
        return false;
    const TGraphicsHost::TActivity activity = Host().GetActivity();
    bool active = activity.active;
    if (activity.foregroundChanging)
        active = active && activity.foreground;
    return active;
}

void TDisplaySetup::ShowMessage(TDisplayOutput::TMessageIcon icon, const char* caption,
                                const char* text)
{
    if (TDisplayOutput* output = mContext->GetOutput())
        output->ShowMessage(icon, caption, text);
    else
        TraceLog("graphics: display: %s: %s", caption, text);
}

bool TDisplaySetup::SetFullScreen(bool fullScreen)
{
    const TRect current = mHandler.GetDisplayRect();
    if (!fullScreen) {
        mContext->GetOutput();
        const bool fits = current.right < mContext->GetDesktopWidth() &&
                          current.bottom < mContext->GetDesktopHeight();
        if (mContext->GetDesktopColours() != -1 || !fits || mLowVideoMemory)
            return false;
    }
    SetDisplay({.width = current.right, .height = current.bottom, .fullScreen = fullScreen});
    return true;
}

// ---- recovery ----

void TDisplaySetup::Restore()
{
    if (mState == TDisplayState::Failed)
        return;
    if (mRestoring) {
        MarkBroken();
        Host().Sleep(50);
        return;
    }
    TFlagScope restoring(mRestoring);
    if (!Host().CanShowDisplay())
        return;
    if (Host().GetActivity().minimized) {
        Host().Sleep(50);
        return;
    }
    Host().GetAssetCache().ReleaseAll();
    const TRect current = mHandler.GetDisplayRect();
    TDisplayRequest again{
        .width = current.right, .height = current.bottom, .fullScreen = mFullScreen, .force = true};
    if (!mContext->IsOpen() || mState == TDisplayState::Reconfiguring) {
        TraceLog("graphics: display: restoring a display that is not open; setting it up again");
        again.quiet = true;
        SetDisplay(again);
        return;
    }
    // The output has no exclusive mode that another program could take away, so there is
    // nothing to wait for: what failed was showing a frame.
    if (mWorkingCount < 3) {
        if (Host().GetActivity().active) {
            TraceLog("graphics: display: %d frames drawn since it was set up; setting it up again",
                     mWorkingCount);
            SetDisplay(again);
        } else {
            MarkBroken();
        }
        return;
    }
    mWorkingCount = 0;
    mState = TDisplayState::Open;
    if (mContext->RestoreSurfaces()) {
        RestoreAssets();
        Host().RequestFrame();
        return;
    }
    TraceLog("graphics: display: its surfaces cannot be restored; setting it up again");
    SetDisplay(again);
}

void TDisplaySetup::RestoreAssets()
{
    if (!mHandler.IsValid()) {
        TraceLog("graphics: display: assets not restored: the display is broken");
        return;
    }
    if (!Host().CanShowDisplay())
        return;
    Host().GetAssetCache().RestoreAll();
    Host().RunRefreshTasks();
    Host().RequestFrame();
}

bool TDisplaySetup::PresentFrame(const TSurface& backBuffer)
{
    if (Host().GetWindowFrames() == TGraphicsHost::TWindowFrames::Suspended || !mContext->IsOpen())
        return true;
    if (mContext->Present(backBuffer))
        return true;
    TraceLog("%s", kFrameNotShownLog);
    Restore();
    return false;
}

void TDisplaySetup::UpdateDesktopMode()
{
    mContext->UpdateDesktopMode();
}

void TDisplaySetup::SetVSync(bool on)
{
    mContext->SetVSync(on);
}

void TDisplaySetup::OutOfVideoMemory()
{
    if (mLowVideoMemory || !mContext->IsOpen())
        return;
    TraceLog("graphics: display: out of video memory; full screen from now on, as %s keeps",
             kDisplaySettings);
    mLowVideoMemory = true;
    MarkBroken();
    mState = TDisplayState::Reconfiguring;
    TXmlNode settings("Settings");
    settings.SetAttribute("LowMemoryVideo", "1");
    const TString text = settings.ToString();
    TFile file;
    if (file.Open(kDisplaySettings, kFileWriteText))
        file.Write(text.CStr(), static_cast<size_t>(text.Length()));
}
