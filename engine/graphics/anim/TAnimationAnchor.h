#pragma once

#include "engine/foundation/core/TString.h"

// A named point of one animation frame (a hand, a spout), in frame pixels relative to the
// frame's rectangle.
struct TAnimationAnchor
{
    TString name;
    int x = 0;
    int y = 0;
};
