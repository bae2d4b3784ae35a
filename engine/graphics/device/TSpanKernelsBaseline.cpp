#include "engine/graphics/device/PixelMath.h"
#include "engine/graphics/device/TSpanKernels.h"

#define SPAN_KERNELS baseline
#define SPAN_KERNELS_NAME "SSE2"
#include "engine/graphics/device/SpanKernels.inl"

const TSpanKernels& TSpanKernels::Baseline()
{
    return baseline::kKernels;
}
