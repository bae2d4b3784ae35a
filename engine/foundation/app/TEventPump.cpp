#include "engine/foundation/app/TEventPump.h"

#include "engine/foundation/app/TEventPumpHost.h"
#include "engine/foundation/core/TString.h"
#include "engine/foundation/seams/TDisplaySeam.h"
#include "engine/foundation/seams/TRendererSeam.h"
#include "engine/foundation/seams/TSoundManagerSeam.h"
#include "engine/foundation/seams/TWindowManagerSeam.h"
#include "engine/platform/TEventSource.h"
#include "engine/platform/TKeyCode.h"
#include "engine/platform/TNativeWindow.h"

#include <algorithm>
#include <vector>

namespace {

using TKind = TSystemEvent::TKind;

// A click that activated the window, and every click for this long after it, is dropped.
constexpr uint32_t kActivationClickMs = 400;
// The pointer has to rest this long for a hover event.
constexpr uint32_t kHoverMs = 400;
// A minimised full-screen game sleeps this long on every idle turn.
constexpr int kMinimizedSleepMs = 50;
// Between idle turns the loop waits for input or for the next due work: at least this
// long, the pace it always kept, and at most this long, for state it is not told about
// (a host handler pausing the game).
constexpr int kShortestWaitMs = 1;
constexpr int kLongestWaitMs = 250;

bool sSessionReadyWritten = false;

int SignExtend16(int value)
{
    return static_cast<int16_t>(static_cast<uint16_t>(value & 0xffff));
}

// Event flags of a mouse event: Ctrl 2, Shift 1 (Alt is not reported).
int MouseKeyFlags(int modifiers)
{
    return modifiers & (TSystemEvent::kShift | TSystemEvent::kControl);
}

// Keys that give a character the window system does not send as text.
bool IsControlCharacterKey(int key)
{
    return key == TKeyCode::kBackspace || key == TKeyCode::kTab || key == TKeyCode::kReturn ||
           key == TKeyCode::kEscape;
}

// UTF-16 units of UTF-8 text. Surrogates encoded on their own (three bytes each) are
// kept as units, so pairs split across text events still join; bytes that start no
// valid sequence are skipped.
std::vector<uint32_t> Utf16Units(const std::string& text)
{
    std::vector<uint32_t> units;
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        int length = lead < 0x80         ? 1
                     : (lead >> 5) == 6  ? 2
                     : (lead >> 4) == 14 ? 3
                     : (lead >> 3) == 30 ? 4
                                         : 0;
        if (length == 0 || i + length > text.size()) {
            ++i;
            continue;
        }
        uint32_t codepoint = length == 1 ? lead : lead & (0x7f >> length);
        bool valid = true;
        for (int k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            valid = valid && (next & 0xc0) == 0x80;
            codepoint = (codepoint << 6) | (next & 0x3f);
        }
        i += valid ? length : 1;
        if (!valid || codepoint > 0x10ffff)
            continue;
        if (codepoint >= 0x10000) {
            units.push_back(0xd800 + ((codepoint - 0x10000) >> 10));
            units.push_back(0xdc00 + ((codepoint - 0x10000) & 0x3ff));
        } else {
            units.push_back(codepoint);
        }
    }
    return units;
}

} // namespace

void TEventPump::ResetSessionReady()
{
    sSessionReadyWritten = false;
}

void TEventPump::Fill(TEvent& event, int type, int param, int flags)
{
    event = TEvent{};
    event.type = type;
    event.param = param;
    event.flags = flags;
}

void TEventPump::GetEvent(TEvent& event)
{
    if (TakeQueued(event))
        return;
    if (!sSessionReadyWritten) {
        sSessionReadyWritten = true;
        mHost.SetGameState("sessionready", "0");
    }
    if (WaitWhileHostPaused(event))
        return;
    if (mHost.GetEventSource().HasFailed()) {
        // Before the flags: an invalid display would otherwise be restored over and
        // over on a window system that is gone.
        Fill(event, TEvent::kQuit);
        return;
    }
    if (ReportFlag(event))
        return;
    if (mQuitPosted) {
        mQuitPosted = false;
        Fill(event, TEvent::kQuit);
        return;
    }
    TSystemEvent system;
    if (!mHost.GetEventSource().Poll(system)) {
        IdleTurn(event);
        return;
    }
    Translate(system, event);
}

