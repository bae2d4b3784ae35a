#pragma once

#include "engine/foundation/seams/TDisplaySeam.h"

#include <cstdint>

// What the platform asks of the renderer: the statistics overlay, the clip stack and a
// fill, and the display it owns. Main thread only.
class TRendererSeam
{
public:
    virtual ~TRendererSeam() = default;

    // The display, or null before CreateDisplay.
    virtual TDisplaySeam* GetDisplay() = 0;
    // Makes the display on first use and returns it; the renderer owns it.
    virtual TDisplaySeam* CreateDisplay() = 0;

    virtual void ToggleStats() = 0;
    virtual void PopClipRect() = 0;
    virtual void PushClipRect(int left, int top, int right, int bottom) = 0;
    // Fills the rectangle with colour (0xAARRGGBB).
    virtual void FillRect(int left, int top, int right, int bottom, uint32_t color) = 0;
};
