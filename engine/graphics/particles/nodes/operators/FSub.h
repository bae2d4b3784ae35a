#pragma once

// sub (a, b): a - b per component; a and b of one dimension.

#include "engine/graphics/particles/TParticleNode.h"

class FSub final : public TParticleNode<FSub>
{
public:
    static constexpr const char* kClassName = "FSub";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
