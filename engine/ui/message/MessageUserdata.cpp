#include "engine/ui/message/MessageUserdata.h"

#include "engine/script/LuaMarshal.h"
#include "engine/script/LuaStackGuard.h"
#include "engine/script/lua/LuaApi.h"
#include "engine/ui/message/TMessage.h"

#include <cstring>

namespace {

const char kMetatableKey[] = "hvMessageMetatable";

void PushMetatable(lua_State* L)
{
    lua_pushstring(L, kMetatableKey);
    lua_rawget(L, LUA_REGISTRYINDEX);
}

// __index (message, key).
int MessageIndex(lua_State* L)
{
    TMessage* message = ToMessage(L, 1);
    const char* key = lua_type(L, 2) == LUA_TSTRING ? lua_tostring(L, 2) : nullptr;
    if (message == nullptr || key == nullptr) {
        lua_pushnil(L);
    } else if (std::strcmp(key, "type") == 0) {
        lua_pushnumber(L, message->GetType());
    } else if (std::strcmp(key, "name") == 0) {
        LuaPushString(L, message->GetName());
    } else {
        lua_pushnil(L);
    }
    return 1;
}

// __gc (message).
int MessageCollect(lua_State* L)
{
    delete ToMessage(L, 1);
    return 0;
}

void SetField(lua_State* L, const char* name, lua_CFunction function)
{
    lua_pushstring(L, name);
    lua_pushcfunction(L, function);
    lua_rawset(L, -3);
}

} // namespace

void RegisterMessageMetatable(lua_State* L)
{
    LuaStackGuard guard(L);
    PushMetatable(L);
    if (lua_istable(L, -1))
        return;
    lua_pushstring(L, kMetatableKey);
    lua_newtable(L);
    SetField(L, "__index", MessageIndex);
    SetField(L, "__gc", MessageCollect);
    lua_rawset(L, LUA_REGISTRYINDEX);
}

void PushMessageUserdata(lua_State* L, std::unique_ptr<TMessage> message)
{
    RegisterMessageMetatable(L);
    lua_pushboxedpointer(L, message.release());
    PushMetatable(L);
    lua_setmetatable(L, -2);
}

TMessage* ToMessage(lua_State* L, int index)
{
    if (!lua_isboxedpointer(L, index))
        return nullptr;
    LuaStackGuard guard(L);
    const int absolute =
        index > 0 || index <= LUA_REGISTRYINDEX ? index : lua_gettop(L) + index + 1;
    if (lua_getmetatable(L, absolute) == 0)
        return nullptr;
    PushMetatable(L);
    if (!lua_rawequal(L, -1, -2))
        return nullptr;
    return static_cast<TMessage*>(lua_touserdata(L, absolute));
}
