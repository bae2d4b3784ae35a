#pragma once

// fOpenCycle and fClosedCycle (a, b, N): N evenly spaced values from a towards b, one per
// evaluation, shared by all the particles the node is evaluated for. The open cycle never
// reaches b; the closed one reaches it on its last step. Only the first component is
// pushed. A count N of 1 or less (or not a number) gives a.

#include "engine/graphics/particles/TParticleNode.h"

#include <cstdint>

template <class TNode> class TParticleCycle : public TParticleNode<TNode>
{
public:
    int GetResultDimension(int, const uint8_t*) const override { return 1; }
    bool Evaluate(TParticleView& particle, TParticleEvalContext& context) override;

    uint32_t GetStep() const { return mStep; }

private:
    uint32_t mStep = 0;
};
