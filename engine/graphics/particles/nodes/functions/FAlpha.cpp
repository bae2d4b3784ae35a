#include "engine/graphics/particles/nodes/functions/FAlpha.h"

#include "engine/graphics/particles/TParticleEvalContext.h"

int FAlpha::GetResultDimension(int, const uint8_t*) const
{
    return 4;
}

bool FAlpha::Evaluate(TParticleView&, TParticleEvalContext& context)
{
    if (context.GetOperandCount() != 2 || context.GetDimension(0) < 3 || !context.IsScalar(1))
        return false;
    const float* colour = context.GetOperand(0);
    const float result[4] = {colour[0], colour[1], colour[2], context.GetScalar(1)};
    return context.Push(result, 4);
}
