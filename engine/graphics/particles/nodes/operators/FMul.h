#pragma once

// mul (a, s): a x s; s of dimension 1.

#include "engine/graphics/particles/TParticleNode.h"

class FMul final : public TParticleNode<FMul>
{
public:
    static constexpr const char* kClassName = "FMul";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
