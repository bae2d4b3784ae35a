#pragma once

// fVec (x1, ..., xk), k 1 to 4: the k floats from the first operand on, as one vector of dimension
// k (with scalar operands: the vector of them).

#include "engine/graphics/particles/TParticleNode.h"

class FVec final : public TParticleNode<FVec>
{
public:
    static constexpr const char* kClassName = "FVec";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
