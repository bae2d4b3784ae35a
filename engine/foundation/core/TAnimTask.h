#pragma once

#include "engine/foundation/core/TTask.h"

class TClock;

// A task with a due time on a clock: it runs its Animate step when due, once or every
// period ms. Times are read from its TClock, or from the platform timer when it has
// none. A task more than one second late resynchronises to now instead of catching up.
// Main thread only.
class TAnimTask : public TTask
{
public:
    // Due now on clock (null = the platform timer); the clock is not owned and must
    // outlive the task or be replaced with SetClock.
    explicit TAnimTask(TClock* clock = nullptr);

    // Pass 1: whether the task takes part in every frame. Pass 0: whether it is due.
    bool Ready(TTaskPass pass) override;
    // Until the due time on its clock; never while stopped, or while its clock is paused
    // short of the due time.
    int TimeUntilDue() const override;
    // Runs Animate once, or with catch-up as often as it takes to be due in the future
    // again. Returns the last answer of Animate.
    bool DoTask() override;

    // Due delay ms after the previous due time, or after now with fromNow or when the
    // task is stopped. With repeat the task steps every delay ms; catchUp makes a late
    // task run its missed steps at once (a task without a period steps once).
    void Start(int delay, bool repeat, bool fromNow, bool catchUp);
    // Never due until the next Start; also leaves the every-frame pass.
    void Stop();
    bool IsStopped() const { return mDue == kStopped; }
    // ms since the due time (negative before it); -1 when stopped.
    int TimeSinceDue() const;
    // Switches clocks, keeping the task as far from its due time as it was.
    void SetClock(TClock* clock);
    void SetEveryFrame(bool everyFrame) { mEveryFrame = everyFrame; }

protected:
    // One step of the subclass's work; false ends the task.
    virtual bool Animate() = 0;

private:
    static constexpr int kStopped = -1;

    int Now() const;

    bool mEveryFrame = false;
    int mDue;
    int mPeriod = 0;
    bool mFromNow = false;
    bool mCatchUp = false;
    TClock* mClock;
};
