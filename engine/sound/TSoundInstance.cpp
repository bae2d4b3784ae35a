#include "engine/sound/TSoundInstance.h"

#include "engine/sound/TSound.h"

TSoundInstance::TSoundInstance(TSoundStream* stream, const std::shared_ptr<TSound>& sound)
    : mStream(stream), mSound(sound)
{
}

void TSoundInstance::Stop()
{
    if (std::shared_ptr<TSound> sound = mSound.lock())
        sound->StopInstance(shared_from_this());
}

void TSoundInstance::ForgetStream(const TSoundStream* stream)
{
    if (mStream == stream)
        mStream = nullptr;
}
