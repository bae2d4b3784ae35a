#pragma once

// fExpire (c): when c is not 0 the particle expires at the end of the pass, and 1 is pushed; else
// 0.

#include "engine/graphics/particles/TParticleNode.h"

class FExpire final : public TParticleNode<FExpire>
{
public:
    static constexpr const char* kClassName = "FExpire";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
