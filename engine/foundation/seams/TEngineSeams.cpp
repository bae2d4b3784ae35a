#include "engine/foundation/seams/TEngineSeams.h"

#include "engine/foundation/core/DebugLog.h"

#include <atomic>

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

class TStandInDisplay final : public TDisplaySeam
{
public:
    TStandInDisplay() { TraceLog("display: stand-in (nothing is drawn)"); }
    bool SetDisplay(int width, int height, bool fullScreen, bool) override
    {
        TraceLog("display: stand-in mode %dx%d%s", width, height,
                 fullScreen ? ", full screen refused" : "");
        return true;
    }
    void CalibrateTexelOffset() override {}
    bool IsValid() const override { return true; }
    void Restore() override {}
    bool IsFullScreen() const override { return false; }
    bool SetFullScreen(bool fullScreen) override
    {
        if (fullScreen)
            TraceLog("display: stand-in cannot show full screen");
        return false;
    }
    void ResetWorkingCount() override {}
    void UpdateDesktopMode() override {}
    void SetVSync(bool) override {}
    bool IsPresentDone() const override { return true; }
    void OutOfVideoMemory() override {}
    TPoint MoveMouse(int windowX, int windowY) override
    {
        if (windowX == -1 && windowY == -1)
            return GetMousePosition();
        mX.store(windowX);
        mY.store(windowY);
        return {windowX, windowY};
    }
    TPoint GetMousePosition() const override { return {mX.load(), mY.load()}; }
    void EraseMouse() override {}
    void UpdateWindowBounds() override {}
    void ShowMouse(bool) override {}
    void SetMouseImage(std::shared_ptr<TTexture>, int, int, bool) override {}

private:
    std::atomic<int> mX{0};
    std::atomic<int> mY{0};
};

class TStandInRenderer final : public TRendererSeam
{
public:
    TStandInRenderer() { TraceLog("renderer: stand-in (no frames are drawn)"); }
    TDisplaySeam* GetDisplay() override { return mDisplay.get(); }
    TDisplaySeam* CreateDisplay() override
    {
        if (!mDisplay)
            mDisplay = std::make_unique<TStandInDisplay>();
        return mDisplay.get();
    }
    void ToggleStats() override { TraceLog("renderer: stand-in has no statistics overlay"); }
    void PopClipRect() override {}
    void PushClipRect(int, int, int, int) override {}
    void FillRect(int, int, int, int, uint32_t) override {}

private:
    std::unique_ptr<TStandInDisplay> mDisplay;
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
    return MakeOrStandIn<TRendererSeam, TStandInRenderer>(Factories().renderer);
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
