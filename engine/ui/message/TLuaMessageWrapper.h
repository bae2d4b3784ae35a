#pragma once

// A message that stands for one a script made: it keeps the script's message value alive
// and carries a copy of its type, name and target, so the engine can queue and route it
// like any other message while the script later gets back the very value it posted.
// When it reaches a dialog's focus child, the child is offered the message the script
// value holds (GetMessage), not the copy.

#include "engine/ui/message/TLuaMessage.h"
#include "engine/ui/message/TMessage.h"

class TLuaMessageWrapper final : public TMessage, public TLuaMessage
{
public:
    // Takes the script's message value from the top of L's stack (it is popped). A value
    // that is no message gives a message of type 0 with an empty name and no target.
    explicit TLuaMessageWrapper(lua_State* L);

    static const void* ClassId();
    const char* GetClassName() const override { return "TLuaMessageWrapper"; }
    bool IsKindOf(const void* classId) const override
    {
        return classId == ClassId() || TMessage::IsKindOf(classId);
    }
};
