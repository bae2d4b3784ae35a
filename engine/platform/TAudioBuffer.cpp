#include "engine/platform/TAudioBuffer.h"

#include "engine/platform/TAudioMixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int kSilentCentibels = -10000;
constexpr float kFractionScale = 1.0f / 4294967296.0f;

// Adds frameCount frames of a ring of Channels interleaved channels into a stereo
// accumulator; returns false when a one-shot ring ran out (the position is then 0).
template <int Channels>
bool MixRing(const int16_t* ring, uint32_t frames, bool looping, uint64_t& position, uint64_t step,
             float* accumulator, int frameCount, float gain, float gainStep)
{
    const uint64_t end = static_cast<uint64_t>(frames) << 32;
    for (int i = 0; i < frameCount; ++i) {
        const uint32_t frame = static_cast<uint32_t>(position >> 32);
        uint32_t next = frame + 1;
        if (next == frames)
            next = looping ? 0 : frame;
        const float fraction = static_cast<float>(static_cast<uint32_t>(position)) * kFractionScale;
        gain += gainStep;
        const int16_t* here = ring + static_cast<size_t>(frame) * Channels;
        const int16_t* there = ring + static_cast<size_t>(next) * Channels;
        const float left = here[0] + (there[0] - here[0]) * fraction;
        accumulator[2 * i] += left * gain;
        if constexpr (Channels == 1) {
            accumulator[2 * i + 1] += left * gain;
        } else {
            const float right = here[1] + (there[1] - here[1]) * fraction;
            accumulator[2 * i + 1] += right * gain;
        }
        position += step;
        if (position >= end) {
            if (!looping) {
                position = 0;
                return false;
            }
            position %= end;
        }
    }
    return true;
}

} // namespace

TAudioBuffer::TAudioBuffer(TAudioMixer& mixer, int sampleRate, int channels, uint32_t bytes)
    : mMixer(mixer), mSampleRate(sampleRate), mChannels(channels), mSize(bytes),
      mFrames(bytes / static_cast<uint32_t>(channels * 2)), mRing(bytes / 2, 0)
{
}

TAudioBuffer::~TAudioBuffer()
{
    mMixer.Remove(this);
}

void* TAudioBuffer::Lock(uint32_t offset, uint32_t bytes)
{
    if (mLocked || offset > mSize || bytes > mSize - offset)
        return nullptr;
    mStaging.resize(bytes);
    {
        std::lock_guard<std::mutex> lock(mMixer.mMutex);
        std::memcpy(mStaging.data(), reinterpret_cast<const uint8_t*>(mRing.data()) + offset,
                    bytes);
    }
    mLockOffset = offset;
    mLocked = true;
    return mStaging.data();
}

void TAudioBuffer::Unlock()
{
    if (!mLocked)
        return;
    mLocked = false;
    std::lock_guard<std::mutex> lock(mMixer.mMutex);
    std::memcpy(reinterpret_cast<uint8_t*>(mRing.data()) + mLockOffset, mStaging.data(),
                mStaging.size());
}

void TAudioBuffer::Play(bool looping)
{
    std::lock_guard<std::mutex> lock(mMixer.mMutex);
    if (!mPlaying)
        mRampStart = mGain; // a voice that starts has no earlier level to glide from
    mPlaying = true;
    mLooping = looping;
}

void TAudioBuffer::Stop()
{
    std::lock_guard<std::mutex> lock(mMixer.mMutex);
    mPlaying = false;
}

bool TAudioBuffer::IsPlaying() const
{
    std::lock_guard<std::mutex> lock(mMixer.mMutex);
    return mPlaying;
}

bool TAudioBuffer::IsLooping() const
{
    std::lock_guard<std::mutex> lock(mMixer.mMutex);
    return mLooping;
}

void TAudioBuffer::GetCurrentPosition(uint32_t& play, uint32_t& write) const
{
    std::lock_guard<std::mutex> lock(mMixer.mMutex);
    const uint32_t block = static_cast<uint32_t>(GetBlockAlign());
    play = static_cast<uint32_t>(mPosition >> 32) * block;
    write = mPlaying ? (play + block) % mSize : play;
}

void TAudioBuffer::SetVolume(int centibels)
{
    centibels = std::clamp(centibels, kSilentCentibels, 0);
    const float gain = GainOf(centibels);
    std::lock_guard<std::mutex> lock(mMixer.mMutex);
    mVolume = centibels;
    mGain = gain;
}

int TAudioBuffer::GetVolume() const
{
    std::lock_guard<std::mutex> lock(mMixer.mMutex);
    return mVolume;
}

float TAudioBuffer::GainOf(int centibels)
{
    if (centibels <= kSilentCentibels)
        return 0.0f;
    return static_cast<float>(std::pow(10.0, centibels / 2000.0));
}

void TAudioBuffer::MixInto(float* accumulator, int frameCount, int rampFrames, int rampDone,
                           uint64_t step)
{
    const float gainStep = (mGain - mRampStart) / static_cast<float>(rampFrames);
    const float gain = mRampStart + gainStep * static_cast<float>(rampDone);
    const bool more = mChannels == 1 ? MixRing<1>(mRing.data(), mFrames, mLooping, mPosition, step,
                                                  accumulator, frameCount, gain, gainStep)
                                     : MixRing<2>(mRing.data(), mFrames, mLooping, mPosition, step,
                                                  accumulator, frameCount, gain, gainStep);
    if (!more)
        mPlaying = false;
}
