#include "engine/graphics/particles/nodes/operators/FDiv.h"

#include "engine/graphics/particles/TParticleEvalContext.h"

int FDiv::GetResultDimension(int operandCount, const uint8_t* operandDimensions) const
{
    return FirstDimension(operandCount, operandDimensions);
}

bool FDiv::Evaluate(TParticleView&, TParticleEvalContext& context)
{
    if (context.GetOperandCount() != 2 || !context.IsScalar(1))
        return false;
    const float s = context.GetScalar(1);
    return context.PushMapped([s](float a, int) { return a / s; });
}
