#include "engine/graphics/device/TPixelPipeline.h"

#include "engine/graphics/device/FixedPoint.h"
#include "engine/graphics/device/PixelMath.h"
#include "engine/graphics/device/TSpanKernels.h"
#include "engine/graphics/device/TSurface.h"
#include "engine/graphics/device/TTexelSampler.h"

#include <algorithm>

namespace {

constexpr double kFixedOne = 65536.0;

bool IsDiffuse(TArgSource source)
{
    return source == TArgSource::Diffuse || source == TArgSource::Current;
}

// True when op multiplies the texture by the diffuse colour, arguments in either order.
bool IsTextureTimesDiffuse(TTextureOp op, const TStageArg& a, const TStageArg& b)
{
    if (op != TTextureOp::Modulate || a.alphaReplicate || b.alphaReplicate)
        return false;
    return (a.source == TArgSource::Texture && IsDiffuse(b.source)) ||
           (b.source == TArgSource::Texture && IsDiffuse(a.source));
}

// True when op yields the texture factor's alpha whatever the pixel.
bool IsFactorAlpha(TTextureOp op, const TStageArg& a, const TStageArg& b)
{
    return (op == TTextureOp::SelectArg1 && a.source == TArgSource::TFactor) ||
           (op == TTextureOp::SelectArg2 && b.source == TArgSource::TFactor);
}

bool ReadsTexture(TTextureOp op, const TStageArg& a, const TStageArg& b)
{
    switch (op) {
    case TTextureOp::Disable:
        return false;
    case TTextureOp::SelectArg1:
        return a.source == TArgSource::Texture;
    case TTextureOp::SelectArg2:
        return b.source == TArgSource::Texture;
    case TTextureOp::Modulate:
        return a.source == TArgSource::Texture || b.source == TArgSource::Texture;
    }
    return false;
}

uint32_t ArgValue(const TStageArg& arg, uint32_t texel, uint32_t diffuse, uint32_t factor)
{
    const uint32_t value = arg.source == TArgSource::Texture   ? texel
                           : arg.source == TArgSource::TFactor ? factor
                                                               : diffuse;
    return arg.alphaReplicate ? ReplicateAlpha(value) : value;
}

uint32_t Operate(TTextureOp op, uint32_t a, uint32_t b, uint32_t diffuse)
{
    switch (op) {
    case TTextureOp::Disable:
        return diffuse;
    case TTextureOp::SelectArg1:
        return a;
    case TTextureOp::SelectArg2:
        return b;
    case TTextureOp::Modulate:
        return ModulatePixel(a, b);
    }
    return diffuse;
}

// value rounded to the nearest integer (halves away from zero), kept within 2^40 (not a
// number: 2^40).
int64_t ToFixed(double value)
{
    constexpr double kLimit = 1099511627776.0; // far outside any surface
    value = value < kLimit ? value : kLimit;
    value = value > -kLimit ? value : -kLimit;
    return RoundToInteger(value);
}

TAttributePlane Scaled(const TAttributePlane& plane, double factor)
{
    return {plane.atOrigin * factor, plane.dx * factor, plane.dy * factor};
}

} // namespace

