#pragma once

// The engine's software mixer: it stands where a sound card mixed its secondary buffers.
// Every playing TAudioBuffer is stepped through at its own rate relative to the output
// rate, with linear interpolation between neighbouring frames, multiplied by its gain and
// summed into 16-bit stereo (mono feeds both sides at full level; there is no panning);
// the sum is clipped to the 16-bit range.
//
// The output device's callback calls MixInto on the audio thread. The buffers' operations
// come from the engine's threads. One mutex of the mixer's own guards the list of buffers
// and their playing state; MixInto holds it for one call and takes nothing else, so the
// audio thread never waits for an engine lock, and an engine thread waits at most one
// mixing call.

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class TAudioBuffer;

class TAudioMixer
{
public:
    // Rates a buffer may have, in frames per second.
    static constexpr int kMinSampleRate = 1000;
    static constexpr int kMaxSampleRate = 384000;
    // The largest buffer, in bytes.
    static constexpr uint32_t kMaxBufferBytes = 0x0FFFFFFF;

    explicit TAudioMixer(int outputRate);
    // Every buffer must be gone first.
    ~TAudioMixer();
    TAudioMixer(const TAudioMixer&) = delete;
    TAudioMixer& operator=(const TAudioMixer&) = delete;

    int GetOutputRate() const;
    // The output device may settle on another rate than asked for; playing buffers keep
    // their positions and step at the new rate from the next mixing call.
    void SetOutputRate(int outputRate);

    // A stopped buffer of bytes bytes of silence at sampleRate with 1 or 2 channels of
    // bitsPerSample bits (only 16 is accepted). bytes must be a positive multiple of the
    // frame size. Null with a log line when the format is refused. The buffer must be
    // destroyed before the mixer.
    std::unique_ptr<TAudioBuffer> CreateBuffer(int sampleRate, int channels, int bitsPerSample,
                                               uint32_t bytes);

    // Writes frameCount frames of interleaved 16-bit stereo into out: the sum of every
    // playing buffer, or silence. Runs on the audio thread; allocates nothing.
    void MixInto(int16_t* out, int frameCount);

    // Buffers that exist (playing or not); for tests.
    size_t GetBufferCount() const;

private:
    friend class TAudioBuffer;

    void Add(TAudioBuffer* buffer);
    void Remove(TAudioBuffer* buffer);

    mutable std::mutex mMutex;
    std::vector<TAudioBuffer*> mBuffers; // every live buffer, under mMutex
    int mOutputRate;                     // under mMutex
};
