#pragma once
// How errors leave interpreter code. An error is a C++ exception of type LuaException
// carrying its status; the error value itself (a message, or any value) is left on the
// top of the raising thread's stack before the throw. Exceptions are caught only at a
// recover point (luaD_rawrunprotected), so destructors of C++ frames in between run.
// LuaException never leaves engine/script/.

struct lua_State;

class LuaException
{
public:
    explicit LuaException(int status) : mStatus(status) {}
    int Status() const { return mStatus; }

private:
    int mStatus;
};

// A recover point: the innermost one is lua_State::mErrorJmp; they chain outward.
struct LRecoverPoint
{
    LRecoverPoint* mPrevious;
    int mStatus;
};

// The one function that raises an error status. With a recover point it throws
// LuaException; without one it calls the state's panic function, logs "unprotected
// error in call to Lua API: <message>" and ends the process with exit status 1.
[[noreturn]] void luaD_throw(lua_State* L, int status);

using LProtectedFunction = void (*)(lua_State* L, void* ud);

// Runs f(L, ud) under a new recover point. Returns 0, or the status raised. A
// std::bad_alloc escaping from C++ code inside is reported as LUA_ERRMEM. Restores
// nothing else: callers that need the stack or frames reset do that themselves.
int luaD_rawrunprotected(lua_State* L, LProtectedFunction f, void* ud);
