#pragma once

// fFade (t, a0, d1, a1, d2, a2, ...): piecewise-linear keys. From a0 the value moves to a1 while t
// runs through d1, then to a2 during the next d2, and so on; it stays at the last key afterwards. A
// negative t counts as 0. Every key has a0's dimension and every duration dimension 1.

#include "engine/graphics/particles/TParticleNode.h"

class FFade final : public TParticleNode<FFade>
{
public:
    static constexpr const char* kClassName = "FFade";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
