#pragma once

#include "engine/graphics/TGraphicsHost.h"

// The graphics host in the game: the platform facade. InstallGraphics installs it for the
// whole process, so every operation looks the facade up; while there is none (before
// EngineMain builds it, after it has gone) the standalone host answers.
class TPlatformGraphicsHost final : public TGraphicsHost
{
public:
    uint32_t GetTimer() override;
    void Sleep(int milliseconds) override;
    TActivity GetActivity() override;
    TAssetManager& GetAssetCache() override;
    TTaskList& GetAnimationTasks() override;
    uint32_t Random() override;
    void RunRefreshTasks() override;
    void RequestFrame() override;
    TWindowFrames GetWindowFrames() override;
    bool CanShowDisplay() override;
    TNativeWindow* GetMainWindow() override;
    THosting GetHosting() override;
    void NotifyDisplayModeSet() override;
    void UseDefaultCursor() override;
    void PostQuitMessage(int exitCode) override;
};
