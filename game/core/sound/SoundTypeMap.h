#pragma once

// The sound categories the game's data names, and the engine volume group of each:
// "sfx_type" (effects) is group 1000, "music_type" (music) is group 1001. The options
// window's sliders and the players' stored volumes set these groups' volumes.

#include "engine/foundation/core/TString.h"

#include <map>

namespace YOLT::Core {

class SoundTypeMap
{
public:
    static constexpr int kEffectsGroup = 1000;
    static constexpr int kMusicGroup = 1001;

    // The one map, built on first use.
    static const SoundTypeMap& Instance();

    // The group of a category name, or -1 for any other name.
    int GetGroup(const TString& name) const;

private:
    SoundTypeMap();

    std::map<TString, int> mGroups;
};

} // namespace YOLT::Core
