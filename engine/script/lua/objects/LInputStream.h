#pragma once
// Buffered input for the compiler and the chunk loader: pieces come from a reader
// function until it returns null or an empty piece. The wide flag makes the lexer read
// two bytes per source character (set when the chunk starts with FF FE).

#include <cstddef>

struct lua_State;

// Reader: returns the next piece and its size in *size; null or size 0 ends the stream.
// It is called with a null state (no interpreter call may be made from it).
using lua_Chunkreader = const char* (*)(lua_State* L, void* data, std::size_t* size);

constexpr int kEndOfStream = -1;

struct LInputStream
{
    std::size_t mAvailable; // bytes left in the current piece
    const char* mPosition;
    lua_Chunkreader mReader;
    void* mData;
    const char* mName;    // chunk name
    int mWide;            // 1: 16-bit little-endian source characters
    const char* mPending; // a piece read ahead by luaZ_detectwide, served next
    std::size_t mPendingSize;
};

void luaZ_init(LInputStream* z, lua_Chunkreader reader, void* data, const char* name);

// Refills from the reader and returns the first byte of the new piece, or -1.
int luaZ_fill(LInputStream* z);

// The next byte (0..255), or -1 at the end.
inline int luaZ_getc(LInputStream* z)
{
    if (z->mAvailable > 0) {
        --z->mAvailable;
        return static_cast<unsigned char>(*z->mPosition++);
    }
    return luaZ_fill(z);
}

// The next byte without consuming it, or -1.
int luaZ_lookahead(LInputStream* z);

// When the stream starts with the bytes FF FE, consumes them and sets the wide flag;
// otherwise leaves the stream as it was. Call before anything else is read.
void luaZ_detectwide(LInputStream* z);

// Reads n bytes into b; returns the number of bytes that were missing (0 on success).
std::size_t luaZ_read(LInputStream* z, void* b, std::size_t n);

// Reader over one block of memory (a string chunk).
struct LBlockReaderData
{
    const char* mBlock;
    std::size_t mSize;
};
const char* luaZ_blockreader(lua_State* L, void* data, std::size_t* size);
