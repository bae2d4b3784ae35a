#include "engine/graphics/particles/nodes/sources/F2dRadius.h"

#include "engine/graphics/particles/TParticleEvalContext.h"
#include "engine/graphics/particles/TParticleRandom.h"

#include <cmath>

int F2dRadius::GetResultDimension(int, const uint8_t*) const
{
    return 2;
}

bool F2dRadius::Evaluate(TParticleView&, TParticleEvalContext& context)
{
    const int count = context.GetOperandCount();
    if ((count != 1 && count != 2) || !context.IsScalar(0) ||
        (count == 2 && context.GetDimension(1) != 2))
        return false;
    const float r = context.GetScalar(0);
    const float angle = TParticleRandom::NextFloat() * 2.0f * 3.1415927f;
    const float result[2] = {r * std::cos(angle), r * std::sin(angle)};
    return context.Push(result, 2);
}
