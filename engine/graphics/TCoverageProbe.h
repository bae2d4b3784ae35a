#pragma once

// The alpha one pixel gets when textures are drawn into an alpha render target
// (TRenderTargetMode::Alpha) over it, found without the display: each texture's quad goes
// through the software device's rasteriser, sampler and blend onto a one-pixel surface of
// the probe's own, with the states such a target sets (BlendStates.h) under the
// display's options and texel offset (without a display: the options off and -0.5).
// Nothing is drawn on the screen or into any texture, and no redraw is asked for.
//
// The probe starts as a target starts, transparent and with kBlendNormal; a texture drawn
// without a blend mode of its own keeps the mode of the one before it, as on the display.
// The sprites' pixel hit test (TSprite::HitTest) draws its sprite tree into one.
//
// Main thread only.

#include "engine/foundation/math/TVec2.h"
#include "engine/graphics/BlendStates.h"
#include "engine/graphics/TBlendMode.h"
#include "engine/graphics/device/TSoftwareDevice.h"
#include "engine/graphics/device/TSurface.h"

struct DrawState;
class TTexture;

class TCoverageProbe
{
public:
    // The pixel under point (screen coordinates): the one a render target would draw
    // point into.
    explicit TCoverageProbe(const TVec2& point);
    TCoverageProbe(const TCoverageProbe&) = delete;
    TCoverageProbe& operator=(const TCoverageProbe&) = delete;

    // Draws texture with state onto the pixel, as TTexture::Draw draws it into a target.
    void Draw(const TTexture& texture, const DrawState& state);
    // The pixel's alpha so far, 0..255.
    int GetAlpha() const;

private:
    TSoftwareDevice mDevice;
    TSurface mPixel{1, 1};
    TVec2 mOrigin; // the screen point at the pixel's centre
    TBlendOptions mOptions;
    TBlendMode mMode = kBlendNormal;
};
