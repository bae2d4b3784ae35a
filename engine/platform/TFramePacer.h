#pragma once

// Paces presented frames as waiting for the vertical blank does, for an output that
// cannot wait for it: while on, a frame is shown no sooner than one refresh period after
// the previous one. Frames that come slower are shown at once. Times are microseconds on
// one steady clock of the caller's choosing; nothing here reads a clock or waits.

#include <cstdint>

class TFramePacer
{
public:
    // The screen's refresh rate in Hz; 0 or less (unknown) counts as 60.
    void SetRefreshRate(int hertz);
    int64_t GetPeriod() const { return mPeriod; }
    void SetOn(bool on) { mOn = on; }
    bool IsOn() const { return mOn; }

    // How long a frame ready at now waits before it is shown: 0 when off, before the first
    // frame, and once a period has passed since the last one; never more than a period.
    int64_t TimeUntilDue(int64_t now) const;
    // A frame was shown at now.
    void Presented(int64_t now);
    // Forgets the last frame: the next one is shown at once.
    void Reset() { mHasLast = false; }

private:
    static constexpr int kDefaultHertz = 60;

    bool mOn = false;
    int64_t mPeriod = 1'000'000 / kDefaultHertz;
    bool mHasLast = false;
    int64_t mLast = 0;
};
