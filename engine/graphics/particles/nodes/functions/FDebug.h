#pragma once

// fDebug (any operands): logs "Particle Values: " and each operand as "(f,f,...) "; pushes nothing.

#include "engine/graphics/particles/TParticleNode.h"

class FDebug final : public TParticleNode<FDebug>
{
public:
    static constexpr const char* kClassName = "FDebug";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
