#pragma once

// Shades the pixels of spans: samples the bound texture, combines it with the diffuse
// colour at texture stage 0, and hands the result to the alpha test and the blend.
//
// Stage 0: T is the texel (opaque white without a texture; alpha 255 for a texture
// without alpha), D the diffuse colour (CURRENT is D at this stage), F the texture
// factor. An argument with alphaReplicate uses its alpha in all three colour channels.
// SelectArg1 and SelectArg2 take an argument, Modulate multiplies both (each channel
// a * b / 255, rounded); a colour operation of Disable gives D unchanged.

#include "engine/graphics/device/TDeviceState.h"
#include "engine/graphics/device/TPrimitiveAttributes.h"
#include "engine/graphics/device/TSpanBlender.h"

#include <cstdint>

class TSurface;
class TTexelSampler;

class TPixelPipeline
{
public:
    // Reads the states once per draw. False when nothing can be drawn (no target, or an
    // alpha test that rejects everything). sampler and target must outlive the draw.
    bool Compile(const TDeviceState& state, const TTexelSampler& sampler, TSurface& target);
    void SetAttributes(const TPrimitiveAttributes& attributes);
    // The same as SetAttributes with a flat colour and texture coordinates 0.
    void SetFlatColor(uint32_t color);
    // True when pixels read the texture (texture coordinates matter).
    bool IsSampling() const { return mSampling; }
    // Shades pixels x0 .. x1 - 1 of row y; the rasteriser keeps them inside the target.
    void DrawSpan(int y, int x0, int x1);
    // Whether a flat colour reaches the blend as it is (no texture read, a stage-0 form
    // of texture times diffuse): then DrawColors may stand for DrawSpans of flat colours.
    bool CanDrawColors() const { return !mSampling && mForm != TForm::General; }
    // Pixels x0 .. x0 + count - 1 of row y, each in its own flat colour, as DrawSpan
    // draws them after SetFlatColor of each (only while CanDrawColors, after a
    // SetFlatColor since Compile).
    void DrawColors(int y, int x0, const uint32_t* colors, int count);
    // Whether DrawColors leaves a pixel as it is where its colour is 0 (alpha 0): so under
    // alpha blending or adding while the masks keep alpha 0, where a/255 of the source is
    // added to (255 - a)/255 of the target (or all of it) with exact rounding. Runs of
    // colours may then bridge gaps and be padded with such pixels at no visible cost.
    bool LeavesClearPixels() const
    {
        const TBlendKind kind = mBlender.GetKind();
        return CanDrawColors() && (kind == TBlendKind::Normal || kind == TBlendKind::Add) &&
               (mOrMask >> 24) == 0;
    }

    // Stage 0 for one pixel by the general rule.
    uint32_t CombineGeneral(uint32_t texel, uint32_t diffuse) const;

private:
    static constexpr int kChunk = 512;

    enum class TForm : uint8_t
    {
        Product,           // colour and alpha T * D
        ProductFixedAlpha, // colour T * D, alpha a constant
        General,
    };

    // Where a primitive's source pixels come from (before the masks of the blend).
    enum class TSource : uint8_t
    {
        Texels,          // T as read (times white)
        TexelsByColor,   // T * the flat colour
        TexelsByDiffuse, // T * D, D interpolated
        Diffuse,         // D interpolated (white * D)
        Color,           // the flat colour
        General,         // the general rule per pixel
    };

    // The source of the fast forms and the blend masks, for the attributes in force.
    void ChooseSource();
    void FillDiffuse(int x, int y, int count);
    void FillColors(int count);
    // The source pixels of count pixels from x on row y, from the texels read for them.
    const uint32_t* Combine(const uint32_t* texels, int y, int x, int count);

    TSurface* mTarget = nullptr;
    int mTargetHeight = 0;
    int mTargetPitch = 0;
    const TTexelSampler* mSampler = nullptr;
    TSpanBlender mBlender;
    const TSpanKernels* mKernels = &TSpanKernels::Get();
    TForm mForm = TForm::Product;
    bool mSampling = false; // a texture is bound and stage 0 reads it
    uint32_t mFixedAlpha = 0;
    // The stage-0 states, for the general rule.
    TTextureOp mColorOp = TTextureOp::Modulate;
    TStageArg mColorArg1;
    TStageArg mColorArg2;
    TTextureOp mAlphaOp = TTextureOp::Modulate;
    TStageArg mAlphaArg1;
    TStageArg mAlphaArg2;
    uint32_t mFactor = 0xFFFFFFFFu;
    TFilter mMagFilter = TFilter::Linear;
    TFilter mMinFilter = TFilter::Linear;
    TAddress mAddressU = TAddress::Clamp;
    TAddress mAddressV = TAddress::Clamp;

    // Per primitive.
    TFilter mFilter = TFilter::Linear;
    TAttributePlane mS; // texel coordinates in 16.16 fixed point
    TAttributePlane mT;
    int64_t mDs = 0;
    int64_t mDt = 0;
    bool mFlat = true;
    uint32_t mColor = 0xFFFFFFFFu;
    TAttributePlane mChannels[4]; // 16.16 fixed point
    TSource mSourceKind = TSource::Color;
    bool mSourceChosen = false;      // ChooseSource ran since Compile
    bool mPrefetchRows = false;      // spans go down rows over much the same pixels
    uint32_t mAndMask = 0xFFFFFFFFu; // applied to the source pixels by the blend
    uint32_t mOrMask = 0;
    int mColorCount = 0; // mColors holds mColor this many times

    uint32_t mTexels[kChunk];
    uint32_t mDiffuse[kChunk];
    uint32_t mSource[kChunk];
    uint32_t mColors[kChunk];
};
