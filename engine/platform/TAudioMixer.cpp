#include "engine/platform/TAudioMixer.h"

#include "engine/platform/TAudioBuffer.h"
#include "engine/platform/TPlatformLog.h"

#include <algorithm>
#include <cmath>

namespace {

// Frames mixed per pass; the accumulator lives on the audio thread's stack.
constexpr int kChunkFrames = 256;

int16_t Clip(float sample)
{
    const float clipped = std::clamp(sample, -32768.0f, 32767.0f);
    return static_cast<int16_t>(std::lrint(clipped));
}

} // namespace

TAudioMixer::TAudioMixer(int outputRate) : mOutputRate(std::max(outputRate, 1)) {}

TAudioMixer::~TAudioMixer() = default;

int TAudioMixer::GetOutputRate() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mOutputRate;
}

void TAudioMixer::SetOutputRate(int outputRate)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mOutputRate = std::max(outputRate, 1);
}

std::unique_ptr<TAudioBuffer> TAudioMixer::CreateBuffer(int sampleRate, int channels,
                                                        int bitsPerSample, uint32_t bytes)
{
    if (channels < 1 || channels > 2 || bitsPerSample != 16) {
        TPlatformLog::Write("sound: cannot mix %d channels of %d bits (1 or 2 of 16 only)",
                            channels, bitsPerSample);
        return nullptr;
    }
    if (sampleRate < kMinSampleRate || sampleRate > kMaxSampleRate) {
        TPlatformLog::Write("sound: cannot mix a rate of %d Hz", sampleRate);
        return nullptr;
    }
    const uint32_t frameBytes = static_cast<uint32_t>(channels) * 2;
    if (bytes == 0 || bytes > kMaxBufferBytes || bytes % frameBytes != 0) {
        TPlatformLog::Write("sound: cannot make a buffer of %u bytes", bytes);
        return nullptr;
    }
    std::unique_ptr<TAudioBuffer> buffer(new TAudioBuffer(*this, sampleRate, channels, bytes));
    Add(buffer.get());
    return buffer;
}

void TAudioMixer::MixInto(int16_t* out, int frameCount)
{
    std::lock_guard<std::mutex> lock(mMutex);
    float accumulator[kChunkFrames * 2];
    for (int done = 0; done < frameCount; done += kChunkFrames) {
        const int frames = std::min(kChunkFrames, frameCount - done);
        std::fill(accumulator, accumulator + frames * 2, 0.0f);
        for (TAudioBuffer* buffer : mBuffers) {
            if (!buffer->mPlaying)
                continue;
            const uint64_t step = (static_cast<uint64_t>(buffer->mSampleRate) << 32) /
                                  static_cast<uint64_t>(mOutputRate);
            buffer->MixInto(accumulator, frames, frameCount, done, step);
        }
        for (int i = 0; i < frames * 2; ++i)
            out[done * 2 + i] = Clip(accumulator[i]);
    }
    // The ramps of this call have arrived.
    for (TAudioBuffer* buffer : mBuffers)
        buffer->mRampStart = buffer->mGain;
}

size_t TAudioMixer::GetBufferCount() const
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mBuffers.size();
}

void TAudioMixer::Add(TAudioBuffer* buffer)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mBuffers.push_back(buffer);
}

void TAudioMixer::Remove(TAudioBuffer* buffer)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mBuffers.erase(std::remove(mBuffers.begin(), mBuffers.end(), buffer), mBuffers.end());
}
