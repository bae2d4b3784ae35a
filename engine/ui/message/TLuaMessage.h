#pragma once

// A handle that keeps a script's message value (see MessageUserdata.h) alive in the
// script registry, so that the same value can be handed back to the script later.

#include "engine/script/TLuaObjectWrapper.h"

class TMessage;

class TLuaMessage : public TLuaObjectWrapper
{
public:
    // Pops the value on top of L's stack and keeps it.
    explicit TLuaMessage(lua_State* L) : TLuaObjectWrapper(L) {}

    // The message the kept value holds (owned by that value); null when the value is no
    // message or the state has been closed. The stack is left as it was.
    TMessage* GetMessage() const;
};
