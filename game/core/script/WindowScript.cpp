#include "game/core/script/WindowScript.h"

#include "engine/script/TScript.h"
#include "engine/ui/manager/TWindowManager.h"
#include "engine/ui/window/TWindowScriptLink.h"

namespace YOLT::Core {

TScript* WindowScript::Get()
{
    TWindowManager* windows = GetWindowManager();
    if (windows == nullptr)
        return nullptr;
    return dynamic_cast<TScript*>(windows->GetWindowScript());
}

lua_State* WindowScript::GetState()
{
    TScript* script = Get();
    return script != nullptr && script->IsValid() ? script->GetState() : nullptr;
}

} // namespace YOLT::Core
