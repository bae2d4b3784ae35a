#pragma once

#include "engine/foundation/assets/TAsset.h"
#include "engine/foundation/assets/TAssetMap.h"
#include "engine/foundation/core/TString.h"

#include <memory>

class TAssetManager;
class TSoundData;
class TSoundInstance;

// A sound: one Ogg Vorbis file in one volume group, shared through the asset cache under
// the key "<file>;<in memory 0/1>;<group>", so the same file in another group, or once in
// memory and once streamed, is another sound. Up to kMaxInstances playbacks may
// overlap; each is a TSoundInstance, and one more stops the oldest. A sound that goes
// stops its playbacks. Main thread.
class TSound final : public TAsset
{
public:
    static constexpr const char* kAssetMapNotFound = TAssetMap::kSoundNotFound;
    // Log lines (the file name first): the file cannot be opened (why); Play on a sound
    // not loaded ("(no file)" without a name), or without a sound manager.
    static constexpr const char* kCannotOpenLog = "sound: %s: %s";
    static constexpr const char* kNotLoadedLog = "sound: %s: not loaded; nothing plays";
    static constexpr const char* kNoManagerLog = "sound: %s: no sound manager; nothing plays";
    // Playbacks of one sound at once: each holds a buffer of its own, so a key held down
    // on a sound must not pile them up.
    static constexpr size_t kMaxInstances = 8;

    static TClassId ClassId();
    const char* GetClassName() const override { return "TSound"; }
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TAsset::IsKindOf(id); }

    // Use Get; public for the cache's shared pointer.
    TSound();
    // Stops every playback of the sound, then frees its data.
    ~TSound() override;

    // The sound name designates, from cache or loaded on a miss (and then cached, weakly;
    // without a cache it is loaded every time). name may end in "?group=N", which
    // overrides group. inMemory: a sound of at most 2 seconds is decoded whole once;
    // otherwise it is decoded while it plays. Empty, with one line "sound: <file>:
    // <reason>", when the file does not exist, is a folder, is empty, is no Ogg Vorbis
    // file or has a format that does not play; empty without a word when the name has no
    // ".ogg".
    static std::shared_ptr<TSound> Get(TAssetManager* cache, const TString& name, bool inMemory,
                                       int group);
    // A new empty sound, registered in cache (when there is one) under key.
    static std::shared_ptr<TSound> Create(TAssetManager* cache, const TString& key);
    // The cache key of a file name without its query part.
    static TString MakeKey(const TString& fileName, bool inMemory, int group);

    // Starts a playback, looping or once, first stopping the oldest when kMaxInstances
    // play. Empty, logged, when the sound has no data or there is no sound manager.
    std::shared_ptr<TSoundInstance> Play(bool loop);
    // Stops one playback of this sound. True when an instance was given.
    bool StopInstance(const std::shared_ptr<TSoundInstance>& instance);
    // Stops every playback. True when any was stopped.
    bool StopAll();
    // Pauses or resumes every playback. True when the sound had any.
    bool PauseAll(bool pause);

    TSoundData& GetData() { return *mData; }

private:
    std::shared_ptr<TSoundData> mData;
};
