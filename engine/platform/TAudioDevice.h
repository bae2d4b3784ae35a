#pragma once

#include <cstdint>
#include <functional>
#include <memory>

// The sound output: one stream of interleaved 16-bit stereo frames that the system pulls
// through a fill function on an audio thread of its own. The engine mixes its sounds
// itself (TAudioMixer); the device only carries the result to the speakers. Opened and
// closed on the main thread.
class TAudioDevice
{
public:
    // Runs on the audio thread: takes no engine lock and allocates nothing.
    using TFill = std::function<void(int16_t* frames, int frameCount)>;

    // Starts the system's audio service. Null, with a log line per backend that declined,
    // when there is none (no sound hardware, or a driver that does not exist). The one
    // place that names a backend.
    static std::unique_ptr<TAudioDevice> Create();

    // Closes the output (as Close) and stops the audio service.
    virtual ~TAudioDevice() = default;

    // Opens the default output for 16-bit stereo at about sampleRate frames per second
    // (GetSampleRate tells what the system settled on) with periodFrames frames per call
    // of fill. The output starts paused: fill is first called after SetPaused(false).
    // False, with a log line, when no output opens.
    virtual bool Open(int sampleRate, int periodFrames, TFill fill) = 0;

    // The output's frames per second; 0 while closed.
    virtual int GetSampleRate() const = 0;

    // Pauses or resumes the calls of fill; paused output plays silence.
    virtual void SetPaused(bool paused) = 0;

    // Stops the output. When it returns, fill is not running and is never called again.
    // Safe twice and after a failed Open.
    virtual void Close() = 0;
};

// An output that never calls fill by itself: its owner mixes (tests, benchmarks, fuzz
// targets). It opens at the rate asked for, or at the rate given here, as a device may
// settle on another.
class TManualAudioDevice final : public TAudioDevice
{
public:
    explicit TManualAudioDevice(int settledRate = 0) : mSettledRate(settledRate) {}

    bool Open(int sampleRate, int, TFill) override
    {
        mSampleRate = mSettledRate > 0 ? mSettledRate : sampleRate;
        return true;
    }
    int GetSampleRate() const override { return mSampleRate; }
    void SetPaused(bool) override {}
    void Close() override { mSampleRate = 0; }

private:
    int mSettledRate;
    int mSampleRate = 0;
};
