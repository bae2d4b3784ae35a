#include "engine/graphics/particles/nodes/functions/FDistance.h"

#include "engine/graphics/particles/TParticleEvalContext.h"

#include <cmath>

int FDistance::GetResultDimension(int, const uint8_t*) const
{
    return 1;
}

bool FDistance::Evaluate(TParticleView&, TParticleEvalContext& context)
{
    if (!context.HasMatchingPair())
        return false;
    const float* a = context.GetOperand(0);
    const float* b = context.GetOperand(1);
    float sum = 0.0f;
    for (int i = 0; i < context.GetDimension(0); ++i)
        sum += (a[i] - b[i]) * (a[i] - b[i]);
    return context.Push(std::sqrt(sum));
}
