#include "game/core/GameStartup.h"

#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/Settings.h"
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
    // TODO: the game areas' Register...() calls, as their registries come (window
    // classes, entity constructors, activities, customer kinds, stations).
}

bool StartTemporaryGame(TPlatform& platform)
{
    platform.SetWindowTitle(platform.GetStringTable().GetString("windowtitle"));
    platform.SetDisplay(800, 600, false);
    RegisterGameTypes();
    TWindowManager* windows = GetWindowManager();
    if (windows != nullptr && windows->RunScriptFile(windows->GetRootWindow(), kMainLoopScript))
        return true;
    TraceLog("ERROR: start-up: %s did not run; only closing the window ends the program",
             kMainLoopScript);
    return false;
}

} // namespace YOLT::Core
