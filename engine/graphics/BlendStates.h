#pragma once

// The device states of the blend modes, on the screen and in an alpha render target
// (TRenderTargetMode::Alpha). What is drawn into an alpha target is coverage, a grey level
// that becomes the texture's alpha; its source alpha is the texture factor's (255), so
// the alpha test passes every pixel and the factors reduce to: kBlendNormal and
// kBlendAdditiveAlpha add the grey to the target, kBlendOpaque and kBlendSubtractive
// replace it (with the "new_subtractive" option: add), kBlendMultiplicative multiplies
// it. The grey is the texel's alpha (times the vertex alpha with the "new_render_blend"
// option); a subtractive draw with "new_subtractive" covers fully wherever it falls.
// The display handler sets these; the sprites' pixel hit test (TCoverageProbe) sets the
// alpha target's on a pixel of its own.

#include "engine/graphics/TBlendMode.h"
#include "engine/graphics/device/TDeviceState.h"

// The display options that change the blend states.
struct TBlendOptions
{
    bool newSubtractive = false;
    bool newRenderBlend = false;
};

// The blend factors of mode, in an alpha target or not.
void SetBlendFactors(TDeviceState& state, TBlendMode mode, bool alphaTarget,
                     const TBlendOptions& options);
// The stage-0 states of mode in an alpha target, with a texture bound (textured) or not.
// Like the blend factors, some leave a state as it was.
void SetAlphaTargetStages(TDeviceState& state, TBlendMode mode, bool textured,
                          const TBlendOptions& options);
