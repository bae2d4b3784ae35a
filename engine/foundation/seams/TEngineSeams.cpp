#include "engine/foundation/seams/TEngineSeams.h"

#include "engine/foundation/core/DebugLog.h"

namespace {

// NOTE: every class below is a temporary stand-in for a part of the engine that is not
// built yet; each says so in the log when it is made.

class TStandInWindowScript final : public TWindowScriptSeam
{
public:
    TStandInWindowScript() { TraceLog("window script: stand-in (no script state yet)"); }
    void EndMovie() override {}
};

class TStandInWindowManager final : public TWindowManagerSeam
{
public:
    // It is made before the log opens, so it introduces itself when it gets its script.
    void AttachScript(std::unique_ptr<TWindowScriptSeam> script) override
    {
        TraceLog("window manager: stand-in (no windows are drawn)");
        mScript = std::move(script);
    }
    TWindowScriptSeam* GetScript() override { return mScript.get(); }
    void SetTranslateLabels(bool) override {}
    bool HasRootWindow() const override { return mHasRoot; }
    void CreateRootScreen(int width, int height) override
    {
        TraceLog("window manager: stand-in root screen %dx%d", width, height);
        mHasRoot = true;
    }
    void Invalidate() override {}
    bool IsSuspended() const override { return false; }
    bool IsMouseBlocked() const override { return false; }

private:
    std::unique_ptr<TWindowScriptSeam> mScript;
    bool mHasRoot = false;
};

class TStandInVectorDraw final : public TVectorDrawSeam
{
public:
    TStandInVectorDraw() { TraceLog("vector drawing: stand-in (no shapes or text)"); }
    void Calibrate() override {}
};

template <typename T, typename TStandIn, typename TFactory>
std::unique_ptr<T> MakeOrStandIn(const TFactory& factory)
{
    if (factory)
        return factory();
    return std::make_unique<TStandIn>();
}

} // namespace

TEngineSeams::TFactories& TEngineSeams::Factories()
{
    static TFactories factories;
    return factories;
}

std::unique_ptr<TWindowManagerSeam> TEngineSeams::CreateWindowManager()
{
    return MakeOrStandIn<TWindowManagerSeam, TStandInWindowManager>(Factories().windowManager);
}

std::unique_ptr<TWindowScriptSeam> TEngineSeams::CreateWindowScript()
{
    return MakeOrStandIn<TWindowScriptSeam, TStandInWindowScript>(Factories().windowScript);
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
    return MakeOrStandIn<TVectorDrawSeam, TStandInVectorDraw>(Factories().vectorDraw);
}

std::shared_ptr<TTexture> TEngineSeams::LoadTexture(const TString& name)
{
    if (Factories().loadTexture)
        return Factories().loadTexture(name);
    TraceLog("texture: stand-in cannot load %s (no textures yet)", name.CStr());
    return nullptr;
}
