// The game's event loop (the event pump handing every event to the window manager) on a
// clock the test moves, run twice over one scenario: once as a loop that turns every
// millisecond, and once waiting between turns for input or the next due work, as the
// pump does. Main tasks, window animations, frames, hovers and input come at the same
// times both ways; the waiting loop takes a small part of the turns.

#include "engine/foundation/app/TEvent.h"
#include "engine/foundation/app/TEventPump.h"
#include "engine/foundation/app/TEventPumpHost.h"
#include "engine/foundation/core/TAnimTask.h"
#include "engine/foundation/core/TString.h"
#include "engine/platform/TEventSource.h"
#include "engine/platform/TKeyCode.h"
#include "engine/platform/TTimeSource.h"
#include "tests/engine/ui/UiTestSupport.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using TKind = TSystemEvent::TKind;

constexpr uint32_t kStart = 50000;
constexpr uint32_t kLength = 3000; // ms of the scenario

struct TTimedEvent
{
    uint32_t at; // ms after the start
    TSystemEvent event;
};

TTimedEvent At(uint32_t at, TKind kind, int x = 0, int y = 0, int key = 0)
{
    TTimedEvent timed{at, {}};
    timed.event.kind = kind;
    timed.event.x = x;
    timed.event.y = y;
    timed.event.key = key;
    return timed;
}

// One run of the loop: the window manager over a fake host, the pump over this host, a
// window with an animation, main tasks, and the window system's events at their times.
class TLoopRun final : public TEventPumpHost, public TEventSource
{
public:
    // A window that notes its animation steps (a frame asked for at every third), its
    // drawing and its pointer and key input.
    class TTimedWindow final : public TWindow
    {
    public:
        explicit TTimedWindow(TLoopRun& run) : mRun(run) { SetSize(20, 20); }
        bool Update() override
        {
            ++mSteps;
            mRun.Note("animation");
            if (mSteps % 3 == 0)
                mRun.Windows().Invalidate();
            return mSteps < 40;
        }
        void Draw() override { mRun.Note("draw"); }
        bool OnMouseMove(const TPoint&) override { return mRun.Note("move"); }
        bool OnMouseHover(const TPoint&) override { return mRun.Note("hover"); }
        bool OnKeyDown(int, int) override
        {
            mRun.Windows().Invalidate();
            return mRun.Note("key");
        }

    private:
        TLoopRun& mRun;
        int mSteps = 0;
    };

    // A main task that notes its steps, may ask for a frame and do more, and ends after
    // a number of steps.
    class TMainTask final : public TAnimTask
    {
    public:
        TMainTask(TLoopRun& run, std::string name, int steps, std::function<void()> also = {})
            : mRun(run), mName(std::move(name)), mLeft(steps), mAlso(std::move(also))
        {
        }

    protected:
        bool Animate() override
        {
            mRun.Note(mName);
            mRun.Windows().Invalidate();
            if (mAlso)
                mAlso();
            return --mLeft > 0;
        }

    private:
        TLoopRun& mRun;
        std::string mName;
        int mLeft;
        std::function<void()> mAlso;
    };

    explicit TLoopRun(bool polling) : mPolling(polling)
    {
        auto host = std::make_unique<TFakeWindowHost>();
        mWindowHost = host.get();
        mWindowHost->timer = kStart;
        mWindows = std::make_unique<TWindowManager>(std::move(host));
        mWindows->CreateRootScreen(64, 48);
        auto* window = mWindows->GetRootWindow()->Adopt(std::make_unique<TTimedWindow>(*this));
        mWindows->SetFocusWindow(window);
        window->StartAnim(37, true, false, true);

        AddMainTask("tick", 101, true, 28); // every 101 ms for most of the run
        AddMainTask("once", 250, false, 1);
        // From 1200 ms a task due on every turn, as a busy script is, for 20 turns.
        AddMainTask("busy", 1200, false, 20);
        // At 2000 ms the application loses the focus: frames slow down.
        AddMainTask("inactive", 2000, false, 1, [this] { mWindowHost->active = false; });

        mEvents = {
            At(100, TKind::MouseMove, 10, 10),
            At(1450, TKind::MouseLeft),
            At(1700, TKind::KeyDown, 0, 0, 'A'),
            At(2210, TKind::MouseMove, 12, 3),
        };
    }

    // What happened, in order: "<ms> <what>".
    std::vector<std::string> Run()
    {
        while (Elapsed() < kLength) {
            TEvent event;
            mPump.GetEvent(event);
            if (event.type != TEvent::kIdle && event.type != TEvent::kNothing)
                Note("event " + std::to_string(event.type));
            mWindows->HandleEvent(event);
        }
        return mLog;
    }