bool TEventPump::IsQuitPending()
{
    return mQuitPosted || mCloseRequested || mHost.GetEventSource().HasQuitWaiting();
}

bool TEventPump::TakeQueued(TEvent& event)
{
    if (mQueue.empty())
        return false;
    event = mQueue.front();
    mQueue.pop_front();
    return true;
}

// While the host has the game paused, only window-system effects are applied; a quit
// still ends the loop.
bool TEventPump::WaitWhileHostPaused(TEvent& event)
{
    while (mHost.IsHostPaused()) {
        mHost.Sleep(1);
        if (mQuitPosted) {
            mQuitPosted = false;
            Fill(event, TEvent::kQuit);
            return true;
        }
        TSystemEvent system;
        if (!mHost.GetEventSource().Poll(system))
            continue;
        if (system.kind == TKind::Quit) {
            Fill(event, TEvent::kQuit);
            return true;
        }
        TEvent ignored;
        TranslateWindowEffect(system, ignored);
    }
    return false;
}

// The flag events, in their fixed order.
bool TEventPump::ReportFlag(TEvent& event)
{
    TDisplaySeam* display = mHost.GetDisplay();
    if (mActiveChanged) {
        mActiveChanged = false;
        if (!mActive && display != nullptr)
            display->ResetWorkingCount();
        Fill(event, TEvent::kActivation, mActive ? 1 : 0);
        return true;
    }
    if (display != nullptr && !display->IsValid()) {
        if (mQuitPosted) {
            mQuitPosted = false;
            Fill(event, TEvent::kQuit);
            return true;
        }
        if (!mMinimized && mActive && !mAppActiveChanged) {
            display->Restore();
            Fill(event, TEvent::kNothing);
            return true;
        }
    }
    if (mDisplayModeSet) {
        mDisplayModeSet = false;
        Fill(event, TEvent::kDisplayModeSet);
        return true;
    }
    if (mRedrawRequested) {
        mRedrawRequested = false;
        if (display != nullptr && !display->IsValid() && !mMinimized)
            display->Restore();
        Fill(event, TEvent::kRedraw);
        return true;
    }
    if (mAppActiveChanged) {
        mAppActiveChanged = false;
        Fill(event, TEvent::kActivation, mAppActive ? 1 : 0);
        return true;
    }
    if (mCloseRequested) {
        mCloseRequested = false;
        TWindowManagerSeam* windowManager = mHost.GetWindowManager();
        if (windowManager != nullptr && windowManager->GetScript() != nullptr)
            windowManager->GetScript()->EndMovie();
        Fill(event, TEvent::kClose);
        return true;
    }
    if (mMouseLeft) {
        mMouseLeft = false;
        Fill(event, TEvent::kMouseLeave);
        MousePosition(event, -1, -1);
        return true;
    }
    return false;
}

void TEventPump::IdleTurn(TEvent& event)
{
    mFocusGainedThisPoll = false;
    const uint32_t now = mHost.GetTimer();
    if (mHoverArmed && now - mHoverStart >= kHoverMs) {
        mHoverStart = now; // armed again: another rest gives another hover
        Fill(event, TEvent::kMouseHover);
        MousePosition(event, -1, -1);
        return;
    }
    TDisplaySeam* display = mHost.GetDisplay();
    if (display != nullptr && display->IsFullScreen() && mActive && !mAppActiveChanged &&
        mMinimized)
        mHost.Sleep(kMinimizedSleepMs);
    if (TSoundManagerSeam* sound = mHost.GetSoundManager())
        sound->DispatchNotifications();
    mHost.RunIdleTasks();
    Fill(event, TEvent::kIdle);
    // The wait comes before the caller hands kIdle on, as it always did: the window
    // manager's part of this turn runs when the wait ends.
    mHost.WaitForEvents(TimeUntilNextTurn());
}

