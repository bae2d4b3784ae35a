#pragma once

#include "engine/ui/window/TWindowManagerHost.h"

// The window manager's host in the game: the platform facade. The manager is made
// before the facade exists and lives until the facade's destructor deletes it, so every
// operation looks the facade up and answers harmlessly without one. The "-pq=" switch
// is looked up once.
class TPlatformWindowHost : public TWindowManagerHost
{
public:
    TPlatformWindowHost();

    uint32_t GetTimer() override;
    bool IsActive() override;
    bool IsFullScreen() override;
    bool IsPresentDone() override;
    bool IsHosted() override;
    bool HasPqSwitch() override { return mPqSwitch; }
    void PostQuitMessage(int exitCode) override;
    void RunMainTasks(TTaskPass pass) override;
    bool AddMainTask(TTask* task) override;
    bool IsDisplayReady() override;
    TAssetManager* GetAssetManager() override;
    TString GetString(const TString& label, const TStringArguments& arguments) override;
    TString GetClipboardText() override;
    bool SetClipboardText(const TString& text) override;
    void OpenURL(const TString& url) override;

private:
    bool mPqSwitch;
};
