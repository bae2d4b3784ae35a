#include "fuzz/support/LimitedScriptState.h"

#include "engine/script/lua/LuaAux.h"
#include "engine/script/lua/LuaLib.h"
#include "engine/script/lua/objects/LMemory.h"

#include <cstddef>
#include <cstdlib>

namespace {

size_t sInUse = 0;
size_t sAllocated = 0;
LuaAllocFunction sOldAlloc = nullptr;
void* sOldUd = nullptr;

void* LimitedAlloc(void*, void* block, size_t oldSize, size_t newSize, int, int)
{
    if (newSize == 0) {
        std::free(block);
        sInUse -= oldSize;
        return nullptr;
    }
    if (newSize > oldSize && (sInUse + (newSize - oldSize) > LimitedScriptState::kMemoryLimit ||
                              sAllocated + newSize > LimitedScriptState::kAllocationBudget)) {
        return nullptr;
    }
    void* p = std::realloc(block, newSize);
    if (p != nullptr) {
        sInUse = sInUse - oldSize + newSize;
        sAllocated += newSize > oldSize ? newSize : 0;
    }
    return p;
}

void StopHook(lua_State* L, lua_Debug*)
{
    lua_sethook(L, StopHook, LUA_MASKCOUNT, 1);
    luaL_error(L, "instruction budget used up");
}

} // namespace

LimitedScriptState::LimitedScriptState()
{
    sOldAlloc = luaM_defaultallocator();
    sOldUd = luaM_defaultallocatorud();
    luaM_setdefaultallocator(LimitedAlloc, nullptr);
    sInUse = 0;
    sAllocated = 0;
    mState = lua_open();
    if (mState != nullptr) {
        luaopen_base(mState);
        lua_settop(mState, 0);
        LimitInstructions(mState);
    }
}

void LimitedScriptState::LimitInstructions(lua_State* L)
{
    lua_sethook(L, StopHook, LUA_MASKCOUNT, kInstructionBudget);
}

LimitedScriptState::~LimitedScriptState()
{
    if (mState != nullptr) {
        lua_close(mState);
    }
    luaM_setdefaultallocator(sOldAlloc, sOldUd);
}
