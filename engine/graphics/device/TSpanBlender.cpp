#include "engine/graphics/device/TSpanBlender.h"

#include "engine/graphics/device/PixelMath.h"

namespace {

uint32_t Factor(TBlend factor, uint32_t sourceChannel, uint32_t sourceAlpha)
{
    switch (factor) {
    case TBlend::Zero:
        return 0;
    case TBlend::One:
        return 255;
    case TBlend::SrcColor:
        return sourceChannel;
    case TBlend::InvSrcColor:
        return 255 - sourceChannel;
    case TBlend::SrcAlpha:
        return sourceAlpha;
    case TBlend::InvSrcAlpha:
        return 255 - sourceAlpha;
    }
    return 0;
}

} // namespace

bool TSpanBlender::Configure(const TDeviceState& state)
{
    mBlend = state.alphaBlendEnable;
    mSrc = state.srcBlend;
    mDest = state.destBlend;
    mTest = state.alphaTestEnable;
    mFunc = state.alphaFunc;
    mRef = state.alphaRef;

    bool fastTest = true;
    mMinAlpha = 0;
    if (mTest) {
        switch (mFunc) {
        case TCompare::Never:
            return false;
        case TCompare::Always:
            break;
        case TCompare::GreaterEqual:
            mMinAlpha = mRef;
            break;
        case TCompare::Greater:
            if (mRef == 255)
                return false;
            mMinAlpha = mRef + 1;
            break;
        default:
            fastTest = false;
            break;
        }
    }

    struct TPair
    {
        TBlend src;
        TBlend dest;
        TBlendKind kind;
    };
    static constexpr TPair kPairs[] = {
        {TBlend::SrcAlpha, TBlend::InvSrcAlpha, TBlendKind::Normal},
        {TBlend::SrcAlpha, TBlend::One, TBlendKind::Add},
        {TBlend::Zero, TBlend::SrcColor, TBlendKind::Multiply},
        {TBlend::Zero, TBlend::InvSrcColor, TBlendKind::Subtract},
        {TBlend::One, TBlend::One, TBlendKind::AddOne},
        {TBlend::One, TBlend::Zero, TBlendKind::Copy},
    };
    mKind = mBlend ? TBlendKind::General : TBlendKind::Copy;
    for (const TPair& pair : kPairs)
        if (mBlend && pair.src == mSrc && pair.dest == mDest)
            mKind = pair.kind;
    if (!fastTest)
        mKind = TBlendKind::General;
    mSpan = mKind == TBlendKind::General ? nullptr : mKernels.blend[static_cast<int>(mKind)];
    return true;
}

bool TSpanBlender::PassesTest(uint32_t alpha) const
{
    if (!mTest)
        return true;
    switch (mFunc) {
    case TCompare::Never:
        return false;
    case TCompare::Less:
        return alpha < mRef;
    case TCompare::Equal:
        return alpha == mRef;
    case TCompare::LessEqual:
        return alpha <= mRef;
    case TCompare::Greater:
        return alpha > mRef;
    case TCompare::NotEqual:
        return alpha != mRef;
    case TCompare::GreaterEqual:
        return alpha >= mRef;
    case TCompare::Always:
        return true;
    }
    return true;
}

uint32_t TSpanBlender::BlendGeneral(uint32_t s, uint32_t d) const
{
    const uint32_t a = AlphaOf(s);
    if (!PassesTest(a))
        return d;
    if (!mBlend)
        return s;
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t sc = Channel(s, shift);
        const uint32_t dc = Channel(d, shift);
        const uint32_t sum = sc * Factor(mSrc, sc, a) + dc * Factor(mDest, sc, a);
        result |= MinChannel(255u, Div255Wide(sum)) << shift;
    }
    return result;
}

void TSpanBlender::BlendEach(uint32_t* dst, const uint32_t* src, int count, uint32_t andMask,
                             uint32_t orMask) const
{
    for (int i = 0; i < count; ++i)
        dst[i] = BlendGeneral((src[i] & andMask) | orMask, dst[i]);
}
