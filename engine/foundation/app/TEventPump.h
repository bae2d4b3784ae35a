#pragma once

// The event pump: turns window-system events into event records, one record per call,
// and runs the idle work (sound notifications, the every-turn pass of the main task
// list) when no input is waiting. After idle work it waits for input, for a wake-up from
// another thread, or until the next work is due (a main task, the window manager's
// tasks and frames, the pointer's hover), whichever comes first, so a screen that does
// not change costs no turns. Window-system effects (activation, minimise, close,
// paint, leave) are first recorded as flags; the flags are reported before new input,
// in a fixed order. One window-system event can give several records (a key with its
// character, a text with several characters); those wait in a small queue that is
// served first.
//
// Main thread only.

#include "engine/foundation/app/TEvent.h"
#include "engine/platform/TSystemEvent.h"

#include <cstdint>
#include <deque>

class TEventPumpHost;

class TEventPump
{
public:
    explicit TEventPump(TEventPumpHost& host) : mHost(host) {}

    // One step of the pump; always fills event.
    void GetEvent(TEvent& event);

    // Ends the event loop: the pump reports kQuit once its flags are reported.
    void PostQuit() { mQuitPosted = true; }

    // Whether the loop has been asked to end and not yet told: a quit posted, a close
    // request taken from the window system but not reported, or either waiting in the
    // event source. Takes nothing off the queue; for work that runs long between two
    // GetEvent calls and should give way (a script stopped so the close is served).
    bool IsQuitPending();

    // The display has set a mode (it reports this itself).
    void NotifyDisplayModeSet() { mDisplayModeSet = true; }

    // Activation bookkeeping, as the window system's activation and size changes do it.
    void SetActive(bool active, bool forced);
    void OnActivateApp(bool active);

    bool IsActive() const { return mActive; }
    bool IsMinimized() const { return mMinimized; }
    // The application as a whole has the focus; a change of it waits to be reported.
    bool IsAppActive() const { return mAppActive; }
    bool IsAppActiveChanging() const { return mAppActiveChanged; }

    // Whether the first call of the process wrote "sessionready" (tests reset it).
    static void ResetSessionReady();

private:
    bool ReportFlag(TEvent& event);
    bool WaitWhileHostPaused(TEvent& event);
    void IdleTurn(TEvent& event);
    int TimeUntilNextTurn();
    void Translate(const TSystemEvent& system, TEvent& event);
    void TranslateWindowEffect(const TSystemEvent& system, TEvent& event);
    void TranslateKeyDown(const TSystemEvent& system, TEvent& event);
    void TranslateAltKey(const TSystemEvent& system, TEvent& event);
    void TranslateKeyUp(const TSystemEvent& system, TEvent& event);
    void TranslateText(const TSystemEvent& system, TEvent& event);
    void QueueCharacter(uint32_t unit, int flags);
    void TranslateMouseMove(const TSystemEvent& system, TEvent& event);
    void TranslateMouseButton(const TSystemEvent& system, TEvent& event);
    bool DropsMouseButton(const TSystemEvent& system);
    void FillMouseButton(const TSystemEvent& system, TEvent& event);
    void MousePosition(TEvent& event, int windowX, int windowY);
    bool TakeQueued(TEvent& event);
    void Fill(TEvent& event, int type, int param = 0, int flags = 0);

    TEventPumpHost& mHost;
    std::deque<TEvent> mQueue;

    bool mDisplayModeSet = false;
    bool mActive = true;
    bool mActiveChanged = false;
    bool mCloseRequested = false;
    bool mAppActive = true;
    bool mAppActiveChanged = false;
    bool mMinimized = false;
    bool mWasMinimized = false;
    bool mRedrawRequested = false;
    bool mMouseLeft = false;
    bool mQuitPosted = false;

    bool mMouseActivated = false;
    uint32_t mMouseActivatedTime = 0;
    bool mFocusGainedThisPoll = false; // a click in the same poll activated the window

    bool mHoverArmed = false;
    uint32_t mHoverStart = 0;
    int mButtonsHeld = 0; // bit per button, for the capture
    uint32_t mPendingHighSurrogate = 0;
};
