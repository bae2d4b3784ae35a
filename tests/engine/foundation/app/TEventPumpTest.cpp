#include "engine/foundation/app/TEventPump.h"

#include "engine/foundation/app/TEventPumpHost.h"
#include "engine/foundation/core/TString.h"
#include "engine/foundation/core/TTask.h"
#include "engine/foundation/seams/TRendererSeam.h"
#include "engine/foundation/seams/TSoundManagerSeam.h"
#include "engine/foundation/seams/TWindowManagerSeam.h"
#include "engine/platform/TDisplayOutput.h"
#include "engine/platform/TEventSource.h"
#include "engine/platform/TKeyCode.h"
#include "engine/platform/TNativeWindow.h"
#include "tests/engine/EngineStateTest.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace {

class TFakeDisplay final : public TDisplaySeam
{
public:
    bool SetDisplay(int, int, bool) override { return true; }
    void CalibrateTexelOffset() override {}
    bool IsValid() const override { return valid; }
    bool HasFailed() const override { return false; }
    void Restore() override { ++restores; }
    bool IsFullScreen() const override { return fullScreen; }
    bool SetFullScreen(bool on) override { return fullScreen = on; }
    void ResetWorkingCount() override { ++workingCountResets; }
    void UpdateDesktopMode() override {}
    void SetVSync(bool) override {}
    bool IsPresentDone() const override { return true; }
    void OutOfVideoMemory() override {}
    TPoint MoveMouse(int x, int y) override
    {
        position = {x / 2, y / 2}; // a logical screen twice the window size
        return position;
    }
    TPoint GetMousePosition() const override { return position; }
    void EraseMouse() override {}
    void UpdateWindowBounds() override {}
    void ShowMouse(bool) override {}
    void SetMouseImage(std::shared_ptr<TTexture>, int, int, bool) override {}

    bool valid = true;
    bool fullScreen = false;
    int restores = 0;
    int workingCountResets = 0;
    TPoint position;
};

class TFakeRenderer final : public TRendererSeam
{
public:
    TDisplaySeam* GetDisplay() override { return &display; }
    TDisplaySeam* CreateDisplay() override { return &display; }
    void ToggleStats() override { ++statsToggles; }
    void PopClipRect() override {}
    void PushClipRect(int, int, int, int) override {}
    void FillRect(int, int, int, int, uint32_t) override {}

    TFakeDisplay display;
    int statsToggles = 0;
};

class TFakeScript final : public TWindowScriptSeam
{
public:
    explicit TFakeScript(int& movieEnds) : mMovieEnds(movieEnds) {}
    void EndMovie() override { ++mMovieEnds; }

private:
    int& mMovieEnds;
};

class TFakeWindowManager final : public TWindowManagerSeam
{
public:
    void AttachScript(std::unique_ptr<TWindowScriptSeam> s) override { script = std::move(s); }
    TWindowScriptSeam* GetScript() override { return script.get(); }
    void SetTranslateLabels(bool) override {}
    bool HasRootWindow() const override { return false; }
    void CreateRootScreen(int, int) override {}
    int TimeUntilDue() override { return dueIn; }
    void Invalidate() override { ++invalidations; }
    bool IsSuspended() const override { return false; }
    bool IsMouseBlocked() const override { return mouseBlocked; }

    std::unique_ptr<TWindowScriptSeam> script;
    int invalidations = 0;
    bool mouseBlocked = false;
    int dueIn = TTask::kNeverDue;
};

class TFakeSound final : public TSoundManagerSeam
{
public:
    void SetNotificationWake(std::function<void()>) override {}
    bool Init() override { return true; }
    void SetActive(bool active) override { activeCalls.push_back(active); }
    void DispatchNotifications() override { ++dispatches; }

    std::vector<bool> activeCalls;
    int dispatches = 0;
};

