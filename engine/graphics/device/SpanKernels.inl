// The vector kernels of TSpanKernels. TSpanKernelsBaseline.cpp and TSpanKernelsAvx2.cpp
// each include this file inside a namespace of their own (SPAN_KERNELS); the second is
// generated for AVX2 and sets SPAN_KERNELS_AVX2, which adds eight-pixel steps. The code
// here uses nothing from the standard library and only helpers of internal linkage, so
// that nothing built for AVX2 can be shared with the baseline build. Lambdas here capture
// (if only to capture nothing): one without captures gets a conversion to a plain
// function, which the compiler generates outside the AVX2 region.

#if defined(__SSE2__)
#define SPAN_KERNELS_VECTORS 1
#include <immintrin.h>
#else
#define SPAN_KERNELS_VECTORS 0
#endif
// Byte shuffles and multiply-adds (SSSE3): in every AVX2 function, or everywhere when
// the build's processor has them.
#if SPAN_KERNELS_SSSE3 || defined(SPAN_KERNELS_AVX2)
#define SPAN_KERNELS_SSSE3 1
#else
#define SPAN_KERNELS_SSSE3 0
#endif

namespace SPAN_KERNELS {

// --- The per-pixel rules of the blend kinds (the tails of spans) ----------------------

template <TBlendKind K> static inline uint32_t BlendChannel(uint32_t s, uint32_t d, uint32_t a)
{
    if constexpr (K == TBlendKind::Normal)
        return Div255(s * a + d * (255 - a));
    else if constexpr (K == TBlendKind::Add)
        return MinChannel(255u, Div255(s * a) + d);
    else if constexpr (K == TBlendKind::Multiply)
        return Div255(d * s);
    else if constexpr (K == TBlendKind::Subtract)
        return Div255(d * (255 - s));
    else if constexpr (K == TBlendKind::AddOne)
        return MinChannel(255u, s + d);
    else
        return s;
}

template <TBlendKind K> static inline uint32_t BlendPixel(uint32_t s, uint32_t d)
{
    if constexpr (K == TBlendKind::Copy) {
        return s;
    } else {
        const uint32_t a = AlphaOf(s);
        uint32_t result = 0;
        for (int shift = 0; shift < 32; shift += 8)
            result |= BlendChannel<K>(Channel(s, shift), Channel(d, shift), a) << shift;
        return result;
    }
}

#if SPAN_KERNELS_VECTORS

// --- Four and eight pixels a step ------------------------------------------------------

struct TFour
{
    using V = __m128i;
    static constexpr int kPixels = 4;
    static constexpr int kAllSet = 0xF;
    static V Load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const V*>(p)); }
    static void Store(uint32_t* p, V v) { _mm_storeu_si128(reinterpret_cast<V*>(p), v); }
    static V Set32(uint32_t x) { return _mm_set1_epi32(static_cast<int>(x)); }
    static V Set16(uint32_t x) { return _mm_set1_epi16(static_cast<short>(x)); }
    static V Zero() { return _mm_setzero_si128(); }
    static V And(V a, V b) { return _mm_and_si128(a, b); }
    static V Or(V a, V b) { return _mm_or_si128(a, b); }
    static V AndNot(V a, V b) { return _mm_andnot_si128(a, b); }
    static V Add16(V a, V b) { return _mm_add_epi16(a, b); }
    static V Sub16(V a, V b) { return _mm_sub_epi16(a, b); }
    static V Mul16(V a, V b) { return _mm_mullo_epi16(a, b); }
    template <int N> static V Shl16(V a) { return _mm_slli_epi16(a, N); }
    template <int N> static V Shr16(V a) { return _mm_srli_epi16(a, N); }
    template <int N> static V Shl32(V a) { return _mm_slli_epi32(a, N); }
    template <int N> static V Shr32(V a) { return _mm_srli_epi32(a, N); }
    static V Add32(V a, V b) { return _mm_add_epi32(a, b); }
    static V Low8(V a, V b) { return _mm_unpacklo_epi8(a, b); }
    static V High8(V a, V b) { return _mm_unpackhi_epi8(a, b); }
    static V Low16(V a, V b) { return _mm_unpacklo_epi16(a, b); }
    static V Low32(V a, V b) { return _mm_unpacklo_epi32(a, b); }
    static V High32(V a, V b) { return _mm_unpackhi_epi32(a, b); }
    static V PackUnsigned16(V a, V b) { return _mm_packus_epi16(a, b); }
    static V PackSigned32(V a, V b) { return _mm_packs_epi32(a, b); }
    static V Less32(V a, V b) { return _mm_cmplt_epi32(a, b); }
    static V Equal32(V a, V b) { return _mm_cmpeq_epi32(a, b); }
    static int Mask32(V a) { return _mm_movemask_ps(_mm_castsi128_ps(a)); }
    static V AddSaturate8(V a, V b) { return _mm_adds_epu8(a, b); }
    static V Xor(V a, V b) { return _mm_xor_si128(a, b); }
    static V MulHigh16(V a, V b) { return _mm_mulhi_epu16(a, b); }
    static V SpreadAlpha(V a) { return _mm_shufflehi_epi16(_mm_shufflelo_epi16(a, 0xFF), 0xFF); }
    static bool AllAlphaSet(V a) { return Mask32(Equal32(Shr32<24>(a), Set32(255))) == kAllSet; }
    static bool NoAlphaSet(V a) { return Mask32(Equal32(Shr32<24>(a), Zero())) == kAllSet; }
#if SPAN_KERNELS_SSSE3
    static V Shuffle8(V a, V order)
    {
        return _mm_shuffle_epi8(a, order);
    }
    static V MulAddBytes(V unsignedBytes, V signedBytes)
    {
        return _mm_maddubs_epi16(unsignedBytes, signedBytes);
    }
    // The same 16 bytes in every 128-bit lane.
    static V Bytes16(const int8_t* b)
    {
        return _mm_setr_epi8(b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10],
                             b[11], b[12], b[13], b[14], b[15]);
    }
