#pragma once

// fAlpha (colour, alpha): the colour's first three components with alpha as the fourth.

#include "engine/graphics/particles/TParticleNode.h"

class FAlpha final : public TParticleNode<FAlpha>
{
public:
    static constexpr const char* kClassName = "FAlpha";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
