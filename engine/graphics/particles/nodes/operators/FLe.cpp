#include "engine/graphics/particles/nodes/operators/FLe.h"

#include "engine/graphics/particles/TParticleEvalContext.h"

int FLe::GetResultDimension(int, const uint8_t*) const
{
    return 1;
}

bool FLe::Evaluate(TParticleView&, TParticleEvalContext& context)
{
    if (!context.HasScalars(2))
        return false;
    return context.Push(context.GetScalar(0) <= context.GetScalar(1) ? 1.0f : 0.0f);
}
