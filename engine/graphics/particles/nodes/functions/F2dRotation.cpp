#include "engine/graphics/particles/nodes/functions/F2dRotation.h"

#include "engine/graphics/particles/TParticleEvalContext.h"

#include <cmath>

int F2dRotation::GetResultDimension(int, const uint8_t*) const
{
    return 2;
}

bool F2dRotation::Evaluate(TParticleView&, TParticleEvalContext& context)
{
    if (!context.IsScalar(0))
        return false;
    const float angle = context.GetScalar(0);
    const float result[2] = {std::cos(angle), std::sin(angle)};
    return context.Push(result, 2);
}
