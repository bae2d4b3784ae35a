#include "engine/graphics/particles/nodes/functions/FAge.h"

#include "engine/graphics/particles/TParticleEvalContext.h"
#include "engine/graphics/particles/TParticleView.h"

int FAge::GetResultDimension(int, const uint8_t*) const
{
    return 1;
}

bool FAge::Evaluate(TParticleView& particle, TParticleEvalContext& context)
{
    if (context.GetOperandCount() != 0)
        return false;
    return context.Push(static_cast<float>(particle.elapsedMs));
}
