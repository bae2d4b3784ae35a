#pragma once
// The interpreter's single allocation path. Every block of a state (objects, stacks,
// vectors, text buffers) is obtained, resized and freed through luaM_realloc, which
// calls the state's allocation function and keeps the count of bytes in use.

#include <cstddef>
#include <cstdint>

struct lua_State;

// Allocation function: (opaque pointer, block, old size, new size, flags, tag). Flags is
// always 0; tag is 1 while a growable text buffer is resized, else 0. A new size of 0
// frees the block and returns null; otherwise it returns the resized block, or null when
// no memory is left (the old block then stays valid).
using LuaAllocFunction = void* (*)(void* ud, void* block, std::size_t oldSize, std::size_t newSize,
                                   int flags, int tag);

// The allocation function that lua_open hands to every new state, with its opaque
// pointer. Defaults to a realloc/free based function and null. Tests replace it to
// inject failures; set it only while no state is being opened.
void luaM_setdefaultallocator(LuaAllocFunction function, void* ud);
LuaAllocFunction luaM_defaultallocator();
void* luaM_defaultallocatorud();

// Resizes a block of the state. Raises "memory allocation error: block too big"
// (status 1) for 4294967293 bytes or more and the memory error (status 4) when the
// allocation function fails.
void* luaM_realloc(lua_State* L, void* block, std::size_t oldSize, std::size_t newSize);

// Grows a vector: doubles it (at least 4 elements); at half the limit it grows to the
// limit, and raises `message' (a syntax-style error through luaG_runerror's caller
// convention: a run-time error with the text) when it is already there.
void* luaM_growaux(lua_State* L, void* block, int* size, std::size_t elementSize, int limit,
                   const char* message);

// Typed helpers over luaM_realloc. Objects are plain structs without constructors.
template <typename T> T* luaM_new(lua_State* L)
{
    return static_cast<T*>(luaM_realloc(L, nullptr, 0, sizeof(T)));
}

template <typename T> T* luaM_newvector(lua_State* L, std::size_t count)
{
    return static_cast<T*>(luaM_realloc(L, nullptr, 0, count * sizeof(T)));
}

template <typename T>
T* luaM_reallocvector(lua_State* L, T* block, std::size_t oldCount, std::size_t newCount)
{
    return static_cast<T*>(luaM_realloc(L, block, oldCount * sizeof(T), newCount * sizeof(T)));
}

template <typename T> void luaM_freevector(lua_State* L, T* block, std::size_t count)
{
    luaM_realloc(L, block, count * sizeof(T), 0);
}

// Grows `block' (of *size elements) when `needed' elements do not fit.
template <typename T>
T* luaM_growvector(lua_State* L, T* block, int needed, int* size, int limit, const char* message)
{
    if (needed + 1 <= *size)
        return block;
    return static_cast<T*>(luaM_growaux(L, block, size, sizeof(T), limit, message));
}

inline void luaM_freeblock(lua_State* L, void* block, std::size_t size)
{
    luaM_realloc(L, block, size, 0);
}
