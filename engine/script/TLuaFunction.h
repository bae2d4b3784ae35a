#pragma once

#include "engine/script/TLuaObjectWrapper.h"

// A handle on a script function (a window style's command, a callback a script handed
// over).
class TLuaFunction : public TLuaObjectWrapper
{
public:
    // Pops the function (or whatever value) on top of L's stack and keeps it.
    explicit TLuaFunction(lua_State* L) : TLuaObjectWrapper(L) {}

    // Calls the function with no arguments for one result, with the global "_ALERT" as
    // error handler. On the main thread's stack (GetState) it leaves the handler and,
    // above it, the result (nil after an error, which "_ALERT" has logged); the caller
    // restores its stack, for instance with a LuaStackGuard. When the value is not a
    // function (or the state is closed) nothing is left on the stack and the answer is
    // false; otherwise the answer is whether the call succeeded.
    bool Call();
};
