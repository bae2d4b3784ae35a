#include "game/core/sound/SoundTypeMap.h"

namespace YOLT::Core {

SoundTypeMap::SoundTypeMap() : mGroups{{"sfx_type", kEffectsGroup}, {"music_type", kMusicGroup}} {}

const SoundTypeMap& SoundTypeMap::Instance()
{
    static const SoundTypeMap map;
    return map;
}

int SoundTypeMap::GetGroup(const TString& name) const
{
    const auto found = mGroups.find(name);
    return found == mGroups.end() ? -1 : found->second;
}

} // namespace YOLT::Core