// Until the first of the main tasks, the window manager's work and the next hover is
// due, so that each runs at the time it would have run with a turn every millisecond.
int TEventPump::TimeUntilNextTurn()
{
    int wait = std::min(kLongestWaitMs, mHost.TimeUntilIdleTaskDue());
    if (TWindowManagerSeam* windowManager = mHost.GetWindowManager())
        wait = std::min(wait, windowManager->TimeUntilDue());
    if (mHoverArmed) {
        const uint32_t rested = mHost.GetTimer() - mHoverStart;
        wait = std::min(wait, rested >= kHoverMs ? 0 : static_cast<int>(kHoverMs - rested));
    }
    return std::max(wait, kShortestWaitMs);
}

void TEventPump::SetActive(bool active, bool forced)
{
    if (active == mActive)
        return;
    if (TSoundManagerSeam* sound = mHost.GetSoundManager())
        sound->SetActive(active);
    TDisplaySeam* display = mHost.GetDisplay();
    if (display != nullptr && display->IsFullScreen() && !forced)
        return;
    mActiveChanged = !mActiveChanged;
    mActive = active;
}

void TEventPump::OnActivateApp(bool active)
{
    if (active == mAppActive)
        return;
    SetActive(active, true);
    mAppActive = active;
    mAppActiveChanged = true;
    TSoundManagerSeam* sound = mHost.GetSoundManager();
    if (sound != nullptr)
        sound->SetActive(active);
    if (active) {
        mMinimized = false;
        return;
    }
    TDisplaySeam* display = mHost.GetDisplay();
    if (display != nullptr && display->IsFullScreen())
        mMinimized = true;
}

void TEventPump::Translate(const TSystemEvent& system, TEvent& event)
{
    switch (system.kind) {
    case TKind::Quit:
        Fill(event, TEvent::kQuit);
        return;
    case TKind::KeyDown:
        TranslateKeyDown(system, event);
        return;
    case TKind::KeyUp:
        TranslateKeyUp(system, event);
        return;
    case TKind::Text:
        TranslateText(system, event);
        return;
    case TKind::MouseMove:
        TranslateMouseMove(system, event);
        return;
    case TKind::ButtonDown:
    case TKind::ButtonUp:
    case TKind::Wheel:
        TranslateMouseButton(system, event);
        return;
    default:
        TranslateWindowEffect(system, event);
        return;
    }
}

// Window-system effects: they set flags that later calls report, and give kNothing now;
// an exposure is reported at once as well, so a paint gives two kRedraw events.
void TEventPump::TranslateWindowEffect(const TSystemEvent& system, TEvent& event)
{
    Fill(event, TEvent::kNothing);
    TWindowManagerSeam* windowManager = mHost.GetWindowManager();
    TDisplaySeam* display = mHost.GetDisplay();
    switch (system.kind) {
    case TKind::WindowClose:
        mCloseRequested = true;
        return;
    case TKind::WindowExposed:
        if (windowManager != nullptr) {
            windowManager->Invalidate();
            mRedrawRequested = true;
        }
        mHoverArmed = false;
        Fill(event, TEvent::kRedraw);
        return;
    case TKind::WindowMinimized:
        SetActive(false, true);
        mMinimized = true;
        OnActivateApp(false);
        mWasMinimized = true;
        return;
    case TKind::WindowRestored:
    case TKind::WindowShown:
        SetActive(true, true);
        mMinimized = false;
        if (mWasMinimized) {
            OnActivateApp(true);
            mWasMinimized = false;
        }
        return;
    case TKind::FocusGained:
        OnActivateApp(true);
        mFocusGainedThisPoll = true;
        return;
    case TKind::FocusLost:
        OnActivateApp(false);
        if (mButtonsHeld != 0) {
            // The capture is gone with the focus.
            mButtonsHeld = 0;
            if (TNativeWindow* window = mHost.GetMainWindow())
                window->CaptureMouse(false);
            Fill(event, TEvent::kMouseLeave);
        }
        return;
    case TKind::MouseLeft:
        if (display != nullptr)
            display->EraseMouse();
        mHoverArmed = false;
        mMouseLeft = true;
        return;
    case TKind::DisplayChanged:
        if (!mActive && display != nullptr)
            display->UpdateDesktopMode();
        return;
    default:
        return;
    }
}

