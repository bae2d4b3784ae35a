#include "engine/graphics/particles/nodes/operators/FAdd.h"

#include "engine/graphics/particles/TParticleEvalContext.h"

int FAdd::GetResultDimension(int operandCount, const uint8_t* operandDimensions) const
{
    return FirstDimension(operandCount, operandDimensions);
}

bool FAdd::Evaluate(TParticleView&, TParticleEvalContext& context)
{
    if (!context.HasMatchingPair())
        return false;
    const float* b = context.GetOperand(1);
    return context.PushMapped([b](float a, int i) { return a + b[i]; });
}
