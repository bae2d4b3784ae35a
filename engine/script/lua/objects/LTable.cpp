#include "engine/script/lua/objects/LTable.h"

#include "engine/script/lua/objects/LLimits.h"
#include "engine/script/lua/objects/LMemory.h"
#include "engine/script/lua/objects/LMetaEvents.h"
#include "engine/script/lua/objects/LObjectUtil.h"
#include "engine/script/lua/objects/LString.h"
#include "engine/script/lua/runtime/LRunError.h"
#include "engine/script/lua/runtime/LState.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

constexpr uint8_t kAllEventsAbsent = 0xff;

// The integer value of a number key, when it has one that fits an int.
bool NumberToInt(double n, int* out)
{
    if (!(n >= static_cast<double>(INT_MIN) && n <= static_cast<double>(INT_MAX)))
        return false;
    const int k = static_cast<int>(n);
    if (static_cast<double>(k) != n)
        return false;
    *out = k;
    return true;
}

// Index into the array part for a key 1..2^24, else 0.
uint32_t ArrayIndex(const LValue* key)
{
    if (!key->IsNumber())
        return 0;
    int k;
    if (!NumberToInt(key->AsNumber(), &k) || k < 1 || static_cast<uint32_t>(k) > kMaxArraySize)
        return 0;
    return static_cast<uint32_t>(k);
}

bool UsesEmptyNode(const LTable* t, lua_State* L)
{
    return t->mNode == G(L)->mEmptyNode;
}

LNode* HashModPosition(LTable* t, uint64_t h)
{
    const uint64_t divisor = static_cast<uint64_t>((t->NodeCount() - 1) | 1);
    return &t->mNode[h % divisor];
}

LNode* NumberPosition(LTable* t, double n)
{
    uint64_t bits;
    const double shifted = n + 1;
    std::memcpy(&bits, &shifted, sizeof bits);
    const uint32_t h = static_cast<uint32_t>(bits) + static_cast<uint32_t>(bits >> 32);
    return HashModPosition(t, h);
}

LNode* MainPosition(LTable* t, const LValue* key)
{
    switch (key->Tag()) {
    case LUA_TNUMBER:
        return NumberPosition(t, key->AsNumber());
    case LUA_TSTRING:
    case LUA_TWSTRING:
        return &t->mNode[key->AsString()->mHash & static_cast<uint32_t>(t->NodeCount() - 1)];
    case LUA_TBOOLEAN:
        return &t->mNode[static_cast<uint32_t>(key->AsBoolean()) &
                         static_cast<uint32_t>(t->NodeCount() - 1)];
    case LUA_TLIGHTUSERDATA:
        return HashModPosition(t, reinterpret_cast<uintptr_t>(key->AsLightUserdata()));
    default:
        return HashModPosition(t, reinterpret_cast<uintptr_t>(key->AsGc()));
    }
}

const LValue* GetNumberInHash(LTable* t, double n)
{
    for (LNode* node = NumberPosition(t, n); node != nullptr; node = node->mNext) {
        if (node->mKey.IsNumber() && node->mKey.AsNumber() == n)
            return &node->mValue;
    }
    return &kNilValue;
}

const LValue* GetStringOfKind(LTable* t, LString* key, int tag)
{
    for (LNode* node = &t->mNode[key->mHash & static_cast<uint32_t>(t->NodeCount() - 1)];
         node != nullptr; node = node->mNext) {
        if (node->mKey.Tag() == tag && node->mKey.AsString() == key)
            return &node->mValue;
    }
    return &kNilValue;
}

const LValue* GetAny(LTable* t, const LValue* key)
{
    for (LNode* node = MainPosition(t, key); node != nullptr; node = node->mNext) {
        if (luaO_rawequalObj(&node->mKey, key))
            return &node->mValue;
    }
    return &kNilValue;
}

LNode* FreePosition(LTable* t)
{
    while (t->mFirstFree > t->mNode) {
        --t->mFirstFree;
        if (t->mFirstFree->mKey.IsNil())
            return t->mFirstFree;
    }
    return nullptr;
}

// Sizes chosen by a rehash.
struct LTableSizes
{
    int mArraySize;
    int mLogHashSize;
    bool mNeedsHash;
};

