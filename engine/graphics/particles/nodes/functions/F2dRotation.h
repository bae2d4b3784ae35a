#pragma once

// f2dRotation (angle): (cos angle, sin angle).

#include "engine/graphics/particles/TParticleNode.h"

class F2dRotation final : public TParticleNode<F2dRotation>
{
public:
    static constexpr const char* kClassName = "F2dRotation";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
