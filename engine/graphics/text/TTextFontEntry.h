#pragma once

#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TColor.h"

// One entry of the markup's font stack: a face (a font name for FontCache), a size in
// pixels and a colour.
struct TTextFontEntry
{
    TString face;
    int size = 16;
    TColor colour;
};
