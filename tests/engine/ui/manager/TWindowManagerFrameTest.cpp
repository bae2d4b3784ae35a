#include "engine/graphics/TDisplaySetup.h"
#include "engine/platform/TTimeSource.h"
#include "tests/engine/ui/UiTestSupport.h"

namespace {

using TWindowManagerFrames = TUiTest;

// Counts its steps in the every-frame pass.
class TFrameTask final : public TTask
{
public:
    explicit TFrameTask(int& steps) : mSteps(steps) {}
    bool Ready(TTaskPass pass) override { return pass == kPassEveryFrame; }
    bool DoTask() override
    {
        ++mSteps;
        return true;
    }

private:
    int& mSteps;
};

TEST_F(TWindowManagerFrames, AStaticScreenDrawsNoFrames)
{
    MakeRoot();
    Idle();
    EXPECT_EQ(Manager().GetFrameCount(), 1); // the first picture
    IdleFor(10000);
    EXPECT_EQ(Manager().GetFrameCount(), 1);
    Send(TEvent::kRedraw); // an exposed window asks for one
    EXPECT_EQ(Manager().GetFrameCount(), 2);
}

TEST_F(TWindowManagerFrames, FramesComeAtMostEveryTwelveMillisecondsOrTwoHundredInactive)
{
    struct TCase
    {
        const char* what;
        bool active;
        bool hosted;
        bool pqSwitch;
        uint32_t interval;
    };
    const TCase cases[] = {
        {"active", true, false, false, 12},
        {"inactive", false, false, false, 200},
        {"inactive in a host window", false, true, false, 12},
        {"inactive in -pq= host mode", false, false, true, 12},
    };
    TScreen* root = MakeRoot();
    auto probeOwned = std::make_unique<TProbe>("probe", 0, 0, 4, 4);
    auto* probe = probeOwned.get();
    std::vector<uint32_t> frameTimes;
    probe->onDraw = [this, &frameTimes](TProbe&) { frameTimes.push_back(Host().timer); };
    root->Adopt(std::move(probeOwned));
    Idle();
    for (const TCase& c : cases) {
        Host().active = c.active;
        Host().hosted = c.hosted;
        Host().pqSwitch = c.pqSwitch;
        IdleFor(c.interval); // a full interval after the last frame
        frameTimes.clear();
        for (int ms = 0; ms < 1200; ++ms) {
            ++Host().timer;
            Manager().Invalidate();
            Idle();
        }
        ASSERT_EQ(frameTimes.size(), 1200 / c.interval) << c.what;
        for (size_t i = 1; i < frameTimes.size(); ++i)
            EXPECT_EQ(frameTimes[i] - frameTimes[i - 1], c.interval) << c.what;
    }
}

TEST_F(TWindowManagerFrames, ADueFrameWaitsForItsConditions)
{
    TScreen* root = MakeRoot();
    int mainSteps = 0;
    int modalSteps = 0;
    Host().mainTasks.AddTask(std::make_unique<TFrameTask>(mainSteps));
    root->AddTask(std::make_unique<TFrameTask>(modalSteps));
    Idle();
    ASSERT_EQ(Manager().GetFrameCount(), 1);
    EXPECT_EQ(mainSteps, 1); // the every-frame passes run with each frame
    EXPECT_EQ(modalSteps, 1);

    // A display that cannot begin a frame keeps the redraw for the next due turn.
    TDxDisplayHandler& display = TRenderer::Get()->GetDisplayHandler();
    display.GetSetup().MarkBroken();
    Manager().Invalidate();
    IdleFor(50);
    EXPECT_EQ(Manager().GetFrameCount(), 1);
    EXPECT_TRUE(Manager().NeedsRedraw());
    display.OpenBackBuffer(kWidth, kHeight);
    IdleFor(12);
    EXPECT_EQ(Manager().GetFrameCount(), 2);
    EXPECT_FALSE(Manager().NeedsRedraw());

    struct TCase
    {
        const char* what;
        bool suspended;
        bool fullScreen;
        bool presentDone;
        int frames;
    };
    const TCase cases[] = {
        {"suspended", true, false, true, 0},
        {"windowed, presentation still running", false, false, false, 0},
        {"full screen, presentation still running", false, true, false, 1},
        {"windowed, presented", false, false, true, 1},
    };
    for (const TCase& c : cases) {
        Manager().SetSuspended(c.suspended);
        Host().fullScreen = c.fullScreen;
        Host().presentDone = c.presentDone;
        const int before = Manager().GetFrameCount();
        Manager().Invalidate();
        IdleFor(12);
        EXPECT_EQ(Manager().GetFrameCount() - before, c.frames) << c.what;
        Manager().SetSuspended(false);
        Host().presentDone = true;
        IdleFor(12); // whatever is left over is drawn
    }
}

// What the event loop asks before it sleeps: when an idle turn next has work here. Each
// case starts a full frame interval after a frame, with nothing asked for.
TEST_F(TWindowManagerFrames, TimeUntilDueIsTheNextFrameOrTaskOrAtOnceForMessages)
{
    struct TCase
    {
        const char* what;
        bool invalid;
        uint32_t sinceFrame; // ms of the frame interval gone
        bool active;
        bool suspended;
        bool presentDone;
        int animDelay; // a window animation of the top modal due in this many ms; -1: none
        bool message;
        int expected;
    };
    constexpr int kNever = TTask::kNeverDue;
    const TCase cases[] = {
        {"nothing changed", false, 0, true, false, true, -1, false, kNever},
        {"a frame asked for at once", true, 0, true, false, true, -1, false, 12},
        {"a frame asked for 5 ms later", true, 5, true, false, true, -1, false, 7},
        {"a frame asked for after its interval", true, 30, true, false, true, -1, false, 0},
        {"inactive", true, 50, false, false, true, -1, false, 150},
        {"suspended", true, 0, true, true, true, -1, false, kNever},
        {"presentation still running", true, 0, true, false, false, -1, false, 0},
        {"an animation", false, 0, true, false, true, 30, false, 30},
        {"an animation after the frame", true, 0, true, false, true, 30, false, 12},
        {"a message waits", false, 0, true, false, true, -1, true, 0},
    };
    EXPECT_EQ(Manager().TimeUntilDue(), kNever); // no modal window yet
    TManualTimeSource time(5000);
    TScreen* root = MakeRoot();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto* probe = root->Adopt(std::make_unique<TProbe>("probe", 0, 0, 4, 4));
        Host().timer += 200;
        Manager().Invalidate();
        Idle(); // the frame the new window asks for, drawn now
        ASSERT_FALSE(Manager().NeedsRedraw());
        Host().active = c.active;
        Manager().SetSuspended(c.suspended);
        Host().presentDone = c.presentDone;
        if (c.invalid)
            Manager().Invalidate();
        Host().timer += c.sinceFrame;
        if (c.animDelay >= 0)
            probe->StartAnim(c.animDelay, false, true, false);
        if (c.message)
            Manager().QueueMessage(std::make_unique<TMessage>(1000, "waiting"));
        EXPECT_EQ(Manager().TimeUntilDue(), c.expected);

        Host().active = true;
        Manager().SetSuspended(false);
        Host().presentDone = true;
        EXPECT_NE(root->RemoveChild(probe), nullptr);
        time.Advance(100); // an animation left without its window ends
        Idle();
    }
}

