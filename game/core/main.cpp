#include "engine/foundation/app/EngineMain.h"
#include "engine/foundation/app/TEvent.h"
#include "engine/foundation/app/TFirstFrameReport.h"
#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/Settings.h"
#include "engine/foundation/core/TCommandLine.h"
#include "engine/foundation/xml/TStringTable.h"
#include "engine/graphics/install/GraphicsInstall.h"
#include "engine/sound/SoundInstall.h"
#include "engine/ui/install/UiInstall.h"
#include "engine/ui/manager/TWindowManager.h"
#include "engine/ui/window/TModalWindow.h"

namespace {

// The dialog flow of the demonstration menu (assets/scripts/mainloop.lua).
constexpr const char* kMainLoopScript = "scripts/mainloop.lua";

// NOTE: a temporary game until the game framework's own entry exists: it opens the
// display at 800x600 in a window, starts the demonstration menu's dialog flow and runs
// the event loop, handing every event to the window manager. The menu's Quit button ends
// it (its script posts the quit message), and so does closing the window.
int RunTemporaryGame(TPlatform* platform, const char*)
{
    platform->SetWindowTitle(platform->GetStringTable().GetString("windowtitle"));
    platform->SetDisplay(800, 600, false);
    TWindowManager* windows = GetWindowManager();
    if (windows == nullptr || !windows->RunScriptFile(windows->GetRootWindow(), kMainLoopScript))
        TraceLog("ERROR: start-up: %s did not run; only closing the window ends the program",
                 kMainLoopScript);
    TFirstFrameReport firstFrame;
    TEvent event;
    do {
        platform->GetEvent(event);
        if (TWindowManager* manager = GetWindowManager()) {
            manager->HandleEvent(event);
            firstFrame.Update(manager->GetFrameCount(), platform->GetTimer());
        }
        if (event.type == TEvent::kClose)
            platform->PostQuitMessage(0);
    } while (event.type != TEvent::kQuit);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // The game's identity; the data folder is <data home>/yolt/velmora/.
    SetConfig("gamename", "velmora");
    SetConfig("publisher", "yolt");
    InstallGraphics();
    InstallSound();
    InstallUi();
    return EngineMain(TCommandLine::Build(argc, argv), 0, RunTemporaryGame, false);
}
