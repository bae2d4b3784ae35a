#include "engine/graphics/particles/nodes/operators/FSub.h"

#include "engine/graphics/particles/TParticleEvalContext.h"

int FSub::GetResultDimension(int operandCount, const uint8_t* operandDimensions) const
{
    return FirstDimension(operandCount, operandDimensions);
}

bool FSub::Evaluate(TParticleView&, TParticleEvalContext& context)
{
    if (!context.HasMatchingPair())
        return false;
    const float* b = context.GetOperand(1);
    return context.PushMapped([b](float a, int i) { return a - b[i]; });
}
