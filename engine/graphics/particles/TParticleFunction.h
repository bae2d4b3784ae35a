#pragma once

// Particle effects (engine/graphics/particles): a particle system runs an effect script
// in a script state of its own (TLuaParticleSystem). The script declares per-particle
// attributes and builds expressions over them; the expressions compile into flat postfix
// streams of expression nodes, run once on every new particle (spawn stream) and on every
// live particle each frame (per-frame stream), so a frame runs no Lua per particle.
// Particles are float records in a TParticleCollection, drawn by a TParticleRenderer
// (T2dParticleRenderer: one textured, coloured, rotated quad per particle).
//
// TParticleFunction is the expression node. A node reads its operands from a window of
// the evaluation stack (TParticleEvalContext), pushes its result in their place, or
// writes into the particle's record (TParticleView). Evaluate answers false when the
// operands do not fit; the rest of the stream is then skipped for that particle in this
// pass. Nodes allocate nothing, work on vectors of 1 to 4 floats, and take every operand
// dimension from the stack at run time, never from what was compiled.
//
// Game code adds nodes of its own by subclassing and registering an instance with
// TLuaParticleSystem::RegisterCustomParam. Main thread only.

#include <cstdint>

class TParticleEvalContext;
struct TParticleView;

class TParticleFunction
{
public:
    // A node class's identity: the address of a static object of the class.
    using TClassId = const void*;
    static TClassId ClassId();

    TParticleFunction() = default;
    virtual ~TParticleFunction() = default;
    TParticleFunction(const TParticleFunction&) = delete;
    TParticleFunction& operator=(const TParticleFunction&) = delete;

    virtual const char* GetClassName() const { return "TParticleFunction"; }
    // True for the class's own identity and for TParticleFunction's.
    virtual bool IsKindOf(TClassId id) const { return id == ClassId(); }

    // The dimension of the result for operands of these dimensions (what the compiler
    // hands back to the script); 0 for a node that pushes nothing.
    virtual int GetResultDimension(int operandCount, const uint8_t* operandDimensions) const = 0;
    // Computes from the operands in context and pushes the result, or writes into
    // particle. False when the operands do not fit the node.
    virtual bool Evaluate(TParticleView& particle, TParticleEvalContext& context) = 0;
};