bool TPixelPipeline::Compile(const TDeviceState& state, const TTexelSampler& sampler,
                             TSurface& target)
{
    if (target.IsEmpty() || !mBlender.Configure(state))
        return false;
    mTarget = &target;
    mSampler = &sampler;
    mColorOp = state.colorOp;
    mColorArg1 = state.colorArg1;
    mColorArg2 = state.colorArg2;
    mAlphaOp = state.alphaOp;
    mAlphaArg1 = state.alphaArg1;
    mAlphaArg2 = state.alphaArg2;
    mFactor = state.textureFactor;
    mMagFilter = state.magFilter;
    mMinFilter = state.minFilter;
    mAddressU = state.addressU;
    mAddressV = state.addressV;

    const bool colorProduct = IsTextureTimesDiffuse(mColorOp, mColorArg1, mColorArg2);
    if (colorProduct && IsTextureTimesDiffuse(mAlphaOp, mAlphaArg1, mAlphaArg2)) {
        mForm = TForm::Product;
    } else if (colorProduct && IsFactorAlpha(mAlphaOp, mAlphaArg1, mAlphaArg2)) {
        mForm = TForm::ProductFixedAlpha;
        mFixedAlpha = AlphaOf(mFactor);
    } else {
        mForm = TForm::General;
    }
    const bool colorReadsTexture =
        mColorOp != TTextureOp::Disable && ReadsTexture(mColorOp, mColorArg1, mColorArg2);
    const bool alphaReadsTexture =
        mColorOp != TTextureOp::Disable && ReadsTexture(mAlphaOp, mAlphaArg1, mAlphaArg2);
    mSampling = sampler.IsBound() && (colorReadsTexture || alphaReadsTexture);
    mSourceChosen = false;
    mTargetHeight = target.GetHeight();
    mTargetPitch = target.GetPitch();
    mPrefetchRows = !mSampling;
    return true;
}

void TPixelPipeline::SetAttributes(const TPrimitiveAttributes& attributes)
{
    if (mSampling) {
        mS = Scaled(attributes.u, mSampler->GetWidth() * kFixedOne);
        mT = Scaled(attributes.v, mSampler->GetHeight() * kFixedOne);
        mDs = ToFixed(mS.dx);
        mDt = ToFixed(mT.dx);
        // More than one texel per pixel along either screen axis counts as minifying.
        const double across = mS.dx * mS.dx + mT.dx * mT.dx;
        const double down = mS.dy * mS.dy + mT.dy * mT.dy;
        mFilter = (across > down ? across : down) > kFixedOne * kFixedOne ? mMinFilter : mMagFilter;
    }
    mFlat = attributes.flatColor;
    if (mColor != attributes.color)
        mColorCount = 0;
    mColor = attributes.color;
    if (!mFlat)
        for (int c = 0; c < 4; ++c)
            mChannels[c] = Scaled(attributes.channels[c], kFixedOne);
    mPrefetchRows = !mSampling || mDt == 0;
    ChooseSource();
}

void TPixelPipeline::SetFlatColor(uint32_t color)
{
    if (mSampling) {
        TPrimitiveAttributes attributes;
        attributes.color = color;
        SetAttributes(attributes);
        return;
    }
    const bool wasFlat = mFlat;
    mFlat = true;
    if (mColor != color)
        mColorCount = 0;
    mColor = color;
    // Without sampling the source of a flat colour does not depend on the colour.
    if (!wasFlat || !mSourceChosen)
        ChooseSource();
}

void TPixelPipeline::ChooseSource()
{
    // The source of the stage's fast forms, and the masks the blend applies to it.
    mSourceChosen = true;
    mAndMask = 0xFFFFFFFFu;
    mOrMask = 0;
    if (mForm == TForm::General) {
        mSourceKind = TSource::General;
        return;
    }
    if (!mSampling)
        mSourceKind = mFlat ? TSource::Color : TSource::Diffuse;
    else if (!mFlat)
        mSourceKind = TSource::TexelsByDiffuse;
    else if (mColor != 0xFFFFFFFFu)
        mSourceKind = TSource::TexelsByColor;
    else
        mSourceKind = TSource::Texels; // T * white is T
    if (mSourceKind == TSource::Texels)
        mOrMask = mSampler->TexelOr();
    if (mForm == TForm::ProductFixedAlpha) {
        mAndMask = 0x00FFFFFFu;
        mOrMask = mFixedAlpha << 24;
    }
}

void TPixelPipeline::FillDiffuse(int x, int y, int count)
{
    for (int i = 0; i < count; ++i)
        mDiffuse[i] = 0;
    for (int c = 0; c < 4; ++c) {
        // Rounded to the nearest step: half a step up front, then truncation.
        int64_t value = ToFixed(mChannels[c].At(x, y)) + 32768;
        const int64_t step = ToFixed(mChannels[c].dx);
        for (int i = 0; i < count; ++i, value += step) {
            const int64_t channel = value >> 16;
            const uint32_t byte = channel < 0 ? 0u : channel > 255 ? 255u : uint32_t(channel);
            mDiffuse[i] |= byte << (8 * c);
        }
    }
}