#endif
    // Four texel pairs (p[k][0], p[k][1]) into the left and the right texels.
    static void Pairs(const uint32_t* const* p, V& left, V& right)
    {
        const auto pair = [&](const uint32_t* at) {
            return _mm_loadl_epi64(reinterpret_cast<const V*>(at));
        };
        const V a = _mm_unpacklo_epi32(pair(p[0]), pair(p[1]));
        const V b = _mm_unpacklo_epi32(pair(p[2]), pair(p[3]));
        left = _mm_unpacklo_epi64(a, b);
        right = _mm_unpackhi_epi64(a, b);
    }
    static V Ramp(int64_t step)
    {
        return _mm_set_epi32(static_cast<int>(3 * step), static_cast<int>(2 * step),
                             static_cast<int>(step), 0);
    }
};

#if defined(SPAN_KERNELS_AVX2)
struct TEight
{
    using V = __m256i;
    static constexpr int kPixels = 8;
    static constexpr int kAllSet = 0xFF;
    static V Load(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const V*>(p)); }
    static void Store(uint32_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<V*>(p), v); }
    static V Set32(uint32_t x) { return _mm256_set1_epi32(static_cast<int>(x)); }
    static V Set16(uint32_t x) { return _mm256_set1_epi16(static_cast<short>(x)); }
    static V Zero() { return _mm256_setzero_si256(); }
    static V And(V a, V b) { return _mm256_and_si256(a, b); }
    static V Or(V a, V b) { return _mm256_or_si256(a, b); }
    static V AndNot(V a, V b) { return _mm256_andnot_si256(a, b); }
    static V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
    static V Sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
    static V Mul16(V a, V b) { return _mm256_mullo_epi16(a, b); }
    template <int N> static V Shl16(V a) { return _mm256_slli_epi16(a, N); }
    template <int N> static V Shr16(V a) { return _mm256_srli_epi16(a, N); }
    template <int N> static V Shl32(V a) { return _mm256_slli_epi32(a, N); }
    template <int N> static V Shr32(V a) { return _mm256_srli_epi32(a, N); }
    static V Add32(V a, V b) { return _mm256_add_epi32(a, b); }
    static V Low8(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
    static V High8(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
    static V Low16(V a, V b) { return _mm256_unpacklo_epi16(a, b); }
    static V Low32(V a, V b) { return _mm256_unpacklo_epi32(a, b); }
    static V High32(V a, V b) { return _mm256_unpackhi_epi32(a, b); }
    static V PackUnsigned16(V a, V b) { return _mm256_packus_epi16(a, b); }
    static V PackSigned32(V a, V b) { return _mm256_packs_epi32(a, b); }
    static V Less32(V a, V b) { return _mm256_cmpgt_epi32(b, a); }
    static V Equal32(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
    static int Mask32(V a) { return _mm256_movemask_ps(_mm256_castsi256_ps(a)); }
    static V AddSaturate8(V a, V b) { return _mm256_adds_epu8(a, b); }
    static V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
    static V MulHigh16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
    static V SpreadAlpha(V a)
    {
        return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(a, 0xFF), 0xFF);
    }
    static bool AllAlphaSet(V a) { return _mm256_testc_si256(a, Set32(0xFF000000u)) != 0; }
    static bool NoAlphaSet(V a) { return _mm256_testz_si256(a, Set32(0xFF000000u)) != 0; }
    static V Shuffle8(V a, V order) { return _mm256_shuffle_epi8(a, order); }
    static V MulAddBytes(V unsignedBytes, V signedBytes)
    {
        return _mm256_maddubs_epi16(unsignedBytes, signedBytes);
    }
    static V Bytes16(const int8_t* b) { return _mm256_broadcastsi128_si256(TFour::Bytes16(b)); }
    static void Pairs(const uint32_t* const* p, V& left, V& right)
    {
        __m128i lowLeft, lowRight, highLeft, highRight;
        TFour::Pairs(p, lowLeft, lowRight);
        TFour::Pairs(p + 4, highLeft, highRight);
        left = _mm256_set_m128i(highLeft, lowLeft);
        right = _mm256_set_m128i(highRight, lowRight);
    }
    // The pairs (base[at_k], base[at_k + 1]) of eight places at, by two gathers.
    static void GatherPairs(const uint32_t* base, V at, V& left, V& right)
    {
        const auto* bytes = reinterpret_cast<const long long*>(base);
        const V low = _mm256_i32gather_epi64(bytes, _mm256_castsi256_si128(at), 4);
        const V high = _mm256_i32gather_epi64(bytes, _mm256_extracti128_si256(at, 1), 4);
        const V order = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
        const V a = _mm256_permutevar8x32_epi32(low, order);  // lefts 0-3 | rights 0-3
        const V b = _mm256_permutevar8x32_epi32(high, order); // lefts 4-7 | rights 4-7
        left = _mm256_permute2x128_si256(a, b, 0x20);
        right = _mm256_permute2x128_si256(a, b, 0x31);
    }
    static V Ramp(int64_t step)
    {
        return _mm256_set_epi32(static_cast<int>(7 * step), static_cast<int>(6 * step),
                                static_cast<int>(5 * step), static_cast<int>(4 * step),
                                static_cast<int>(3 * step), static_cast<int>(2 * step),
                                static_cast<int>(step), 0);
    }
};
#endif

// round(x / 255) in each 16-bit lane (x <= 65025).
// (x + 128) * 257 >> 16 is Div255's ((x + 128) + ((x + 128) >> 8)) >> 8 for every x here.
template <class W> static inline typename W::V Div255Lanes(typename W::V x)
{
    return W::MulHigh16(W::Add16(x, W::Set16(128)), W::Set16(257));
}

// Applies f to the low and the high halves of a and b as 16-bit lanes and packs back.
template <class W, class F>
static inline typename W::V OnLanes(typename W::V a, typename W::V b, F f)
{
    const typename W::V zero = W::Zero();
    return W::PackUnsigned16(f(W::Low8(a, zero), W::Low8(b, zero), 0),
                             f(W::High8(a, zero), W::High8(b, zero), 1));
}

#if SPAN_KERNELS_SSSE3
// s * a + d * (255 - a), / 255 rounded, per channel, by byte multiply-adds: with the
// channels taken as signed (x - 128) the sums a (s - 128) + (255 - a) (d - 128) stay within
// 16 bits, and adding 32768 (a flip of the sign bit) gives back s a + d (255 - a) + 128,
// which times 257, high half, is round(x / 255) as Div255 gives it.
template <class W> static inline typename W::V NormalBlendBytes(typename W::V s, typename W::V d)
{
    using V = typename W::V;
    // The alpha byte of pixel 0 (of 1) of each 8-byte half into every byte of it.
    static constexpr int8_t kLow[16] = {3, 3, 3, 3, 3, 3, 3, 3, 7, 7, 7, 7, 7, 7, 7, 7};
    static constexpr int8_t kHigh[16] = {11, 11, 11, 11, 11, 11, 11, 11,
                                         15, 15, 15, 15, 15, 15, 15, 15};
    const V sign8 = W::Set32(0x80808080u);
    const V invertOdd = W::Set32(0xFF00FF00u); // (a, a) -> (a, 255 - a)
    const V sign16 = W::Set32(0x80008000u);
    const V by257 = W::Set16(257);
    const V sx = W::Xor(s, sign8);
    const V dx = W::Xor(d, sign8);
    const V low =
        W::MulAddBytes(W::Xor(W::Shuffle8(s, W::Bytes16(kLow)), invertOdd), W::Low8(sx, dx));
    const V high =
        W::MulAddBytes(W::Xor(W::Shuffle8(s, W::Bytes16(kHigh)), invertOdd), W::High8(sx, dx));
    return W::PackUnsigned16(W::MulHigh16(W::Xor(low, sign16), by257),
                             W::MulHigh16(W::Xor(high, sign16), by257));
}
#endif

template <class W, TBlendKind K>
static inline typename W::V BlendVector(typename W::V s, typename W::V d)
{
    using V = typename W::V;
#if SPAN_KERNELS_SSSE3
    if constexpr (K == TBlendKind::Normal)
        return NormalBlendBytes<W>(s, d);
#endif
#if SPAN_KERNELS_SSSE3
    if constexpr (K == TBlendKind::Add) {
        // s * a / 255 per channel, the alpha shuffled into the 16-bit lanes of its pixel,
        // then added to d with saturation.
        static constexpr int8_t kLow[16] = {3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1};
        static constexpr int8_t kHigh[16] = {11, -1, 11, -1, 11, -1, 11, -1,
                                             15, -1, 15, -1, 15, -1, 15, -1};
        const V zero = W::Zero();
        const V low = Div255Lanes<W>(W::Mul16(W::Low8(s, zero), W::Shuffle8(s, W::Bytes16(kLow))));
        const V high =
            Div255Lanes<W>(W::Mul16(W::High8(s, zero), W::Shuffle8(s, W::Bytes16(kHigh))));
        return W::AddSaturate8(W::PackUnsigned16(low, high), d);
    }
#endif
    if constexpr (K == TBlendKind::Copy) {
        return s;
    } else if constexpr (K == TBlendKind::AddOne) {
        return W::AddSaturate8(s, d);
    } else {
        const V blended = OnLanes<W>(s, d, [&](V sl, V dl, int) {
            const V full = W::Set16(255);
            if constexpr (K == TBlendKind::Normal) {
                const V a = W::SpreadAlpha(sl);
                return Div255Lanes<W>(W::Add16(W::Mul16(sl, a), W::Mul16(dl, W::Sub16(full, a))));
            } else if constexpr (K == TBlendKind::Add) {
                return Div255Lanes<W>(W::Mul16(sl, W::SpreadAlpha(sl)));
            } else if constexpr (K == TBlendKind::Multiply) {
                return Div255Lanes<W>(W::Mul16(dl, sl));
            } else {
                return Div255Lanes<W>(W::Mul16(dl, W::Sub16(full, sl)));
            }
        });
        if constexpr (K == TBlendKind::Add)
            return W::AddSaturate8(blended, d);
        else
            return blended;
    }
}

// The blended pixels, or the destination's where the alpha test rejects the source.
template <class W, TBlendKind K>
static inline typename W::V BlendValues(typename W::V s, typename W::V d, typename W::V rejected)
{
    return W::Or(W::AndNot(rejected, BlendVector<W, K>(s, d)), W::And(rejected, d));
}

// Masked: the source pixels are taken as (pixel & andMask) | orMask, else as they are.
// Tested: the alpha test may reject pixels the blend would change (not so for the kinds
// that leave the destination as it is under a source of alpha 0, when the test rejects
// no other: Untested).
template <class W, TBlendKind K, bool Masked, bool Tested>
static inline void BlendStep(uint32_t* dst, const uint32_t* src, typename W::V andMask,
                             typename W::V orMask, typename W::V minAlpha)
{
    using V = typename W::V;
    const V s = Masked ? W::Or(W::And(W::Load(src), andMask), orMask) : W::Load(src);
    if constexpr (K == TBlendKind::Normal) {
        // Opaque sources replace the destination whatever it holds (alpha 255 passes
        // every test that lets anything through). Everything else is blended without
        // further branches (transparent pixels give the destination back): the edges of
        // sprites make these hard to predict.
        if (W::AllAlphaSet(s)) {
            W::Store(dst, s);
            return;
        }
    } else if constexpr (!Tested) {
        if (W::NoAlphaSet(s))
            return;
    }
    if constexpr (!Tested) {
        W::Store(dst, BlendVector<W, K>(s, W::Load(dst)));
        return;
    }
    const V rejected = W::Less32(W::template Shr32<24>(s), minAlpha);
    if constexpr (K != TBlendKind::Normal)
        if (W::Mask32(rejected) == W::kAllSet)
            return; // every pixel fails the alpha test
    W::Store(dst, BlendValues<W, K>(s, W::Load(dst), rejected));
}

// (a * (128 - w) + b * w + 64) >> 7 in each 16-bit lane (a, b <= 255, w <= 127): a << 7 +
// (b - a) w wraps around in 16 bits but ends within them.
template <class W>
static inline typename W::V MixLanes(typename W::V a, typename W::V b, typename W::V w)
{
    return W::template Shr16<7>(
        W::Add16(W::Add16(W::template Shl16<7>(a), W::Mul16(W::Sub16(b, a), w)), W::Set16(64)));
}

#if SPAN_KERNELS_SSSE3
// The byte pairs (128 - w, w) of weights w in 32-bit lanes, twice in each lane.
template <class W> static inline typename W::V WeightPairs(typename W::V w)
{
    // w * 255 + 128 = (w << 8) + (128 - w) in each 16-bit half.
    const typename W::V twice = W::Or(w, W::template Shl32<16>(w));
    return W::Add16(W::Mul16(twice, W::Set16(255)), W::Set16(128));
}

// Byte pairs (a, b), the channels taken as signed (x - 128), weighed by byte pairs
// (128 - w, w): (a * (128 - w) + b * w + 64) >> 7 in 16-bit lanes.
template <class W> static inline typename W::V MixPairs(typename W::V pairs, typename W::V weights)
{
    // The multiply-add gives a (128 - w) + b w - 16384; 16384 + 64 back.
    return W::template Shr16<7>(W::Add16(W::MulAddBytes(weights, pairs), W::Set16(16448)));
}
#endif

// MixTexels of whole vectors, the weights in 32-bit lanes (one a pixel).
template <class W>
static inline typename W::V MixVectors(typename W::V a, typename W::V b, typename W::V w)
{
    using V = typename W::V;
#if SPAN_KERNELS_SSSE3
    // a and b interleaved byte by byte: the first two pixels of each 128-bit lane from
    // Low8, the others from High8; the packing puts them back in order.
    const V sign = W::Set32(0x80808080u);
    const V x = W::Xor(a, sign);
    const V y = W::Xor(b, sign);
    const V weights = WeightPairs<W>(w);
    return W::PackUnsigned16(MixPairs<W>(W::Low8(x, y), W::Low32(weights, weights)),
                             MixPairs<W>(W::High8(x, y), W::High32(weights, weights)));
#else
    const V w16 = W::PackSigned32(w, w);
    const V pairs = W::Low16(w16, w16);
    const V low = W::Low32(pairs, pairs);
    const V high = W::High32(pairs, pairs);
    return OnLanes<W>(
        a, b, [&](V x, V y, int half) { return MixLanes<W>(x, y, half == 0 ? low : high); });
#endif
}

// The 7-bit weights of 16.16 coordinates in 32-bit lanes.
template <class W> static inline typename W::V Weights(typename W::V coordinates)
{
    return W::And(W::template Shr32<9>(coordinates), W::Set32(0x7F));
}

template <class W> static inline typename W::V ModulateVector(typename W::V a, typename W::V b)
{
    using V = typename W::V;
    return OnLanes<W>(a, b, [&](V x, V y, int) { return Div255Lanes<W>(W::Mul16(x, y)); });
}

#endif // SPAN_KERNELS_VECTORS

// Runs step<W>(i) over [i, count) in vector steps, eight and then four pixels wide where
// built, and answers where the per-pixel tail starts.
template <class Step> static inline int VectorSteps(int count, Step step)
{
    int i = 0;
#if defined(SPAN_KERNELS_AVX2)
    for (; i + 8 <= count; i += 8)
        step.template operator()<TEight>(i);
#endif
#if SPAN_KERNELS_VECTORS
    for (; i + 4 <= count; i += 4)
        step.template operator()<TFour>(i);
#endif
    (void)step;
    return i;
}

// --- The kernels ----------------------------------------------------------------------

template <TBlendKind K>
static void BlendSpan(uint32_t* dst, const uint32_t* src, int count, uint32_t andMask,
                      uint32_t orMask, uint32_t minAlpha)
{
    // Most spans come unmasked (texels with alpha, times white), and with the test that
    // only drops alpha 0.
    constexpr bool kZeroLeaves = K == TBlendKind::Normal || K == TBlendKind::Add;
    const bool masked = andMask != 0xFFFFFFFFu || orMask != 0;
    const bool tested = !kZeroLeaves || minAlpha > 1;
    const auto steps = [&]<bool Masked, bool Tested>() {
#if defined(SPAN_KERNELS_AVX2)
        // Eight at a time; the rest is one step of its own below.
        int at = 0;
        for (; at + 8 <= count; at += 8)
            BlendStep<TEight, K, Masked, Tested>(dst + at, src + at, TEight::Set32(andMask),
                                                 TEight::Set32(orMask), TEight::Set32(minAlpha));
        return at;
#else
        return VectorSteps(count, [&]<class W>(int at) {
            BlendStep<W, K, Masked, Tested>(dst + at, src + at, W::Set32(andMask), W::Set32(orMask),
                                            W::Set32(minAlpha));
        });
#endif
    };
    int i = 0;
    if (tested)
        i = masked ? steps.template operator()<true, true>()
                   : steps.template operator()<false, true>();
    else
        i = masked ? steps.template operator()<true, false>()
                   : steps.template operator()<false, false>();
#if defined(SPAN_KERNELS_AVX2)
    // The last one to seven pixels as one step with the others masked off.
    if (i < count) {
        const __m256i lanes = _mm256_cmpgt_epi32(_mm256_set1_epi32(count - i),
                                                 _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
        const auto* from = reinterpret_cast<const int*>(src + i);
        auto* to = reinterpret_cast<int*>(dst + i);
        const __m256i s =
            TEight::Or(TEight::And(_mm256_maskload_epi32(from, lanes), TEight::Set32(andMask)),
                       TEight::Set32(orMask));
        const __m256i rejected =
            TEight::Less32(TEight::template Shr32<24>(s), TEight::Set32(minAlpha));
        _mm256_maskstore_epi32(
            to, lanes, BlendValues<TEight, K>(s, _mm256_maskload_epi32(to, lanes), rejected));
        return;
    }
#elif SPAN_KERNELS_VECTORS
    // The last one to three pixels as one short vector: cheaper than a channel at a time.
    if (i < count) {
        const int left = count - i;
        const auto gather = [left](const uint32_t* p) {
            return _mm_setr_epi32(static_cast<int>(p[0]), left > 1 ? static_cast<int>(p[1]) : 0,
                                  left > 2 ? static_cast<int>(p[2]) : 0, 0);
        };
        const __m128i s =
            TFour::Or(TFour::And(gather(src + i), TFour::Set32(andMask)), TFour::Set32(orMask));
        const __m128i rejected =
            TFour::Less32(TFour::template Shr32<24>(s), TFour::Set32(minAlpha));
        const __m128i result = BlendValues<TFour, K>(s, gather(dst + i), rejected);
        dst[i] = static_cast<uint32_t>(_mm_cvtsi128_si32(result));
        if (left > 1)
            dst[i + 1] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(result, 0x55)));
        if (left > 2)
            dst[i + 2] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(result, 0xAA)));
        return;
    }
