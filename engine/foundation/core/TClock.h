#pragma once

// A pausable millisecond clock over the platform timer. It starts paused at 0; the first
// Start counts from 0, Pause freezes the reading, a later Start resumes from the frozen
// value (paused time does not count), and Stop sets it back to 0 and pauses. The platform
// timer wraps at 2^32 ms; readings follow it, so take differences of two readings as
// unsigned 32-bit values. Main thread only.
class TClock
{
public:
    TClock() = default;
    virtual ~TClock() = default;

    // The frozen value while paused, else the running time in ms.
    int GetTime() const;
    // Makes the clock read value now; it keeps running or stays paused.
    void SetTime(int value);
    // Runs the clock. Returns how long it was paused (0 for the first start, and when it
    // was already running).
    int Start();
    // Freezes the reading. Returns true when it was already paused.
    bool Pause();
    // Sets the time to 0 and pauses; the next Start resumes from 0.
    void Stop();
    bool IsPaused() const { return mPaused; }

private:
    int RunningTime() const;

    bool mPaused = true;
    bool mStarted = false;
    int mStartTick = 0;   // timer reading at the last SetTime
    int mBase = 0;        // the time set at mStartTick
    int mStored = 0;      // the reading while paused
    int mPausedTotal = 0; // ms spent paused since mStartTick
};
