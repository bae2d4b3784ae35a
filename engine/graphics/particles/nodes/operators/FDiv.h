#pragma once

// div (a, s): a / s; s of dimension 1.

#include "engine/graphics/particles/TParticleNode.h"

class FDiv final : public TParticleNode<FDiv>
{
public:
    static constexpr const char* kClassName = "FDiv";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
