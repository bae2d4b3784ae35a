#include "engine/graphics/particles/nodes/operators/FNewIndex.h"

#include "engine/graphics/particles/TParticleEvalContext.h"
#include "engine/graphics/particles/TParticleView.h"

int FNewIndex::GetResultDimension(int, const uint8_t*) const
{
    return 1;
}

bool FNewIndex::Evaluate(TParticleView& particle, TParticleEvalContext& context)
{
    if (!context.HasScalars(3) || context.GetScalar(0) < 0)
        return false;
    float* target = particle.Component(context.GetScalar(0), context.GetScalar(1));
    if (target == nullptr)
        return false;
    *target = context.GetScalar(2);
    return context.Push(*target);
}
