#include "engine/script/lua/runtime/LState.h"

#include "engine/script/lua/objects/LMemory.h"
#include "engine/script/lua/objects/LMetaEvents.h"

#include <gtest/gtest.h>

namespace {

// The per-type tables are checked through the API (LuaApiTest).
TEST(LStateTest, OpenMakesGlobalsRegistryAndNamesAndLeavesRoomBeforeTheFirstCollection)
{
    lua_State* L = lua_open();
    ASSERT_NE(L, nullptr);
    LGlobalState* g = G(L);
    ASSERT_TRUE(L->mGlobals.IsTable());
    ASSERT_TRUE(g->mRegistry.IsTable());
    EXPECT_NE(L->mGlobals.AsTable(), g->mRegistry.AsTable());
    // The event names are interned and fixed, so metamethod lookups find them.
    for (int event = 0; event < TM_N; ++event) {
        ASSERT_NE(g->mTmNames[event], nullptr) << event;
        EXPECT_NE(g->mTmNames[event]->mMarked & kFixedBit, 0) << event;
    }
    EXPECT_LE(g->mStringTable.mNumUse, static_cast<uint32_t>(g->mStringTable.mSize));
    EXPECT_GT(g->mGcThreshold, g->mBytesInUse);
    lua_close(L);
}

struct LFailingAllocator
{
    int mAllowed; // allocations that succeed before the first failure
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
