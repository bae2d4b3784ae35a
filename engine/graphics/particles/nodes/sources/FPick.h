#pragma once

// fPick (x1, ..., xk): one of the operands, chosen uniformly, with its own dimension.

#include "engine/graphics/particles/TParticleNode.h"

class FPick final : public TParticleNode<FPick>
{
public:
    static constexpr const char* kClassName = "FPick";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
