#include "engine/sound/TSound.h"

#include "engine/foundation/assets/TAssetManager.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/FileProblem.h"
#include "engine/foundation/files/TFile.h"
#include "engine/sound/TMemSpooler.h"
#include "engine/sound/TSoundData.h"
#include "engine/sound/TSoundInstance.h"
#include "engine/sound/TSoundManagerLock.h"
#include "engine/sound/TSoundStream.h"

#include <cstdlib>

TSound::TClassId TSound::ClassId()
{
    static const char id = 0;
    return &id;
}

TSound::TSound() : mData(std::make_shared<TSoundData>())
{
    mData->SetSound(this);
}

TSound::~TSound()
{
    TSoundManagerLock lock;
    mData->SetSound(nullptr);
    StopAll();
    mData.reset();
}

TString TSound::MakeKey(const TString& fileName, bool inMemory, int group)
{
    return TString::Printf("%s;%d;%d", fileName.CStr(), inMemory ? 1 : 0, group);
}

std::shared_ptr<TSound> TSound::Get(TAssetManager* cache, const TString& name, bool inMemory,
                                    int group)
{
    if (name.Length() == 0)
        return nullptr;
    TString fileName = name;
    const int query = name.FindChar('?');
    if (query >= 0) {
        const int groupAt = name.Find("group=", 0, query);
        if (groupAt >= 0)
            group = std::atoi(name.CStr() + groupAt + 6);
        fileName = name.Substr(0, query);
    }
    const TString key = MakeKey(fileName, inMemory, group);
    if (cache != nullptr) {
        if (std::shared_ptr<TSound> cached = AssetCast<TSound>(cache->Find(key)))
            return cached;
    }
    std::shared_ptr<TSound> sound = Create(cache, key);
    sound->mData->SetName(fileName);
    sound->mData->SetGroup(group);
    if (fileName.Find(".ogg", TString::kNoCase) < 0)
        return nullptr;
    const TString problem = DescribeFileProblem(fileName);
    TFile* file = problem.Length() == 0 ? FileOpen(fileName, kFileReadBinary) : nullptr;
    if (file == nullptr) {
        TraceLog(kCannotOpenLog, fileName.CStr(),
                 problem.Length() > 0 ? problem.CStr() : "cannot be opened");
        return nullptr;
    }
    // Load takes the file over, closes it when it fails and says why.
    if (!sound->mData->Load(file, !inMemory))
        return nullptr;
    return sound;
}

std::shared_ptr<TSound> TSound::Create(TAssetManager* cache, const TString& key)
{
    auto sound = std::make_shared<TSound>();
    if (cache != nullptr)
        cache->Add(key, sound);
    return sound;
}

std::shared_ptr<TSoundInstance> TSound::Play(bool loop)
{
    if (!mData->IsLoaded()) {
        const TString& name = mData->GetName();
        TraceLog(kNotLoadedLog, name.Length() > 0 ? name.CStr() : "(no file)");
        return nullptr;
    }
    if (TSoundManager::Get() == nullptr) {
        TraceLog(kNoManagerLog, mData->GetName().CStr());
        return nullptr;
    }
    TSoundManagerLock lock;
    while (mData->GetInstances().size() >= kMaxInstances)
        StopInstance(mData->GetInstances().front());
    std::shared_ptr<TSoundStream> stream =
        TSoundStream::Make(std::make_unique<TMemSpooler>(mData), loop, mData->GetGroup(), mData);
    auto instance = std::make_shared<TSoundInstance>(
        stream.get(), std::static_pointer_cast<TSound>(shared_from_this()));
    mData->GetInstances().push_back(instance);
    stream->Create(mData->GetSampleRate(), mData->GetChannels(), 16, TSoundStream::kBufferSeconds);
    const bool once = !loop && stream->GetBufferSeconds() > mData->GetDuration();
    stream->Play(once);
    stream->SetInstance(instance);
    return instance;
}

bool TSound::StopInstance(const std::shared_ptr<TSoundInstance>& instance)
{
    if (!instance)
        return false;
    TSoundManagerLock lock;
    // Held here: the set may have had the last reference.
    std::shared_ptr<TSoundInstance> held = instance;
    mData->GetInstances().remove(held);
    TSoundStream* stream = held->GetStream();
    if (stream != nullptr && stream->Plays(mData.get()))
        stream->Stop(false);
    return true;
}

bool TSound::StopAll()
{
    TSoundManagerLock lock;
    // Stopping takes each instance out of the list: stop from a copy.
    const TSoundData::TInstanceList instances = mData->GetInstances();
    bool stopped = false;
    for (const std::shared_ptr<TSoundInstance>& instance : instances)
        stopped = StopInstance(instance) || stopped;
    return stopped;
}

bool TSound::PauseAll(bool pause)
{
    TSoundManagerLock lock;
    for (const std::shared_ptr<TSoundInstance>& instance : mData->GetInstances()) {
        if (TSoundStream* stream = instance->GetStream())
            stream->SetPaused(pause);
    }
    return !mData->GetInstances().empty();
}
