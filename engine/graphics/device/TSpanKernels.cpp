#include "engine/graphics/device/TSpanKernels.h"

bool TSpanKernels::ProcessorHasAvx2()
{
#if defined(__x86_64__) || defined(__i386__)
    return __builtin_cpu_supports("avx2") != 0;
#else
    return false;
#endif
}

const TSpanKernels& TSpanKernels::For(bool processorHasAvx2)
{
    const TSpanKernels* avx2 = processorHasAvx2 ? BuiltAvx2() : nullptr;
    return avx2 != nullptr ? *avx2 : Baseline();
}

const TSpanKernels* TSpanKernels::Avx2()
{
    return ProcessorHasAvx2() ? BuiltAvx2() : nullptr;
}

const TSpanKernels& TSpanKernels::Get()
{
    static const TSpanKernels& best = For(ProcessorHasAvx2());
    return best;
}
