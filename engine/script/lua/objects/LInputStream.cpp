#include "engine/script/lua/objects/LInputStream.h"

#include <cstring>

void luaZ_init(LInputStream* z, lua_Chunkreader reader, void* data, const char* name)
{
    z->mAvailable = 0;
    z->mPosition = nullptr;
    z->mReader = reader;
    z->mData = data;
    z->mName = name;
    z->mWide = 0;
    z->mPending = nullptr;
    z->mPendingSize = 0;
}

int luaZ_fill(LInputStream* z)
{
    std::size_t size = 0;
    const char* piece;
    if (z->mPending != nullptr) {
        piece = z->mPending;
        size = z->mPendingSize;
        z->mPending = nullptr;
    } else {
        piece = z->mReader(nullptr, z->mData, &size);
    }
    if (piece == nullptr || size == 0)
        return kEndOfStream;
    z->mAvailable = size - 1;
    z->mPosition = piece + 1;
    return static_cast<unsigned char>(piece[0]);
}

int luaZ_lookahead(LInputStream* z)
{
    if (z->mAvailable == 0) {
        if (luaZ_fill(z) == kEndOfStream)
            return kEndOfStream;
        ++z->mAvailable; // put the byte back
        --z->mPosition;
    }
    return static_cast<unsigned char>(*z->mPosition);
}

void luaZ_detectwide(LInputStream* z)
{
    static const char kMarkFirstByte[1] = {static_cast<char>(0xff)};
    if (luaZ_lookahead(z) != 0xff)
        return;
    ++z->mPosition; // past FF
    --z->mAvailable;
    if (z->mAvailable == 0) {
        // FE may be in the next piece: keep that piece for later and FF in front of it.
        std::size_t size = 0;
        const char* next = z->mReader(nullptr, z->mData, &size);
        if (next != nullptr && size > 0 && static_cast<unsigned char>(next[0]) == 0xfe) {
            z->mPosition = next + 1;
            z->mAvailable = size - 1;
            z->mWide = 1;
            return;
        }
        z->mPending = next;
        z->mPendingSize = size;
        z->mPosition = kMarkFirstByte;
        z->mAvailable = 1;
        return;
    }
    if (static_cast<unsigned char>(*z->mPosition) == 0xfe) {
        ++z->mPosition;
        --z->mAvailable;
        z->mWide = 1;
        return;
    }
    --z->mPosition; // FF stays
    ++z->mAvailable;
}

std::size_t luaZ_read(LInputStream* z, void* b, std::size_t n)
{
    char* out = static_cast<char*>(b);
    while (n > 0) {
        if (luaZ_lookahead(z) == kEndOfStream)
            return n;
        const std::size_t m = n <= z->mAvailable ? n : z->mAvailable;
        std::memcpy(out, z->mPosition, m);
        z->mAvailable -= m;
        z->mPosition += m;
        out += m;
        n -= m;
    }
    return 0;
}

const char* luaZ_blockreader(lua_State*, void* data, std::size_t* size)
{
    LBlockReaderData* block = static_cast<LBlockReaderData*>(data);
    if (block->mSize == 0)
        return nullptr;
    *size = block->mSize;
    block->mSize = 0;
    return block->mBlock;
}
