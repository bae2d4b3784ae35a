#pragma once

// assign (value, offset, size): copies the value's floats into the particle's record from offset
// on; pushes nothing. Fails for a negative offset and when the value would reach past the record.

#include "engine/graphics/particles/TParticleNode.h"

class FAssign final : public TParticleNode<FAssign>
{
public:
    static constexpr const char* kClassName = "FAssign";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
