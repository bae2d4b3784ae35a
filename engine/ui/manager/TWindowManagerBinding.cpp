#include "engine/ui/manager/TWindowManagerBinding.h"

#include "engine/script/LuaBinder.h"
#include "engine/ui/manager/TWindowManager.h"

void PublishWindowManager(lua_State* L, TWindowManager& manager, const TLifeline& lifeline)
{
    Publish<&TWindowManager::SetTopModalOnly>(L, "SetTopModalOnly", manager, lifeline);
}
