#include "engine/foundation/core/TAnimTask.h"

#include "engine/foundation/core/TClock.h"
#include "engine/platform/TTimeSource.h"

#include <cstdint>

namespace {

constexpr int kResyncAfter = 1000; // ms late

// a - b on the wrapping 32-bit time line.
int Elapsed(int a, int b)
{
    return static_cast<int>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

int Add(int a, int b)
{
    return static_cast<int>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

} // namespace

TAnimTask::TAnimTask(TClock* clock) : mClock(clock)
{
    mDue = Now();
}

int TAnimTask::Now() const
{
    return mClock ? mClock->GetTime() : static_cast<int>(TTimeSource::Now());
}

bool TAnimTask::Ready(TTaskPass pass)
{
    if (pass == kPassEveryFrame)
        return mEveryFrame;
    return mDue != kStopped && Elapsed(Now(), mDue) >= 0;
}

int TAnimTask::TimeUntilDue() const
{
    if (IsStopped())
        return kNeverDue;
    const int wait = -Elapsed(Now(), mDue);
    if (wait <= 0)
        return 0;
    return mClock != nullptr && mClock->IsPaused() ? kNeverDue : wait;
}

bool TAnimTask::DoTask()
{
    const int now = Now();
    if (Elapsed(now, mDue) > kResyncAfter)
        mDue = now;
    bool result;
    do {
        mDue = Add(mFromNow ? now : mDue, mPeriod);
        result = Animate();
        // Without a period the due time never moves past now: one step only.
    } while (result && mCatchUp && mPeriod != 0 &&
             static_cast<uint32_t>(mDue) < static_cast<uint32_t>(now));
    return result;
}

void TAnimTask::Start(int delay, bool repeat, bool fromNow, bool catchUp)
{
    mFromNow = fromNow;
    mCatchUp = catchUp;
    mDue = Add((fromNow || IsStopped()) ? Now() : mDue, delay);
    mPeriod = repeat ? delay : 0;
}

void TAnimTask::Stop()
{
    mDue = kStopped;
    mEveryFrame = false;
}

int TAnimTask::TimeSinceDue() const
{
    return IsStopped() ? -1 : Elapsed(Now(), mDue);
}

void TAnimTask::SetClock(TClock* clock)
{
    const bool stopped = IsStopped();
    const int sinceDue = TimeSinceDue();
    mClock = clock;
    if (!stopped)
        mDue = Add(Now(), -sinceDue);
}
