#include "engine/graphics/particles/nodes/functions/FTimeScale.h"

#include "engine/graphics/particles/TParticleEvalContext.h"
#include "engine/graphics/particles/TParticleView.h"

int FTimeScale::GetResultDimension(int operandCount, const uint8_t* operandDimensions) const
{
    return FirstDimension(operandCount, operandDimensions);
}

bool FTimeScale::Evaluate(TParticleView& particle, TParticleEvalContext& context)
{
    if (context.GetOperandCount() != 1)
        return false;
    const float scale = static_cast<float>(particle.elapsedMs) / 1000.0f;
    return context.PushMapped([scale](float v, int) { return v * scale; });
}
