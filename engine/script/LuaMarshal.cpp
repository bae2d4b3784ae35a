#include "engine/script/LuaMarshal.h"

#include "engine/script/LuaBinder.h"
#include "engine/script/TLuaTable.h"
#include "engine/script/lua/LuaApi.h"

TLuaTable* LuaTableFromStack(lua_State* L, int index)
{
    lua_pushvalue(L, index);
    auto* table = new TLuaTable(L);
    table->AutoRelease(L);
    return table;
}

TString GetLuaStringArg(lua_State* L, int index)
{
    const char* text = lua_tostring(L, index);
    if (text == nullptr)
        return TString();
    return TString(text, static_cast<int>(lua_strlen(L, index)));
}

void LuaPushString(lua_State* L, TString text)
{
    lua_pushlstring(L, text.CStr(), static_cast<size_t>(text.Length()));
}

void* LuaToBoxedPointer(lua_State* L, int index)
{
    // lua_touserdata answers a boxed pointer with the pointer it carries, but also any
    // other full userdata with its own block.
    return lua_isboxedpointer(L, index) != 0 ? lua_touserdata(L, index) : nullptr;
}

int LuaThunkStringArg(lua_State* L)
{
    return LuaBinding::FunctionThunk<void (*)(TString)>(L);
}
