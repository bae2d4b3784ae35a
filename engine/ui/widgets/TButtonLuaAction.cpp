#include "engine/ui/widgets/TButtonLuaAction.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/script/TLuaFunction.h"
#include "engine/ui/message/TMessage.h"
#include "engine/ui/window/TWindowServices.h"

TButton::LuaAction::LuaAction(std::unique_ptr<TLuaFunction> function)
    : mFunction(std::move(function))
{
}

TButton::LuaAction::~LuaAction() = default;

void TButton::LuaAction::Execute(TButton& button)
{
    TWindowServices* manager = GetWindowServices();
    if (manager == nullptr || !mFunction || !mFunction->IsStateOpen()) {
        TraceLog("ui: button %s: its command's script is gone", button.GetName().CStr());
        return;
    }
    mFunction->Push();
    auto handed = std::make_unique<TLuaFunction>(mFunction->GetState());
    manager->PassMessageToScript(
        std::make_unique<TMessage>(TMessage::kLuaAction, TString("LuaAction:") + button.GetName()),
        std::move(handed));
}
