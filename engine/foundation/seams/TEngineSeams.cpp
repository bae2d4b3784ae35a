#include "engine/foundation/seams/TEngineSeams.h"

#include "engine/foundation/core/DebugLog.h"

TEngineSeams::TFactories& TEngineSeams::Factories()
{
    static TFactories factories;
    return factories;
}

std::unique_ptr<TWindowManagerSeam> TEngineSeams::CreateWindowManager()
{
    if (Factories().windowManager)
        return Factories().windowManager();
    // Made before the log opens: this line reaches the log only when it is open already.
    TraceLog("window manager: none installed (no windows)");
    return nullptr;
}

std::unique_ptr<TWindowScriptSeam> TEngineSeams::CreateWindowScript()
{
    if (Factories().windowScript)
        return Factories().windowScript();
    TraceLog("window script: none installed (no window scripts)");
    return nullptr;
}

std::unique_ptr<TRendererSeam> TEngineSeams::CreateRenderer()
{
    if (Factories().renderer)
        return Factories().renderer();
    TraceLog("renderer: none installed (nothing is drawn)");
    return nullptr;
}

std::unique_ptr<TSoundManagerSeam> TEngineSeams::CreateSoundManager()
{
    if (Factories().soundManager)
        return Factories().soundManager();
    TraceLog("sound: no sound manager installed; the game runs silent");
    return nullptr;
}

std::unique_ptr<TVectorDrawSeam> TEngineSeams::CreateVectorDraw()
{
    if (Factories().vectorDraw)
        return Factories().vectorDraw();
    TraceLog("vector drawing: none installed (no text is drawn)");
    return nullptr;
}

std::shared_ptr<TTexture> TEngineSeams::LoadTexture(const TString& name)
{
    if (Factories().loadTexture)
        return Factories().loadTexture(name);
    TraceLog("texture: stand-in cannot load %s (no textures yet)", name.CStr());
    return nullptr;
}
