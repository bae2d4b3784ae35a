#pragma once

// newindex (offset, i, v): component i (1-based) of the attribute at offset := v; pushes v. Fails
// for a negative offset and unless the attribute has that component.

#include "engine/graphics/particles/TParticleNode.h"

class FNewIndex final : public TParticleNode<FNewIndex>
{
public:
    static constexpr const char* kClassName = "FNewIndex";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
