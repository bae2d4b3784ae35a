#include "engine/graphics/particles/TLuaParticleSystemBinding.h"

#include "engine/foundation/core/TString.h"
#include "engine/graphics/particles/TLuaParticleSystem.h"
#include "engine/graphics/particles/TParticleCompiler.h"
#include "engine/script/LuaBinder.h"
#include "engine/script/TScript.h"

void PublishParticleSystem(lua_State* L, TLuaParticleSystem& system, const TLifeline& lifeline)
{
    using T = TLuaParticleSystem;
    Publish<&T::SetRendererOption1>(L, "SetRendererOption1", system, lifeline);
    Publish<&T::SetNumParticles>(L, "SetNumParticles", system, lifeline);
    Publish<&T::SetTextureName>(L, "_SetTexture", system, lifeline);
    Publish<&T::CreateParticles>(L, "CreateParticles", system, lifeline);
    Publish<&T::Allocate>(L, "Allocate", system, lifeline);
    Publish<&T::RandomRange>(L, "RandomRange", system, lifeline);
    Publish<&T::RandomFloat>(L, "RandomFloat", system, lifeline);
    Publish<&T::CompileParam>(L, "CompileParam", system, lifeline);
    Publish<&T::GetParticleMemberParts>(L, "GetParticleMemberParts", system, lifeline);
    Publish<&T::AccumulateInitStream>(L, "AccumulateInitStream", system, lifeline);
    Publish<&T::AccumulateAnimStream>(L, "AccumulateAnimStream", system, lifeline);
    Publish<&T::Done>(L, "Done", system, lifeline);

    TString constructors;
    for (const TParticleCompiler::TCommand& command : TParticleCompiler::Commands())
        if (command.scriptFunction)
            constructors += TString::Printf("function %s(...) return CreateValue('%s',arg); end\n",
                                            command.name, command.name);
    DoLuaString(L, constructors);
}