// Counts of integer keys in the slices (2^(i-1), 2^i]; slice 0 holds the key 1.
struct LKeyCensus
{
    int mSlices[kMaxArrayBits + 1];
    int mIntegerKeys;
    int mTotalKeys;
};

void CountKey(LKeyCensus& census, const LValue* key)
{
    ++census.mTotalKeys;
    const uint32_t k = ArrayIndex(key);
    if (k == 0)
        return;
    ++census.mSlices[luaO_log2(k - 1) + 1];
    ++census.mIntegerKeys;
}

// Counts the array part slice by slice (slice s holds the keys (2^(s-1), 2^s]).
void CountArrayPart(LKeyCensus& census, const LTable* t)
{
    int key = 1;
    for (int slice = 0; key <= t->mSizeArray; ++slice) {
        const int sliceEnd = std::min(1 << slice, t->mSizeArray);
        int present = 0;
        for (; key <= sliceEnd; ++key)
            present += t->mArray[key - 1].IsNil() ? 0 : 1;
        census.mSlices[slice] += present;
        census.mIntegerKeys += present;
        census.mTotalKeys += present;
    }
}

LKeyCensus TakeCensus(LTable* t, const LValue* extraKey)
{
    LKeyCensus census{};
    CountArrayPart(census, t);
    for (int i = 0; i < t->NodeCount(); ++i) {
        if (!t->mNode[i].mValue.IsNil())
            CountKey(census, &t->mNode[i].mKey);
    }
    CountKey(census, extraKey);
    return census;
}

// The array part becomes the largest 2^n that is more than half full.
LTableSizes ComputeSizes(const LKeyCensus& census)
{
    int inArray = 0;
    int arraySize = 0;
    int accumulated = 0;
    for (int i = 0; i <= kMaxArrayBits; ++i) {
        const int twoToI = 1 << i;
        if (twoToI / 2 >= census.mIntegerKeys)
            break;
        accumulated += census.mSlices[i];
        if (accumulated > twoToI / 2) {
            arraySize = twoToI;
            inArray = accumulated;
        }
    }
    const int hashKeys = census.mTotalKeys - inArray;
    LTableSizes sizes{arraySize, 0, hashKeys > 0};
    if (hashKeys > 0)
        sizes.mLogHashSize = luaO_log2(static_cast<unsigned>(hashKeys - 1)) + 1;
    return sizes;
}

void CheckHashSize(lua_State* L, int logHashSize)
{
    if (logHashSize > kMaxArrayBits)
        luaG_runerror(L, "table overflow");
}

void SetEmptyHashPart(lua_State* L, LTable* t)
{
    t->mNode = G(L)->mEmptyNode;
    t->mLogSizeNode = 0;
    t->mFirstFree = t->mNode; // nothing free: the first insert rehashes
}

LNode* NewNodeVector(lua_State* L, int logSize)
{
    const int count = 1 << logSize;
    LNode* nodes = luaM_newvector<LNode>(L, static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        nodes[i].mKey.SetNil();
        nodes[i].mValue.SetNil();
        nodes[i].mNext = nullptr;
    }
    return nodes;
}

void FreeHashPart(lua_State* L, LTable* t)
{
    if (!UsesEmptyNode(t, L))
        luaM_freevector(L, t->mNode, static_cast<std::size_t>(t->NodeCount()));
}

// The array part for the new size: the old block resized in place when the part
// grows or keeps its size (its entries stay where they are), else a new block.
LValue* NewArrayPart(lua_State* L, LTable* t, int newSize)
{
    const int oldSize = t->mSizeArray;
    if (newSize == oldSize)
        return t->mArray;
    LValue* array =
        newSize > oldSize
            ? luaM_reallocvector(L, t->mArray, static_cast<std::size_t>(oldSize),
                                 static_cast<std::size_t>(newSize))
            : (newSize > 0 ? luaM_newvector<LValue>(L, static_cast<std::size_t>(newSize))
                           : nullptr);
    for (int i = newSize > oldSize ? oldSize : 0; i < newSize; ++i)
        array[i].SetNil();
    return array;
}

