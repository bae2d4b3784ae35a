#pragma once

#include "engine/graphics/particles/nodes/functions/TParticleCycle.h"

// fOpenCycle (a, b, N): a + (step / N) x (b - a); see TParticleCycle.
class FOpenCycle final : public TParticleCycle<FOpenCycle>
{
public:
    static constexpr const char* kClassName = "FOpenCycle";
    static constexpr int kLastStepOffset = 0; // the divisor is N
};
