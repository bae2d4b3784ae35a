#pragma once

#include <memory>

class TSound;
class TSoundStream;

// The handle of one playback of a sound. The game may hold it to stop the playback, or
// drop it at once: the sound keeps the instance while its stream plays. Main thread.
class TSoundInstance : public std::enable_shared_from_this<TSoundInstance>
{
public:
    TSoundInstance(TSoundStream* stream, const std::shared_ptr<TSound>& sound);
    virtual ~TSoundInstance() = default;
    TSoundInstance(const TSoundInstance&) = delete;
    TSoundInstance& operator=(const TSoundInstance&) = delete;

    // Stops this playback through its sound; nothing when the sound or the playback is
    // gone already.
    void Stop();

    // The playback's stream; null once it has ended.
    TSoundStream* GetStream() const { return mStream; }
    // Called by the stream as it goes.
    void ForgetStream(const TSoundStream* stream);

private:
    TSoundStream* mStream;
    std::weak_ptr<TSound> mSound;
};
