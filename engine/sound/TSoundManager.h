#pragma once

// The sound subsystem. TSoundManager owns the output (our mixer on the system's audio
// device), the playing streams, the volumes (a master volume and one per group) and a
// service thread that keeps the streams' buffers filled. TSound is a cached sound file
// (Ogg Vorbis) in one volume group; TSound::Play starts a playback, a TSoundStream, and
// hands back a TSoundInstance that can stop it. Short sounds are decoded once; longer
// ones are decoded while they play. The engine's files (TFile) are the only source.
//
// Threads: the main thread makes, plays, pauses, stops and frees everything; the service
// thread only refills buffers and moves finished streams to a retired list, which the
// main thread empties on every idle turn (DispatchNotifications), so a playback ends, and
// its instance is released, on the main thread. Both take the manager's re-entrant lock
// for every access to streams and volumes. The audio callback takes only the mixer's lock.
//
// Without an output device (none present, or it fails to open), sounds still "play":
// each one runs silently for its length on a clock and then ends as usual.

#include "engine/foundation/core/TClock.h"
#include "engine/foundation/seams/TMasterVolume.h"
#include "engine/foundation/seams/TSoundManagerSeam.h"

#include <cstddef>
#include <functional>
#include <memory>

class TAudioDevice;
class TAudioMixer;
class TSoundManagerData;
class TSoundStream;

class TSoundManager final : public TSoundManagerSeam, public TMasterVolume
{
public:
    // Logged when there is no output to play on.
    static constexpr const char* kNoOutputLog =
        "sound: no audio output; the game runs without sound";

    using TDeviceMaker = std::function<std::unique_ptr<TAudioDevice>()>;

    // The output format asked of the device, and its period.
    static constexpr int kOutputRate = 44100;
    static constexpr int kPeriodFrames = 1024;
    // The service thread wakes this often while streams play (without any it sleeps
    // until one is added), and refills streams when more than the refill interval has
    // passed since the last refill.
    static constexpr int kServiceSleepMs = 50;
    static constexpr int kRefillIntervalMs = 500;

    // makeDevice makes the output at Init (default: TAudioDevice::Create). Without the
    // service thread nothing refills on its own: the owner calls Update (tests that drive
    // the time by hand). Installs the manager as the master-volume control.
    explicit TSoundManager(TDeviceMaker makeDevice = nullptr, bool serviceThread = true);
    // Stops the service thread, then frees every stream without delivering any end of
    // playback, then closes the output.
    ~TSoundManager() override;
    TSoundManager(const TSoundManager&) = delete;
    TSoundManager& operator=(const TSoundManager&) = delete;

    // The one live manager, or null. Every sound object reaches it here.
    static TSoundManager* Get();

    // Starts the service thread and opens the output. False (logged) when there is no
    // output: the thread still runs and streams play silently on their clocks. A second
    // call after success returns true at once.
    bool Init() override;
    // The application gained or lost activation: streams that play are suspended while
    // it is inactive and resumed when it returns; streams the game paused stay paused.
    void SetActive(bool active) override;
    // Frees the streams that finished since the last call, which ends their playbacks.
    // Main thread, every idle turn.
    void DispatchNotifications() override;
    // Called whenever a stream is retired (on the service thread, mostly).
    void SetNotificationWake(std::function<void()> wake) override;

    // The master volume is group -1's volume, as mute and unmute see it.
    float GetMasterVolume() const override { return GetGroupVolume(-1); }
    // Stores the master volume (not clamped) and applies every stream's volume again.
    void SetMasterVolume(float volume) override;
    void SetGroupVolume(int group, float volume);
    // master x the group's volume, or the master alone when the group has none.
    float GetGroupVolume(int group) const;
    // Stops and frees every stream of the group (-1: every group).
    void StopGroup(int group);
    // Pauses or resumes every stream of the group (-1: every group).
    void PauseGroup(bool pause, int group);

    // List upkeep for TSoundStream: a stream adds itself when made; a stopped one is
    // removed (and freed at once unless someone else holds it); a finished one is retired.
    void AddStream(const std::shared_ptr<TSoundStream>& stream);
    void RemoveStream(const TSoundStream* stream);
    void RetireStream(const TSoundStream* stream);
    // Gives a stream the volume of its group, nudging it first so the output sees a change.
    void ApplyVolume(TSoundStream& stream);
    void ApplyVolumes();

    // One service turn: when more than the refill interval has passed since the last
    // refill, refills every stream and retires the finished ones. The service thread
    // calls it; so do tests without one.
    void Update();

    bool IsInitialised() const { return mInitialised; }
    bool IsActive() const { return mActive; }
    // True from the start of the destructor: streams freed from then on end silently.
    bool IsShuttingDown() const { return mShuttingDown; }
    // The mixer of the open output; null until Init opened it.
    TAudioMixer* GetMixer();
    size_t GetStreamCount() const;
    size_t GetRetiredCount() const;

    // The manager's lock (see TSoundManagerData).
    void Lock();
    void Unlock();

private:
    void Service();
    void RunServiceThread();
    bool OpenOutput();

    std::unique_ptr<TSoundManagerData> mData;
    TDeviceMaker mMakeDevice;
    bool mServiceThread;
    TClock mServiceClock;
    bool mInitialised = false;
    bool mShuttingDown = false;
    bool mActive = true;
};

// Take and release the live manager's lock; nothing when there is no manager.
void LockSoundManager();
void UnlockSoundManager();
