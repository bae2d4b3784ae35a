#pragma once

// The display set-up and its recovery: opens the main window's output at a size and mode
// through the device context (TDXContext), gives its display handler a back buffer of that
// size, and gets a display that stopped working back.
//
// Its decisions: a window that cannot fit on the desktop, or a machine that once ran out of
// video memory, opens full screen; after a failed open one windowed <-> full-screen
// fallback is tried; a display that cannot open even so (or that cannot exist, see
// SetDisplay) has failed for good: the game is sent a quit message, nothing is set up again,
// and EngineMain ends the process with exit code -1 once the game has returned. A frame
// that cannot be shown makes the display broken until the event pump's restore works.
//
// "common:display.xml" (element "Settings", attribute LowMemoryVideo "1") is read when the
// set-up is made, unless in "-pq=" host mode: a machine that once ran out of video memory
// keeps to full screen.
//
// Main thread only.

#include "engine/platform/TDisplayOutput.h"

#include <cstdint>
#include <memory>

class TDXContext;
class TDxDisplayHandler;
class TSurface;

// What SetDisplay is asked for.
struct TDisplayRequest
{
    int width = 0;
    int height = 0;
    bool fullScreen = false;
    bool force = false; // acts even when nothing changed or the application is inactive
    bool quiet = false; // keeps the informational message boxes back
};

// Where the display stands. Only Open draws and shows frames.
enum class TDisplayState : uint8_t
{
    Closed,        // no display open: none yet, or the last open failed
    Open,          // frames are drawn and shown
    Broken,        // no frame is drawn until a restore or a later set-up works
    Reconfiguring, // broken for lack of video memory; the next open shows a notice first
    FallingBack,   // an open failed and the one fallback is under way: another failure is fatal
    Failed,        // no display can be had: the game was told to quit and nothing opens again
};

class TDisplaySetup
{
public:
    // Log lines that tests look for.
    static constexpr const char* kLowMemorySettingLog =
        "graphics: display: common:display.xml asks for little video memory; the display "
        "opens full screen";
    static constexpr const char* kFullScreenForLowMemoryLog =
        "graphics: display: full screen, for little video memory";
    static constexpr const char* kFullScreenForSmallDesktopLog =
        "graphics: display: full screen, as the window does not fit the desktop";
    // The window's state ("active" or "inactive") and the game's ("foreground" or
    // "background").
    static constexpr const char* kNotOpenedInactiveLog =
        "graphics: display: not opened while the window is %s and the game in the %s; it "
        "counts as broken";
    static constexpr const char* kFallbackFailedLog =
        "graphics: display: the fallback mode cannot be opened either";
    static constexpr const char* kFrameNotShownLog =
        "graphics: display: a frame cannot be shown; restoring the display";

    // Works on handler's back buffer; the handler owns the set-up.
    explicit TDisplaySetup(TDxDisplayHandler& handler);
    ~TDisplaySetup();
    TDisplaySetup(const TDisplaySetup&) = delete;
    TDisplaySetup& operator=(const TDisplaySetup&) = delete;

    // Opens the display as asked; see the definition for the decisions. The display fails
    // for good when the fallback fails, when a machine short of video memory runs in
    // "-pq=" host mode, and when the game's window would belong to another program's.
    void SetDisplay(const TDisplayRequest& request);
    // Switches between full screen and a window of the current size. Refuses (false) a
    // window that would not fit on the desktop, or a machine short of video memory.
    bool SetFullScreen(bool fullScreen);
    bool IsFullScreen() const { return mFullScreen; }
    // Gets a display that stopped working back: sets it up again (forced) when it is
    // closed, short of video memory, or fewer than 3 frames were drawn since the last
    // recovery, else makes the output's surfaces anew and restores the assets. The event
    // pump calls it while the display is not valid; a failed display stays failed.
    void Restore();
    // Every live asset rebuilds its surfaces, the platform's refresh tasks run once and the
    // windows are invalidated; only on a valid display (else logged).
    void RestoreAssets();
    // The desktop mode changed while the application was inactive.
    void UpdateDesktopMode();
    // Vertical sync of windowed presentation (the "vsync" setting).
    void SetVSync(bool on);
    // Remembers, once and while a display is open, that the machine ran out of video
    // memory ("common:display.xml"); the display becomes Reconfiguring.
    void OutOfVideoMemory();

    TDisplayState GetState() const { return mState; }
    bool HasFailed() const { return mState == TDisplayState::Failed; }
    // An open or closed display becomes Broken; a failed, falling-back or reconfiguring one
    // keeps its state. The time is noted in any case.
    void MarkBroken();
    // Marks broken only when the last marking is more than 250 ms old.
    void MarkBrokenThrottled();
    // The handler opened a back buffer: the display is Open unless it has failed.
    void OnBackBufferOpened();

    // Frames drawn since the last set-up or recovery; the application going inactive
    // starts the count again.
    void CountFrame() { ++mWorkingCount; }
    void ResetWorkingCount() { mWorkingCount = 0; }
    // Shows backBuffer unless the window manager is suspended or no output is open. A
    // frame that cannot be shown rebuilds the display (Restore) and answers false.
    bool PresentFrame(const TSurface& backBuffer);

    TDXContext& GetContext() { return *mContext; }

private:
    void ReadDisplaySettings();
    bool OpenDisplay(int width, int height, bool fullScreen, bool quiet);
    void OnDisplayOpened(int width, int height, bool fullScreen);
    void FallBack(int width, int height, bool fullScreen, bool quiet, bool active);
    // The display has failed for good: logged, the game is sent a quit message.
    void Fail(const char* cause);
    void ShowMessage(TDisplayOutput::TMessageIcon icon, const char* caption, const char* text);
    bool IsActiveForSetup() const;

    TDxDisplayHandler& mHandler;
    std::unique_ptr<TDXContext> mContext;
    TDisplayState mState = TDisplayState::Closed;
    uint32_t mBrokenTime = 0;
    int mWorkingCount = 0;
    bool mFullScreen = false;
    bool mBeenFullScreen = false; // a full-screen display opened once
    bool mLowVideoMemory = false;
    bool mCursorOffered = false; // the first display asked the platform for a cursor
    // Guards against re-entry from window messages handled meanwhile.
    bool mInSetup = false;
    bool mRestoring = false;
};
