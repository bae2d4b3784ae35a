#pragma once

// unm (a): -a.

#include "engine/graphics/particles/TParticleNode.h"

class FUnm final : public TParticleNode<FUnm>
{
public:
    static constexpr const char* kClassName = "FUnm";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