    int GetTurns() const { return mTurns; }
    TWindowManager& Windows() { return *mWindows; }
    bool Note(const std::string& what)
    {
        mLog.push_back(std::to_string(Elapsed()) + " " + what);
        return true;
    }

    // TEventSource: the events whose time has come.
    bool Poll(TSystemEvent& event) override
    {
        if (!IsEventWaiting())
            return false;
        event = mEvents[mNextEvent++].event;
        return true;
    }
    void Wait(int) override {}
    void Wake() override {}

    // TEventPumpHost.
    TEventSource& GetEventSource() override { return *this; }
    TNativeWindow* GetMainWindow() override { return nullptr; }
    TDisplaySeam* GetDisplay() override { return nullptr; }
    TRendererSeam* GetRenderer() override { return nullptr; }
    TWindowManagerSeam* GetWindowManager() override { return mWindows.get(); }
    TSoundManagerSeam* GetSoundManager() override { return nullptr; }
    uint32_t GetTimer() override { return TTimeSource::Now(); }
    void Sleep(int) override {}
    void RunIdleTasks() override { mMainTasks.RunAll(kPassEveryTurn); }
    int TimeUntilIdleTaskDue() override { return mMainTasks.TimeUntilDue(); }
    // The wait ends at once with an event waiting; otherwise after a millisecond for the
    // polling loop, or when asked (or at the next event) for the waiting one.
    void WaitForEvents(int milliseconds) override
    {
        ++mTurns;
        if (IsEventWaiting())
            return;
        uint32_t wait = mPolling ? 1u : static_cast<uint32_t>(milliseconds);
        if (mNextEvent < mEvents.size())
            wait = std::min(wait, mEvents[mNextEvent].at - Elapsed());
        mTime.Advance(wait);
        mWindowHost->timer = TTimeSource::Now();
    }
    void SetGameState(const TString&, const TString&) override {}
    bool IsHostPaused() override { return false; }
    bool IsHosted() const override { return false; }
    bool HasPqSwitch() const override { return false; }
    bool IsUtf8Mode() const override { return false; }
    bool GetHostFullScreen() const override { return false; }
    bool SetFullScreen(bool) override { return false; }

private:
    void AddMainTask(const std::string& name, int delay, bool repeat, int steps,
                     std::function<void()> also = {})
    {
        auto task = std::make_unique<TMainTask>(*this, name, steps, std::move(also));
        task->Start(delay, repeat, true, false);
        mMainTasks.AddTask(std::move(task));
    }
    uint32_t Elapsed() const { return TTimeSource::Now() - kStart; }
    bool IsEventWaiting() const
    {
        return mNextEvent < mEvents.size() && mEvents[mNextEvent].at <= Elapsed();
    }

    bool mPolling;
    TManualTimeSource mTime{kStart};
    TTaskList mMainTasks;
    TFakeWindowHost* mWindowHost = nullptr;
    std::unique_ptr<TWindowManager> mWindows;
    TEventPump mPump{*this};
    std::vector<TTimedEvent> mEvents;
    size_t mNextEvent = 0;
    std::vector<std::string> mLog;
    int mTurns = 0;
};

class IdleLoopTimingTest : public EngineStateTest
{
protected:
    TTestDisplay mDisplay{64, 48};
};

TEST_F(IdleLoopTimingTest, WaitingForTheNextDueWorkKeepsEveryTimeOfAMillisecondLoop)
{
    std::vector<std::string> polled;
    int polledTurns = 0;
    {
        TLoopRun run(true);
        polled = run.Run();
        polledTurns = run.GetTurns();
    }
    TLoopRun run(false);
    const std::vector<std::string> waited = run.Run();
    EXPECT_EQ(waited, polled);

    // The scenario has all it is meant to have.
    const auto count = [&polled](const std::string& what) {
        int n = 0;
        for (const std::string& line : polled)
            n += line.size() > what.size() &&
                 line.compare(line.size() - what.size(), what.size(), what) == 0;
        return n;
    };
    EXPECT_EQ(count(" tick"), 28);
    EXPECT_EQ(count(" busy"), 20);
    EXPECT_EQ(count(" animation"), 40);
    EXPECT_GE(count(" hover"), 3);
    EXPECT_EQ(count(" key"), 1);
    EXPECT_GT(count(" draw"), 40);
    EXPECT_GE(polledTurns, static_cast<int>(kLength) - 1);
    EXPECT_LT(run.GetTurns() * 5, polledTurns)
        << run.GetTurns() << " turns against " << polledTurns;
}

} // namespace
