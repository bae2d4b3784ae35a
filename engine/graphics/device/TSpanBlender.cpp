#include "engine/graphics/device/TSpanBlender.h"

#include "engine/graphics/device/PixelMath.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

using TKind = TSpanBlender::TKind;

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

// One channel of the fast kinds; the same arithmetic as the vector code below.
template <TKind K> inline uint32_t BlendChannel(uint32_t s, uint32_t d, uint32_t a)
{
    if constexpr (K == TKind::Normal)
        return Div255(s * a + d * (255 - a));
    else if constexpr (K == TKind::Add)
        return std::min(255u, Div255(s * a) + d);
    else if constexpr (K == TKind::Multiply)
        return Div255(d * s);
    else if constexpr (K == TKind::Subtract)
        return Div255(d * (255 - s));
    else if constexpr (K == TKind::AddOne)
        return std::min(255u, s + d);
    else
        return s;
}

template <TKind K> inline uint32_t BlendPixel(uint32_t s, uint32_t d)
{
    if constexpr (K == TKind::Copy) {
        return s;
    } else {
        const uint32_t a = AlphaOf(s);
        uint32_t result = 0;
        for (int shift = 0; shift < 32; shift += 8)
            result |= BlendChannel<K>(Channel(s, shift), Channel(d, shift), a) << shift;
        return result;
    }
}

#if defined(__SSE2__)

// round(x / 255) in each 16-bit lane (x <= 65025).
inline __m128i Div255x8(__m128i x)
{
    x = _mm_add_epi16(x, _mm_set1_epi16(128));
    return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
}

// Each pixel's alpha in all four of its 16-bit lanes.
inline __m128i SpreadAlpha(__m128i pixels16)
{
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(pixels16, 0xFF), 0xFF);
}

// Two pixels (as eight 16-bit lanes) of the kinds that need arithmetic.
template <TKind K> inline __m128i BlendLanes(__m128i s, __m128i d)
{
    const __m128i full = _mm_set1_epi16(255);
    if constexpr (K == TKind::Normal) {
        const __m128i a = SpreadAlpha(s);
        return Div255x8(
            _mm_add_epi16(_mm_mullo_epi16(s, a), _mm_mullo_epi16(d, _mm_sub_epi16(full, a))));
    } else if constexpr (K == TKind::Add) {
        return Div255x8(_mm_mullo_epi16(s, SpreadAlpha(s)));
    } else if constexpr (K == TKind::Multiply) {
        return Div255x8(_mm_mullo_epi16(d, s));
    } else {
        return Div255x8(_mm_mullo_epi16(d, _mm_sub_epi16(full, s)));
    }
}

template <TKind K> inline __m128i BlendFour(__m128i s, __m128i d)
{
    if constexpr (K == TKind::Copy) {
        return s;
    } else if constexpr (K == TKind::AddOne) {
        return _mm_adds_epu8(s, d);
    } else {
        const __m128i zero = _mm_setzero_si128();
        const __m128i low = BlendLanes<K>(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero));
        const __m128i high = BlendLanes<K>(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero));
        const __m128i packed = _mm_packus_epi16(low, high);
        if constexpr (K == TKind::Add)
            return _mm_adds_epu8(packed, d);
        else
            return packed;
    }
}

#endif

template <TKind K>
void BlendSpan(uint32_t* dst, const uint32_t* src, int count, uint32_t andMask, uint32_t orMask,
               uint32_t minAlpha)
{
    int i = 0;
#if defined(__SSE2__)
    const __m128i vAnd = _mm_set1_epi32(static_cast<int>(andMask));
    const __m128i vOr = _mm_set1_epi32(static_cast<int>(orMask));
    const __m128i vMin = _mm_set1_epi32(static_cast<int>(minAlpha));
    const __m128i vOpaque = _mm_set1_epi32(255);
    for (; i + 4 <= count; i += 4) {
        const __m128i s = _mm_or_si128(
            _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)), vAnd), vOr);
        const __m128i alpha = _mm_srli_epi32(s, 24);
        const __m128i rejected = _mm_cmplt_epi32(alpha, vMin);
        const int rejectedMask = _mm_movemask_ps(_mm_castsi128_ps(rejected));
        if (rejectedMask == 0xF)
            continue; // every pixel fails the alpha test
        __m128i* out = reinterpret_cast<__m128i*>(dst + i);
        if constexpr (K == TKind::Normal) {
            // Opaque sources replace the destination whatever it holds.
            const __m128i opaque = _mm_cmpeq_epi32(alpha, vOpaque);
            if (_mm_movemask_ps(_mm_castsi128_ps(opaque)) == 0xF && rejectedMask == 0) {
                _mm_storeu_si128(out, s);
                continue;
            }
        }
        const __m128i d = _mm_loadu_si128(out);
        const __m128i blended = BlendFour<K>(s, d);
        _mm_storeu_si128(
            out, _mm_or_si128(_mm_andnot_si128(rejected, blended), _mm_and_si128(rejected, d)));
    }
#endif
    for (; i < count; ++i) {
        const uint32_t s = (src[i] & andMask) | orMask;
        if (AlphaOf(s) >= minAlpha)
            dst[i] = BlendPixel<K>(s, dst[i]);
    }
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
        TKind kind;
    };
    static constexpr TPair kPairs[] = {
        {TBlend::SrcAlpha, TBlend::InvSrcAlpha, TKind::Normal},
        {TBlend::SrcAlpha, TBlend::One, TKind::Add},
        {TBlend::Zero, TBlend::SrcColor, TKind::Multiply},
        {TBlend::Zero, TBlend::InvSrcColor, TKind::Subtract},
        {TBlend::One, TBlend::One, TKind::AddOne},
        {TBlend::One, TBlend::Zero, TKind::Copy},
    };
    mKind = mBlend ? TKind::General : TKind::Copy;
    for (const TPair& pair : kPairs)
        if (mBlend && pair.src == mSrc && pair.dest == mDest)
            mKind = pair.kind;
    if (!fastTest)
        mKind = TKind::General;
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
        result |= std::min(255u, Div255Wide(sum)) << shift;
    }
    return result;
}

void TSpanBlender::Blend(uint32_t* dst, const uint32_t* src, int count, uint32_t andMask,
                         uint32_t orMask) const
{
    switch (mKind) {
    case TKind::Copy:
        return BlendSpan<TKind::Copy>(dst, src, count, andMask, orMask, mMinAlpha);
    case TKind::Normal:
        return BlendSpan<TKind::Normal>(dst, src, count, andMask, orMask, mMinAlpha);
    case TKind::Add:
        return BlendSpan<TKind::Add>(dst, src, count, andMask, orMask, mMinAlpha);
    case TKind::Multiply:
        return BlendSpan<TKind::Multiply>(dst, src, count, andMask, orMask, mMinAlpha);
    case TKind::Subtract:
        return BlendSpan<TKind::Subtract>(dst, src, count, andMask, orMask, mMinAlpha);
    case TKind::AddOne:
        return BlendSpan<TKind::AddOne>(dst, src, count, andMask, orMask, mMinAlpha);
    case TKind::General:
        for (int i = 0; i < count; ++i)
            dst[i] = BlendGeneral((src[i] & andMask) | orMask, dst[i]);
        return;
    }
}
