#pragma once

// add (a, b): a + b per component; a and b of one dimension.

#include "engine/graphics/particles/TParticleNode.h"

class FAdd final : public TParticleNode<FAdd>
{
public:
    static constexpr const char* kClassName = "FAdd";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
