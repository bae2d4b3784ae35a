#include "engine/graphics/particles/nodes/sources/FPick.h"

#include "engine/graphics/particles/TParticleEvalContext.h"
#include "engine/graphics/particles/TParticleRandom.h"

int FPick::GetResultDimension(int operandCount, const uint8_t* operandDimensions) const
{
    return FirstDimension(operandCount, operandDimensions);
}

bool FPick::Evaluate(TParticleView&, TParticleEvalContext& context)
{
    const int count = context.GetOperandCount();
    if (count < 1)
        return false;
    const int chosen = static_cast<int>(TParticleRandom::NextReal() * count);
    return context.Push(context.GetOperand(chosen), context.GetDimension(chosen));
}
