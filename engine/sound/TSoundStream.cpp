#include "engine/sound/TSoundStream.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/platform/TAudioBuffer.h"
#include "engine/platform/TAudioMixer.h"
#include "engine/sound/TSoundInstance.h"
#include "engine/sound/TSoundManagerLock.h"
#include "engine/sound/TStreamNotify.h"
#include "engine/sound/TStreamSpooler.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kSilentCentibels = -10000;
constexpr int kQuietestCentibels = -5000;

} // namespace

std::shared_ptr<TSoundStream> TSoundStream::Make(std::unique_ptr<TStreamSpooler> spooler, bool loop,
                                                 int group,
                                                 const std::shared_ptr<TStreamNotify>& data)
{
    std::shared_ptr<TSoundStream> stream(new TSoundStream(std::move(spooler), loop, group, data));
    if (TSoundManager* manager = TSoundManager::Get())
        manager->AddStream(stream);
    return stream;
}

TSoundStream::TSoundStream(std::unique_ptr<TStreamSpooler> spooler, bool loop, int group,
                           const std::shared_ptr<TStreamNotify>& data)
    : mSpooler(std::move(spooler)), mData(data), mGroup(group), mLoop(loop)
{
}

TSoundStream::~TSoundStream()
{
    TSoundManagerLock lock;
    mSpooler.reset();
    const TSoundManager* manager = TSoundManager::Get();
    const bool deliver = manager == nullptr || !manager->IsShuttingDown();
    if (std::shared_ptr<TStreamNotify> data = mData.lock(); data && deliver)
        data->StreamFinished(*this);
    if (std::shared_ptr<TSoundInstance> instance = mInstance.lock())
        instance->ForgetStream(this);
    mBuffer.reset();
}

uint32_t TSoundStream::BufferBytes(int sampleRate, int channels, int bitsPerSample, double seconds)
{
    const int64_t blockAlign = static_cast<int64_t>(bitsPerSample / 8) * channels;
    const double bytesPerSecond = static_cast<double>(blockAlign) * sampleRate;
    const double exact = std::clamp(bytesPerSecond * seconds + 0.5, 0.0,
                                    static_cast<double>(TAudioMixer::kMaxBufferBytes));
    uint64_t bytes = static_cast<uint64_t>(exact);
    bytes = (bytes + 7) / 8 * 8;
    return static_cast<uint32_t>(std::clamp<uint64_t>(bytes, 4, TAudioMixer::kMaxBufferBytes));
}

int TSoundStream::VolumeToCentibels(float volume)
{
    if (volume == 0.0f)
        return kSilentCentibels;
    if (!(volume > 0.0f)) // negative, or not a number
        return kQuietestCentibels;
    volume = std::min(volume, 1.0f);
    return static_cast<int>(-(1.0f - volume) * 5000.0f);
}

bool TSoundStream::Create(int sampleRate, int channels, int bitsPerSample, double seconds)
{
    TSoundManagerLock lock;
    TSoundManager* manager = TSoundManager::Get();
    if (manager == nullptr || !manager->IsInitialised() || manager->GetMixer() == nullptr)
        return false;
    const uint32_t size = BufferBytes(sampleRate, channels, bitsPerSample, seconds);
    mBuffer = manager->GetMixer()->CreateBuffer(sampleRate, channels, bitsPerSample, size);
    if (!mBuffer) {
        TraceLog("sound: %s: the mixer made no buffer for %d channels at %d Hz; it plays "
                 "silently for its length",
                 SoundName().CStr(), channels, sampleRate);
        return false;
    }
    mBufferSize = size;
    mBufferSeconds = static_cast<double>(size) / (mBuffer->GetBlockAlign() * sampleRate);
    mTail = size;
    mDataEnded = false;
    Refill(true);
    return true;
}

void TSoundStream::Play(bool once)
{
    TSoundManagerLock lock;
    if (once)
        mPlayOnce = true;
    if (mBuffer) {
        TSoundManager* manager = TSoundManager::Get();
        SetVolume(manager != nullptr ? manager->GetGroupVolume(mGroup) : 1.0f);
        if (manager != nullptr && !manager->IsActive())
            mSuspended = mPaused = true;
        else
            mBuffer->Play(!mPlayOnce);
    }
    mClock.Stop();
    mClock.Start();
}

