#include "engine/script/lua/objects/LMemory.h"

#include "engine/script/lua/objects/LLimits.h"
#include "engine/script/lua/runtime/LErrorUnwind.h"
#include "engine/script/lua/runtime/LRunError.h"
#include "engine/script/lua/runtime/LState.h"

#include <cstdlib>

namespace {

void* ReallocOrFree(void*, void* block, std::size_t, std::size_t newSize, int, int)
{
    if (newSize == 0) {
        std::free(block);
        return nullptr;
    }
    return block == nullptr ? std::malloc(newSize) : std::realloc(block, newSize);
}

LuaAllocFunction sDefaultAlloc = &ReallocOrFree;
void* sDefaultAllocUd = nullptr;

} // namespace

void luaM_setdefaultallocator(LuaAllocFunction function, void* ud)
{
    sDefaultAlloc = function != nullptr ? function : &ReallocOrFree;
    sDefaultAllocUd = function != nullptr ? ud : nullptr;
}

LuaAllocFunction luaM_defaultallocator()
{
    return sDefaultAlloc;
}

void* luaM_defaultallocatorud()
{
    return sDefaultAllocUd;
}

void* luaM_realloc(lua_State* L, void* block, std::size_t oldSize, std::size_t newSize)
{
    if (newSize >= kMaxBlockSize)
        luaG_runerror(L, "memory allocation error: block too big");
    LGlobalState* g = G(L);
    void* result = g->mAlloc(g->mAllocUd, block, oldSize, newSize, 0, L->mAllocTag);
    if (result == nullptr && newSize > 0)
        luaD_throw(L, LUA_ERRMEM);
    g->mBytesInUse += static_cast<uint32_t>(newSize) - static_cast<uint32_t>(oldSize);
    return result;
}

void* luaM_growaux(lua_State* L, void* block, int* size, std::size_t elementSize, int limit,
                   const char* message)
{
    constexpr int kMinSize = 4;
    int newSize;
    if (*size >= limit / 2) {
        if (*size >= limit - kMinSize)
            luaG_runerror(L, "%s", message);
        newSize = limit;
    } else {
        newSize = *size * 2;
        if (newSize < kMinSize)
            newSize = kMinSize;
    }
    void* grown = luaM_realloc(L, block, static_cast<std::size_t>(*size) * elementSize,
                               static_cast<std::size_t>(newSize) * elementSize);
    *size = newSize;
    return grown;
}
