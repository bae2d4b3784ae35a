// The kernels again for processors with AVX2. This file is compiled like every other, for
// any x86-64 processor; only the kernels' own functions (the region between the pragmas)
// are generated for AVX2. So whatever the compiler adds on its own (start-up code of
// sanitizers or coverage, say) runs anywhere, and no AVX2 instruction runs before
// TSpanKernels has found AVX2 on the processor: until then the table is constant data.
// The build checks that no AVX instruction lies outside the avx2 namespace.

#include "engine/graphics/device/PixelMath.h"
#include "engine/graphics/device/TSpanKernels.h"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))

// The intrinsics carry their own targets: included before the region.
#include <immintrin.h>

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#define SPAN_KERNELS avx2
#define SPAN_KERNELS_NAME "AVX2"
#define SPAN_KERNELS_AVX2
#include "engine/graphics/device/SpanKernels.inl"

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

const TSpanKernels* TSpanKernels::BuiltAvx2()
{
    return &avx2::kKernels;
}

#else

const TSpanKernels* TSpanKernels::BuiltAvx2()
{
    return nullptr;
}

#endif