// The window system's queue: the events the test pushes, in order.
class TFakeEventSource final : public TEventSource
{
public:
    bool Poll(TSystemEvent& event) override
    {
        if (queue.empty())
            return false;
        event = queue.front();
        queue.pop_front();
        return true;
    }
    void Wait(int) override {}
    void Wake() override {}
    bool HasFailed() const override { return failed; }

    std::deque<TSystemEvent> queue;
    bool failed = false;
};

class TFakeWindow final : public TNativeWindow
{
public:
    void SetTitle(const std::string&) override {}
    std::string GetTitle() const override { return {}; }
    void Show() override {}
    bool IsShown() const override { return true; }
    bool IsMinimized() const override { return false; }
    bool HasInputFocus() const override { return true; }
    void CaptureMouse(bool capture) override { captured = capture; }
    void GetSize(int& width, int& height) const override
    {
        width = 480;
        height = 360;
    }
    void SetIcon(const uint32_t*, int, int) override {}
    std::unique_ptr<TDisplayOutput> CreateDisplayOutput() override { return nullptr; }

    bool captured = false;
};

using TKind = TSystemEvent::TKind;
constexpr int kShift = TSystemEvent::kShift;
constexpr int kControl = TSystemEvent::kControl;
constexpr int kAlt = TSystemEvent::kAlt;

// A host over a fake event source with fake engine parts and a clock the test moves.
class TEventPumpTest : public EngineStateTest, public TEventPumpHost
{
protected:
    void SetUp() override
    {
        mWindowManager.AttachScript(std::make_unique<TFakeScript>(mMovieEnds));
    }

    TEventSource& GetEventSource() override { return mSource; }
    TNativeWindow* GetMainWindow() override { return &mWindow; }
    TDisplaySeam* GetDisplay() override { return mHasDisplay ? &mRenderer.display : nullptr; }
    TRendererSeam* GetRenderer() override { return &mRenderer; }
    TWindowManagerSeam* GetWindowManager() override { return &mWindowManager; }
    TSoundManagerSeam* GetSoundManager() override { return &mSound; }
    uint32_t GetTimer() override { return mNow; }
    void Sleep(int) override {}
    void RunIdleTasks() override { ++mIdleTaskRuns; }
    int TimeUntilIdleTaskDue() override { return mTaskDueIn; }
    void WaitForEvents(int milliseconds) override { mWaits.push_back(milliseconds); }
    void SetGameState(const TString& key, const TString& value) override
    {
        mGameState.push_back(std::string(key.CStr()) + "=" + value.CStr());
    }
    bool IsHostPaused() override
    {
        if (mPausedTurns == 0)
            return false;
        --mPausedTurns;
        return true;
    }
    bool IsHosted() const override { return mHosted; }
    bool HasPqSwitch() const override { return false; }
    bool IsUtf8Mode() const override { return mUtf8; }
    bool GetHostFullScreen() const override { return false; }
    bool SetFullScreen(bool) override { return false; }

    void Push(const TSystemEvent& event) { mSource.queue.push_back(event); }

    void PushKey(TKind kind, int key, bool extended, int modifiers)
    {
        TSystemEvent event;
        event.kind = kind;
        event.key = key;
        event.extended = extended;
        event.modifiers = modifiers;
        Push(event);
    }

    void Push(TKind kind)
    {
        TSystemEvent event;
        event.kind = kind;
        Push(event);
    }

    void PushButton(TKind kind, int button, int x, int y)
    {
        TSystemEvent event;
        event.kind = kind;
        event.button = button;
        event.x = x;
        event.y = y;
        Push(event);
    }

    void PushWheel(int wheel)
    {
        TSystemEvent event;
        event.kind = TKind::Wheel;
        event.wheel = wheel;
        Push(event);
    }

    void PushMotion(int x, int y)
    {
        TSystemEvent event;
        event.kind = TKind::MouseMove;
        event.x = x;
        event.y = y;
        Push(event);
    }

