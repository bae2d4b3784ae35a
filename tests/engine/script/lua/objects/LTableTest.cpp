#include "engine/script/lua/objects/LTable.h"

#include "engine/script/lua/objects/LMetaEvents.h"
#include "engine/script/lua/objects/LString.h"
#include "tests/engine/script/lua/LuaTestState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <set>
#include <vector>

namespace {

// Keys of every kind, including the edges of the array part.
std::vector<LValue> KeyPool(lua_State* L)
{
    std::vector<LValue> keys;
    auto number = [&](double n) {
        LValue v;
        v.SetNumber(n);
        keys.push_back(v);
    };
    for (int i = 1; i <= 70; ++i)
        number(i);
    for (double n : {0.0, -1.0, 2.5, 1e10, 16777215.0, 16777216.0, 16777217.0, -0.5, 4294967296.0})
        number(n);
    for (const char* s : {"a", "b", "alpha", "", "x"}) {
        LValue v;
        v.SetString(luaS_new(L, s));
        keys.push_back(v);
    }
    for (const char16_t* s : {u"a", u"x", u"\u263a"}) {
        LValue v;
        v.SetWString(luaS_newlwstr(L, s, std::char_traits<char16_t>::length(s)));
        keys.push_back(v);
    }
    LValue b;
    b.SetBoolean(true);
    keys.push_back(b);
    b.SetBoolean(false);
    keys.push_back(b);
    static int anchors[3];
    for (int& anchor : anchors) {
        LValue p;
        p.SetLightUserdata(&anchor);
        keys.push_back(p);
    }
    return keys;
}

int FindKey(const std::vector<LValue>& pool, const LValue& key)
{
    for (std::size_t i = 0; i < pool.size(); ++i) {
        if (pool[i].Tag() == key.Tag() &&
            (key.IsNumber() ? pool[i].AsNumber() == key.AsNumber()
                            : pool[i].mPayload.mGc == key.mPayload.mGc))
            return static_cast<int>(i);
    }
    return -1;
}

// Every entry of the table, by key index, each visited once.
std::map<int, double> Walk(lua_State* L, LTable* t, const std::vector<LValue>& pool,
                           bool clearWhileWalking)
{
    std::map<int, double> seen;
    LValue pair[2];
    pair[0].SetNil();
    while (luaH_next(L, t, pair)) {
        const int k = FindKey(pool, pair[0]);
        EXPECT_GE(k, 0);
        EXPECT_EQ(seen.count(k), 0u) << "visited twice";
        seen[k] = pair[1].AsNumber();
        if (clearWhileWalking)
            luaH_set(L, t, &pair[0])->SetNil();
    }
    return seen;
}

TEST(LTableTest, RandomInsertsAndDeletesMatchAMap)
{
    LuaTestState state;
    lua_State* L = state.L();
    const std::string error = RunProtected(L, [](lua_State* L) {
        const std::vector<LValue> pool = KeyPool(L);
        std::mt19937 random(1234);
        for (int round = 0; round < 40; ++round) {
            LTable* t = luaH_new(L, round % 3, round % 4);
            std::map<int, double> model;
            for (int step = 0; step < 400; ++step) {
                const int k = static_cast<int>(random() % pool.size());
                if (random() % 3 == 0) {
                    if (luaH_get(t, &pool[k])->Tag() != LUA_TNIL)
                        luaH_set(L, t, &pool[k])->SetNil();
                    model.erase(k);
                } else {
                    const double value = step + 0.25;
                    luaH_set(L, t, &pool[k])->SetNumber(value);
                    model[k] = value;
                }
            }
            for (std::size_t k = 0; k < pool.size(); ++k) {
                const LValue* v = luaH_get(t, &pool[k]);
                if (model.count(static_cast<int>(k)))
                    ASSERT_TRUE(v->IsNumber() && v->AsNumber() == model[static_cast<int>(k)]) << k;
                else
                    ASSERT_TRUE(v->IsNil()) << k;
            }
            ASSERT_EQ(Walk(L, t, pool, false), model);
            ASSERT_EQ(Walk(L, t, pool, true), model); // clearing fields during the walk
            ASSERT_TRUE(Walk(L, t, pool, false).empty());
        }
    });
    EXPECT_EQ(error, "");
}

bool InArrayPart(const LTable* t, const LValue* value)
{
    return value >= t->mArray && value < t->mArray + t->mSizeArray;
}

TEST(LTableTest, ArrayPartEndsAtTwoToThe24)
{
    LuaTestState state;
    lua_State* L = state.L();
    const std::string error = RunProtected(L, [](lua_State* L) {
        // A sequence from 1 lives wholly in the array part, whatever it grew to.
        LTable* t = luaH_new(L, 0, 0);
        for (int i = 1; i <= 40; ++i)
            luaH_setnum(L, t, i)->SetNumber(i);
        for (int i = 1; i <= 40; ++i)
            EXPECT_TRUE(InArrayPart(t, luaH_getnum(t, i))) << i;
        LValue pair[2];
        pair[0].SetNumber(40);
        EXPECT_EQ(luaH_next(L, t, pair), 0) << "nothing beyond the sequence";
        LTable* big = luaH_new(L, 16777216, 1);
        luaH_setnum(L, big, 16777216)->SetNumber(1);
        luaH_setnum(L, big, 16777217)->SetNumber(2);
        EXPECT_EQ(big->mSizeArray, 16777216);
        EXPECT_EQ(luaH_getnum(big, 16777216), &big->mArray[16777215]);
        const LValue* beyond = luaH_getnum(big, 16777217); // 2^24 + 1 lives in the hash part
        EXPECT_TRUE(beyond >= &big->mNode[0].mValue && beyond <= &big->mNode[1].mValue);
        // A rehash never makes an array part for keys above 2^24.
        LTable* sparse = luaH_new(L, 0, 0);
        for (int i = 0; i < 8; ++i)
            luaH_setnum(L, sparse, 16777217 + i)->SetNumber(i);
        EXPECT_EQ(sparse->mSizeArray, 0);
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(luaH_getnum(sparse, 16777217 + i)->AsNumber(), i);
    });
    EXPECT_EQ(error, "");
}

TEST(LTableTest, KeyErrors)
{
    LuaTestState state;
    lua_State* L = state.L();
    LTable* t = nullptr;
    EXPECT_EQ(RunProtected(L, [&](lua_State* L) { t = luaH_new(L, 0, 0); }), "");
    EXPECT_EQ(RunProtected(L,
                           [&](lua_State* L) {
                               LValue k;
                               k.SetNil();
                               luaH_set(L, t, &k);
                           }),
              "table index is nil");
    EXPECT_EQ(RunProtected(L,
                           [&](lua_State* L) {
                               LValue k;
                               k.SetNumber(std::nan(""));
                               luaH_set(L, t, &k);
                           }),
              "table index is NaN");
    EXPECT_EQ(RunProtected(L,
                           [&](lua_State* L) {
                               LValue k[2];
                               k[0].SetString(luaS_new(L, "absent"));
                               luaH_next(L, t, k);
                           }),
              "invalid key for `next'");
    EXPECT_EQ(RunProtected(L, [&](lua_State* L) { luaH_new(L, 0, 25); }), "table overflow");
}

TEST(LTableTest, StringAndWideStringAreDifferentKeys)
{
    LuaTestState state;
    lua_State* L = state.L();
    const std::string error = RunProtected(L, [](lua_State* L) {
        LTable* t = luaH_new(L, 0, 0);
        LString* wide = luaS_newlwstr(L, u"x", 1);
        LString* narrow = luaS_new(L, "x");
        luaH_setstr(L, t, wide)->SetNumber(1);
        EXPECT_TRUE(luaH_getstr(t, narrow)->IsNil());
        EXPECT_TRUE(luaH_getwstr(t, wide)->IsNumber());
        LValue pair[2];
        pair[0].SetNil();
        ASSERT_EQ(luaH_next(L, t, pair), 1);
        EXPECT_TRUE(pair[0].IsWString());
        EXPECT_EQ(pair[0].AsString(), wide);
    });
    EXPECT_EQ(error, "");
}

TEST(LTableTest, AbsentEventFlagsAreCachedAndClearedByInserts)
{
    LuaTestState state;
    lua_State* L = state.L();
    EXPECT_EQ(RunProtected(L,
                           [](lua_State* L) {
                               LTable* mt = luaH_new(L, 0, 0);
                               EXPECT_EQ(luaT_fasttm(L, mt, TM_INDEX), nullptr);
                               EXPECT_NE(mt->mFlags & (1u << TM_INDEX), 0u);
                               luaH_setstr(L, mt, G(L)->mTmNames[TM_INDEX])->SetNumber(1);
                               EXPECT_EQ(mt->mFlags, 0u);
                               ASSERT_NE(luaT_fasttm(L, mt, TM_INDEX), nullptr);
                               EXPECT_EQ(luaT_fasttm(L, mt, TM_INDEX)->AsNumber(), 1);
                           }),
              "");
}

} // namespace
