// Frames paced as if presentation waited for the vertical blank: a table of frames ready
// at given times and the waits they get.

#include "engine/platform/TFramePacer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TFrame
{
    int64_t ready;    // microseconds
    int64_t expected; // the wait before it is shown
};

struct TPacingCase
{
    const char* name;
    bool on;
    int hertz;
    std::vector<TFrame> frames; // each shown at ready + its wait
};

const TPacingCase kCases[] = {
    {"off: never waits", false, 60, {{0, 0}, {1, 0}, {2, 0}}},
    {"the first frame is shown at once", true, 60, {{5'000'000, 0}}},
    {"60 Hz: a frame 12 ms after the last waits the rest of 16.666 ms",
     true,
     60,
     {{0, 0}, {12'000, 4'666}, {33'332, 0}, {40'000, 9'998}}},
    {"frames slower than the refresh are not held", true, 50, {{0, 0}, {20'000, 0}, {45'000, 0}}},
    {"unknown refresh: 60 Hz", true, 0, {{0, 0}, {1'000, 15'666}}},
    {"120 Hz", true, 120, {{100, 0}, {100, 8'333}}},
    {"a clock that stepped back waits one period at most", true, 60, {{1'000'000, 0}, {0, 16'666}}},
};

TEST(TFramePacer, FramesComeNoSoonerThanOneRefreshApart)
{
    for (const TPacingCase& c : kCases) {
        TFramePacer pacer;
        pacer.SetRefreshRate(c.hertz);
        pacer.SetOn(c.on);
        for (const TFrame& frame : c.frames) {
            const int64_t wait = pacer.TimeUntilDue(frame.ready);
            EXPECT_EQ(wait, frame.expected) << c.name << ", frame at " << frame.ready;
            pacer.Presented(frame.ready + wait);
        }
    }
}

TEST(TFramePacer, AResetShowsTheNextFrameAtOnce)
{
    TFramePacer pacer;
    pacer.SetOn(true);
    pacer.Presented(1'000);
    EXPECT_GT(pacer.TimeUntilDue(2'000), 0);
    pacer.Reset();
    EXPECT_EQ(pacer.TimeUntilDue(2'000), 0);
    // Turned off, a frame right after another is not held either.
    pacer.Presented(2'000);
    pacer.SetOn(false);
    EXPECT_EQ(pacer.TimeUntilDue(2'001), 0);
}

} // namespace
