#include "engine/foundation/app/EngineMain.h"
#include "engine/foundation/app/TEvent.h"
#include "engine/foundation/app/TFirstFrameReport.h"
#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/core/TCommandLine.h"
#include "engine/ui/manager/EventTurn.h"
#include "engine/ui/manager/TWindowManager.h"
#include "game/core/GameStartup.h"

namespace {

// Starts the temporary game and runs the event loop, reporting the first frame drawn. The
// menu's Quit button ends it (its script posts the quit message), and so does closing the
// window.
int RunTemporaryGame(TPlatform* platform, const char*)
{
    YOLT::Core::StartTemporaryGame(*platform);
    TFirstFrameReport firstFrame;
    TEvent event;
    while (RunEventTurn(*platform, event)) {
        if (TWindowManager* manager = GetWindowManager())
            firstFrame.Update(manager->GetFrameCount(), platform->GetTimer());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    YOLT::Core::PrepareGameEngine();
    return EngineMain(TCommandLine::Build(argc, argv), 0, RunTemporaryGame, false);
}
