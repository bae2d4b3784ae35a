#include "engine/script/lua/runtime/LState.h"

#include "engine/script/lua/objects/LMetaEvents.h"
#include "engine/script/lua/objects/LMemory.h"

#include <gtest/gtest.h>

namespace {

TEST(LStateTest, OpenBuildsTypeTablesAndGlobals)
{
    lua_State* L = lua_open();
    ASSERT_NE(L, nullptr);
    LGlobalState* g = G(L);
    EXPECT_TRUE(g->mTypeTables[LUA_TNIL].IsNil());
    ASSERT_TRUE(g->mDefaultMeta.IsTable());
    LTable* defaultMeta = g->mDefaultMeta.AsTable();
    EXPECT_EQ(defaultMeta->mMetatable, defaultMeta);
    for (int tag = LUA_TBOOLEAN; tag < kNumTags; ++tag) {
        ASSERT_TRUE(g->mTypeTables[tag].IsTable()) << tag;
        EXPECT_EQ(g->mTypeTables[tag].AsTable()->mMetatable, defaultMeta) << tag;
    }
    ASSERT_TRUE(L->mGlobals.IsTable());
    EXPECT_EQ(L->mGlobals.AsTable()->mMetatable, luaT_typetable(L, LUA_TTABLE));
    EXPECT_EQ(L->mGlobals.AsTable()->NodeCount(), 16);
    ASSERT_TRUE(g->mRegistry.IsTable());
    EXPECT_EQ(g->mRegistry.AsTable()->mSizeArray, 4);
    // 15 event names, 22 reserved words and the memory message; the table doubled once.
    EXPECT_EQ(g->mStringTable.mNumUse, 38u);
    EXPECT_EQ(g->mStringTable.mSize, 64);
    EXPECT_EQ(g->mGcThreshold, 4 * g->mBytesInUse);
    lua_close(L);
}

struct LFailingAllocator {
    int mAllowed;   // allocations that succeed before the first failure
    int mCount;
    long mLive;
};

void* FailingAlloc(void* ud, void* block, std::size_t, std::size_t newSize, int, int)
{
    LFailingAllocator* a = static_cast<LFailingAllocator*>(ud);
    if (newSize == 0) {
        if (block != nullptr)
            --a->mLive;
        std::free(block);
        return nullptr;
    }
    if (a->mCount++ >= a->mAllowed)
        return nullptr;
    const bool isNew = block == nullptr;
    void* result = std::realloc(block, newSize);
    if (isNew && result != nullptr)
        ++a->mLive;
    return result;
}

TEST(LStateTest, OpenFailingAtEveryAllocationLeaksNothing)
{
    bool opened = false;
    for (int k = 0; k < 1000 && !opened; ++k) {
        LFailingAllocator a{k, 0, 0};
        luaM_setdefaultallocator(&FailingAlloc, &a);
        lua_State* L = lua_open();
        luaM_setdefaultallocator(nullptr, nullptr);
        if (L != nullptr) {
            opened = true;
            lua_close(L);
        }
        EXPECT_EQ(a.mLive, 0) << "failing at allocation " << k;
    }
    EXPECT_TRUE(opened);
}

} // namespace
