#include "engine/script/lua/objects/LUserdata.h"

#include "engine/script/lua/objects/LLimits.h"
#include "engine/script/lua/objects/LMemory.h"
#include "engine/script/lua/objects/LMetaEvents.h"
#include "engine/script/lua/runtime/LState.h"

LUserdata* luaS_newudata(lua_State* L, std::size_t size)
{
    const std::size_t blockSize = (size + 1) & ~static_cast<std::size_t>(1);
    if (blockSize >= kMaxBlockSize)
        luaM_realloc(L, nullptr, 0, kMaxBlockSize); // raises "block too big"
    LUserdata* u =
        static_cast<LUserdata*>(luaM_realloc(L, nullptr, 0, sizeof(LUserdata) + blockSize));
    u->mTag = LUA_TUSERDATA;
    u->mMarked = kNotFinalizedBit;
    u->mMetatable = luaT_typetable(L, LUA_TUSERDATA);
    u->mLength = static_cast<uint32_t>(blockSize);
    u->mBlockSize = static_cast<uint32_t>(blockSize);
    LGlobalState* g = G(L);
    u->mNext = g->mRootUdata;
    g->mRootUdata = u;
    return u;
}

void luaS_freeudata(lua_State* L, LUserdata* u)
{
    luaM_freeblock(L, u, sizeof(LUserdata) + u->mBlockSize);
}
