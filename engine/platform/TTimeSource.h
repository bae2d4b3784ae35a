#pragma once

#include <atomic>
#include <cstdint>

// The engine's time base: monotonic milliseconds as a wrapping 32-bit count. The platform
// timer (TPlatform::GetTimer), TClock and TAnimTask read it through Now(). The system
// source counts from an arbitrary start and never jumps with the wall clock; tests install
// a TManualTimeSource to drive time by hand.
class TTimeSource
{
public:
    virtual ~TTimeSource() = default;

    // Milliseconds since an arbitrary start, wrapping at 2^32; take differences of two
    // readings as unsigned 32-bit values. Any thread.
    virtual uint32_t GetMilliseconds() = 0;

    // The current source's reading. Any thread.
    static uint32_t Now();

    // Makes source the current one and returns the one it replaces; null puts the system
    // source back. The source is not owned and must outlive its use. Tests and start-up
    // only, never while another thread reads the time.
    static TTimeSource* SetCurrent(TTimeSource* source);
};

// A time source that moves only when told to. Constructing one makes it current;
// destroying it puts back whatever was current before.
class TManualTimeSource final : public TTimeSource
{
public:
    explicit TManualTimeSource(uint32_t start = 0) : mNow(start) { mPrevious = SetCurrent(this); }
    ~TManualTimeSource() override { SetCurrent(mPrevious); }
    TManualTimeSource(const TManualTimeSource&) = delete;
    TManualTimeSource& operator=(const TManualTimeSource&) = delete;

    uint32_t GetMilliseconds() override { return mNow.load(std::memory_order_relaxed); }
    void Set(uint32_t now) { mNow.store(now, std::memory_order_relaxed); }
    void Advance(uint32_t ms) { mNow.fetch_add(ms, std::memory_order_relaxed); }

private:
    std::atomic<uint32_t> mNow;
    TTimeSource* mPrevious = nullptr;
};