    void PushText(const char* utf8)
    {
        TSystemEvent event;
        event.kind = TKind::Text;
        event.text = utf8;
        Push(event);
    }

    // Events up to (not including) the first idle event, as "type:param:flags".
    std::vector<std::string> Drain()
    {
        std::vector<std::string> events;
        for (int guard = 0; guard < 64; ++guard) {
            TEvent event;
            mPump.GetEvent(event);
            if (event.type == TEvent::kIdle)
                break;
            events.push_back(std::to_string(event.type) + ":" + std::to_string(event.param) + ":" +
                             std::to_string(event.flags));
        }
        return events;
    }

    using TList = std::vector<std::string>;

    TFakeEventSource mSource;
    TFakeWindow mWindow;
    TFakeRenderer mRenderer;
    TFakeWindowManager mWindowManager;
    TFakeSound mSound;
    TEventPump mPump{*this};
    std::vector<std::string> mGameState;
    uint32_t mNow = 1000;
    int mIdleTaskRuns = 0;
    int mTaskDueIn = TTask::kNeverDue;
    std::vector<int> mWaits; // the idle waits, in ms
    int mMovieEnds = 0;
    int mPausedTurns = 0; // turns the host keeps the game paused
    bool mHasDisplay = true;
    bool mHosted = false;
    bool mUtf8 = false;
};

TEST_F(TEventPumpTest, KeyTable)
{
    struct TCase
    {
        const char* name;
        int key;
        bool extended;
        int modifiers;
        TList expected;
    };
    const TCase cases[] = {
        {"Shift+Insert", TKeyCode::kInsert, true, kShift, {"11:45:9"}},
        {"Insert", TKeyCode::kInsert, true, 0, {"2:0:0"}},
        {"Ctrl+Insert", TKeyCode::kInsert, true, kControl, {"2:0:0"}},
        {"Alt+Enter", TKeyCode::kReturn, false, kAlt, {"19:1:0"}},
        {"Alt+X", 'X', false, kAlt, {"11:88:4"}},
        {"Ctrl+Alt+Shift+X", 'X', false, kAlt | kControl | kShift, {"11:88:7"}},
        {"Backspace", TKeyCode::kBackspace, false, 0, {"11:8:0", "13:8:0"}},
        {"Tab", TKeyCode::kTab, false, 0, {"11:9:0", "13:9:0"}},
        {"Shift+Tab", TKeyCode::kTab, false, kShift, {"11:9:1", "13:9:1"}},
        {"Enter", TKeyCode::kReturn, false, 0, {"11:13:0", "13:13:0"}},
        {"Escape", TKeyCode::kEscape, false, 0, {"11:27:0", "13:27:0"}},
        {"Ctrl+Backspace", TKeyCode::kBackspace, false, kControl, {"11:8:2"}},
        {"Space", TKeyCode::kSpace, false, 0, {"11:32:0"}},
        {"Left", TKeyCode::kLeft, true, 0, {"11:37:8"}},
        {"Shift+Right", TKeyCode::kRight, true, kShift, {"11:39:9"}},
        {"Delete", TKeyCode::kDelete, true, 0, {"11:46:8"}},
        {"Ctrl+V", 'V', false, kControl, {"11:86:2"}},
    };
    for (const TCase& c : cases) {
        PushKey(TKind::KeyDown, c.key, c.extended, c.modifiers);
        EXPECT_EQ(Drain(), c.expected) << c.name;
    }
    // Alt+Enter toggled the display to full screen and back is the next one.
    EXPECT_TRUE(mRenderer.display.fullScreen);
}

