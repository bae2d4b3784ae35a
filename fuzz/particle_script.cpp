// Runs arbitrary bytes as a particle effect script (in a particle system whose script
// state has the fuzz limits of LimitedScriptState.h), then runs eight frames of the
// effect and draws them into a small back buffer. Whatever the script compiled, the node
// streams must stay inside the particle records, the evaluation stack and the vertex
// buffers.

#include "engine/graphics/TDxDisplayHandler.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/particles/TLuaParticleSystem.h"
#include "engine/graphics/particles/TParticleRandom.h"
#include "engine/script/TScript.h"
#include "fuzz/support/LimitedScriptState.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

TRenderer& Renderer()
{
    static TRenderer* renderer = [] {
        TRenderer* made = TRenderer::Get();
        made->GetDisplayHandler().OpenBackBuffer(64, 64);
        made->PushClipRect(TRect(0, 0, 64, 64));
        return made;
    }();
    return *renderer;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    // A text naming a ".lua" file would be read from the disk.
    if (text.find(".lua") != std::string::npos || text.find('\0') != std::string::npos)
        return 0;
    TRenderer& renderer = Renderer();
    LimitedScriptState limits;
    if (limits.L() == nullptr)
        return 0;
    TLuaParticleSystem system;
    if (system.GetScript() == nullptr || !system.GetScript()->IsValid())
        return 0;
    TParticleRandom::Seed(1);
    system.Load(text.c_str());
    for (int frame = 0; frame < 8; ++frame) {
        system.Update(16);
        if (renderer.BeginDraw(false) && renderer.Begin2d()) {
            system.Draw(TVec3(32, 32, 0));
            renderer.End2d();
            renderer.EndDraw(false);
        }
    }
    return 0;
}
