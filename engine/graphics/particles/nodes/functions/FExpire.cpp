#include "engine/graphics/particles/nodes/functions/FExpire.h"

#include "engine/graphics/particles/TParticleEvalContext.h"
#include "engine/graphics/particles/TParticleView.h"

int FExpire::GetResultDimension(int, const uint8_t*) const
{
    return 1;
}

bool FExpire::Evaluate(TParticleView& particle, TParticleEvalContext& context)
{
    if (!context.HasScalars(1))
        return false;
    if (context.GetScalar(0) == 0.0f)
        return context.Push(0.0f);
    particle.alive = false;
    return context.Push(1.0f);
}
