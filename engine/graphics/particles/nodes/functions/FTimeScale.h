#pragma once

// fTimeScale (v): v x the pass's elapsed milliseconds / 1000, so a rate per second becomes the
// change of this pass.

#include "engine/graphics/particles/TParticleNode.h"

class FTimeScale final : public TParticleNode<FTimeScale>
{
public:
    static constexpr const char* kClassName = "FTimeScale";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
