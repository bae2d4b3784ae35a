#pragma once

// fRange (a, b): a + u x (b - a) per component, u uniform in [0, 1) and drawn anew for each
// component; a and b of one dimension.

#include "engine/graphics/particles/TParticleNode.h"

class FRange final : public TParticleNode<FRange>
{
public:
    static constexpr const char* kClassName = "FRange";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