#endif
    for (; i < count; ++i) {
        const uint32_t s = (src[i] & andMask) | orMask;
        if (AlphaOf(s) >= minAlpha)
            dst[i] = BlendPixel<K>(s, dst[i]);
    }
}

static void ModulateByColor(const uint32_t* texels, uint32_t texelOr, uint32_t color, int count,
                            uint32_t* out)
{
    int i = VectorSteps(count, [&]<class W>(int at) {
        W::Store(out + at, ModulateVector<W>(W::Or(W::Load(texels + at), W::Set32(texelOr)),
                                             W::Set32(color)));
    });
    for (; i < count; ++i)
        out[i] = ModulatePixel(texels[i] | texelOr, color);
}

static void ModulateByColors(const uint32_t* texels, uint32_t texelOr, const uint32_t* colors,
                             int count, uint32_t* out)
{
    int i = VectorSteps(count, [&]<class W>(int at) {
        W::Store(out + at, ModulateVector<W>(W::Or(W::Load(texels + at), W::Set32(texelOr)),
                                             W::Load(colors + at)));
    });
    for (; i < count; ++i)
        out[i] = ModulatePixel(texels[i] | texelOr, colors[i]);
}

#if defined(SPAN_KERNELS_AVX2)
// --- The AVX2 build's linear filtering -------------------------------------------------