TEST_F(TEventPumpTest, AltKeysWithSpecialMeanings)
{
    PushKey(TKind::KeyDown, TKeyCode::kF1, false, kAlt);
    EXPECT_EQ(Drain(), TList{"2:0:0"});
    EXPECT_EQ(mRenderer.statsToggles, 1);

    mHosted = true;
    PushKey(TKind::KeyDown, TKeyCode::kReturn, false, kAlt);
    EXPECT_EQ(Drain(), TList{"2:0:0"});
    EXPECT_FALSE(mRenderer.display.fullScreen);
    mHosted = false;

    // Alt+F4 is the key and then the close request.
    PushKey(TKind::KeyDown, TKeyCode::kF1 + 3, false, kAlt);
    EXPECT_EQ(Drain(), (TList{"11:115:4", "3:0:0"}));
    EXPECT_EQ(mMovieEnds, 1);

    mHasDisplay = false;
    PushKey(TKind::KeyDown, TKeyCode::kReturn, false, kAlt);
    EXPECT_EQ(Drain(), TList{"19:0:0"});
}

TEST_F(TEventPumpTest, KeyUpsAndSystemKeyUps)
{
    PushKey(TKind::KeyUp, 'A', false, kShift);
    PushKey(TKind::KeyUp, 'A', false, kAlt);
    PushKey(TKind::KeyUp, TKeyCode::kUp, true, 0);
    EXPECT_EQ(Drain(), (TList{"12:65:1", "2:0:0", "12:38:8"}));
}

TEST_F(TEventPumpTest, CloseAndQuit)
{
    Push(TKind::WindowClose);
    EXPECT_EQ(Drain(), (TList{"2:0:0", "3:0:0"}));
    Push(TKind::Quit);
    EXPECT_EQ(Drain(), TList{"4:0:0"});
    mPump.PostQuit();
    EXPECT_EQ(Drain(), TList{"4:0:0"});
}

TEST_F(TEventPumpTest, FlagEventsComeOnePerCallInTheirOrder)
{
    // While the host keeps the game paused, window effects only set their flags.
    Push(TKind::WindowClose);
    Push(TKind::WindowMinimized);
    Push(TKind::WindowExposed);
    mPausedTurns = 3;
    // Order: activation (18, 0), redraw (15), application activation (18, 0), close (3).
    EXPECT_EQ(Drain(), (TList{"18:0:0", "15:0:0", "18:0:0", "3:0:0"}));
    EXPECT_EQ(mRenderer.display.workingCountResets, 1);
    EXPECT_EQ(mWindowManager.invalidations, 1);

    Push(TKind::WindowRestored);
    EXPECT_EQ(Drain(), (TList{"2:0:0", "18:1:0", "18:1:0"}));
    EXPECT_EQ(mSound.activeCalls, (std::vector<bool>{false, false, true, true}));
}

TEST_F(TEventPumpTest, LostDisplayIsRestoredAndQuitStillHonoured)
{
    mRenderer.display.valid = false;
    TEvent event;
    mPump.GetEvent(event);
    EXPECT_EQ(event.type, TEvent::kNothing);
    EXPECT_EQ(mRenderer.display.restores, 1);
    mPump.PostQuit();
    mPump.GetEvent(event);
    EXPECT_EQ(event.type, TEvent::kQuit);
}

// Once the window system failed for good, every call ends the loop: neither a lost
// display nor pending flags or events keep the game waiting on it.
TEST_F(TEventPumpTest, FailedWindowSystemGivesOnlyQuit)
{
    mRenderer.display.valid = false;
    Push(TKind::WindowClose);
    mSource.failed = true;
    TEvent event;
    for (int i = 0; i < 3; ++i) {
        mPump.GetEvent(event);
        EXPECT_EQ(event.type, TEvent::kQuit);
    }
    EXPECT_EQ(mRenderer.display.restores, 0);
}

