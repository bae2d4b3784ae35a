#pragma once

#include "engine/graphics/particles/nodes/functions/TParticleCycle.h"

// fClosedCycle (a, b, N): a + (step / (N - 1)) x (b - a); see TParticleCycle.
class FClosedCycle final : public TParticleCycle<FClosedCycle>
{
public:
    static constexpr const char* kClassName = "FClosedCycle";
    static constexpr int kLastStepOffset = 1; // the divisor is N - 1
};
