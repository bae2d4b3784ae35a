#include "engine/graphics/device/TSpanKernels.h"

const TSpanKernels& TSpanKernels::Get()
{
    static const TSpanKernels& best = Avx2() != nullptr ? *Avx2() : Baseline();
    return best;
}
