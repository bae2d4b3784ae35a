#pragma once

// One node of a compiled stream, with the operands it takes from the evaluation stack.

#include "engine/graphics/particles/TParticleFunction.h"

#include <cstdint>
#include <memory>

struct TParticleStreamEntry
{
    // The most operands one expression may have.
    static constexpr int kMaxOperands = 11;

    std::shared_ptr<TParticleFunction> node;
    uint8_t operandCount = 0;
    uint8_t operandDimensions[kMaxOperands] = {}; // as compiled
};
