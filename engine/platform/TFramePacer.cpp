#include "engine/platform/TFramePacer.h"

#include <algorithm>

void TFramePacer::SetRefreshRate(int hertz)
{
    mPeriod = 1'000'000 / (hertz > 0 ? hertz : kDefaultHertz);
}

int64_t TFramePacer::TimeUntilDue(int64_t now) const
{
    if (!mOn || !mHasLast)
        return 0;
    // A clock read before the last frame waits one period at most.
    const int64_t due = mLast + mPeriod;
    return now < due ? std::min(due - now, mPeriod) : 0;
}

void TFramePacer::Presented(int64_t now)
{
    mHasLast = true;
    mLast = now;
}