TEST_F(TEventPumpTest, MouseButtonsAndWheel)
{
    PushButton(TKind::ButtonDown, TSystemEvent::kButtonLeft, 100, 60);
    PushButton(TKind::ButtonUp, TSystemEvent::kButtonLeft, 100, 60);
    PushButton(TKind::ButtonDown, TSystemEvent::kButtonRight, 10, 10);
    PushButton(TKind::ButtonUp, TSystemEvent::kButtonRight, 10, 10);
    PushButton(TKind::ButtonDown, TSystemEvent::kButtonMiddle, 10, 10);
    PushButton(TKind::ButtonUp, TSystemEvent::kButtonMiddle, 10, 10);
    PushButton(TKind::ButtonDown, TSystemEvent::kButtonX1, 10, 10);
    PushButton(TKind::ButtonUp, TSystemEvent::kButtonX1, 10, 10);
    PushButton(TKind::ButtonDown, TSystemEvent::kButtonX2, 10, 10);
    PushWheel(1);
    PushWheel(-3);
    PushWheel(-1);
    EXPECT_EQ(Drain(), (TList{"5:0:0", "7:0:0", "6:1:0", "6:0:0", "6:3:0", "6:2:0", "6:4:0",
                              "2:0:0", "6:5:0", "6:6:0", "6:7:0", "6:7:0"}));
}

TEST_F(TEventPumpTest, MousePositionsAreTheDisplaysLogicalOnes)
{
    PushButton(TKind::ButtonDown, TSystemEvent::kButtonLeft, 100, 60);
    TEvent event;
    mPump.GetEvent(event);
    EXPECT_EQ(event.type, TEvent::kLeftDown);
    EXPECT_EQ(event.x, 50);
    EXPECT_EQ(event.y, 30);

    mHasDisplay = false;
    PushMotion(70000, -5); // beyond 16 bits: sign-extended like the window system's
    mPump.GetEvent(event);
    EXPECT_EQ(event.type, TEvent::kMouseMove);
    EXPECT_EQ(event.x, 70000 - 65536);
    EXPECT_EQ(event.y, -5);
}

TEST_F(TEventPumpTest, BlockedMouseDropsButtonsOnly)
{
    mWindowManager.mouseBlocked = true;
    PushButton(TKind::ButtonDown, TSystemEvent::kButtonLeft, 1, 1);
    PushKey(TKind::KeyDown, 'A', false, 0);
    EXPECT_EQ(Drain(), (TList{"2:0:0", "11:65:0"}));
}

TEST_F(TEventPumpTest, ClickThatActivatesTheWindowIsDroppedFor400Ms)
{
    Push(TKind::FocusLost);
    EXPECT_EQ(Drain(), (TList{"2:0:0", "18:0:0", "18:0:0"}));

    Push(TKind::FocusGained);
    PushButton(TKind::ButtonDown, TSystemEvent::kButtonLeft, 1, 1);
    EXPECT_EQ(Drain(), (TList{"2:0:0", "18:1:0", "18:1:0", "2:0:0"}));

    mNow += 100;
    PushButton(TKind::ButtonUp, TSystemEvent::kButtonLeft, 1, 1); // dropped, and ends the rule
    PushButton(TKind::ButtonDown, TSystemEvent::kButtonLeft, 1, 1);
    EXPECT_EQ(Drain(), (TList{"2:0:0", "5:0:0"}));
}

TEST_F(TEventPumpTest, HoverAfterTheMouseRests)
{
    PushMotion(40, 20);
    EXPECT_EQ(Drain(), TList{"8:0:0"});
    mNow += 399;
    EXPECT_EQ(Drain(), TList{});
    mNow += 1;
    TEvent event;
    mPump.GetEvent(event);
    EXPECT_EQ(event.type, TEvent::kMouseHover);
    EXPECT_EQ(event.x, 20);
    EXPECT_EQ(event.y, 10);

    Push(TKind::MouseLeft);
    EXPECT_EQ(Drain(), (TList{"2:0:0", "9:0:0"}));
    mNow += 1000;
    EXPECT_EQ(Drain(), TList{}); // no hover after leaving
}

