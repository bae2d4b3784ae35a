#include "engine/graphics/particles/nodes/operators/FUnm.h"

#include "engine/graphics/particles/TParticleEvalContext.h"

int FUnm::GetResultDimension(int operandCount, const uint8_t* operandDimensions) const
{
    return FirstDimension(operandCount, operandDimensions);
}

bool FUnm::Evaluate(TParticleView&, TParticleEvalContext& context)
{
    if (context.GetOperandCount() != 1)
        return false;
    return context.PushMapped([](float a, int) { return -a; });
}
