#include "engine/ui/widgets/TXSellWindowBinding.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/script/LuaBinder.h"
#include "engine/script/LuaStackGuard.h"
#include "engine/script/TScript.h"
#include "engine/ui/widgets/TXSellWindow.h"
#include "engine/ui/window/TWindowScriptLink.h"
#include "engine/ui/window/TWindowServices.h"

namespace {

// The one upvalue of both closures.
struct TTarget
{
    TXSellWindow* window;
    uint64_t lifeline;
};

// The window the closure names while it lives, else null (logged).
TXSellWindow* LiveTarget(lua_State* L, const char* function)
{
    const auto* target = static_cast<const TTarget*>(lua_touserdata(L, lua_upvalueindex(1)));
    if (target != nullptr && TLifeline::IsAlive(target->lifeline))
        return target->window;
    TraceLog(kXSellWindowGoneLog, function);
    return nullptr;
}

int SetupXSell(lua_State* L)
{
    if (TXSellWindow* window = LiveTarget(L, "SetupXSell"))
        window->SetupXSell();
    return 0;
}

int LaunchGameLink(lua_State* L)
{
    TXSellWindow* window = LiveTarget(L, "LaunchGameLink");
    if (window == nullptr)
        return 0;
    if (!lua_isnumber(L, 1)) {
        TraceLog(kXSellEntryNotANumberLog, "LaunchGameLink");
        return 0;
    }
    window->LaunchGameLink(LuaBinding::ToInteger<int>(lua_tonumber(L, 1)));
    return 0;
}

void PublishBound(lua_State* L, const char* name, lua_CFunction function, const TTarget& target)
{
    new (lua_newuserdata(L, sizeof(TTarget))) TTarget(target);
    lua_pushcclosure(L, function, 1);
    LuaBinding::SetGlobalClosure(L, name);
}

} // namespace

void PublishXSellWindow(TXSellWindow& window, const TLifeline& lifeline)
{
    TWindowServices* manager = GetWindowServices();
    auto* script =
        manager != nullptr ? dynamic_cast<TScript*>(manager->GetWindowScript()) : nullptr;
    if (script == nullptr || !script->IsValid())
        return;
    lua_State* L = script->GetState();
    LuaStackGuard guard(L);
    const TTarget target{&window, lifeline.GetId()};
    PublishBound(L, "SetupXSell", &SetupXSell, target);
    PublishBound(L, "LaunchGameLink", &LaunchGameLink, target);
}