TEST_F(TEventPumpTest, TextInEightBitMode)
{
    PushText("a\xC3\xA9\xE2\x82\xAC"); // a, e acute, euro sign (above 255: dropped)
    EXPECT_EQ(Drain(), (TList{"13:97:0", "13:233:0"}));
    PushText("\xE2\x82\xAC");
    EXPECT_EQ(Drain(), TList{"2:0:0"});
}

TEST_F(TEventPumpTest, SurrogatesJoinInUtf8Mode)
{
    mUtf8 = true;
    PushText("\xF0\x9F\x98\x80"); // U+1F600: a pair of units
    EXPECT_EQ(Drain(), (TList{"2:0:0", "14:128512:0"}));
    // The units of a pair arriving in separate text events still join.
    PushText("\xED\xA0\xBD");
    PushText("\xED\xB8\x80");
    EXPECT_EQ(Drain(), (TList{"2:0:0", "14:128512:0"}));
    // A lone low surrogate gives nothing.
    PushText("\xED\xB8\x80");
    PushText("z");
    EXPECT_EQ(Drain(), (TList{"2:0:0", "14:122:0"}));
}

TEST_F(TEventPumpTest, IdleTurnRunsTasksAndSoundAndSessionReadyIsWrittenOnce)
{
    TEvent event;
    mPump.GetEvent(event);
    EXPECT_EQ(event.type, TEvent::kIdle);
    mPump.GetEvent(event);
    EXPECT_EQ(mIdleTaskRuns, 2);
    EXPECT_EQ(mSound.dispatches, 2);
    EXPECT_EQ(mGameState, std::vector<std::string>{"sessionready=0"});
}

// After its idle work the pump waits for input until the first work is due: a main
// task, the window manager's work, the hover of a resting pointer. At least 1 ms, the pace
// of a loop that has work every turn; at most 250 ms.
TEST_F(TEventPumpTest, TheIdleWaitLastsUntilTheFirstWorkIsDue)
{
    struct TCase
    {
        int taskDueIn;
        int windowsDueIn;
        int restedMs; // -1: no pointer resting over the window
        int wait;
    };
    constexpr int kNever = TTask::kNeverDue;
    const TCase cases[] = {
        {kNever, kNever, -1, 250},
        {37, kNever, -1, 37},
        {37, 12, -1, 12},
        {kNever, 199, -1, 199},
        {0, 12, -1, 1},
        {kNever, 0, -1, 1},
        {kNever, kNever, 100, 250},
        {kNever, kNever, 300, 100},
        {kNever, 20, 390, 10},
        {5, kNever, 390, 5},
        {kNever, kNever, 400, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.taskDueIn << " " << c.windowsDueIn << " " << c.restedMs);
        Push(TKind::MouseLeft); // no hover from an earlier case
        Drain();
        if (c.restedMs >= 0) {
            PushMotion(40, 20);
            Drain();
            mNow += c.restedMs;
        }
        mTaskDueIn = c.taskDueIn;
        mWindowManager.dueIn = c.windowsDueIn;
        mWaits.clear();
        TEvent event;
        mPump.GetEvent(event);
        if (c.wait == 0) {
            EXPECT_EQ(event.type, TEvent::kMouseHover); // due at once: no wait
            EXPECT_TRUE(mWaits.empty());
            continue;
        }
        EXPECT_EQ(event.type, TEvent::kIdle);
        EXPECT_EQ(mWaits, std::vector<int>{c.wait});
    }
}

TEST_F(TEventPumpTest, CaptureIsLostWithTheFocusWhileAButtonIsHeld)
{
    PushButton(TKind::ButtonDown, TSystemEvent::kButtonRight, 1, 1);
    Push(TKind::FocusLost);
    EXPECT_EQ(Drain(), (TList{"6:1:0", "9:0:0", "18:0:0", "18:0:0"}));
    EXPECT_FALSE(mWindow.captured);
}

} // namespace
