#pragma once

#include <memory>

struct lua_State;
struct TLuaStateRecord;

// A handle that keeps one script value alive from engine code. The value is not stored
// in the object: it lives in the state's registry under the key lightuserdata(this),
// and deleting the handle clears that entry, after which the value can be collected.
// Two handles of one value are independent entries.
//
// The handle works on its state's main thread, so it stays usable after the coroutine
// that made it has gone. It may outlive the state: once the state is closed the
// destructor leaves it alone and IsStateOpen answers false. Main thread only.
class TLuaObjectWrapper
{
public:
    // Pops the value on top of L's stack and keeps it.
    explicit TLuaObjectWrapper(lua_State* L);
    virtual ~TLuaObjectWrapper();
    TLuaObjectWrapper(const TLuaObjectWrapper&) = delete;
    TLuaObjectWrapper& operator=(const TLuaObjectWrapper&) = delete;

    // Pushes the value on the main thread's stack (GetState), or on L, a thread of the
    // same state. The state must be open.
    void Push() const;
    void Push(lua_State* L) const;

    // True when the value is a table; the stack is left unchanged. False once closed.
    bool IsTable() const;

    // The main thread of the value's state.
    lua_State* GetState() const { return mState; }
    bool IsStateOpen() const;

private:
    lua_State* mState;
    std::shared_ptr<TLuaStateRecord> mRecord;
};