// Reallocates both parts and reinserts every entry that moves. Allocation failures
// leave the table as it was.
void Resize(lua_State* L, LTable* t, const LTableSizes& sizes)
{
    CheckHashSize(L, sizes.mLogHashSize);
    LNode* newNodes = sizes.mNeedsHash ? NewNodeVector(L, sizes.mLogHashSize) : G(L)->mEmptyNode;
    const int oldArraySize = t->mSizeArray;
    LValue* oldArray = t->mArray;
    const bool arrayShrinks = sizes.mArraySize < oldArraySize;
    LValue* newArray = nullptr;
    try {
        newArray = NewArrayPart(L, t, sizes.mArraySize);
    } catch (...) {
        if (sizes.mNeedsHash)
            luaM_freevector(L, newNodes, static_cast<std::size_t>(1) << sizes.mLogHashSize);
        throw;
    }
    LNode* oldNodes = t->mNode;
    const int oldNodeCount = t->NodeCount();
    const bool oldNodesShared = UsesEmptyNode(t, L);

    t->mArray = newArray;
    t->mSizeArray = sizes.mArraySize;
    t->mNode = newNodes;
    t->mLogSizeNode = static_cast<uint8_t>(sizes.mNeedsHash ? sizes.mLogHashSize : 0);
    t->mFirstFree = sizes.mNeedsHash ? newNodes + t->NodeCount() : newNodes;

    if (arrayShrinks) {
        for (int i = 0; i < oldArraySize; ++i) {
            if (!oldArray[i].IsNil())
                *luaH_setnum(L, t, i + 1) = oldArray[i];
        }
        luaM_freevector(L, oldArray, static_cast<std::size_t>(oldArraySize));
    }
    for (int i = oldNodeCount - 1; i >= 0; --i) {
        if (!oldNodes[i].mValue.IsNil())
            *luaH_set(L, t, &oldNodes[i].mKey) = oldNodes[i].mValue;
    }
    if (!oldNodesShared)
        luaM_freevector(L, oldNodes, static_cast<std::size_t>(oldNodeCount));
}

void Rehash(lua_State* L, LTable* t, const LValue* newKey)
{
    Resize(L, t, ComputeSizes(TakeCensus(t, newKey)));
}

// Inserts a key that is absent; returns its value slot.
LValue* NewKey(lua_State* L, LTable* t, const LValue* key)
{
    LNode* mp = MainPosition(t, key);
    if (!mp->mValue.IsNil() || UsesEmptyNode(t, L)) {
        LNode* freeNode = FreePosition(t);
        if (freeNode == nullptr) {
            Rehash(L, t, key);
            return luaH_set(L, t, key);
        }
        LNode* other = MainPosition(t, &mp->mKey);
        if (other != mp) {
            // The occupant is not in its main position: move it to the free node.
            while (other->mNext != mp)
                other = other->mNext;
            other->mNext = freeNode;
            *freeNode = *mp;
            mp->mNext = nullptr;
            mp->mValue.SetNil();
        } else {
            // The occupant owns this position: chain the new key in the free node.
            freeNode->mNext = mp->mNext;
            mp->mNext = freeNode;
            mp = freeNode;
        }
    }
    mp->mKey = *key;
    return &mp->mValue;
}

// Position of a key for traversal: -1 for nil, else the array index or sizearray +
// the node index.
int FindIndex(lua_State* L, LTable* t, const LValue* key)
{
    if (key->IsNil())
        return -1;
    const uint32_t k = ArrayIndex(key);
    if (k > 0 && k <= static_cast<uint32_t>(t->mSizeArray))
        return static_cast<int>(k) - 1;
    if (!UsesEmptyNode(t, L)) {
        for (LNode* node = MainPosition(t, key); node != nullptr; node = node->mNext) {
            if (luaO_rawequalObj(&node->mKey, key))
                return t->mSizeArray + static_cast<int>(node - t->mNode);
        }
    }
    luaG_runerror(L, "invalid key for `next'");
}

} // namespace

const LValue kNilValue = {LUA_TNIL, {nullptr}};

