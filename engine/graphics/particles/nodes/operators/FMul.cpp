#include "engine/graphics/particles/nodes/operators/FMul.h"

#include "engine/graphics/particles/TParticleEvalContext.h"

int FMul::GetResultDimension(int operandCount, const uint8_t* operandDimensions) const
{
    return FirstDimension(operandCount, operandDimensions);
}

bool FMul::Evaluate(TParticleView&, TParticleEvalContext& context)
{
    if (context.GetOperandCount() != 2 || !context.IsScalar(1))
        return false;
    const float s = context.GetScalar(1);
    return context.PushMapped([s](float a, int) { return a * s; });
}
