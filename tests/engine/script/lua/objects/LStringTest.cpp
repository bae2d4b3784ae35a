#include "engine/script/lua/objects/LString.h"

#include "engine/script/lua/compiler/LLexer.h"
#include "tests/engine/script/lua/LuaTestState.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(LStringTest, SameContentsAreOneObjectPerKind)
{
    LuaTestState state;
    lua_State* L = state.L();
    EXPECT_EQ(RunProtected(L,
                           [](lua_State* L) {
                               LString* a = luaS_newlstr(L, "abc", 3);
                               EXPECT_EQ(luaS_new(L, "abc"), a);
                               EXPECT_EQ(a->mTag, LUA_TSTRING);
                               EXPECT_STREQ(a->Text(), "abc");
                               LString* wa = luaS_newlwstr(L, u"abc", 3);
                               EXPECT_EQ(luaS_newlwstr(L, u"abc", 3), wa);
                               EXPECT_NE(static_cast<void*>(wa), static_cast<void*>(a));
                               EXPECT_EQ(wa->mTag, LUA_TWSTRING);
                               EXPECT_EQ(wa->mLength, 3u);
                               EXPECT_EQ(wa->WideText()[3], u'\0');
                               EXPECT_EQ(a->mHash, wa->mHash); // one hash rule for both kinds
                               // Embedded zeros are part of the contents.
                               EXPECT_NE(luaS_newlstr(L, "a\0b", 3), luaS_newlstr(L, "a\0c", 3));
                               EXPECT_EQ(luaS_newlwstr(L, u"", 0)->mLength, 0u);
                           }),
              "");
}

TEST(LStringTest, LongTextsAreHashedBySamples)
{
    // Only about 32 units of a long text take part, so texts differing elsewhere collide.
    std::string a(64, 'x');
    std::string b = a;
    b[2] = 'y';
    EXPECT_EQ(luaS_hash(a.data(), a.size()), luaS_hash(b.data(), b.size()));
    std::string shortA(31, 'x');
    std::string shortB = shortA;
    shortB[2] = 'y';
    EXPECT_NE(luaS_hash(shortA.data(), shortA.size()), luaS_hash(shortB.data(), shortB.size()));
}

TEST(LStringTest, TableGrowsWithUseAndResizesBothWays)
{
    LuaTestState state;
    lua_State* L = state.L();
    EXPECT_EQ(RunProtected(L,
                           [](lua_State* L) {
                               std::vector<LString*> made;
                               for (int i = 0; i < 5000; ++i) {
                                   const std::string text = "s" + std::to_string(i);
                                   made.push_back(luaS_new(L, text.c_str()));
                                   const std::u16string wide(text.begin(), text.end());
                                   made.push_back(luaS_newlwstr(L, wide.data(), wide.size()));
                               }
                               // Never more strings than slots, and a power of two of slots (hashes
                               // are masked).
                               LStringTable& table = G(L)->mStringTable;
                               EXPECT_LE(table.mNumUse, static_cast<uint32_t>(table.mSize));
                               EXPECT_EQ(table.mSize & (table.mSize - 1), 0);
                               luaS_resize(
                                   L, 64); // what the collector does when the table is mostly empty
                               for (int i = 0; i < 5000; ++i) {
                                   const std::string text = "s" + std::to_string(i);
                                   EXPECT_EQ(luaS_new(L, text.c_str()), made[2 * i]);
                               }
                           }),
              "");
}

TEST(LStringTest, ReservedWordsCarryTheirKeywordIndex)
{
    LuaTestState state;
    lua_State* L = state.L();
    EXPECT_EQ(RunProtected(L,
                           [](lua_State* L) {
                               EXPECT_EQ(luaS_new(L, "and")->mKeywordIndex, 1);
                               EXPECT_EQ(luaS_new(L, "continue")->mKeywordIndex, 3);
                               EXPECT_EQ(luaS_new(L, "while")->mKeywordIndex, kNumReserved);
                               EXPECT_EQ(luaS_new(L, "goto")->mKeywordIndex, 0);
                               EXPECT_NE(luaS_new(L, "while")->mMarked & kFixedBit, 0);
                               EXPECT_NE(luaS_new(L, "__index")->mMarked & kFixedBit, 0);
                               EXPECT_NE(luaS_new(L, "not enough memory")->mMarked & kFixedBit, 0);
                           }),
              "");
}

} // namespace
