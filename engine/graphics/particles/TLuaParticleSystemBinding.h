#pragma once

// What a particle system's script reaches as globals: the system's operations
// (SetRendererOption1, SetNumParticles, _SetTexture, CreateParticles, Allocate,
// RandomRange, RandomFloat, CompileParam, GetParticleMemberParts, AccumulateInitStream,
// AccumulateAnimStream, Done), and for every node function (fTimeScale, fRange, ...) a
// Lua function that builds its expression value: function fX(...) return
// CreateValue('fX', arg) end.

struct lua_State;
class TLifeline;
class TLuaParticleSystem;

// The closures work while lifeline exists.
void PublishParticleSystem(lua_State* L, TLuaParticleSystem& system, const TLifeline& lifeline);
