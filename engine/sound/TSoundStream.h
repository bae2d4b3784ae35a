#pragma once

#include "engine/foundation/core/TClock.h"
#include "engine/foundation/core/TString.h"

#include <cstdint>
#include <memory>

class TAudioBuffer;
class TSoundInstance;
class TStreamNotify;
class TStreamSpooler;

// One playback: a buffer of 2 seconds of PCM filled from a spooler. A sound that fits in
// the buffer and does not loop plays the buffer once. Everything else plays the buffer as
// a looping ring: the service thread refills the half that is not playing, and when the
// sound has ended the last real bytes play out over one more half of silence before the
// stream stops. Without an output (or when the buffer cannot be made) the stream "plays"
// silently: it ends once its clock passes the sound's length.
//
// Owned by the sound manager's lists (see TSoundManager); made and freed on the main
// thread, refilled on the service thread, every operation under the manager's lock.
class TSoundStream : public std::enable_shared_from_this<TSoundStream>
{
public:
    // The seconds of sound a stream's buffer holds.
    static constexpr double kBufferSeconds = 2.0;

    // A stream over spooler for data, added to the live manager's active list. It plays
    // nothing before Create and Play.
    static std::shared_ptr<TSoundStream> Make(std::unique_ptr<TStreamSpooler> spooler, bool loop,
                                              int group,
                                              const std::shared_ptr<TStreamNotify>& data);
    // Tells the data that the playback ended (unless the manager is shutting down),
    // clears the instance's link to it and frees the buffer.
    virtual ~TSoundStream();
    TSoundStream(const TSoundStream&) = delete;
    TSoundStream& operator=(const TSoundStream&) = delete;

    // Makes the buffer for PCM of this format holding seconds of sound and fills its
    // first half. False when the manager has no output or the mixer refuses the format:
    // the stream then runs on its clock.
    bool Create(int sampleRate, int channels, int bitsPerSample, double seconds);
    // Starts playing; once is remembered for later resumes. While the application is
    // inactive the stream starts suspended instead.
    void Play(bool once);
    // A service turn; initial fills the first half. False when the stream has finished.
    bool Refill(bool initial);
    // Volume 0..1 (clamped), heard on a decibel scale; see VolumeToCentibels.
    void SetVolume(float volume);
    void SetPaused(bool pause);
    // Pauses a playing stream while the application is inactive, and resumes exactly
    // the streams it paused.
    void Suspend(bool suspend);
    // Stops playing and leaves the manager's lists: retired (freed at the next idle turn)
    // or removed (freed at once unless someone else holds it).
    void Stop(bool retire);

    void SetInstance(const std::shared_ptr<TSoundInstance>& instance);
    // The playback's instance, while anyone holds it.
    std::shared_ptr<TSoundInstance> GetInstance() const { return mInstance.lock(); }
    // Whether this stream plays the sound of data.
    bool Plays(const TStreamNotify* data) const;

    int GetGroup() const { return mGroup; }
    bool IsPaused() const { return mPaused; }
    bool IsSuspended() const { return mSuspended; }
    bool HasBuffer() const { return mBuffer != nullptr; }
    // The buffer, for tests and the benchmark; null in clock mode.
    TAudioBuffer* GetBuffer() { return mBuffer.get(); }
    uint32_t GetBufferSize() const { return mBufferSize; }
    // The seconds the buffer holds; 0 without a buffer.
    double GetBufferSeconds() const { return mBufferSeconds; }

    // The volume in hundredths of a decibel: -10000 (silence) for exactly 0, else
    // -(1 - v) x 5000 truncated, v clamped to 0..1, so the audible range is -5000..0.
    static int VolumeToCentibels(float volume);
    // Buffer bytes for seconds of this format: rounded up to a multiple of 8 and kept
    // within 4 and the mixer's largest buffer.
    static uint32_t BufferBytes(int sampleRate, int channels, int bitsPerSample, double seconds);

private:
    TSoundStream(std::unique_ptr<TStreamSpooler> spooler, bool loop, int group,
                 const std::shared_ptr<TStreamNotify>& data);

    // The half a service turn fills at these cursors (1 or 2), or 0 when neither is free.
    int ChooseHalf(uint32_t play, uint32_t write) const;
    bool FillHalf(int half);
    bool RefillClockMode();
    // The name of the sound played, for log lines.
    TString SoundName() const;

    std::unique_ptr<TStreamSpooler> mSpooler;
    std::weak_ptr<TStreamNotify> mData;
    std::unique_ptr<TAudioBuffer> mBuffer;
    std::weak_ptr<TSoundInstance> mInstance;
    bool mDataEnded = false;
    bool mPlayOnce = false;
    uint32_t mBufferSize = 0;
    double mBufferSeconds = 0.0;
    int64_t mTail = 0; // bytes of silence still to play after the data ended
    int mGroup;
    bool mLoop;
    bool mPaused = false;
    bool mSuspended = false;
    TClock mClock;
    int mLastHalf = 0; // the half filled last: 1, 2, or 0 before the first fill
};
