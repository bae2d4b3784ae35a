#pragma once
// Metamethod lookup and the per-type tables. Every value type but nil has a per-type
// table in the global state: it is the metatable of new tables and userdata of that
// type, and the metatable and index table of every other value of that type.

#include "engine/script/lua/runtime/LState.h"

// Type names by tag, "nil" .. "wstring".
extern const char* const luaT_typenames[kNumTags];

// Interns and fixes the 15 event names.
void luaT_init(lua_State* L);

// The handler of `event' in metatable mt, or null. Uses and sets the absent-event
// flags for the events TM_INDEX..TM_EQ.
const LValue* luaT_gettm(LTable* mt, LTagMethod event, LString* eventName);
inline const LValue* luaT_fasttm(lua_State* L, LTable* mt, LTagMethod event)
{
    return luaT_gettm(mt, event, G(L)->mTmNames[event]);
}

// A table or full userdata: the raw field of the event in its metatable (nil when
// absent). Any other value: the per-type table of its tag itself, whatever the event
// (nil for nil).
const LValue* luaT_gettmbyobj(lua_State* L, const LValue* o, LTagMethod event);

// The metatable of a table or full userdata; the per-type table of any other value's
// tag; null for nil.
LTable* luaT_metatableof(lua_State* L, const LValue* o);

// The per-type table of a tag (null for nil, or when the slot is not a table).
LTable* luaT_typetable(lua_State* L, int tag);
