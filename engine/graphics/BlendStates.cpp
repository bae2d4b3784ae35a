#include "engine/graphics/BlendStates.h"

void SetBlendFactors(TDeviceState& state, TBlendMode mode, bool alphaTarget,
                     const TBlendOptions& options)
{
    const auto blend = [&state](TBlend src, TBlend dest) {
        state.srcBlend = src;
        state.destBlend = dest;
        state.alphaBlendEnable = true;
    };
    switch (mode) {
    case kBlendNormal:
        blend(TBlend::SrcAlpha, alphaTarget ? TBlend::One : TBlend::InvSrcAlpha);
        break;
    case kBlendOpaque:
        state.alphaBlendEnable = false;
        break;
    case kBlendAdditiveAlpha:
        blend(TBlend::SrcAlpha, TBlend::One);
        break;
    case kBlendSubtractive:
        if (!alphaTarget)
            blend(TBlend::Zero, TBlend::InvSrcColor);
        else if (options.newSubtractive)
            blend(TBlend::One, TBlend::One);
        else
            blend(TBlend::SrcAlpha, TBlend::InvSrcAlpha);
        break;
    case kBlendMultiplicative:
        blend(TBlend::Zero, TBlend::SrcColor);
        break;
    }
}

void SetAlphaTargetStages(TDeviceState& state, TBlendMode mode, bool textured,
                          const TBlendOptions& options)
{
    state.textureFactor = 0xFFFFFFFFu;
    // The drawn grey level is the coverage that becomes the texture's alpha.
    if (mode == kBlendSubtractive && options.newSubtractive) {
        state.colorArg1 = {TArgSource::TFactor, false};
    } else if (textured) {
        state.colorArg1 = {TArgSource::Texture, true};
        if (options.newRenderBlend) {
            state.colorArg2 = {TArgSource::Diffuse, true};
            state.colorOp = TTextureOp::Modulate;
        }
    } else {
        state.colorArg1 = {TArgSource::Diffuse, true};
        if (options.newRenderBlend)
            state.colorOp = TTextureOp::SelectArg1;
    }
    if (!options.newRenderBlend)
        state.colorOp = TTextureOp::SelectArg1;
    state.alphaArg1 = {TArgSource::TFactor, false};
    state.alphaOp = TTextureOp::SelectArg1;
}
