#include "engine/ui/script/TLuaWindowStyle.h"

#include "tests/engine/ui/script/WindowScriptTestSupport.h"

namespace {

class TLuaWindowStyleTest : public TWindowScriptTest
{
protected:
    // A style over the value of a Lua expression.
    std::unique_ptr<TLuaTable> Table(const std::string& expression)
    {
        Run("gStyleTable = " + expression);
        lua_pushstring(L(), "gStyleTable");
        lua_gettable(L(), LUA_GLOBALSINDEX);
        return std::make_unique<TLuaTable>(L());
    }
};

TEST_F(TLuaWindowStyleTest, KeysAreLookedUpInTheTableThenTheDefaultStyleChain)
{
    Run("gCurrentDefaultStyle = { fromDefault = 1, shadowed = 2, "
        "  parent = { fromParent = 3, shadowed = 4, parent = { fromGrandparent = 5 } } }");
    auto table = Table("{ own = 6, shadowed = 7, parent = { ownParent = 8 } }");
    TLuaWindowStyle style(Script(), *table);
    struct TCase
    {
        const char* key;
        double value;
    };
    const TCase cases[] = {
        {"own", 6},        {"shadowed", 7},        {"fromDefault", 1},
        {"fromParent", 3}, {"fromGrandparent", 5}, {"ownParent", -1}, // never followed
        {"absent", -1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.key);
        const int top = lua_gettop(L());
        EXPECT_EQ(style.GetNumber(c.key, -1), c.value);
        EXPECT_EQ(lua_gettop(L()), top);
    }
}

TEST_F(TLuaWindowStyleTest, ValuesConvertAsTheScriptPopsThem)
{
    auto table = Table("{ x = 10.9, y = -10.9, big = 1e300, name = 'panel', number = 12, "
                       "colour = { 1, 0.5, 0.25 }, zero = 0, one = 1, yes = true, no = false, "
                       "text = 'true', tab = { }, command = function() end }");
    TLuaWindowStyle style(Script(), *table);
    const int top = lua_gettop(L());
    EXPECT_EQ(style.GetInt("x", 0), 10);
    EXPECT_EQ(style.GetInt("y", 0), -10);
    EXPECT_EQ(style.GetInt("big", 0), INT_MAX);
    EXPECT_EQ(style.GetInt("absent", 77), 77);
    EXPECT_STREQ(style.GetString("name", "").CStr(), "panel");
    EXPECT_STREQ(style.GetString("number", "").CStr(), "12");
    EXPECT_STREQ(style.GetString("absent", "default").CStr(), "default");
    const TColor colour = style.GetColor("colour", TColor(9, 9, 9, 9));
    EXPECT_EQ(colour.r, 1.0f);
    EXPECT_EQ(colour.g, 0.5f);
    EXPECT_EQ(colour.b, 0.25f);
    EXPECT_EQ(colour.a, 0.0f); // a missing entry reads 0
    EXPECT_EQ(style.GetColor("absent", TColor(9, 9, 9, 9)).r, 9.0f);
    EXPECT_NE(style.GetTable("tab"), nullptr);
    EXPECT_EQ(style.GetTable("name"), nullptr);
    EXPECT_EQ(style.GetTable("absent"), nullptr);
    std::unique_ptr<TLuaFunction> command = style.GetFunction("command");
    ASSERT_NE(command, nullptr);
    EXPECT_TRUE(command->Call());
    lua_settop(L(), top);
    EXPECT_EQ(style.GetFunction("tab"), nullptr);
    EXPECT_EQ(lua_gettop(L()), top);
}

TEST_F(TLuaWindowStyleTest, BooleansConvertAsPopBoolDoes)
{
    auto table = Table("{ zero = 0, one = 1, yes = true, no = false, text = 'true', "
                       "tab = { } }");
    TLuaWindowStyle style(Script(), *table);
    struct TCase
    {
        const char* key;
        bool value;
        const char* logged; // "" for nothing
    };
    const TCase cases[] = {
        {"zero", false, ""},
        {"one", true, ""},
        {"yes", true, ""},
        {"no", false, ""},
        {"absent", true, ""}, // the default
        {"text", false, "PopBool used on lua string true"},
        {"tab", false, "PopBool used on a type that isn't a number, a boolean, or nil. (type: 5)"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(style.GetBool(c.key, true), c.value);
        if (c.logged[0] != '\0') {
            EXPECT_TRUE(Logged(c.logged));
        }
    }
}

TEST_F(TLuaWindowStyleTest, AValueThatIsNoTableReadsTheGlobalOfTheKey)
{
    Run("width = 31 gCurrentDefaultStyle = { height = 32 }");
    auto table = Table("nil");
    TLuaWindowStyle style(Script(), *table);
    EXPECT_EQ(style.GetNumber("width", 0), 31);
    EXPECT_EQ(style.GetNumber("height", 0), 32);
}

TEST_F(TLuaWindowStyleTest, AParentCycleEndsTheSearch)
{
    Run("local a = { } local b = { parent = a } a.parent = b gCurrentDefaultStyle = a");
    auto table = Table("{ }");
    TLuaWindowStyle style(Script(), *table);
    const int top = lua_gettop(L());
    EXPECT_EQ(style.GetNumber("absent", 5), 5);
    EXPECT_EQ(lua_gettop(L()), top);
    EXPECT_TRUE(Logged("parent chain is longer than"));
}

} // namespace
