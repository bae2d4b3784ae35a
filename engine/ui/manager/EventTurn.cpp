#include "engine/ui/manager/EventTurn.h"

#include "engine/foundation/app/TEvent.h"
#include "engine/foundation/app/TPlatform.h"
#include "engine/ui/manager/TWindowManager.h"

bool RunEventTurn(TPlatform& platform, TEvent& event)
{
    platform.GetEvent(event);
    if (TWindowManager* manager = GetWindowManager())
        manager->HandleEvent(event);
    if (event.type == TEvent::kClose)
        platform.PostQuitMessage(0);
    return event.type != TEvent::kQuit;
}
