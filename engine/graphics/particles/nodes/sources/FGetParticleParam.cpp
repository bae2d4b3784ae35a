#include "engine/graphics/particles/nodes/sources/FGetParticleParam.h"

#include "engine/graphics/particles/TParticleEvalContext.h"
#include "engine/graphics/particles/TParticleView.h"

bool FGetParticleParam::Evaluate(TParticleView& particle, TParticleEvalContext& context)
{
    if (mHandle.offset < 0)
        return context.EvaluateCustom(-mHandle.offset, particle);
    const float* values = particle.Range(static_cast<float>(mHandle.offset), mHandle.dimension);
    return values != nullptr && context.Push(values, mHandle.dimension);
}
