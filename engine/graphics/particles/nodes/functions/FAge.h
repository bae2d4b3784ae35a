#pragma once

// fAge (): the pass's elapsed milliseconds (0 while spawning). It is not the particle's age: an age
// attribute adds fTimeScale(1) every pass.

#include "engine/graphics/particles/TParticleNode.h"

class FAge final : public TParticleNode<FAge>
{
public:
    static constexpr const char* kClassName = "FAge";

    int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const override;
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;
};
