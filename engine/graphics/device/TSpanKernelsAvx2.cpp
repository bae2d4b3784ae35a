// Built with AVX2 code generation (see CMakeLists.txt). Nothing here runs before
// TSpanKernels::Avx2 has found AVX2 on the processor: the table is constant data.

#include "engine/graphics/device/TSpanKernels.h"

#if defined(__AVX2__)

#include "engine/graphics/device/PixelMath.h"

#define SPAN_KERNELS avx2
#define SPAN_KERNELS_NAME "AVX2"
#define SPAN_KERNELS_AVX2
#include "engine/graphics/device/SpanKernels.inl"

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
