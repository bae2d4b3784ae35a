#pragma once
// A growable byte buffer owned by a state: the global one serves concatenation, and
// every chunk being compiled or loaded has one of its own for token text.

#include <cstddef>

struct lua_State;

struct LTextBuffer
{
    char* mBuffer;
    std::size_t mSize;
};

inline void luaZ_initbuffer(LTextBuffer* buffer)
{
    buffer->mBuffer = nullptr;
    buffer->mSize = 0;
}

// Grows the buffer to at least `size' bytes (and at least 32); never shrinks. The
// state's allocation tag is 1 during the resize. Returns the buffer.
char* luaZ_openspace(lua_State* L, LTextBuffer* buffer, std::size_t size);
// Resizes to exactly `size' bytes (0 frees); used by the collector to halve it.
void luaZ_resizebuffer(lua_State* L, LTextBuffer* buffer, std::size_t size);
inline void luaZ_freebuffer(lua_State* L, LTextBuffer* buffer)
{
    luaZ_resizebuffer(L, buffer, 0);
}
