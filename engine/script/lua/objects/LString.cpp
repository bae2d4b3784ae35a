#include "engine/script/lua/objects/LString.h"

#include "engine/script/lua/objects/LLimits.h"
#include "engine/script/lua/objects/LMemory.h"
#include "engine/script/lua/runtime/LState.h"

#include <cstring>

namespace {

constexpr int kMaxStringTableSize = 1073741822;

template <typename Unit> uint32_t HashUnits(const Unit* text, std::size_t n)
{
    uint32_t h = static_cast<uint32_t>(n);
    const std::size_t step = (n >> 5) + 1;
    for (std::size_t i = n; i >= step; i -= step)
        h = h ^ ((h << 5) + (h >> 2) + static_cast<uint32_t>(text[i - 1]));
    return h;
}

std::size_t UnitSize(int tag)
{
    return tag == LUA_TWSTRING ? sizeof(char16_t) : sizeof(char);
}

std::size_t StringObjectSize(int tag, std::size_t length)
{
    return sizeof(LString) + (length + 1) * UnitSize(tag);
}

LString* FindInChain(LStringTable& table, int tag, uint32_t h, const void* units,
                     std::size_t length)
{
    const std::size_t bytes = length * UnitSize(tag);
    for (LGCObject* o = table.mHash[h & static_cast<uint32_t>(table.mSize - 1)]; o != nullptr;
         o = o->mNext) {
        LString* s = static_cast<LString*>(o);
        if (s->mTag == tag && s->mLength == length && std::memcmp(s + 1, units, bytes) == 0)
            return s;
    }
    return nullptr;
}

// Creates the string object, fills it, then links it: a failed allocation leaves the
// table as it was.
LString* CreateString(lua_State* L, int tag, uint32_t h, const void* units, std::size_t length)
{
    const std::size_t bytes = length * UnitSize(tag);
    LString* s = static_cast<LString*>(luaM_realloc(L, nullptr, 0, StringObjectSize(tag, length)));
    s->mTag = static_cast<uint8_t>(tag);
    s->mMarked = 0;
    s->mKeywordIndex = 0;
    s->mHash = h;
    s->mLength = static_cast<uint32_t>(length);
    if (bytes > 0)
        std::memcpy(s + 1, units, bytes);
    std::memset(reinterpret_cast<char*>(s + 1) + bytes, 0, UnitSize(tag));
    LStringTable& table = G(L)->mStringTable;
    LGCObject*& head = table.mHash[h & static_cast<uint32_t>(table.mSize - 1)];
    s->mNext = head;
    head = s;
    ++table.mNumUse;
    if (table.mNumUse > static_cast<uint32_t>(table.mSize) &&
        table.mSize <= kMaxStringTableSize / 2)
        luaS_resize(L, table.mSize * 2);
    return s;
}

LString* Intern(lua_State* L, int tag, uint32_t h, const void* units, std::size_t length)
{
    if (length >= kMaxBlockSize / 2)
        luaM_realloc(L, nullptr, 0, kMaxBlockSize); // raises "block too big"
    if (LString* found = FindInChain(G(L)->mStringTable, tag, h, units, length))
        return found;
    return CreateString(L, tag, h, units, length);
}

} // namespace

std::size_t LString::ObjectSize() const
{
    return StringObjectSize(mTag, mLength);
}

uint32_t luaS_hash(const char* text, std::size_t n)
{
    return HashUnits(reinterpret_cast<const unsigned char*>(text), n);
}

uint32_t luaS_hashwide(const char16_t* text, std::size_t n)
{
    return HashUnits(text, n);
}

LString* luaS_newlstr(lua_State* L, const char* text, std::size_t length)
{
    return Intern(L, LUA_TSTRING, luaS_hash(text, length), text, length);
}

LString* luaS_new(lua_State* L, const char* text)
{
    return luaS_newlstr(L, text, std::strlen(text));
}

LString* luaS_newlwstr(lua_State* L, const char16_t* text, std::size_t count)
{
    return Intern(L, LUA_TWSTRING, luaS_hashwide(text, count), text, count);
}

void luaS_resize(lua_State* L, int newSize)
{
    LStringTable& table = G(L)->mStringTable;
    LGCObject** buckets = luaM_newvector<LGCObject*>(L, static_cast<std::size_t>(newSize));
    for (int i = 0; i < newSize; ++i)
        buckets[i] = nullptr;
    for (int i = 0; i < table.mSize; ++i) {
        LGCObject* o = table.mHash[i];
        while (o != nullptr) {
            LGCObject* next = o->mNext;
            const uint32_t h = static_cast<LString*>(o)->mHash & static_cast<uint32_t>(newSize - 1);
            o->mNext = buckets[h];
            buckets[h] = o;
            o = next;
        }
    }
    luaM_freevector(L, table.mHash, static_cast<std::size_t>(table.mSize));
    table.mSize = newSize;
    table.mHash = buckets;
}

void luaS_freestring(lua_State* L, LString* s)
{
    --G(L)->mStringTable.mNumUse;
    luaM_freeblock(L, s, s->ObjectSize());
}

void luaS_freeall(lua_State* L)
{
    LStringTable& table = G(L)->mStringTable;
    for (int i = 0; i < table.mSize; ++i) {
        LGCObject* o = table.mHash[i];
        while (o != nullptr) {
            LGCObject* next = o->mNext;
            luaS_freestring(L, static_cast<LString*>(o));
            o = next;
        }
        table.mHash[i] = nullptr;
    }
    luaM_freevector(L, table.mHash, static_cast<std::size_t>(table.mSize));
    table.mHash = nullptr;
    table.mSize = 0;
}
