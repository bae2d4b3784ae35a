#pragma once

#include "engine/foundation/core/TString.h"
#include "engine/sound/TStreamNotify.h"

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

class TFile;
class TSound;
class TSoundInstance;
struct OggVorbis_File;

// The audio of a TSound: either decoded whole into 16-bit PCM (short sounds loaded for
// memory), or an open Ogg Vorbis decoder that every playback of the sound shares, each
// seeking it to its own position before it reads (see TMemSpooler). It also keeps every
// playing instance alive until its stream ends.
//
// Owned by its sound alone; streams and spoolers refer to it weakly. Made, loaded and
// freed on the main thread; the service thread reads the decoder and the PCM under the
// sound manager's lock.
class TSoundData final : public TStreamNotify
{
public:
    // Load's log lines (the name first): the decoder refused the data (why); a channel
    // count the mixer does not play.
    static constexpr const char* kRefusedLog = "sound: %s: %s";
    static constexpr const char* kChannelsRefusedLog =
        "sound: %s: has %d channels; only mono and stereo play";

    // The playing instances, oldest first.
    using TInstanceList = std::list<std::shared_ptr<TSoundInstance>>;

    // Sounds of at most this many seconds loaded for memory are decoded whole.
    static constexpr double kDecodeWholeSeconds = 2.0;

    TSoundData();
    // Frees the decoder, which closes its file or frees its copy of the file.
    ~TSoundData() override;
    TSoundData(const TSoundData&) = delete;
    TSoundData& operator=(const TSoundData&) = delete;

    // Opens file (an Ogg Vorbis file, open for reading) and takes it over: on success the
    // decoder reads it (streaming) or it was read whole and closed; on failure it is
    // closed. A file the decoder refuses, or with more than two channels or a rate the
    // mixer cannot play, is refused with one line, "sound: <name>: <reason>".
    bool Load(TFile* file, bool streaming);

    // A stream of this sound ended: its instance leaves the set (and dies unless the game
    // holds it).
    void StreamFinished(TSoundStream& stream) override;
    TString GetSoundName() const override { return mName; }

    // True once Load succeeded.
    bool IsLoaded() const { return !mPcm.empty() || mDecoder != nullptr; }
    // Decoded PCM, or null when the sound is decoded while it plays.
    const uint8_t* GetPcm() const { return mPcm.empty() ? nullptr : mPcm.data(); }
    // Bytes decoded into the PCM block.
    size_t GetPcmBytes() const { return mPcmBytes; }
    // The shared decoder, or null when the sound was decoded whole.
    OggVorbis_File* GetDecoder() { return mDecoder.get(); }
    int GetSampleRate() const { return mSampleRate; }
    int GetChannels() const { return mChannels; }
    double GetDuration() const { return mDuration; }

    TInstanceList& GetInstances() { return mInstances; }
    int GetGroup() const { return mGroup; }
    void SetGroup(int group) { mGroup = group; }
    const TString& GetName() const { return mName; }
    void SetName(const TString& name) { mName = name; }
    // The sound this data belongs to; null once the sound is being destroyed.
    void SetSound(TSound* sound) { mSound = sound; }

private:
    struct TDecoderDeleter
    {
        void operator()(OggVorbis_File* decoder) const;
    };
    using TDecoder = std::unique_ptr<OggVorbis_File, TDecoderDeleter>;

    // The decoder, or null with the library's code in error.
    static TDecoder Open(TFile* file, bool streaming, int& error);
    bool CheckFormat(OggVorbis_File& decoder);
    void DecodeWhole(OggVorbis_File& decoder);

    TInstanceList mInstances;
    int mGroup = -1;
    // Capacity of (duration + 0.1 s) plus 4 bytes, zero-filled; mPcmBytes of it decoded.
    std::vector<uint8_t> mPcm;
    size_t mPcmBytes = 0;
    int mSampleRate = 0;
    int mChannels = 0;
    double mDuration = 0.0;
    TDecoder mDecoder;
    TString mName;
    TSound* mSound = nullptr;
};
