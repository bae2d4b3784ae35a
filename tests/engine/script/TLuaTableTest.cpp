#include "engine/script/TLuaTable.h"

#include "ScriptTestSupport.h"
#include "engine/script/LuaMarshal.h"

#include <memory>
#include <set>
#include <string>

namespace {

class TLuaTableTest : public ScriptStateTest
{
protected:
    void SetUp() override
    {
        ScriptStateTest::SetUp();
        Run(L, "t = { tbl = {}, numstr = '12', number = 2.5, text = 'hi', no = false, zero = 0,"
               "      three = 3, wide = L\"x\", color = {1, 0.5}, [1] = 'first', [2] = 8,"
               "      sub = { x = 4 } }");
        mTable = Global("t");
    }
    void TearDown() override
    {
        mTable.reset();
        ScriptStateTest::TearDown();
    }
    std::unique_ptr<TLuaTable> Global(const char* name)
    {
        lua_pushstring(L, name);
        lua_gettable(L, LUA_GLOBALSINDEX);
        return std::make_unique<TLuaTable>(L);
    }

    std::unique_ptr<TLuaTable> mTable;
};

TEST_F(TLuaTableTest, GettersConvertPresentFieldsAndDefaultAbsentOnes)
{
    struct NumberCase
    {
        const char* key;
        double defaultValue;
        double expected;
    };
    const NumberCase numbers[] = {
        {"number", 9, 2.5}, {"numstr", 9, 12}, {"tbl", 9, 0},
        {"text", 9, 0},     {"absent", 9, 9},  {"no", 9, 0},
    };
    for (const NumberCase& c : numbers) {
        EXPECT_EQ(mTable->GetNumber(c.key, c.defaultValue), c.expected) << c.key;
        EXPECT_EQ(lua_gettop(L), 0) << c.key;
    }

    struct StringCase
    {
        const char* key;
        const char* expected;
    };
    const StringCase strings[] = {
        {"text", "hi"}, {"three", "3"}, {"wide", ""},
        {"tbl", ""},    {"no", ""},     {"absent", "default"},
    };
    for (const StringCase& c : strings) {
        EXPECT_STREQ(mTable->GetString(c.key, "default").CStr(), c.expected) << c.key;
        EXPECT_EQ(lua_gettop(L), 0) << c.key;
    }

    struct BoolCase
    {
        const char* key;
        bool defaultValue;
        bool expected;
    };
    const BoolCase bools[] = {
        {"no", true, false},    {"zero", false, true},    {"text", false, true},
        {"absent", true, true}, {"absent", false, false},
    };
    for (const BoolCase& c : bools) {
        EXPECT_EQ(mTable->GetBool(c.key, c.defaultValue), c.expected) << c.key;
        EXPECT_EQ(lua_gettop(L), 0) << c.key;
    }

    EXPECT_STREQ(mTable->GetStringByIndex(1).CStr(), "first");
    EXPECT_EQ(mTable->GetNumberByIndex(2, 0), 8);
    EXPECT_EQ(mTable->GetNumberByIndex(3, -1), -1);
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(TLuaTableTest, SubTablesAndColours)
{
    std::unique_ptr<TLuaTable> sub = mTable->GetTable("sub");
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->GetNumber("x"), 4);
    EXPECT_EQ(mTable->GetTable("text"), nullptr);
    EXPECT_EQ(mTable->GetTable("absent"), nullptr);
    EXPECT_EQ(mTable->GetTableByIndex(1), nullptr);

    Run(L, "colors = { {1, 0.5}, 'not a table' }");
    std::unique_ptr<TLuaTable> colors = Global("colors");
    const TColor fallback(0.1f, 0.2f, 0.3f, 0.4f);
    TColor partial = colors->GetColorByIndex(1, fallback);
    EXPECT_EQ(partial.r, 1.0f);
    EXPECT_EQ(partial.g, 0.5f);
    EXPECT_EQ(partial.b, 0.3f);
    EXPECT_EQ(partial.a, 0.4f);
    for (double index : {2.0, 3.0}) {
        TColor whole = colors->GetColorByIndex(index, fallback);
        EXPECT_FALSE(whole != fallback) << index;
    }
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(TLuaTableTest, AWrappedNilReadsAsAnEmptyTable)
{
    lua_pushnil(L);
    TLuaTable missing(L);
    EXPECT_FALSE(missing.IsTable());
    EXPECT_EQ(missing.GetNumber("x", 7), 7);
    EXPECT_STREQ(missing.GetString("x", "d").CStr(), "d");
    EXPECT_TRUE(missing.GetBool("x", true));
    EXPECT_EQ(missing.GetTable("x"), nullptr);
    std::unique_ptr<TLuaObjectWrapper> key;
    EXPECT_EQ(missing.Next(key), nullptr);
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(TLuaTableTest, AFailingIndexMetamethodReadsAsAbsentAndIsLogged)
{
    Run(L, "strict = setmetatable({ here = 1 }, { __index = function(t, k) error('no field ' .. k) "
           "end })");
    std::unique_ptr<TLuaTable> strict = Global("strict");
    EXPECT_EQ(strict->GetNumber("here", 5), 1);
    EXPECT_EQ(strict->GetNumber("missing", 5), 5);
    EXPECT_EQ(lua_gettop(L), 0);
    EXPECT_EQ(CountInLog("Lua error: "), 1) << Log();
    EXPECT_EQ(CountInLog("no field missing\n"), 1) << Log();
}

TEST_F(TLuaTableTest, NextVisitsEveryEntryThenEnds)
{
    Run(L, "three = { a = 1, b = 2, [5] = 3 }");
    std::unique_ptr<TLuaTable> three = Global("three");
    std::set<double> values;
    std::unique_ptr<TLuaObjectWrapper> key;
    for (int step = 0; step < 3; step++) {
        std::unique_ptr<TLuaObjectWrapper> value = three->Next(key);
        ASSERT_NE(value, nullptr);
        ASSERT_NE(key, nullptr);
        value->Push();
        values.insert(lua_tonumber(L, -1));
        lua_pop(L, 1);
    }
    EXPECT_EQ(three->Next(key), nullptr);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(values, (std::set<double>{1, 2, 3}));
    EXPECT_EQ(lua_gettop(L), 0);

    // Stopping early: the key handle is dropped with its owner.
    std::unique_ptr<TLuaObjectWrapper> early;
    EXPECT_NE(three->Next(early), nullptr);
    EXPECT_NE(early, nullptr);
}

TEST_F(TLuaTableTest, TablesFromTheStackWithoutAScriptLiveUntilTheStateCloses)
{
    lua_newtable(L);
    TLuaTable* table = LuaTableFromStack(L, 1);
    EXPECT_TRUE(table->IsTable());
    EXPECT_EQ(lua_gettop(L), 1);
    lua_settop(L, 0);
    // Freed by lua_close in TearDown; LeakSanitizer would report it otherwise.
}

} // namespace
