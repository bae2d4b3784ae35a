#pragma once

// index (offset, i): component i (1-based) of the attribute at offset; with a negative offset, of
// custom node -offset's result (0 when that node fails). Fails unless the attribute or result has
// that component.

#include "engine/graphics/particles/TParticleNode.h"

class FIndex final : public TParticleNode<FIndex>
{
public:
    static constexpr const char* kClassName = "FIndex";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
