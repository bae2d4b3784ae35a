#include "engine/ui/script/TLuaWindowStyle.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/script/LuaStackGuard.h"
#include "engine/script/TScript.h"
#include "engine/script/lua/LuaApi.h"
#include "engine/ui/script/ScriptPosition.h"

TLuaWindowStyle::TLuaWindowStyle(TScript& script, TLuaTable& table, lua_State* builder)
    : mScript(script), mTable(table), mBuilder(builder)
{
}

TString TLuaWindowStyle::GetOrigin() const
{
    return FindScriptFilePosition(mBuilder);
}

template <class T, class Read>
T TLuaWindowStyle::Lookup(const char* key, T defaultValue, Read read) const
{
    if (!mScript.IsValid())
        return defaultValue;
    LuaStackGuard guard(mScript.GetState());
    if (!Find(key))
        return defaultValue;
    return read();
}

bool TLuaWindowStyle::Find(const char* key) const
{
    lua_State* L = mScript.GetState();
    if (!mTable.IsStateOpen())
        return false;
    if (mTable.IsTable()) {
        if (mTable.PushField(key))
            return true;
    } else {
        lua_pushstring(L, key);
        lua_rawget(L, LUA_GLOBALSINDEX);
        if (!lua_isnil(L, -1))
            return true;
        lua_pop(L, 1);
    }
    std::unique_ptr<TLuaTable> style = mScript.GetGlobalTable("gCurrentDefaultStyle");
    for (int depth = 0; style && depth < kMaxChain; ++depth) {
        if (style->PushField(key))
            return true;
        style = style->GetTable("parent");
    }
    if (style)
        TraceLog(kParentChainTooLongLog, key, kMaxChain);
    return false;
}

double TLuaWindowStyle::GetNumber(const char* key, double defaultValue) const
{
    return Lookup(key, defaultValue, [this] { return mScript.PopNumber(); });
}

TString TLuaWindowStyle::GetString(const char* key, const TString& defaultValue) const
{
    return Lookup(key, defaultValue, [this] { return mScript.PopString(); });
}

TColor TLuaWindowStyle::GetColor(const char* key, const TColor& defaultValue) const
{
    return Lookup(key, defaultValue, [this] { return mScript.PopColor(); });
}

bool TLuaWindowStyle::GetBool(const char* key, bool defaultValue) const
{
    return Lookup(key, defaultValue, [this] { return mScript.PopBool(); });
}

std::unique_ptr<TLuaTable> TLuaWindowStyle::GetTable(const char* key) const
{
    return Lookup(key, std::unique_ptr<TLuaTable>(), [this]() -> std::unique_ptr<TLuaTable> {
        lua_State* L = mScript.GetState();
        return lua_istable(L, -1) ? std::make_unique<TLuaTable>(L) : nullptr;
    });
}

std::unique_ptr<TLuaFunction> TLuaWindowStyle::GetFunction(const char* key) const
{
    return Lookup(key, std::unique_ptr<TLuaFunction>(), [this]() -> std::unique_ptr<TLuaFunction> {
        lua_State* L = mScript.GetState();
        return lua_isfunction(L, -1) ? std::make_unique<TLuaFunction>(L) : nullptr;
    });
}
