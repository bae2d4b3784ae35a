#include "engine/graphics/particles/nodes/operators/FAssign.h"

#include "engine/graphics/particles/TParticleEvalContext.h"
#include "engine/graphics/particles/TParticleView.h"

#include <algorithm>

int FAssign::GetResultDimension(int, const uint8_t*) const
{
    return 0;
}

bool FAssign::Evaluate(TParticleView& particle, TParticleEvalContext& context)
{
    if (context.GetOperandCount() < 2 || !context.IsScalar(1))
        return false;
    const int n = context.GetDimension(0);
    float* target = particle.Range(context.GetScalar(1), n);
    if (target == nullptr)
        return false;
    std::copy_n(context.GetOperand(0), n, target);
    return true;
}
