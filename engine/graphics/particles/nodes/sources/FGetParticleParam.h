#pragma once

// A member read: the attribute a member handle names, read from the particle; for a
// handle with a negative offset, the result of that custom node. The compiler makes one
// for every member handle in an expression.

#include "engine/graphics/particles/TParticleMemberHandle.h"
#include "engine/graphics/particles/TParticleNode.h"

class FGetParticleParam final : public TParticleNode<FGetParticleParam>
{
public:
    static constexpr const char* kClassName = "FGetParticleParam";

    FGetParticleParam() = default;
    explicit FGetParticleParam(TParticleMemberHandle handle) : mHandle(handle) {}

    int GetResultDimension(int, const uint8_t*) const override { return mHandle.dimension; }
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;

private:
    TParticleMemberHandle mHandle;
};