void TEventPump::TranslateKeyDown(const TSystemEvent& system, TEvent& event)
{
    if ((system.modifiers & TSystemEvent::kAlt) != 0) {
        TranslateAltKey(system, event);
        return;
    }
    int flags = system.modifiers & (TEvent::kControl | TEvent::kShift);
    if (system.extended)
        flags |= TEvent::kExtended;
    if (system.key == 0) {
        Fill(event, TEvent::kNothing);
        return;
    }
    // Insert counts only as Shift+Insert, the paste combination.
    if (system.key == TKeyCode::kInsert && (flags & ~TEvent::kExtended) != TEvent::kShift) {
        Fill(event, TEvent::kNothing);
        return;
    }
    Fill(event, TEvent::kKeyDown, system.key, flags);
    if (IsControlCharacterKey(system.key) && (flags & TEvent::kControl) == 0)
        QueueCharacter(static_cast<uint32_t>(system.key), flags & TEvent::kShift);
}

void TEventPump::TranslateAltKey(const TSystemEvent& system, TEvent& event)
{
    TDisplaySeam* display = mHost.GetDisplay();
    if (system.key == TKeyCode::kReturn) {
        if (mHost.IsHosted() && !mHost.HasPqSwitch()) {
            Fill(event, TEvent::kNothing);
            return;
        }
        if (mHost.HasPqSwitch())
            mHost.SetFullScreen(!mHost.GetHostFullScreen());
        else if (display != nullptr)
            display->SetFullScreen(!display->IsFullScreen());
        Fill(event, TEvent::kFullScreenToggled, display != nullptr && display->IsFullScreen());
        return;
    }
    if (system.key == TKeyCode::kF1) {
        if (TRendererSeam* renderer = mHost.GetRenderer())
            renderer->ToggleStats();
        Fill(event, TEvent::kNothing);
        return;
    }
    if (system.key == 0) {
        Fill(event, TEvent::kNothing);
        return;
    }
    int flags = TEvent::kAlt | (system.modifiers & (TEvent::kControl | TEvent::kShift));
    if (system.extended)
        flags |= TEvent::kExtended;
    Fill(event, TEvent::kKeyDown, system.key, flags);
    // Alt+F4 closes the window, also where the window manager leaves the key to us.
    if (system.key == TKeyCode::kF1 + 3)
        mCloseRequested = true;
}

void TEventPump::TranslateKeyUp(const TSystemEvent& system, TEvent& event)
{
    // A key released while Alt is held is a system key: no event.
    if ((system.modifiers & TSystemEvent::kAlt) != 0 || system.key == 0) {
        Fill(event, TEvent::kNothing);
        return;
    }
    int flags = system.modifiers & (TEvent::kControl | TEvent::kShift);
    if (system.extended)
        flags |= TEvent::kExtended;
    Fill(event, TEvent::kKeyUp, system.key, flags);
}

void TEventPump::TranslateText(const TSystemEvent& system, TEvent& event)
{
    for (uint32_t unit : Utf16Units(system.text))
        QueueCharacter(unit, 0);
    if (!TakeQueued(event))
        Fill(event, TEvent::kNothing);
}

// One character unit as the window system's character message gives it: 8-bit
// characters, or UTF-16 units joined into code points in UTF-8 mode.
void TEventPump::QueueCharacter(uint32_t unit, int flags)
{
    TEvent character;
    if (!mHost.IsUtf8Mode()) {
        if (unit > 0xff)
            return;
        Fill(character, TEvent::kChar, static_cast<int>(unit), flags);
        mQueue.push_back(character);
        return;
    }
    if (unit >= 0xd800 && unit <= 0xdbff) {
        mPendingHighSurrogate = unit;
        Fill(character, TEvent::kNothing);
    } else if (unit >= 0xdc00 && unit <= 0xdfff) {
        if (mPendingHighSurrogate != 0) {
            const uint32_t joined =
                (mPendingHighSurrogate - 0xd800) * 0x400 + (unit - 0xdc00) + 0x10000;
            mPendingHighSurrogate = 0;
            Fill(character, TEvent::kWideChar, static_cast<int>(joined));
        } else {
            Fill(character, TEvent::kNothing);
        }
    } else {
        Fill(character, TEvent::kWideChar, static_cast<int>(unit));
    }
    mQueue.push_back(character);
}