bool TSoundStream::Refill(bool initial)
{
    TSoundManagerLock lock;
    if (!mBuffer)
        return RefillClockMode();
    uint32_t play = 0;
    uint32_t write = 0;
    mBuffer->GetCurrentPosition(play, write);
    const int half = initial ? 1 : ChooseHalf(play, write);
    if (half == 0)
        return true;
    if (half == mLastHalf) {
        // A one-shot buffer that stopped at its end reports play == write. So does a
        // paused one, which has not ended.
        return !(mPlayOnce && !mPaused && play == write);
    }
    mLastHalf = half;
    if (mDataEnded) {
        mTail -= mBufferSize / 2;
        if (mTail < 1) {
            mBuffer->Stop();
            mSpooler.reset();
            return false;
        }
    }
    return FillHalf(half);
}

int TSoundStream::ChooseHalf(uint32_t play, uint32_t write) const
{
    const uint32_t middle = mBufferSize / 2;
    if (write < middle)
        return 2;
    // The write cursor is in the second half: the first half is free once play has left
    // it too.
    return play <= middle ? 0 : 1;
}

bool TSoundStream::FillHalf(int half)
{
    const uint32_t halfBytes = mBufferSize / 2;
    void* region = mBuffer->Lock(half == 1 ? 0 : halfBytes, halfBytes);
    if (region == nullptr) {
        TraceLog("sound: %s: cannot write half %d of its buffer; the playback ends",
                 SoundName().CStr(), half);
        return false;
    }
    uint32_t delivered = 0;
    bool more = false;
    if (mSpooler)
        more = mSpooler->Read(halfBytes, region, delivered, mLoop);
    else
        std::memset(region, 0, halfBytes);
    mDataEnded = !more;
    mBuffer->Unlock();
    return true;
}

bool TSoundStream::RefillClockMode()
{
    if (!mSpooler)
        return false;
    return !(mSpooler->GetLength() < mClock.GetTime() / 1000.0);
}

void TSoundStream::SetVolume(float volume)
{
    TSoundManagerLock lock;
    if (mBuffer)
        mBuffer->SetVolume(VolumeToCentibels(volume));
}

void TSoundStream::SetPaused(bool pause)
{
    TSoundManagerLock lock;
    // Without a buffer the clock is the playback: only it stops and goes on.
    if (pause) {
        mPaused = true;
        mSuspended = false;
        if (mBuffer)
            mBuffer->Stop();
        mClock.Pause();
        return;
    }
    mPaused = false;
    if (mBuffer)
        Play(mPlayOnce);
    mClock.Start();
}

void TSoundStream::Suspend(bool suspend)
{
    TSoundManagerLock lock;
    if (suspend && !mPaused) {
        SetPaused(true);
        mSuspended = true;
    } else if (!suspend && mSuspended) {
        SetPaused(false);
        mSuspended = false;
    }
}

void TSoundStream::Stop(bool retire)
{
    TSoundManagerLock lock;
    if (mBuffer)
        mBuffer->Stop();
    // The manager may hold the last reference; this one keeps the stream alive until
    // the call is done.
    std::shared_ptr<TSoundStream> self = shared_from_this();
    TSoundManager* manager = TSoundManager::Get();
    if (manager == nullptr)
        return;
    if (retire)
        manager->RetireStream(this);
    else
        manager->RemoveStream(this);
}

void TSoundStream::SetInstance(const std::shared_ptr<TSoundInstance>& instance)
{
    mInstance = instance;
}

TString TSoundStream::SoundName() const
{
    std::shared_ptr<TStreamNotify> data = mData.lock();
    return data ? data->GetSoundName() : TString("(a sound that is gone)");
}

bool TSoundStream::Plays(const TStreamNotify* data) const
{
    std::shared_ptr<TStreamNotify> held = mData.lock();
    return held != nullptr && held.get() == data;
}
