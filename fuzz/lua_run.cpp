// Runs arbitrary bytes as a script with the base and coroutine libraries. Any input
// must end in a result or an error status: no crash, no hang (a count hook stops a
// script after a fixed number of instructions) and no unbounded allocation (the
// allocator refuses to go past a fixed total).

#include "engine/script/lua/objects/LMemory.h"
#include "engine/script/lua/LuaAux.h"
#include "engine/script/lua/LuaLib.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr size_t kMemoryLimit = 16u << 20;
constexpr int kInstructionBudget = 200000;
size_t sInUse = 0;

void* LimitedAlloc(void*, void* block, size_t oldSize, size_t newSize, int, int)
{
    if (newSize == 0) {
        std::free(block);
        sInUse -= oldSize;
        return nullptr;
    }
    if (newSize > oldSize && sInUse + (newSize - oldSize) > kMemoryLimit) {
        return nullptr;
    }
    void* p = std::realloc(block, newSize);
    if (p != nullptr) {
        sInUse = sInUse - oldSize + newSize;
    }
    return p;
}

// Coroutines inherit the hook, so none can run forever either. Once the budget is
// used up every further instruction raises, so a pcall loop cannot go on either.
void StopHook(lua_State* L, lua_Debug*)
{
    lua_sethook(L, StopHook, LUA_MASKCOUNT, 1);
    luaL_error(L, "instruction budget used up");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LuaAllocFunction oldAlloc = luaM_defaultallocator();
    void* oldUd = luaM_defaultallocatorud();
    luaM_setdefaultallocator(LimitedAlloc, nullptr);
    sInUse = 0;
    lua_State* L = lua_open();
    if (L != nullptr) {
        luaopen_base(L);
        lua_sethook(L, StopHook, LUA_MASKCOUNT, kInstructionBudget);
        if (luaL_loadbuffer(L, reinterpret_cast<const char*>(data), size, "=fuzz") == 0) {
            lua_pcall(L, 0, 0, 0);
        }
        lua_close(L);
    }
    luaM_setdefaultallocator(oldAlloc, oldUd);
    return 0;
}