// MixTexels less 128 in 16-bit lanes, from byte pairs (a, b) taken as signed (x - 128) and
// weight pairs (128 - w, w): the multiply-add gives y - 16384 for y = a (128 - w) + b w,
// and the rounding high multiply by 256 (y - 16384 + 64) >> 7. Packed with signed
// saturation, that is the mixed byte with its top bit flipped: ready for the next mix.
static inline __m256i MixSigned(__m256i pairs, __m256i weights)
{
    return _mm256_mulhrs_epi16(_mm256_maddubs_epi16(weights, pairs), _mm256_set1_epi16(256));
}

// The byte pairs (128 - w, w) of the 7-bit weights w (bits 9-15) of 16.16 coordinates in
// 32-bit lanes, twice in each lane.
static inline __m256i CoordinateWeights(__m256i coordinates)
{
    static constexpr int8_t kSpread[16] = {1, -1, 1, -1, 5,  -1, 5,  -1,
                                           9, -1, 9, -1, 13, -1, 13, -1};
    const __m256i w =
        _mm256_srli_epi16(_mm256_shuffle_epi8(coordinates, TEight::Bytes16(kSpread)), 1);
    // w * 255 + 128 = (w << 8) + (128 - w).
    return _mm256_add_epi16(_mm256_mullo_epi16(w, _mm256_set1_epi16(255)), _mm256_set1_epi16(128));
}

