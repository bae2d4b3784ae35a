#include "engine/script/TGameStateBinding.h"

#include "engine/foundation/host/TGameState.h"
#include "engine/script/LuaBinder.h"
#include "engine/script/LuaMarshal.h"
#include "engine/script/lua/LuaAux.h"

namespace {

TGameState& Store(lua_State* L)
{
    TGameState* store = TGameState::Get();
    if (store == nullptr)
        luaL_error(L, "the game state store does not exist");
    return *store;
}

int GetState(lua_State* L)
{
    LuaPushString(L, Store(L).GetState(GetLuaStringArg(L, 1)));
    return 1;
}

int SetState(lua_State* L)
{
    Store(L).SetState(GetLuaStringArg(L, 1), GetLuaStringArg(L, 2));
    return 0;
}

int QueryMuteGame(lua_State* L)
{
    lua_pushboolean(L, Store(L).QueryMuteGame());
    return 1;
}

int QueryRestartMode(lua_State* L)
{
    lua_pushboolean(L, Store(L).QueryRestartMode());
    return 1;
}

int QueryJumpToMenu(lua_State* L)
{
    lua_pushboolean(L, Store(L).QueryJumpToMenu());
    return 1;
}

} // namespace

void PublishGameState(lua_State* L)
{
    Publish<&GetState>(L, "GetState");
    Publish<&SetState>(L, "_SetState");
    Publish<&QueryMuteGame>(L, "QueryMuteGame");
    Publish<&QueryRestartMode>(L, "QueryRestartMode");
    Publish<&QueryJumpToMenu>(L, "QueryJumpToMenu");
}
