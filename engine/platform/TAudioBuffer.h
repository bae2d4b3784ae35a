#pragma once

// One voice of the mixer: a ring of 16-bit signed PCM at its own sample rate, with one or
// two interleaved channels, that plays once or loops, with its own volume. It stands where
// a sound card's secondary buffer stood: the engine writes regions of it between Lock and
// Unlock while it plays, and polls its play and write cursors to know what is free.
//
// Made by TAudioMixer::CreateBuffer. Every operation may be called from any engine thread,
// but by one thread at a time (the engine serialises them under its own lock); each takes
// the mixer's lock briefly, the same lock the audio callback holds while it mixes.

#include <cstdint>
#include <vector>

class TAudioMixer;

class TAudioBuffer
{
public:
    // Leaves the mix (under the mixer's lock) before the memory goes.
    ~TAudioBuffer();
    TAudioBuffer(const TAudioBuffer&) = delete;
    TAudioBuffer& operator=(const TAudioBuffer&) = delete;

    int GetSampleRate() const { return mSampleRate; }
    int GetChannels() const { return mChannels; }
    // Bytes of one frame: 2 for mono, 4 for stereo.
    int GetBlockAlign() const { return mChannels * 2; }
    uint32_t GetSize() const { return mSize; }

    // Writable memory standing for bytes bytes of the ring from offset (holding what the
    // ring holds there now). Nothing reaches the ring before Unlock, so the mixer never
    // reads a half-written region. Null when the region leaves the ring or a lock is
    // already open.
    void* Lock(uint32_t offset, uint32_t bytes);
    // Copies the locked region into the ring in one step; nothing without an open lock.
    void Unlock();

    // Starts playing from the current position. A looping buffer wraps at its end; a
    // one-shot buffer stops there and goes back to position 0.
    void Play(bool looping);
    // Stops playing; the position stays.
    void Stop();
    bool IsPlaying() const;
    bool IsLooping() const;

    // Cursors in bytes, multiples of the block alignment. play: the next frame the mixer
    // reads. write: the first byte that is safe to write, one frame ahead of play while
    // playing and equal to play while stopped. A one-shot buffer that has played out
    // reports both at 0.
    void GetCurrentPosition(uint32_t& play, uint32_t& write) const;

    // Volume in hundredths of a decibel, clamped to -10000 (silent) .. 0 (full level).
    // The gain moves to the new value over the next mixing call.
    void SetVolume(int centibels);
    int GetVolume() const;

    // The linear gain of a volume: 0 at -10000 and below, else 10^(centibels / 2000).
    static float GainOf(int centibels);

private:
    friend class TAudioMixer;

    TAudioBuffer(TAudioMixer& mixer, int sampleRate, int channels, uint32_t bytes);

    // Mixer side, called by TAudioMixer under its lock.
    // Adds frameCount output frames of this voice into accumulator (stereo float pairs)
    // at step source frames per output frame (32.32 fixed point), and ramps the gain
    // from where the last call ended to the current one across them.
    void MixInto(float* accumulator, int frameCount, int rampFrames, int rampDone, uint64_t step);

    TAudioMixer& mMixer;
    const int mSampleRate;
    const int mChannels;
    const uint32_t mSize;
    const uint32_t mFrames;

    // Under the mixer's lock.
    std::vector<int16_t> mRing;
    uint64_t mPosition = 0; // source frames, 32.32 fixed point
    bool mPlaying = false;
    bool mLooping = false;
    int mVolume = 0;
    float mGain = 1.0f;      // the gain the volume asks for
    float mRampStart = 1.0f; // the gain at the start of the current mixing call

    // Used only by the thread holding the lock; the mixer never reads these.
    std::vector<uint8_t> mStaging;
    uint32_t mLockOffset = 0;
    bool mLocked = false;
};
