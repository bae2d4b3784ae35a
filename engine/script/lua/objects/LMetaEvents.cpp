#include "engine/script/lua/objects/LMetaEvents.h"

#include "engine/script/lua/objects/LString.h"
#include "engine/script/lua/objects/LTable.h"
#include "engine/script/lua/objects/LUserdata.h"

const char* const luaT_typenames[kNumTags] = {
    "nil",   "boolean",  "userdata", "number", "string",
    "table", "function", "userdata", "thread", "wstring",
};

namespace {

const char* const kEventNames[TM_N] = {
    "__index", "__newindex", "__gc",  "__mode", "__eq", "__add",    "__sub",  "__mul",
    "__div",   "__pow",      "__unm", "__lt",   "__le", "__concat", "__call",
};

// Events whose absence a table remembers in its flags.
constexpr int kFlaggedEvents = TM_EQ + 1;

} // namespace

void luaT_init(lua_State* L)
{
    for (int i = 0; i < TM_N; ++i) {
        G(L)->mTmNames[i] = luaS_new(L, kEventNames[i]);
        luaS_fix(G(L)->mTmNames[i]);
    }
}

const LValue* luaT_gettm(LTable* mt, LTagMethod event, LString* eventName)
{
    const bool flagged = event < kFlaggedEvents;
    if (flagged && (mt->mFlags & (1u << event)) != 0)
        return nullptr;
    const LValue* tm = luaH_getstr(mt, eventName);
    if (!tm->IsNil())
        return tm;
    if (flagged)
        mt->mFlags |= static_cast<uint8_t>(1u << event);
    return nullptr;
}

LTable* luaT_typetable(lua_State* L, int tag)
{
    if (tag <= LUA_TNIL || tag >= kNumTags)
        return nullptr;
    const LValue& slot = G(L)->mTypeTables[tag];
    return slot.IsTable() ? slot.AsTable() : nullptr;
}

LTable* luaT_metatableof(lua_State* L, const LValue* o)
{
    switch (o->Tag()) {
    case LUA_TTABLE:
        return o->AsTable()->mMetatable;
    case LUA_TUSERDATA:
        return o->AsUserdata()->mMetatable;
    default:
        return luaT_typetable(L, o->Tag());
    }
}

const LValue* luaT_gettmbyobj(lua_State* L, const LValue* o, LTagMethod event)
{
    switch (o->Tag()) {
    case LUA_TTABLE:
    case LUA_TUSERDATA:
        return luaH_getstr(luaT_metatableof(L, o), G(L)->mTmNames[event]);
    case LUA_TNIL:
        return &kNilValue;
    default:
        return &G(L)->mTypeTables[o->Tag()];
    }
}
