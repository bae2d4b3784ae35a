#include "engine/foundation/core/TClock.h"

#include "engine/platform/TTimeSource.h"

#include <cstdint>

namespace {

// Sums and differences of timer readings wrap like the 32-bit timer itself.
int Wrap(uint32_t value)
{
    return static_cast<int>(value);
}

uint32_t Bits(int value)
{
    return static_cast<uint32_t>(value);
}

} // namespace

int TClock::RunningTime() const
{
    return Wrap(Bits(mBase) + TTimeSource::Now() - Bits(mStartTick) - Bits(mPausedTotal));
}

int TClock::GetTime() const
{
    return mPaused ? mStored : RunningTime();
}

void TClock::SetTime(int value)
{
    mStartTick = Wrap(TTimeSource::Now());
    mBase = value;
    mStored = value;
    mPausedTotal = 0;
}

int TClock::Start()
{
    if (!mPaused)
        return 0;
    mPaused = false;
    if (!mStarted) {
        mStarted = true;
        SetTime(0);
        return 0;
    }
    // No tick marks the pause: the time that passed since is what the clock would read
    // now, running, minus the frozen value.
    const int pausedFor = Wrap(Bits(RunningTime()) - Bits(mStored));
    mPausedTotal = Wrap(Bits(mPausedTotal) + Bits(pausedFor));
    return pausedFor;
}

bool TClock::Pause()
{
    if (mPaused)
        return true;
    mStored = GetTime();
    mPaused = true;
    return false;
}

void TClock::Stop()
{
    SetTime(0);
    mPaused = true;
}