// MixTexels of eight pixels a and b with weight pairs (CoordinateWeights) per pixel.
static inline __m256i MixEight(__m256i a, __m256i b, __m256i weights)
{
    const __m256i sign = _mm256_set1_epi32(static_cast<int>(0x80808080u));
    const __m256i x = _mm256_xor_si256(a, sign);
    const __m256i y = _mm256_xor_si256(b, sign);
    // Pixels 0, 1 | 4, 5 from unpacklo, the others from unpackhi; packing restores the order.
    const __m256i low =
        MixSigned(_mm256_unpacklo_epi8(x, y), _mm256_unpacklo_epi32(weights, weights));
    const __m256i high =
        MixSigned(_mm256_unpackhi_epi8(x, y), _mm256_unpackhi_epi32(weights, weights));
    return _mm256_xor_si256(_mm256_packs_epi16(low, high), sign);
}

// The weight pairs of one 7-bit weight w for MixEight.
static inline __m256i UniformWeights(uint32_t w)
{
    const uint32_t pair = w * 255 + 128;
    return _mm256_set1_epi32(static_cast<int>(pair | pair << 16));
}
#endif

static void DownRow(const uint32_t* top, const uint32_t* bottom, uint32_t fy, int count,
                    uint32_t* out)
{
#if defined(SPAN_KERNELS_AVX2)
    if (count >= 8) {
        // Eight at a time, the last eight overlapping the ones before (same values).
        const __m256i weights = UniformWeights(fy);
        for (int i = 0;; i += 8) {
            i = i + 8 > count ? count - 8 : i;
            TEight::Store(out + i,
                          MixEight(TEight::Load(top + i), TEight::Load(bottom + i), weights));
            if (i + 8 == count)
                return;
        }
    }
#endif
    int i = VectorSteps(count, [&]<class W>(int at) {
        W::Store(out + at, MixVectors<W>(W::Load(top + at), W::Load(bottom + at), W::Set32(fy)));
    });
    for (; i < count; ++i)
        out[i] = MixTexels(top[i], bottom[i], fy);
}

