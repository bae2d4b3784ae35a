#include "engine/foundation/core/TClock.h"

#include "engine/platform/TTimeSource.h"

#include <gtest/gtest.h>

namespace {

TEST(TClock, StartsPausedAtZero)
{
    TManualTimeSource timer(5000);
    TClock clock;
    EXPECT_TRUE(clock.IsPaused());
    timer.Advance(300);
    EXPECT_EQ(clock.GetTime(), 0);
    EXPECT_EQ(clock.Start(), 0);
    EXPECT_EQ(clock.GetTime(), 0);
    timer.Advance(250);
    EXPECT_EQ(clock.GetTime(), 250);
    EXPECT_EQ(clock.Start(), 0); // already running
    EXPECT_EQ(clock.GetTime(), 250);
}

TEST(TClock, PauseAndResume)
{
    TManualTimeSource timer(100);
    TClock clock;
    clock.Start();
    timer.Advance(700);
    EXPECT_FALSE(clock.Pause());
    EXPECT_TRUE(clock.Pause());
    timer.Advance(2000);
    EXPECT_EQ(clock.GetTime(), 700);
    EXPECT_EQ(clock.Start(), 2000);
    EXPECT_EQ(clock.GetTime(), 700);
    timer.Advance(50);
    EXPECT_EQ(clock.GetTime(), 750);

    // A second pause adds to the first.
    clock.Pause();
    timer.Advance(300);
    EXPECT_EQ(clock.Start(), 300);
    timer.Advance(10);
    EXPECT_EQ(clock.GetTime(), 760);
}

TEST(TClock, StopReadsZeroUntilStartedAgain)
{
    TManualTimeSource timer;
    TClock clock;
    clock.Start();
    timer.Advance(1234);
    clock.Stop();
    EXPECT_TRUE(clock.IsPaused());
    timer.Advance(500);
    EXPECT_EQ(clock.GetTime(), 0);
    EXPECT_EQ(clock.Start(), 500);
    EXPECT_EQ(clock.GetTime(), 0);
    timer.Advance(40);
    EXPECT_EQ(clock.GetTime(), 40);
}

TEST(TClock, SetTime)
{
    TManualTimeSource timer;
    TClock clock;
    clock.Start();
    timer.Advance(100);
    clock.SetTime(5000);
    EXPECT_EQ(clock.GetTime(), 5000);
    timer.Advance(20);
    EXPECT_EQ(clock.GetTime(), 5020);

    clock.Pause();
    clock.SetTime(10);
    timer.Advance(30);
    EXPECT_EQ(clock.GetTime(), 10);
    clock.Start();
    timer.Advance(5);
    EXPECT_EQ(clock.GetTime(), 15);
}

TEST(TClock, FollowsTheTimerAcrossItsWrap)
{
    TManualTimeSource timer(0xFFFFFF00u);
    TClock clock;
    clock.Start();
    timer.Advance(0x200);
    EXPECT_EQ(clock.GetTime(), 0x200);
    clock.Pause();
    timer.Advance(0x100);
    EXPECT_EQ(clock.Start(), 0x100);
    EXPECT_EQ(clock.GetTime(), 0x200);
}

} // namespace
