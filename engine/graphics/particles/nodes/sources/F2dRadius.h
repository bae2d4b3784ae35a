#pragma once

// f2dRadius (r [, c]): (r cos t, r sin t) for an angle t drawn uniformly: a point on the circle of
// radius r. A second operand must have dimension 2 and is not used.

#include "engine/graphics/particles/TParticleNode.h"

class F2dRadius final : public TParticleNode<F2dRadius>
{
public:
    static constexpr const char* kClassName = "F2dRadius";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