// The texels of a row at columns column .. column + kPixels - 1, those outside the row's
// columns taking the nearest edge texel.
template <class W>
static inline typename W::V ClampedTexels(const uint32_t* row, int columns, int column)
{
    if (column >= 0 && column + W::kPixels <= columns)
        return W::Load(row + column);
#if defined(SPAN_KERNELS_AVX2)
    if constexpr (W::kPixels == 8) {
        if (columns >= 8) {
            // Over one end: the eight texels at that end, shuffled into place.
            const int base = column < 0 ? 0 : columns - 8;
            const __m256i at = _mm256_add_epi32(_mm256_set1_epi32(column),
                                                _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
            const __m256i clamped = _mm256_min_epi32(_mm256_max_epi32(at, _mm256_setzero_si256()),
                                                     _mm256_set1_epi32(columns - 1));
            return _mm256_permutevar8x32_epi32(W::Load(row + base),
                                               _mm256_sub_epi32(clamped, _mm256_set1_epi32(base)));
        }
    }
#endif
    const auto at = [&](int k) {
        const int c = column + k;
        return static_cast<int>(row[c < 0 ? 0 : c < columns ? c : columns - 1]);
    };
    if constexpr (W::kPixels == 8)
        return _mm256_setr_epi32(at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7));
    else
        return _mm_setr_epi32(at(0), at(1), at(2), at(3));
}

// The texels of current from the second on, then the first of next.
static inline __m128i ShiftIn(__m128i current, __m128i next)
{
    return _mm_or_si128(_mm_srli_si128(current, 4), _mm_slli_si128(next, 12));
}

#if defined(SPAN_KERNELS_AVX2)
static inline __m256i ShiftIn(__m256i current, __m256i next)
{
    return _mm256_alignr_epi8(_mm256_permute2x128_si256(current, next, 0x21), current, 4);
}
#endif

static void LinearRowOne(const uint32_t* top, const uint32_t* bottom, int columns, int column,
                         uint32_t fx, uint32_t fy, int count, uint32_t* out)
{
    int i = 0;
#if defined(SPAN_KERNELS_AVX2)
    if (count >= 8) {
        // Each column weighed down once: the eight after the current ones are carried
        // over; the last eight overlap the ones before (same values).
        const __m256i downWeights = UniformWeights(fy);
        const __m256i acrossWeights = UniformWeights(fx);
        const auto down = [&](int c) {
            return MixEight(ClampedTexels<TEight>(top, columns, c),
                            ClampedTexels<TEight>(bottom, columns, c), downWeights);
        };
        __m256i current = down(column);
        for (;;) {
            const __m256i next = down(column + i + 8);
            TEight::Store(out + i, MixEight(current, ShiftIn(current, next), acrossWeights));
            if (i + 8 == count)
                return;
            i += 8;
            if (i + 8 > count) {
                i = count - 8;
                current = down(column + i);
            } else {
                current = next;
            }
        }
    }
#endif
#if SPAN_KERNELS_VECTORS
    for (; i + 4 <= count; i += 4) {
        const auto down = [&](int c) {
            return MixVectors<TFour>(ClampedTexels<TFour>(top, columns, c),
                                     ClampedTexels<TFour>(bottom, columns, c), TFour::Set32(fy));
        };
        const __m128i current = down(column + i);
        TFour::Store(out + i, MixVectors<TFour>(current, ShiftIn(current, down(column + i + 4)),
                                                TFour::Set32(fx)));
    }
#endif
    for (; i < count; ++i) {
        const int c = column + i;
        const int left = c < 0 ? 0 : c < columns ? c : columns - 1;
        const int right = c + 1 < 0 ? 0 : c + 1 < columns ? c + 1 : columns - 1;
        out[i] = LinearTexels(top[left], top[right], bottom[left], bottom[right], fx, fy);
    }
}

