#include "engine/script/TLuaTable.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/script/LuaStackGuard.h"
#include "engine/script/TLuaStateRecord.h"
#include "engine/script/TScript.h"
#include "engine/script/lua/LuaApi.h"

namespace {

// Arguments: table, key. Result: table[key] with "__index" applied.
int GetField(lua_State* L)
{
    lua_gettable(L, 1);
    return 1;
}

// Arguments: table, key. Results: next key and value, or none at the end.
int NextEntry(lua_State* L)
{
    return lua_next(L, 1) ? 2 : 0;
}

// Runs fn over the nargs values on top under protection; a failure is logged and
// leaves nothing. Returns the number of results left, or -1 after an error.
int ProtectedCall(lua_State* L, lua_CFunction fn, int nargs)
{
    int base = lua_gettop(L) - nargs;
    lua_pushcfunction(L, fn);
    lua_insert(L, base + 1);
    if (lua_pcall(L, nargs, LUA_MULTRET, 0) != 0) {
        const char* message = lua_tostring(L, -1);
        TraceLog("Lua error: %s", message ? message : "(error object is not a string)");
        lua_settop(L, base);
        return -1;
    }
    return lua_gettop(L) - base;
}

} // namespace

template <class PushKey> bool TLuaTable::PushFieldWith(PushKey pushKey)
{
    if (!IsStateOpen())
        return false;
    lua_State* L = GetState();
    int top = lua_gettop(L);
    Push();
    if (!lua_istable(L, -1)) {
        lua_settop(L, top);
        return false;
    }
    pushKey(L);
    if (ProtectedCall(L, GetField, 2) != 1 || lua_isnil(L, -1)) {
        lua_settop(L, top);
        return false;
    }
    return true;
}

bool TLuaTable::PushField(const char* key)
{
    return PushFieldWith([key](lua_State* L) { lua_pushstring(L, key); });
}

bool TLuaTable::PushFieldByIndex(double index)
{
    return PushFieldWith([index](lua_State* L) { lua_pushnumber(L, index); });
}

template <class PushKey> TString TLuaTable::ReadString(PushKey pushKey, const TString& defaultValue)
{
    if (!IsStateOpen())
        return defaultValue;
    LuaStackGuard guard(GetState());
    if (!PushFieldWith(pushKey))
        return defaultValue;
    const char* text = lua_tostring(GetState(), -1);
    if (text == nullptr)
        return TString();
    return TString(text, static_cast<int>(lua_strlen(GetState(), -1)));
}

template <class PushKey> double TLuaTable::ReadNumber(PushKey pushKey, double defaultValue)
{
    if (!IsStateOpen())
        return defaultValue;
    LuaStackGuard guard(GetState());
    if (!PushFieldWith(pushKey))
        return defaultValue;
    return lua_tonumber(GetState(), -1);
}

template <class PushKey> std::unique_ptr<TLuaTable> TLuaTable::ReadTable(PushKey pushKey)
{
    if (!IsStateOpen())
        return nullptr;
    LuaStackGuard guard(GetState());
    if (!PushFieldWith(pushKey) || !lua_istable(GetState(), -1))
        return nullptr;
    return std::make_unique<TLuaTable>(GetState());
}

TString TLuaTable::GetString(const char* key, const TString& defaultValue)
{
    return ReadString([key](lua_State* L) { lua_pushstring(L, key); }, defaultValue);
}

TString TLuaTable::GetStringByIndex(double index, const TString& defaultValue)
{
    return ReadString([index](lua_State* L) { lua_pushnumber(L, index); }, defaultValue);
}

double TLuaTable::GetNumber(const char* key, double defaultValue)
{
    return ReadNumber([key](lua_State* L) { lua_pushstring(L, key); }, defaultValue);
}

double TLuaTable::GetNumberByIndex(double index, double defaultValue)
{
    return ReadNumber([index](lua_State* L) { lua_pushnumber(L, index); }, defaultValue);
}

bool TLuaTable::GetBool(const char* key, bool defaultValue)
{
    if (!IsStateOpen())
        return defaultValue;
    LuaStackGuard guard(GetState());
    if (!PushField(key))
        return defaultValue;
    return lua_toboolean(GetState(), -1) != 0;
}

std::unique_ptr<TLuaTable> TLuaTable::GetTable(const char* key)
{
    return ReadTable([key](lua_State* L) { lua_pushstring(L, key); });
}

std::unique_ptr<TLuaTable> TLuaTable::GetTableByIndex(double index)
{
    return ReadTable([index](lua_State* L) { lua_pushnumber(L, index); });
}

TColor TLuaTable::GetColorByIndex(double index, const TColor& defaultValue)
{
    std::unique_ptr<TLuaTable> entry = GetTableByIndex(index);
    if (!entry)
        return defaultValue;
    return TColor(static_cast<float>(entry->GetNumberByIndex(1, defaultValue.r)),
                  static_cast<float>(entry->GetNumberByIndex(2, defaultValue.g)),
                  static_cast<float>(entry->GetNumberByIndex(3, defaultValue.b)),
                  static_cast<float>(entry->GetNumberByIndex(4, defaultValue.a)));
}

std::unique_ptr<TLuaObjectWrapper> TLuaTable::Next(std::unique_ptr<TLuaObjectWrapper>& key)
{
    std::unique_ptr<TLuaObjectWrapper> previous = std::move(key);
    if (!IsStateOpen())
        return nullptr;
    lua_State* L = GetState();
    LuaStackGuard guard(L);
    Push();
    if (!lua_istable(L, -1))
        return nullptr;
    if (previous)
        previous->Push();
    else
        lua_pushnil(L);
    previous.reset();
    if (ProtectedCall(L, NextEntry, 2) != 2)
        return nullptr;
    auto value = std::make_unique<TLuaObjectWrapper>(L);
    key = std::make_unique<TLuaObjectWrapper>(L);
    return value;
}

void TLuaTable::AutoRelease(lua_State* L)
{
    if (!IsStateOpen()) {
        delete this;
        return;
    }
    TScript* script = TScript::ForState(L != nullptr ? L : GetState());
    if (script != nullptr)
        script->AddAutoRelease(this);
    else
        TLuaStateRecord::Of(GetState())->mOrphans.push_back(this);
}
