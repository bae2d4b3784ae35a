#include "engine/sound/TSoundManager.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/platform/TAudioDevice.h"
#include "engine/platform/TAudioMixer.h"
#include "engine/sound/TSoundManagerData.h"
#include "engine/sound/TSoundStream.h"

#include <algorithm>
#include <chrono>

namespace {

TSoundManager* sInstance = nullptr;

// The device has said why it cannot play (the platform layer's own log line); this says
// what follows from it.
void LogNoOutput()
{
    TraceLog("%s", TSoundManager::kNoOutputLog);
}

// Erases stream from list (found by identity) and hands back the owning pointer; empty
// when it is not there.
template <typename TList>
std::shared_ptr<TSoundStream> TakeOut(TList& list, const TSoundStream* stream)
{
    auto found = std::find_if(list.begin(), list.end(),
                              [stream](const auto& held) { return held.get() == stream; });
    if (found == list.end())
        return nullptr;
    std::shared_ptr<TSoundStream> taken = std::move(*found);
    list.erase(found);
    return taken;
}

bool InGroup(const TSoundStream& stream, int group)
{
    return group == -1 || stream.GetGroup() == group;
}

} // namespace

TSoundManager::TSoundManager(TDeviceMaker makeDevice, bool serviceThread)
    : mData(std::make_unique<TSoundManagerData>()), mMakeDevice(std::move(makeDevice)),
      mServiceThread(serviceThread)
{
    sInstance = this;
    TMasterVolume::Install(this);
}

TSoundManager::~TSoundManager()
{
    TMasterVolume::Install(nullptr);
    {
        std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
        std::lock_guard<std::mutex> wake(mData->wakeMutex);
        mData->stop = true;
    }
    mData->wake.notify_all();
    if (mData->thread.joinable())
        mData->thread.join();
    mShuttingDown = true;
    {
        // The streams go while the manager still stands (they take its lock); then the
        // output closes and the mixer goes.
        std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
        std::vector<std::shared_ptr<TSoundStream>> retired;
        retired.swap(mData->retired);
        retired.clear();
        std::list<std::shared_ptr<TSoundStream>> active;
        active.swap(mData->active);
        active.clear();
    }
    mData.reset();
    if (sInstance == this)
        sInstance = nullptr;
}

TSoundManager* TSoundManager::Get()
{
    return sInstance;
}

bool TSoundManager::Init()
{
    std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
    if (mInitialised)
        return true;
    if (mServiceThread && !mData->thread.joinable())
        mData->thread = std::thread(&TSoundManager::RunServiceThread, this);
    mServiceClock.Stop();
    mServiceClock.Start();
    mInitialised = OpenOutput();
    return mInitialised;
}

bool TSoundManager::OpenOutput()
{
    std::unique_ptr<TAudioDevice> device = mMakeDevice ? mMakeDevice() : TAudioDevice::Create();
    if (!device) {
        LogNoOutput();
        return false;
    }
    // The device calls back only after it is unpaused, and the mixer is in place by then.
    auto mixer = std::make_unique<TAudioMixer>(kOutputRate);
    TAudioMixer* target = mixer.get();
    if (!device->Open(kOutputRate, kPeriodFrames,
                      [target](int16_t* frames, int count) { target->MixInto(frames, count); })) {
        mData->unopened = std::move(device);
        LogNoOutput();
        return false;
    }
    if (device->GetSampleRate() < TAudioMixer::kMinSampleRate) {
        TraceLog("sound: the audio device plays at %d Hz, below the mixer's lowest rate of %d Hz",
                 device->GetSampleRate(), TAudioMixer::kMinSampleRate);
        device->Close();
        mData->unopened = std::move(device);
        LogNoOutput();
        return false;
    }
    mixer->SetOutputRate(device->GetSampleRate());
    mData->mixer = std::move(mixer);
    mData->device = std::move(device);
    mData->device->SetPaused(false);
    return true;
}

void TSoundManager::RunServiceThread()
{
    TSoundManagerData& data = *mData;
    while (!data.stop) {
        bool playing = false;
        {
            std::lock_guard<std::recursive_mutex> lock(data.Mutex());
            if (!data.stop)
                Update();
            playing = !data.active.empty();
        }
        std::unique_lock<std::mutex> wake(data.wakeMutex);
        if (playing)
            data.wake.wait_for(wake, std::chrono::milliseconds(kServiceSleepMs),
                               [&data] { return data.stop.load(); });
        else
            data.wake.wait(wake, [&data] { return data.stop.load() || data.streamAdded; });
        data.streamAdded = false;
    }
}