static void AcrossRowStepping(const uint32_t* row, int64_t first, int64_t s, int64_t ds, int count,
                              uint32_t* out)
{
    // Coordinates relative to the row's first column fit 32 bits.
    s -= first * 65536;
#if defined(SPAN_KERNELS_AVX2)
    if (count >= 8) {
        const __m256i steps = _mm256_mullo_epi32(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7),
                                                 _mm256_set1_epi32(static_cast<int>(ds)));
        // Eight pixels reach over at most this many columns after their first: within 8
        // (or 16) one whole load (or two) holds them all; else they are gathered. The
        // least column is the first pixel's, or the last's going right to left.
        const int64_t reach = ((ds < 0 ? -ds : ds) * 7 >> 16) + 1;
        const int leastLane = ds < 0 ? 7 : 0;
        const auto run = [&]<int Loads>() {
            for (int i = 0;; i += 8) {
                i = i + 8 > count ? count - 8 : i;
                const __m256i coordinates =
                    _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(s + i * ds)), steps);
                const __m256i at = _mm256_srli_epi32(coordinates, 16);
                __m256i left, right;
                if constexpr (Loads == 0) {
                    TEight::GatherPairs(row, at, left, right);
                } else {
                    const int64_t base = (s + (i + leastLane) * ds) >> 16;
                    const __m256i index =
                        _mm256_sub_epi32(at, _mm256_set1_epi32(static_cast<int>(base)));
                    const auto pick = [&](const uint32_t* from) {
                        const __m256i near = _mm256_permutevar8x32_epi32(TEight::Load(from), index);
                        if constexpr (Loads == 1)
                            return near;
                        return _mm256_blendv_epi8(
                            near, _mm256_permutevar8x32_epi32(TEight::Load(from + 8), index),
                            _mm256_cmpgt_epi32(index, _mm256_set1_epi32(7)));
                    };
                    left = pick(row + base);
                    right = pick(row + base + 1);
                }
                TEight::Store(out + i, MixEight(left, right, CoordinateWeights(coordinates)));
                if (i + 8 == count)
                    return;
            }
        };
        if (reach <= 7)
            run.template operator()<1>();
        else if (reach <= 15)
            run.template operator()<2>();
        else
            run.template operator()<0>();
        return;
    }
#endif
    int i = VectorSteps(count, [&]<class W>(int at) {
        using V = typename W::V;
        const V coordinates = W::Add32(W::Set32(static_cast<uint32_t>(s + at * ds)), W::Ramp(ds));
        alignas(32) uint32_t columns[W::kPixels];
        W::Store(columns, W::template Shr32<16>(coordinates));
        const uint32_t* pairs[W::kPixels];
        for (int k = 0; k < W::kPixels; ++k)
            pairs[k] = row + columns[k];
        V left, right;
        W::Pairs(pairs, left, right);
        W::Store(out + at, MixVectors<W>(left, right, Weights<W>(coordinates)));
    });
    for (s += i * ds; i < count; ++i, s += ds) {
        const uint32_t* pair = row + (s >> 16);
        out[i] = MixTexels(pair[0], pair[1], TexelWeight(s));
    }
}

// Clamping for LinearClamped: a coordinate (less half a texel) below the first texel
// reads the pair (0, 1) with weight 0, one at or past the last texel the pair (size - 2,
// size - 1) with weight 128: the edge texel either way, as clamping each texel gives.
static inline void ClampPair(int64_t coordinate, int size, int& index, uint32_t& weight)
{
    const int64_t texel = coordinate >> 16;
    index = texel < 0 ? 0 : texel < size - 1 ? static_cast<int>(texel) : size - 2;
    weight = texel < 0 ? 0u : texel < size - 1 ? TexelWeight(coordinate) : 128u;
}

static inline uint32_t LinearClampedPixel(const uint32_t* pixels, int pitch, int width, int height,
                                          int64_t s, int64_t t)
{
    int x, y;
    uint32_t fx, fy;
    ClampPair(s, width, x, fx);
    ClampPair(t, height, y, fy);
    const uint32_t* top = pixels + static_cast<int64_t>(y) * pitch + x;
    return LinearTexels(top[0], top[1], top[pitch], top[pitch + 1], fx, fy);
}

#if defined(SPAN_KERNELS_AVX2)
// ClampPair in each lane: the pair's first texel and the weight pairs (MixEight's form).
static inline void ClampPairs(__m256i coordinates, int size, __m256i& index, __m256i& weights)
{
    const __m256i texel = _mm256_srai_epi32(coordinates, 16);
    const __m256i last = _mm256_set1_epi32(size - 2);
    const __m256i below = _mm256_cmpgt_epi32(_mm256_setzero_si256(), texel);
    const __m256i past = _mm256_cmpgt_epi32(texel, last);
    index = _mm256_min_epi32(_mm256_max_epi32(texel, _mm256_setzero_si256()), last);
    __m256i w = _mm256_andnot_si256(
        below, _mm256_and_si256(_mm256_srli_epi32(coordinates, 9), _mm256_set1_epi32(0x7F)));
    w = _mm256_blendv_epi8(w, _mm256_set1_epi32(128), past);
    // w * 255 + 128 = (w << 8) + (128 - w) in both 16-bit halves.
    const __m256i twice = _mm256_or_si256(w, _mm256_slli_epi32(w, 16));
    weights =
        _mm256_add_epi16(_mm256_mullo_epi16(twice, _mm256_set1_epi16(255)), _mm256_set1_epi16(128));
}

