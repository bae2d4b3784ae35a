#include "engine/ui/message/TLuaMessageWrapper.h"

TLuaMessageWrapper::TLuaMessageWrapper(lua_State* L) : TMessage(0, ""), TLuaMessage(L)
{
    if (const TMessage* message = GetMessage())
        SetContents(message->GetType(), message->GetName(), message->GetTarget());
}

const void* TLuaMessageWrapper::ClassId()
{
    return reinterpret_cast<const void*>(&TLuaMessageWrapper::ClassId);
}
