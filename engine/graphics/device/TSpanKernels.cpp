#include "engine/graphics/device/TSpanKernels.h"

const TSpanKernels* TSpanKernels::Avx2()
{
#if defined(__x86_64__) || defined(__i386__)
    // Asked here, in code built for every processor.
    if (__builtin_cpu_supports("avx2"))
        return BuiltAvx2();
#endif
    return nullptr;
}

const TSpanKernels& TSpanKernels::Get()
{
    static const TSpanKernels& best = Avx2() != nullptr ? *Avx2() : Baseline();
    return best;
}
