#pragma once

#include "engine/platform/TAudioDevice.h"
#include "engine/platform/TAudioMixer.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class TSoundStream;

// The state behind TSoundManager: the output device and its mixer, the stream lists, the
// volumes, the service thread and the one lock that guards them all.
//
// The lock is re-entrant: an operation that holds it calls others that take it again.
// The main thread and the service thread take it for every access to the lists, the
// volumes and any stream; the audio callback never takes it (it reads only the mixer,
// under the mixer's own lock).
class TSoundManagerData
{
public:
    TSoundManagerData() = default;
    // Stops the output first, then frees the streams' mixer.
    ~TSoundManagerData();
    TSoundManagerData(const TSoundManagerData&) = delete;
    TSoundManagerData& operator=(const TSoundManagerData&) = delete;

    // Takes and releases the lock, waiting without limit.
    void Lock() { mMutex.lock(); }
    void Unlock() { mMutex.unlock(); }
    std::recursive_mutex& Mutex() { return mMutex; }

    // Null until the output is open; the mixer outlives every stream's buffer.
    std::unique_ptr<TAudioDevice> device;
    // A device whose audio service started but whose output did not open, kept closed
    // until the manager goes: stopping the service can wait for the system's device
    // watcher (SDL's ALSA driver looks for new devices in 100 ms naps), and that wait
    // belongs to the shutdown, not to the start.
    std::unique_ptr<TAudioDevice> unopened;
    std::unique_ptr<TAudioMixer> mixer;

    // Owning, in the order the streams were made.
    std::list<std::shared_ptr<TSoundStream>> active;
    // Streams that finished on the service thread, waiting for the main thread to free
    // them.
    std::vector<std::shared_ptr<TSoundStream>> retired;

    float master = 1.0f;
    std::map<int, float> groups;

    // The service thread sleeps on wake between turns; stop ends it. streamAdded (under
    // wakeMutex) ends its sleep while no stream plays.
    std::thread thread;
    std::atomic<bool> stop{false};
    std::mutex wakeMutex;
    std::condition_variable wake;
    bool streamAdded = false;

    // Wakes the event loop for DispatchNotifications; empty for none.
    std::function<void()> notificationWake;

private:
    std::recursive_mutex mMutex;
};
