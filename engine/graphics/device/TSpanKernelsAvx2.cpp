// Built with AVX2 code generation (see CMakeLists.txt); called only where the processor
// has AVX2.

#include "engine/graphics/device/TSpanKernels.h"

#if defined(__AVX2__)

#include "engine/graphics/device/PixelMath.h"

#define SPAN_KERNELS avx2
#define SPAN_KERNELS_NAME "AVX2"
#define SPAN_KERNELS_AVX2
#include "engine/graphics/device/SpanKernels.inl"

const TSpanKernels* TSpanKernels::Avx2()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? &avx2::kKernels : nullptr;
}

#else

const TSpanKernels* TSpanKernels::Avx2()
{
    return nullptr;
}

#endif
