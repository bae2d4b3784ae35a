#include "engine/foundation/app/EngineMain.h"
#include "engine/foundation/app/TEvent.h"
#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/core/Settings.h"
#include "engine/foundation/core/TCommandLine.h"
#include "engine/foundation/xml/TStringTable.h"
#include "engine/graphics/GraphicsInstall.h"
#include "engine/sound/SoundInstall.h"
#include "engine/ui/UiInstall.h"
#include "engine/ui/manager/TWindowManager.h"
#include "engine/ui/window/TModalWindow.h"
#include "game/core/TTestCard.h"

#include <memory>

namespace {

// NOTE: a temporary game until the game framework's own entry exists: it opens the
// display at 800x600 in a window with a test card over the empty root screen and runs the
// event loop, handing every event to the window manager; a close request ends it.
int RunTemporaryGame(TPlatform* platform, const char*)
{
    platform->SetWindowTitle(platform->GetStringTable().GetString("windowtitle"));
    platform->SetDisplay(800, 600, false);
    if (TWindowManager* windows = GetWindowManager()) {
        if (TModalWindow* root = windows->GetRootWindow()) {
            auto card = std::make_unique<TTestCard>();
            card->SetSize(800, 600);
            if (root->AdoptChild(card.get(), true))
                card.release(); // the root window owns it now
            windows->Invalidate();
        }
    }
    TEvent event;
    do {
        platform->GetEvent(event);
        if (TWindowManager* windows = GetWindowManager())
            windows->HandleEvent(event);
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
    EngineMain(TCommandLine::Build(argc, argv), 0, RunTemporaryGame, false);
    return 0;
}
