#include "engine/platform/TTimeSource.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

TEST(TTimeSource, SystemTimeMovesForward)
{
    const uint32_t before = TTimeSource::Now();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const uint32_t elapsed = TTimeSource::Now() - before;
    EXPECT_GE(elapsed, 19u);
    EXPECT_LT(elapsed, 60000u);
}

TEST(TTimeSource, ManualSourcesNestAndRestore)
{
    {
        TManualTimeSource outer(100);
        EXPECT_EQ(TTimeSource::Now(), 100u);
        {
            TManualTimeSource inner(0xFFFFFFFFu);
            inner.Advance(2);
            EXPECT_EQ(TTimeSource::Now(), 1u);
        }
        outer.Set(250);
        EXPECT_EQ(TTimeSource::Now(), 250u);
    }
    // The system source is back: it does not stand still at a manual value.
    const uint32_t before = TTimeSource::Now();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_NE(TTimeSource::Now(), before);
}

} // namespace
