#include "game/core/GameStartup.h"

#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/Settings.h"
#include "engine/foundation/files/FileProblem.h"
#include "engine/foundation/xml/TStringTable.h"
#include "engine/graphics/install/GraphicsInstall.h"
#include "engine/sound/SoundInstall.h"
#include "engine/ui/install/UiInstall.h"
#include "engine/ui/manager/TWindowManager.h"
#include "engine/ui/window/TModalWindow.h"

namespace {

// The dialog flow of the demonstration menu (assets/scripts/mainloop.lua).
constexpr const char* kMainLoopScript = "scripts/mainloop.lua";

} // namespace

namespace YOLT::Core {

void SetGameIdentity()
{
    SetConfig("gamename", "velmora");
    SetConfig("publisher", "yolt");
}

void PrepareGameEngine()
{
    SetGameIdentity();
    InstallGraphics();
    InstallSound();
    InstallUi();
}

void RegisterGameTypes()
{
    // Each game area with a registry of its own (window classes, entity constructors,
    // activities, customer kinds, stations) adds its Register...() call here, lowest area
    // first; the player data's script functions are published by the game object that
    // owns them, not from here.
}

bool StartTemporaryGame(TPlatform& platform)
{
    platform.SetWindowTitle(platform.GetStringTable().GetString("windowtitle"));
    platform.SetDisplay(800, 600, false);
    RegisterGameTypes();
    TWindowManager* windows = GetWindowManager();
    if (windows == nullptr) {
        TraceLog("ERROR: start-up: no window manager; only closing the window ends the program");
        return false;
    }
    if (!windows->RunScriptFile(windows->GetRootWindow(), kMainLoopScript)) {
        const TString problem = DescribeFileProblem(kMainLoopScript);
        TraceLog("ERROR: start-up: %s %s; only closing the window ends the program",
                 kMainLoopScript,
                 problem.Length() > 0 ? problem.CStr() : "did not run (its error is above)");
        return false;
    }
    if (!windows->HasDialogFlow()) {
        TraceLog("ERROR: start-up: %s returned no function to run as the dialog flow; only "
                 "closing the window ends the program",
                 kMainLoopScript);
        return false;
    }
    return true;
}

} // namespace YOLT::Core