void TEventPump::TranslateMouseMove(const TSystemEvent& system, TEvent& event)
{
    Fill(event, TEvent::kMouseMove);
    MousePosition(event, system.x, system.y);
    mHoverArmed = true;
    mHoverStart = mHost.GetTimer();
}

// The position of a mouse event: the display's cursor position, else the window's own.
// windowX, windowY of -1 ask for the current position.
void TEventPump::MousePosition(TEvent& event, int windowX, int windowY)
{
    int x = windowX;
    int y = windowY;
    if (TDisplaySeam* display = mHost.GetDisplay()) {
        if (windowX != -1 || windowY != -1) {
            display->UpdateWindowBounds();
            display->MoveMouse(windowX, windowY);
        }
        const TDisplaySeam::TPoint point = display->GetMousePosition();
        x = point.x;
        y = point.y;
    } else if (windowX == -1 && windowY == -1) {
        x = 0;
        y = 0;
    }
    event.x = SignExtend16(x);
    event.y = SignExtend16(y);
}

void TEventPump::TranslateMouseButton(const TSystemEvent& system, TEvent& event)
{
    if (system.kind == TKind::ButtonDown && mFocusGainedThisPoll && !mHost.IsHosted()) {
        mMouseActivated = true;
        mMouseActivatedTime = mHost.GetTimer();
        mFocusGainedThisPoll = false;
    }
    if (DropsMouseButton(system)) {
        Fill(event, TEvent::kNothing);
        return;
    }
    const int bit = 1 << system.button;
    TNativeWindow* window = mHost.GetMainWindow();
    if (system.kind == TKind::ButtonDown) {
        mButtonsHeld |= bit;
        if (window != nullptr)
            window->CaptureMouse(true);
    } else if (system.kind == TKind::ButtonUp) {
        mButtonsHeld &= ~bit;
        if (window != nullptr && mButtonsHeld == 0)
            window->CaptureMouse(false);
    }
    FillMouseButton(system, event);
}

// The rule against the click that activated the window, then the window manager's block.
bool TEventPump::DropsMouseButton(const TSystemEvent& system)
{
    TWindowManagerSeam* windowManager = mHost.GetWindowManager();
    const bool suspended = windowManager != nullptr && windowManager->IsSuspended();
    if (mMouseActivated && !suspended) {
        if (system.kind == TKind::ButtonUp)
            mMouseActivated = false;
        if (mHost.GetTimer() - mMouseActivatedTime < kActivationClickMs)
            return true;
    }
    return windowManager != nullptr && windowManager->IsMouseBlocked();
}

void TEventPump::FillMouseButton(const TSystemEvent& system, TEvent& event)
{
    const int keyFlags = MouseKeyFlags(system.modifiers);
    const bool down = system.kind == TKind::ButtonDown;
    if (system.kind == TKind::Wheel) {
        Fill(event, TEvent::kMouseButton,
             system.wheel > 0 ? TEvent::kWheelAway : TEvent::kWheelToward, keyFlags);
    } else if (system.button == TSystemEvent::kButtonLeft) {
        Fill(event, down ? TEvent::kLeftDown : TEvent::kLeftUp, 0, down ? keyFlags : 0);
    } else if (system.button == TSystemEvent::kButtonRight) {
        Fill(event, TEvent::kMouseButton, down ? TEvent::kRightDown : TEvent::kRightUp,
             down ? keyFlags : 0);
    } else if (system.button == TSystemEvent::kButtonMiddle) {
        Fill(event, TEvent::kMouseButton, down ? TEvent::kMiddleDown : TEvent::kMiddleUp,
             down ? keyFlags : 0);
    } else if (down && (system.button == TSystemEvent::kButtonX1 ||
                        system.button == TSystemEvent::kButtonX2)) {
        Fill(event, TEvent::kMouseButton,
             system.button == TSystemEvent::kButtonX1 ? TEvent::kX1Down : TEvent::kX2Down);
    } else {
        Fill(event, TEvent::kNothing);
        return;
    }
    MousePosition(event, system.x, system.y);
}
