#include "engine/graphics/particles/nodes/functions/TParticleCycle.h"

#include "engine/graphics/particles/TParticleEvalContext.h"
#include "engine/graphics/particles/nodes/functions/FClosedCycle.h"
#include "engine/graphics/particles/nodes/functions/FOpenCycle.h"

template <class TNode>
bool TParticleCycle<TNode>::Evaluate(TParticleView&, TParticleEvalContext& context)
{
    if (context.GetOperandCount() != 3 || context.GetDimension(0) != context.GetDimension(1) ||
        !context.IsScalar(2))
        return false;
    const float a = context.GetScalar(0);
    const float b = context.GetScalar(1);
    const float count = context.GetScalar(2);
    if (!(count > 1.0f)) {
        mStep = 0;
        return context.Push(a);
    }
    const float divisor = count - static_cast<float>(TNode::kLastStepOffset);
    const float value = a + (static_cast<float>(mStep) / divisor) * (b - a);
    ++mStep;
    if (count <= static_cast<float>(mStep))
        mStep = 0;
    return context.Push(value);
}

template class TParticleCycle<FOpenCycle>;
template class TParticleCycle<FClosedCycle>;
