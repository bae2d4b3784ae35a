#include "engine/graphics/particles/nodes/sources/FRange.h"

#include "engine/graphics/particles/TParticleEvalContext.h"
#include "engine/graphics/particles/TParticleRandom.h"

int FRange::GetResultDimension(int operandCount, const uint8_t* operandDimensions) const
{
    return FirstDimension(operandCount, operandDimensions);
}

bool FRange::Evaluate(TParticleView&, TParticleEvalContext& context)
{
    if (!context.HasMatchingPair())
        return false;
    const float* b = context.GetOperand(1);
    return context.PushMapped(
        [b](float a, int i) { return a + TParticleRandom::NextFloat() * (b[i] - a); });
}
