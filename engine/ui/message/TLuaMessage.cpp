#include "engine/ui/message/TLuaMessage.h"

#include "engine/script/LuaStackGuard.h"
#include "engine/ui/message/MessageUserdata.h"

TMessage* TLuaMessage::GetMessage() const
{
    if (!IsStateOpen())
        return nullptr;
    LuaStackGuard guard(GetState());
    Push();
    return ToMessage(GetState(), -1);
}