LTable* luaH_new(lua_State* L, int arraySize, int logHashSize)
{
    CheckHashSize(L, logHashSize);
    if (arraySize < 0 || static_cast<uint32_t>(arraySize) > kMaxArraySize)
        luaG_runerror(L, "table overflow");
    LTable* t = luaM_new<LTable>(L);
    t->mFlags = kAllEventsAbsent;
    t->mMetatable = luaT_typetable(L, LUA_TTABLE);
    if (t->mMetatable == nullptr && G(L)->mDefaultMeta.IsTable())
        t->mMetatable = G(L)->mDefaultMeta.AsTable();
    t->mArray = nullptr;
    t->mSizeArray = 0;
    t->mGcList = nullptr;
    SetEmptyHashPart(L, t);
    try {
        Resize(L, t, LTableSizes{arraySize, logHashSize, logHashSize > 0});
    } catch (...) {
        luaM_freeblock(L, t, sizeof(LTable));
        throw;
    }
    luaC_link(L, t, LUA_TTABLE);
    return t;
}

void luaH_free(lua_State* L, LTable* t)
{
    FreeHashPart(L, t);
    if (t->mArray != nullptr)
        luaM_freevector(L, t->mArray, static_cast<std::size_t>(t->mSizeArray));
    luaM_freeblock(L, t, sizeof(LTable));
}

const LValue* luaH_getnum(LTable* t, int key)
{
    if (key >= 1 && key <= t->mSizeArray)
        return &t->mArray[key - 1];
    return GetNumberInHash(t, static_cast<double>(key));
}

const LValue* luaH_getstr(LTable* t, LString* key)
{
    return GetStringOfKind(t, key, LUA_TSTRING);
}

const LValue* luaH_getwstr(LTable* t, LString* key)
{
    return GetStringOfKind(t, key, LUA_TWSTRING);
}

const LValue* luaH_get(LTable* t, const LValue* key)
{
    switch (key->Tag()) {
    case LUA_TNIL:
        return &kNilValue;
    case LUA_TSTRING:
        return luaH_getstr(t, key->AsString());
    case LUA_TWSTRING:
        return luaH_getwstr(t, key->AsString());
    case LUA_TNUMBER: {
        int k;
        if (NumberToInt(key->AsNumber(), &k))
            return luaH_getnum(t, k);
        return GetNumberInHash(t, key->AsNumber());
    }
    default:
        return GetAny(t, key);
    }
}

LValue* luaH_set(lua_State* L, LTable* t, const LValue* key)
{
    return luaH_setlooked(L, t, key, luaH_get(t, key));
}

LValue* luaH_setlooked(lua_State* L, LTable* t, const LValue* key, const LValue* existing)
{
    t->mFlags = 0;
    if (existing != &kNilValue)
        return const_cast<LValue*>(existing);
    if (key->IsNil())
        luaG_runerror(L, "table index is nil");
    if (key->IsNumber() && std::isnan(key->AsNumber()))
        luaG_runerror(L, "table index is NaN");
    return NewKey(L, t, key);
}

LValue* luaH_setnum(lua_State* L, LTable* t, int key)
{
    const LValue* existing = luaH_getnum(t, key);
    if (existing != &kNilValue)
        return const_cast<LValue*>(existing);
    LValue k;
    k.SetNumber(key);
    return NewKey(L, t, &k);
}

LValue* luaH_setstr(lua_State* L, LTable* t, LString* key)
{
    LValue k;
    k.SetAnyString(key);
    return luaH_set(L, t, &k);
}

int luaH_next(lua_State* L, LTable* t, LValue* key)
{
    int i = FindIndex(L, t, key);
    for (++i; i < t->mSizeArray; ++i) {
        if (!t->mArray[i].IsNil()) {
            key[0].SetNumber(i + 1);
            key[1] = t->mArray[i];
            return 1;
        }
    }
    if (UsesEmptyNode(t, L))
        return 0;
    for (i -= t->mSizeArray; i < t->NodeCount(); ++i) {
        if (!t->mNode[i].mValue.IsNil()) {
            key[0] = t->mNode[i].mKey;
            key[1] = t->mNode[i].mValue;
            return 1;
        }
    }
    return 0;
}
