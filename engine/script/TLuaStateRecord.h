#pragma once

#include <memory>
#include <vector>

struct lua_State;
class TLuaTable;

// What the engine keeps beside one interpreter state (its main thread and every
// coroutine share it): whether the state has been closed, and the tables handed over
// for auto-release while no script ran on the state. Handles on script values hold the
// record shared, so a handle that outlives its state knows not to touch it.
//
// The record is anchored in the state's registry by a userdata whose finaliser runs
// when the state closes: it marks the record closed and deletes the orphaned tables.
// Main thread only.
struct TLuaStateRecord
{
    lua_State* mMainThread = nullptr;
    bool mClosed = false;
    std::vector<TLuaTable*> mOrphans; // owned; deleted when the state closes

    // The record of L's state, made on first use. L must be open.
    static std::shared_ptr<TLuaStateRecord> Of(lua_State* L);
};