// The modal windows root < a < b < c, each marked with a probe that logs its drawing.
class TWindowManagerDrawing : public TUiTest
{
protected:
    TWindowManagerDrawing()
    {
        TScreen* root = MakeRoot();
        root->Adopt(std::make_unique<TProbe>("root", 0, 0, 1, 1));
        for (const char* name : {"a", "b", "c"}) {
            auto* modal = Manager().PushModal(std::make_unique<TProbeModal>(name));
            mModals.push_back(modal);
            // An opaque panel: sized to the screen, it makes its modal opaque.
            auto panelOwned = std::make_unique<TWindow>();
            auto* panel = panelOwned.get();
            panel->SetFlags(panel->GetFlags() | TWindow::kOpaque);
            modal->Adopt(std::move(panelOwned));
            mPanels.push_back(panel);
        }
        Idle();
        ProbeLog().clear();
    }

    TProbeModal* Modal(int index) { return mModals[static_cast<size_t>(index)]; }
    TWindow* Panel(int index) { return mPanels[static_cast<size_t>(index)]; }
    void Redraw()
    {
        Manager().Invalidate();
        IdleFor(12);
    }

private:
    std::vector<TProbeModal*> mModals;
    std::vector<TWindow*> mPanels;
};

TEST_F(TWindowManagerDrawing, DrawingStartsAtTheTopmostOpaqueModalOfTheScreensSize)
{
    struct TCase
    {
        const char* what;
        int opaque;   // index of the opaque modal, -1 for none
        int narrower; // index of a modal one pixel narrower, -1 for none
        std::vector<std::string> drawn;
    };
    const TCase cases[] = {
        {"none opaque", -1, -1, {"root draw", "a draw", "b draw", "c draw"}},
        {"a opaque", 0, -1, {"a draw", "b draw", "c draw"}},
        {"b opaque", 1, -1, {"b draw", "c draw"}},
        {"b opaque but narrower", 1, 1, {"root draw", "a draw", "b draw", "c draw"}},
    };
    for (const TCase& c : cases) {
        for (int i = 0; i < 3; ++i) {
            if (i == c.opaque)
                Panel(i)->SetSize(kWidth, kHeight);
            else
                Panel(i)->SetSize(1, 1);
            Modal(i)->SetSize(i == c.narrower ? kWidth - 1 : kWidth, kHeight);
        }
        ProbeLog().clear();
        Redraw();
        EXPECT_EQ(ProbeLog(), c.drawn) << c.what;
    }

    Manager().SetTopModalOnly(true);
    ProbeLog().clear();
    Redraw();
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"c draw"}));
}

