#pragma once

#include <memory>

struct lua_State;
class TLuaObjectWrapper;

// Keeps a coroutine of a state alive for as long as this object lives: a TScript made by
// TScript::NewThread runs on one.
class TLuaThread
{
public:
    // Creates a coroutine of L; it shares L's globals.
    explicit TLuaThread(lua_State* L);
    virtual ~TLuaThread(); // after this the coroutine can be collected
    TLuaThread(const TLuaThread&) = delete;
    TLuaThread& operator=(const TLuaThread&) = delete;

    lua_State* GetThreadState() const { return mThread; }

private:
    std::unique_ptr<TLuaObjectWrapper> mKeepAlive;
    lua_State* mThread;
};
