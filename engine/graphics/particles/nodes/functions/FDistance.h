#pragma once

// fDistance (a, b): the distance between a and b, of one dimension.

#include "engine/graphics/particles/TParticleNode.h"

class FDistance final : public TParticleNode<FDistance>
{
public:
    static constexpr const char* kClassName = "FDistance";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