// Eight pixels of LinearClamped at coordinates ss, ts (less half a texel). Each (left,
// right) pair comes whole from a gather; its bytes interleaved with those of the pair
// below weigh down with one multiply-add, and the results, packed back into pairs, have
// their left and right bytes interleaved to weigh across.
[[gnu::always_inline]] static inline __m256i
LinearGathered(const uint32_t* pixels, int pitch, int width, int height, __m256i ss, __m256i ts)
{
    static constexpr int8_t kInterleave[16] = {0, 4,  1, 5,  2,  6,  3,  7,
                                               8, 12, 9, 13, 10, 14, 11, 15};
    const __m256i sign = _mm256_set1_epi32(static_cast<int>(0x80808080u));
    __m256i x = _mm256_srai_epi32(ss, 16);
    __m256i y = _mm256_srai_epi32(ts, 16);
    __m256i across, down;
    // Pairs inside the surface (the texel index as unsigned at most size - 2) need no
    // clamping.
    const __m256i lastX = _mm256_set1_epi32(width - 2);
    const __m256i lastY = _mm256_set1_epi32(height - 2);
    const __m256i inside = _mm256_and_si256(_mm256_cmpeq_epi32(_mm256_max_epu32(x, lastX), lastX),
                                            _mm256_cmpeq_epi32(_mm256_max_epu32(y, lastY), lastY));
    if (_mm256_movemask_epi8(inside) == -1) {
        across = CoordinateWeights(ss);
        down = CoordinateWeights(ts);
    } else {
        ClampPairs(ss, width, x, across);
        ClampPairs(ts, height, y, down);
    }
    // Texel places x + y pitch, from (x, y) in the 16-bit halves by one multiply-add.
    const __m256i places = _mm256_madd_epi16(_mm256_or_si256(x, _mm256_slli_epi32(y, 16)),
                                             _mm256_set1_epi32(pitch << 16 | 1));
    // Four pixels from first on, in 16-bit lanes: pixels first, first + 1 | first + 2,
    // first + 3.
    const auto four = [&](__m128i at, int first) {
        const auto gather = [&](const uint32_t* row) {
            return _mm256_xor_si256(
                _mm256_i32gather_epi64(reinterpret_cast<const long long*>(row), at, 4), sign);
        };
        const __m256i top = gather(pixels);
        const __m256i bottom = gather(pixels + pitch);
        // Low8 holds pixels first | first + 2, High8 the next ones, a texel in 4 lanes.
        const __m256i even = _mm256_setr_epi32(first, first, first, first, first + 2, first + 2,
                                               first + 2, first + 2);
        const __m256i odd = _mm256_add_epi32(even, _mm256_set1_epi32(1));
        const __m256i columns = _mm256_packs_epi16(
            MixSigned(_mm256_unpacklo_epi8(top, bottom), _mm256_permutevar8x32_epi32(down, even)),
            MixSigned(_mm256_unpackhi_epi8(top, bottom), _mm256_permutevar8x32_epi32(down, odd)));
        const __m256i pairs = _mm256_shuffle_epi8(columns, TEight::Bytes16(kInterleave));
        const __m256i whose = _mm256_setr_epi32(first, first, first + 1, first + 1, first + 2,
                                                first + 2, first + 3, first + 3);
        return MixSigned(pairs, _mm256_permutevar8x32_epi32(across, whose));
    };
    const __m256i low = four(_mm256_castsi256_si128(places), 0);
    const __m256i high = four(_mm256_extracti128_si256(places, 1), 4);
    // Packed as pixels 0 1 4 5 | 2 3 6 7.
    return _mm256_permute4x64_epi64(_mm256_xor_si256(_mm256_packs_epi16(low, high), sign), 0xD8);
}
#endif

static void LinearClamped(const uint32_t* pixels, int pitch, int width, int height, int64_t s,
                          int64_t t, int64_t ds, int64_t dt, int count, uint32_t* out)
{
#if defined(SPAN_KERNELS_AVX2)
    const __m256i ramp = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i dss = _mm256_set1_epi32(static_cast<int>(ds));
    const __m256i dts = _mm256_set1_epi32(static_cast<int>(dt));
    __m256i ss =
        _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(s)), _mm256_mullo_epi32(ramp, dss));
    __m256i ts =
        _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(t)), _mm256_mullo_epi32(ramp, dts));
    const __m256i stepS = _mm256_slli_epi32(dss, 3);
    const __m256i stepT = _mm256_slli_epi32(dts, 3);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        TEight::Store(out + i, LinearGathered(pixels, pitch, width, height, ss, ts));
        ss = _mm256_add_epi32(ss, stepS);
        ts = _mm256_add_epi32(ts, stepT);
    }
    if (i < count) {
        // The last one to seven pixels as a step of eight, the others repeating the last.
        const __m256i last = _mm256_min_epi32(ramp, _mm256_set1_epi32(count - 1 - i));
        ss = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(s + i * ds)),
                              _mm256_mullo_epi32(last, dss));
        ts = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(t + i * dt)),
                              _mm256_mullo_epi32(last, dts));
        alignas(32) uint32_t eight[8];
        TEight::Store(eight, LinearGathered(pixels, pitch, width, height, ss, ts));
        for (int k = 0; i < count; ++i, ++k)
            out[i] = eight[k];
    }
#else
    int i = VectorSteps(count, [&]<class W>(int at) {
        using V = typename W::V;
        const uint32_t* top[W::kPixels];
        const uint32_t* bottom[W::kPixels];
        alignas(16) uint32_t fx[W::kPixels], fy[W::kPixels];
        for (int k = 0; k < W::kPixels; ++k) {
            int x, y;
            ClampPair(s + (at + k) * ds, width, x, fx[k]);
            ClampPair(t + (at + k) * dt, height, y, fy[k]);
            top[k] = pixels + static_cast<int64_t>(y) * pitch + x;
            bottom[k] = top[k] + pitch;
        }
        V topLeft, topRight, bottomLeft, bottomRight;
        W::Pairs(top, topLeft, topRight);
        W::Pairs(bottom, bottomLeft, bottomRight);
        const V down = W::Load(fy);
        W::Store(out + at, MixVectors<W>(MixVectors<W>(topLeft, bottomLeft, down),
                                         MixVectors<W>(topRight, bottomRight, down), W::Load(fx)));
    });
    for (; i < count; ++i)
        out[i] = LinearClampedPixel(pixels, pitch, width, height, s + i * ds, t + i * dt);
#endif
}

static const TSpanKernels kKernels = {
    SPAN_KERNELS_NAME,
    {BlendSpan<TBlendKind::Copy>, BlendSpan<TBlendKind::Normal>, BlendSpan<TBlendKind::Add>,
     BlendSpan<TBlendKind::Multiply>, BlendSpan<TBlendKind::Subtract>,
     BlendSpan<TBlendKind::AddOne>},
    ModulateByColor,
    ModulateByColors,
    DownRow,
    LinearRowOne,
    AcrossRowStepping,
    LinearClamped,
};

} // namespace SPAN_KERNELS
