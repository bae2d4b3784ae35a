#include "engine/graphics/particles/nodes/operators/FLt.h"

#include "engine/graphics/particles/TParticleEvalContext.h"

int FLt::GetResultDimension(int, const uint8_t*) const
{
    return 1;
}

bool FLt::Evaluate(TParticleView&, TParticleEvalContext& context)
{
    if (!context.HasScalars(2))
        return false;
    return context.Push(context.GetScalar(0) < context.GetScalar(1) ? 1.0f : 0.0f);
}