uint32_t TPixelPipeline::CombineGeneral(uint32_t texel, uint32_t diffuse) const
{
    if (mColorOp == TTextureOp::Disable)
        return diffuse;
    const uint32_t color = Operate(mColorOp, ArgValue(mColorArg1, texel, diffuse, mFactor),
                                   ArgValue(mColorArg2, texel, diffuse, mFactor), diffuse);
    // Alpha arguments read the alpha of their source; replication changes nothing there.
    const uint32_t alpha = Operate(mAlphaOp, ArgValue(mAlphaArg1, texel, diffuse, mFactor),
                                   ArgValue(mAlphaArg2, texel, diffuse, mFactor), diffuse);
    return (color & 0x00FFFFFFu) | (alpha & 0xFF000000u);
}

const uint32_t* TPixelPipeline::Combine(const uint32_t* texels, int y, int x, int count)
{
    switch (mSourceKind) {
    case TSource::Texels:
        return texels;
    case TSource::TexelsByColor:
        mKernels->modulateByColor(texels, mSampler->TexelOr(), mColor, count, mSource);
        return mSource;
    case TSource::TexelsByDiffuse:
        FillDiffuse(x, y, count);
        mKernels->modulateByColors(texels, mSampler->TexelOr(), mDiffuse, count, mSource);
        return mSource;
    case TSource::Diffuse:
        FillDiffuse(x, y, count);
        return mDiffuse;
    case TSource::Color:
        FillColors(count);
        return mColors;
    case TSource::General:
        break;
    }
    if (!mFlat)
        FillDiffuse(x, y, count);
    const uint32_t texelOr = mSampler->TexelOr();
    for (int i = 0; i < count; ++i) {
        const uint32_t t = texels != nullptr ? texels[i] | texelOr : 0xFFFFFFFFu;
        mSource[i] = CombineGeneral(t, mFlat ? mColor : mDiffuse[i]);
    }
    return mSource;
}

void TPixelPipeline::DrawColors(int y, int x0, const uint32_t* colors, int count)
{
    mBlender.Blend(mTarget->Row(y) + x0, colors, count, mAndMask, mOrMask);
}

void TPixelPipeline::FillColors(int count)
{
    for (; mColorCount < count; ++mColorCount)
        mColors[mColorCount] = mColor;
}

void TPixelPipeline::DrawSpan(int y, int x0, int x1)
{
    uint32_t* row = mTarget->Row(y);
    const int count = x1 - x0;
    // Upright quads go down row by row over the same pixels: ask for the next row's now
    // (not for the shortest spans, lines of text, nor for rotated textures). The
    // loop is written out here: a function doing nothing but prefetching counts as free
    // of effects, and its calls are dropped.
    if (mPrefetchRows && count >= 12 && y + 1 < mTargetHeight) {
        const uint32_t* next = row + mTargetPitch + x0;
        const uint32_t* end = next + count - 1;
        for (; next < end; next += 32) {
            __builtin_prefetch(next);
            __builtin_prefetch(next + 16);
        }
        __builtin_prefetch(end);
    }
    // The short way of spans of one colour (the colours stay from span to span).
    if (mSourceKind == TSource::Color && count <= kChunk) {
        FillColors(count);
        mBlender.Blend(row + x0, mColors, count, mAndMask, mOrMask);
        return;
    }
    while (x0 < x1) {
        const int chunk = std::min(kChunk, x1 - x0);
        const uint32_t* texels = nullptr;
        if (mSampling)
            texels = mSampler->Sample(mFilter, mAddressU, mAddressV, ToFixed(mS.At(x0, y)),
                                      ToFixed(mT.At(x0, y)), mDs, mDt, chunk, mTexels);
        const uint32_t* source =
            mSourceKind == TSource::Texels ? texels : Combine(texels, y, x0, chunk);
        mBlender.Blend(row + x0, source, chunk, mAndMask, mOrMask);
        x0 += chunk;
    }
}