TEST_F(TWindowManagerDrawing, APopDuringDrawingEndsTheFramesModalWindows)
{
    auto popperOwned = std::make_unique<TProbe>("popper", 0, 0, 2, 2);
    auto* popper = popperOwned.get();
    popper->onDraw = [this](TProbe&) { Manager().PopModal(); };
    Modal(1)->Adopt(std::move(popperOwned));
    Manager().AddOverlay(std::make_unique<TProbe>("overlay", 0, 0, 2, 2));
    Redraw();
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"root draw", "a draw", "b draw", "popper draw",
                                                    "b focus", "overlay draw"}));
}

TEST_F(TWindowManagerDrawing, TheOverlayAddedLaterIsDrawnUnderTheEarlierOnes)
{
    auto olderOwned = std::make_unique<TProbe>("older", 0, 0, 8, 8);
    auto* older = olderOwned.get();
    older->fill = TColor(0, 0, 1, 1);
    auto newerOwned = std::make_unique<TProbe>("newer", 4, 4, 8, 8);
    auto* newer = newerOwned.get();
    newer->fill = TColor(1, 0, 0, 1);
    Manager().AddOverlay(std::move(olderOwned));
    Manager().AddOverlay(std::move(newerOwned));
    Redraw();
    EXPECT_EQ(BackBuffer().At(2, 2), 0xFF0000FFu);
    EXPECT_EQ(BackBuffer().At(6, 6), 0xFF0000FFu); // the older one over the newer
    EXPECT_EQ(BackBuffer().At(10, 10), 0xFFFF0000u);

    // A removed overlay is the caller's again and is no longer drawn.
    std::unique_ptr<TWindow> removed = Manager().RemoveOverlay(older);
    EXPECT_EQ(removed.get(), older);
    EXPECT_EQ(Manager().RemoveOverlay(older), nullptr);
    Redraw();
    EXPECT_EQ(BackBuffer().At(6, 6), 0xFFFF0000u);
}

} // namespace
