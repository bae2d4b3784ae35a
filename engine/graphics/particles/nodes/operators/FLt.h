#pragma once

// lt, fLess (a, b): 1 when a < b, else 0; both of dimension 1.

#include "engine/graphics/particles/TParticleNode.h"

class FLt final : public TParticleNode<FLt>
{
public:
    static constexpr const char* kClassName = "FLt";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