void TSoundManager::Update()
{
    Service();
}

void TSoundManager::Service()
{
    std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
    if (mServiceClock.GetTime() <= kRefillIntervalMs)
        return;
    // A stream that finishes leaves the list; the walk then starts over.
    bool finished = true;
    while (finished) {
        finished = false;
        mServiceClock.Stop();
        mServiceClock.Start();
        for (const std::shared_ptr<TSoundStream>& stream : mData->active) {
            if (!stream->Refill(false)) {
                RetireStream(stream.get());
                finished = true;
                break;
            }
        }
    }
}

void TSoundManager::DispatchNotifications()
{
    std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
    // Freeing a stream ends its playback, which may reach back into the manager; the list
    // is emptied before any stream goes.
    std::vector<std::shared_ptr<TSoundStream>> finished;
    finished.swap(mData->retired);
    finished.clear();
}

void TSoundManager::SetActive(bool active)
{
    std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
    mActive = active;
    for (const std::shared_ptr<TSoundStream>& stream : mData->active) {
        stream->Suspend(!active);
        if (active)
            ApplyVolumes();
    }
}

void TSoundManager::SetMasterVolume(float volume)
{
    std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
    mData->master = volume;
    ApplyVolumes();
}

void TSoundManager::SetGroupVolume(int group, float volume)
{
    std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
    mData->groups[group] = volume;
    ApplyVolumes();
}

float TSoundManager::GetGroupVolume(int group) const
{
    std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
    auto found = mData->groups.find(group);
    if (found == mData->groups.end())
        return mData->master;
    return mData->master * found->second;
}

void TSoundManager::StopGroup(int group)
{
    std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
    auto& active = mData->active;
    for (auto it = active.begin(); it != active.end();) {
        // Stopping removes the stream from the list: step past it first.
        auto next = std::next(it);
        if (InGroup(**it, group))
            (*it)->Stop(false);
        it = next;
    }
}

void TSoundManager::PauseGroup(bool pause, int group)
{
    std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
    for (const std::shared_ptr<TSoundStream>& stream : mData->active) {
        if (InGroup(*stream, group))
            stream->SetPaused(pause);
    }
    if (!pause)
        ApplyVolumes();
}

void TSoundManager::AddStream(const std::shared_ptr<TSoundStream>& stream)
{
    std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
    mData->active.push_back(stream);
    {
        std::lock_guard<std::mutex> wake(mData->wakeMutex);
        mData->streamAdded = true;
    }
    mData->wake.notify_all();
}

void TSoundManager::RemoveStream(const TSoundStream* stream)
{
    std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
    // The stream is freed once both lists are consistent again.
    std::shared_ptr<TSoundStream> fromActive = TakeOut(mData->active, stream);
    std::shared_ptr<TSoundStream> fromRetired = TakeOut(mData->retired, stream);
}

void TSoundManager::RetireStream(const TSoundStream* stream)
{
    std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
    std::shared_ptr<TSoundStream> found = TakeOut(mData->active, stream);
    if (!found)
        return;
    mData->retired.push_back(std::move(found));
    if (mData->notificationWake)
        mData->notificationWake();
}

void TSoundManager::SetNotificationWake(std::function<void()> wake)
{
    std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
    mData->notificationWake = std::move(wake);
}

void TSoundManager::ApplyVolume(TSoundStream& stream)
{
    std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
    const float volume = GetGroupVolume(stream.GetGroup());
    stream.SetVolume(volume < 0.5f ? volume + 0.05f : volume - 0.05f);
    stream.SetVolume(volume);
}

void TSoundManager::ApplyVolumes()
{
    std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
    for (const std::shared_ptr<TSoundStream>& stream : mData->active)
        ApplyVolume(*stream);
}

TAudioMixer* TSoundManager::GetMixer()
{
    return mData->mixer.get();
}

size_t TSoundManager::GetStreamCount() const
{
    std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
    return mData->active.size();
}

size_t TSoundManager::GetRetiredCount() const
{
    std::lock_guard<std::recursive_mutex> lock(mData->Mutex());
    return mData->retired.size();
}

void TSoundManager::Lock()
{
    mData->Lock();
}

void TSoundManager::Unlock()
{
    mData->Unlock();
}

void LockSoundManager()
{
    if (TSoundManager* manager = TSoundManager::Get())
        manager->Lock();
}

void UnlockSoundManager()
{
    if (TSoundManager* manager = TSoundManager::Get())
        manager->Unlock();
}
