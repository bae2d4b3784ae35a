#pragma once

// The graphics host without an engine around it (tools, tests, benchmarks, and the game
// before its platform facade exists and after it has gone): the time source's clock, no
// sleeping, an inactive application, an asset cache, an animation task list and a random
// generator of its own, no windows to draw and no display to set up. One object serves
// the process, made on first use and never destroyed: textures and sprites held in
// static storage may reach it while the process ends. Main thread only.

#include "engine/foundation/assets/TAssetManager.h"
#include "engine/foundation/core/TMersenneTwister.h"
#include "engine/foundation/core/TTaskList.h"
#include "engine/graphics/TGraphicsHost.h"

class TStandaloneGraphicsHost final : public TGraphicsHost
{
public:
    static TStandaloneGraphicsHost& Instance();

    uint32_t GetTimer() override;
    void Sleep(int) override {}
    TActivity GetActivity() override { return {}; }
    TAssetManager& GetAssetCache() override { return mCache; }
    // Whoever plays animations without an engine runs this list (RunAll).
    TTaskList& GetAnimationTasks() override { return mAnimationTasks; }
    uint32_t Random() override { return mRandom.NextUInt32(); }
    void RunRefreshTasks() override {}
    void RequestFrame() override {}
    TWindowFrames GetWindowFrames() override { return TWindowFrames::None; }
    bool CanShowDisplay() override { return false; }
    TNativeWindow* GetMainWindow() override { return nullptr; }
    THosting GetHosting() override { return {}; }
    void NotifyDisplayModeSet() override {}
    void UseDefaultCursor() override {}
    void PostQuitMessage(int) override {}

private:
    TStandaloneGraphicsHost() = default;

    TAssetManager mCache;
    TTaskList mAnimationTasks;
    TMersenneTwister mRandom;
};
