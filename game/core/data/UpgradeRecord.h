#pragma once

// One purchasable upgrade step of an entity (a station, a decoration, a worker), as
// "level/upgrades.lua" registers it (UpgradeRegistry).

#include "engine/foundation/core/TString.h"

#include <cstdint>

namespace YOLT::Core {

struct UpgradeRecord
{
    int32_t level = 0;    // level from which it can be bought, 0-based
    int32_t sublevel = 0; // sublevel from which it can be bought, 0-based
    int32_t number = 0;   // registration number: the index of its bought flag
    TString title;
    int32_t state = 0; // the upgrade state the entity gets when it is bought
    float cost = 0.0f; // dollars, above 0
    int32_t priority = 0;
};

// An upgrade state's text as its number: "not" is -1, "1" to "5" are 1 to 5, any other
// text is 0. Entity tables' "UpgradeState" reads the same way.
int ParseUpgradeState(const TString& text);

} // namespace YOLT::Core
