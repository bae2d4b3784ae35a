#pragma once

// Marked-up text drawn over a frame: the renderer's statistics overlay. The text layer
// makes it (TLayoutOverlayText); the renderer reaches it only through this interface and
// the factory InstallGraphics hands it (TRenderer::SetOverlayTextFactory).
//
// Main thread only.

#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TRect.h"

class TOverlayText
{
public:
    virtual ~TOverlayText() = default;

    // Lays out markup and draws it into box (screen pixels); called in the 2D state.
    virtual void Draw(const TString& markup, const TRect& box) = 0;
};
