#include "engine/graphics/particles/nodes/functions/FVec.h"

#include "engine/graphics/particles/TParticleEvalContext.h"

int FVec::GetResultDimension(int operandCount, const uint8_t*) const
{
    return operandCount >= 1 && operandCount <= 4 ? operandCount : 0;
}

bool FVec::Evaluate(TParticleView&, TParticleEvalContext& context)
{
    const int count = context.GetOperandCount();
    if (count < 1 || count > 4)
        return false;
    return context.Push(context.GetOperand(0), count);
}
