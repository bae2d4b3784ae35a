#pragma once

#include "engine/graphics/text/TTextRun.h"

#include <vector>

// One laid-out line: its runs, its height (pixels, padding included), its baseline
// (quarter pixels below its top) and where it is placed: the anchor (pixels from the
// box's left) plus the x offset.
struct TTextLine
{
    int height = 0;
    int baseline = 0;
    int anchorX = 0;
    float xOffset = 0.0f;
    std::vector<TTextRun> runs;
};
