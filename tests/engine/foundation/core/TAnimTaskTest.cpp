#include "engine/foundation/core/TAnimTask.h"

#include "engine/foundation/core/TClock.h"
#include "engine/platform/TTimeSource.h"

#include <gtest/gtest.h>

namespace {

// Counts its steps and answers mAnswer (true keeps it going).
class TCountingTask : public TAnimTask
{
public:
    using TAnimTask::TAnimTask;
    int mSteps = 0;
    bool mAnswer = true;

protected:
    bool Animate() override
    {
        ++mSteps;
        return mAnswer;
    }
};

constexpr uint32_t kStart = 10000;

TEST(TAnimTask, LateSteps)
{
    struct Case
    {
        const char* name;
        int delay;
        bool repeat;
        bool fromNow;
        bool catchUp;
        int late;     // ms past the first due time when the task runs
        int steps;    // Animate calls in that one DoTask
        int sinceDue; // TimeSinceDue afterwards
    };
    const Case cases[] = {
        {"on time", 100, true, false, true, 0, 1, -100},
        {"350 late with catch-up", 100, true, false, true, 350, 4, -50},
        {"350 late without catch-up", 100, true, false, false, 350, 1, 250},
        {"1000 late still catches up", 100, true, false, true, 1000, 10, 0},
        {"1500 late resynchronises", 100, true, false, true, 1500, 1, -100},
        {"350 late counted from now", 100, true, true, true, 350, 1, -100},
        {"no period steps once", 100, false, false, true, 500, 1, 500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TManualTimeSource timer(kStart);
        TCountingTask task;
        task.Start(c.delay, c.repeat, c.fromNow, c.catchUp);
        timer.Set(kStart + c.delay + c.late);
        ASSERT_TRUE(task.Ready(kPassEveryTurn));
        EXPECT_TRUE(task.DoTask());
        EXPECT_EQ(task.mSteps, c.steps);
        EXPECT_EQ(task.TimeSinceDue(), c.sinceDue);
    }
}

TEST(TAnimTask, ReadyAndAnswer)
{
    TManualTimeSource timer(kStart);
    TCountingTask task;
    task.Start(50, false, false, false);
    EXPECT_FALSE(task.Ready(kPassEveryTurn));
    EXPECT_FALSE(task.Ready(kPassEveryFrame));
    timer.Advance(49);
    EXPECT_FALSE(task.Ready(kPassEveryTurn));
    timer.Advance(1);
    EXPECT_TRUE(task.Ready(kPassEveryTurn));
    task.mAnswer = false;
    EXPECT_FALSE(task.DoTask());

    task.SetEveryFrame(true);
    EXPECT_TRUE(task.Ready(kPassEveryFrame));
    task.Stop();
    EXPECT_FALSE(task.Ready(kPassEveryFrame));
    EXPECT_FALSE(task.Ready(kPassEveryTurn));
    EXPECT_EQ(task.TimeSinceDue(), -1);
}

TEST(TAnimTask, StartAfterStopCountsFromNow)
{
    TManualTimeSource timer(kStart);
    TCountingTask running;
    TCountingTask stopped;
    stopped.Stop();
    timer.Advance(5000);
    running.Start(200, false, false, false); // from its previous due time, long past
    stopped.Start(200, false, false, false);
    EXPECT_EQ(running.TimeSinceDue(), 4800);
    EXPECT_EQ(stopped.TimeSinceDue(), -200);
}

TEST(TAnimTask, DueTimesAcrossTheTimerWrap)
{
    TManualTimeSource timer(0xFFFFFFC0u);
    TCountingTask task;
    task.Start(100, true, false, true);
    timer.Advance(90);
    EXPECT_FALSE(task.Ready(kPassEveryTurn));
    EXPECT_EQ(task.TimeSinceDue(), -10);
    timer.Advance(10);
    EXPECT_TRUE(task.Ready(kPassEveryTurn));
    EXPECT_TRUE(task.DoTask());
    EXPECT_EQ(task.mSteps, 1);
    EXPECT_EQ(task.TimeSinceDue(), -100);
}

TEST(TAnimTask, RunsOnItsOwnClock)
{
    TManualTimeSource timer(kStart);
    TClock clock;
    clock.Start();
    TCountingTask task(&clock);
    task.Start(100, false, false, false);
    timer.Advance(60);
    clock.Pause();
    timer.Advance(1000); // paused time does not count
    EXPECT_EQ(task.TimeSinceDue(), -40);
    EXPECT_FALSE(task.Ready(kPassEveryTurn));
    clock.Start();
    timer.Advance(40);
    EXPECT_TRUE(task.Ready(kPassEveryTurn));
}

// The event loop sleeps until the earliest TimeUntilDue of its tasks: the answer is never
// later than the time Ready first answers true, and Ready answers true when it is 0.
TEST(TAnimTask, TimeUntilDueMatchesReady)
{
    struct TCase
    {
        const char* name;
        int delay;        // Start(delay, ...); -1: stopped
        bool onClock;     // on a clock of its own
        bool clockPaused; // the clock pauses at once
        int advance;      // ms of the timer before the question
        int expected;
    };
    constexpr int kNever = TTask::kNeverDue;
    const TCase cases[] = {
        {"due in 50", 50, false, false, 0, 50},
        {"due in 50, 20 later", 50, false, false, 20, 30},
        {"due now", 50, false, false, 50, 0},
        {"late", 50, false, false, 80, 0},
        {"stopped", -1, false, false, 0, kNever},
        {"on a running clock", 50, true, false, 20, 30},
        {"on a paused clock", 50, true, true, 20, kNever},
        {"on a paused clock, already due", 0, true, true, 20, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TManualTimeSource timer(kStart);
        TClock clock;
        clock.Start();
        TCountingTask task(c.onClock ? &clock : nullptr);
        if (c.delay >= 0)
            task.Start(c.delay, true, true, false);
        else
            task.Stop();
        if (c.clockPaused)
            clock.Pause();
        timer.Advance(c.advance);
        EXPECT_EQ(task.TimeUntilDue(), c.expected);
        EXPECT_EQ(task.Ready(kPassEveryTurn), c.expected == 0);
        if (c.expected == kNever || c.expected == 0)
            continue;
        timer.Advance(c.expected - 1);
        EXPECT_FALSE(task.Ready(kPassEveryTurn));
        timer.Advance(1);
        EXPECT_TRUE(task.Ready(kPassEveryTurn));
        EXPECT_EQ(task.TimeUntilDue(), 0);
    }
}

TEST(TAnimTask, SetClockKeepsTheOffset)
{
    TManualTimeSource timer(kStart);
    TClock clock;
    clock.Start();
    timer.Advance(7);
    clock.Pause();

    TCountingTask task; // on the platform timer
    task.Start(30, false, false, false);
    task.SetClock(&clock);
    EXPECT_EQ(task.TimeSinceDue(), -30);
    timer.Advance(500); // the clock is paused
    EXPECT_EQ(task.TimeSinceDue(), -30);
    task.SetClock(nullptr);
    EXPECT_EQ(task.TimeSinceDue(), -30);

    // A task 1 ms before its due time is not mistaken for a stopped one.
    timer.Advance(29);
    EXPECT_EQ(task.TimeSinceDue(), -1);
    task.SetClock(&clock);
    EXPECT_EQ(task.TimeSinceDue(), -1);
    EXPECT_FALSE(task.IsStopped());

    task.Stop();
    task.SetClock(nullptr);
    EXPECT_TRUE(task.IsStopped());
}

} // namespace
