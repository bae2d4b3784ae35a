// The auxiliary and base libraries: wide-string conversions, tonumber, print, the
// registry names, file loading (the C library's files, or an installed reader), and the
// do-functions.

#include "engine/script/lua/LuaAux.h"
#include "engine/script/lua/LuaLib.h"
#include "tests/engine/script/lua/LuaTestState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

class LuaBaseLibTest : public LuaBaseStateTest
{
protected:
    int Run(const std::string& code)
    {
        int status = luaL_loadbuffer(L, code.data(), code.size(), "=test");
        if (status == 0) {
            status = lua_pcall(L, 0, LUA_MULTRET, 0);
        }
        return status;
    }

    // The first result of an expression, as text (tostring for everything).
    std::string Eval(const std::string& expression)
    {
        lua_settop(L, 0);
        if (Run("return tostring(" + expression + ")") != 0) {
            return "error: " + std::string(lua_tostring(L, -1) ? lua_tostring(L, -1) : "?");
        }
        return lua_tostring(L, -1) ? lua_tostring(L, -1) : "(null)";
    }
};

struct EvalCase
{
    const char* expression;
    const char* expected;
};

TEST_F(LuaBaseLibTest, ToWString)
{
    const EvalCase cases[] = {
        {"type(towstring(nil))", "string"},
        {"towstring(nil)", "nil"},
        {"type(towstring(12))", "wstring"},
        {"towstring(12) == L\"12\"", "true"},
        {"towstring('\\233') == L\"\\xffe9\"", "true"},
        {"towstring('') == L\"\"", "true"},
        {"towstring(L\"same\") == L\"same\"", "true"},
        {"type(towstring(print))", "wstring"},
        {"pcall(towstring, true)", "false"},
    };
    for (const EvalCase& c : cases) {
        EXPECT_EQ(Eval(c.expression), c.expected) << c.expression;
    }
    ASSERT_EQ(Run("return pcall(towstring, true)"), 0);
    EXPECT_STREQ(lua_tostring(L, -1), "bad argument #1 to `?' (value expected)");
    lua_pushlightuserdata(L, this);
    lua_pushstring(L, "towstring");
    lua_gettable(L, LUA_GLOBALSINDEX);
    lua_insert(L, -2);
    EXPECT_EQ(lua_pcall(L, 1, 1, 0), LUA_ERRRUN);
    // The table prefix survives as wide text.
    ASSERT_EQ(Run("return towstring({})"), 0);
    const lua_WChar* w = lua_towstring(L, -1);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(std::u16string(w, 7), u"table: ");
}

TEST_F(LuaBaseLibTest, ToStringOfWideKeepsLowBytes)
{
    EXPECT_EQ(Eval("L\"a\\x263Ab\""), "a:b");
    EXPECT_EQ(Eval("L\"\""), "");
    ASSERT_EQ(Run("return tostring(towstring('\\233'))"), 0);
    EXPECT_EQ(std::string(lua_tostring(L, -1)), "\xe9");
}

TEST_F(LuaBaseLibTest, ToNumber)
{
    const EvalCase cases[] = {
        {"tonumber(L\"ff\", 16)", "255"},
        {"tonumber(L\"12\")", "12"},
        {"tonumber('z', 36)", "35"},
        {"tonumber('777', 8)", "511"},
        {"tonumber('  10  ', 2)", "2"},
        {"tonumber('0x1F', 16)", "31"},
        {"tonumber('-1', 16)", "4294967295"},
        {"tonumber('123456789012', 10)", "123456789012"},
        {"tonumber('123456789012', 16)", "4294967295"},
        {"tonumber('12', 2)", "nil"},
        {"tonumber('', 16)", "nil"},
        {"tonumber('0x10')", "nil"},
        {"tonumber(' 12 ')", "12"},
        {"tonumber('1e1')", "10"},
        {"tonumber({})", "nil"},
    };
    for (const EvalCase& c : cases) {
        EXPECT_EQ(Eval(c.expression), c.expected) << c.expression;
    }
    std::string longWide = "tonumber(L\"" + std::string(120, '1') + "\", 16)";
    EXPECT_EQ(Eval(longWide), "nil");
    std::string shortWide = "tonumber(L\"" + std::string(7, '1') + "\", 16)";
    EXPECT_EQ(Eval(shortWide), "17895697");
    EXPECT_EQ(Eval("pcall(tonumber, '1', 1)"), "false");
}

TEST_F(LuaBaseLibTest, PrintWritesWideTextAsUtf8)
{
    testing::internal::CaptureStdout();
    int status = Run("print(L\"a\\xe9\\x263A\", 1, 'x', nil, true)");
    std::fflush(stdout);
    std::string out = testing::internal::GetCapturedStdout();
    ASSERT_EQ(status, 0);
    EXPECT_EQ(out, "a\xc3\xa9\xe2\x98\xba\t1\tx\tnil\ttrue\n");

    testing::internal::CaptureStdout();
    status = Run("print(L\"\\xd83d\\xde00|\\xd800\")"); // a pair, then a lone surrogate
    std::fflush(stdout);
    out = testing::internal::GetCapturedStdout();
    ASSERT_EQ(status, 0);
    EXPECT_EQ(out, "\xf0\x9f\x98\x80|\xef\xbf\xbd\n");

    // Long text is written in pieces; a pair stays whole wherever a piece would end.
    for (size_t before : {1020, 1021, 1022, 2043}) {
        testing::internal::CaptureStdout();
        status = Run("print(L\"" + std::string(before, 'a') + "\\xd83d\\xde00\")");
        std::fflush(stdout);
        out = testing::internal::GetCapturedStdout();
        ASSERT_EQ(status, 0);
        EXPECT_EQ(out, std::string(before, 'a') + "\xf0\x9f\x98\x80\n") << before;
    }

    ASSERT_EQ(Run("tostring = function() return {} end return pcall(print, 1)"), 0);
    EXPECT_STREQ(lua_tostring(L, -1), "`tostring' must return a string to `print'");
}

// The registry names of the per-type tables are checked with the tables themselves
// (LuaApiTest.EveryValueButNilHasItsTypesTableAsMetatable).
TEST_F(LuaBaseLibTest, Globals)
{
    EXPECT_EQ(Eval("_VERSION"), "Lua 5.0.2");
    EXPECT_EQ(Eval("_G == getfenv(0) and type(_LOADED) == 'table' and type(coroutine.wrap)"),
              "function");
}

TEST_F(LuaBaseLibTest, MetatablesUnderPerTypeTables)
{
    const EvalCase cases[] = {
        {"getmetatable({}) ~= nil", "true"},
        {"getmetatable('') == getmetatable('x')", "true"},
        {"getmetatable(setmetatable({}, {__metatable = 'no'}))", "no"},
        {"pcall(setmetatable, setmetatable({}, {__metatable = 1}), {})", "false"},
        {"pcall(setmetatable, {}, 5)", "false"},
        {"getmetatable(setmetatable({}, nil)) ~= getmetatable({})", "true"},
        {"type(newproxy(true))", "userdata"},
        {"getmetatable(newproxy(true)) ~= getmetatable(newproxy(true))", "true"},
        {"pcall(newproxy, 1)", "false"},
        {"pcall(unpack, {n = 100000})", "false"},
        {"unpack({1, 2, 3})", "1"},
        {"rawequal('a', 'a')", "true"},
        {"rawget(setmetatable({}, {__index = function() return 1 end}), 'x')", "nil"},
        {"next({})", "nil"},
        {"type(ipairs({}))", "function"},
    };
    for (const EvalCase& c : cases) {
        EXPECT_EQ(Eval(c.expression), c.expected) << c.expression;
    }
    ASSERT_EQ(Run("return pcall(unpack, {n = 100000})"), 0);
    EXPECT_STREQ(lua_tostring(L, -1), "stack overflow (table too big to unpack)");
}

TEST_F(LuaBaseLibTest, ErrorLevelsAndPositions)
{
    const EvalCase cases[] = {
        {"({pcall(error, 'm')})[2]", "m"},
        {"({pcall(function() error('m') end)})[2]", "test:1: m"},
        {"({pcall(function() error('m', 0) end)})[2]", "m"},
        {"({pcall(function() local function f() error('m', 2) end f() end)})[2]", "test:1: m"},
        {"({pcall(function() error(42) end)})[2]", "test:1: 42"},
        {"type(({pcall(function() error(L\"w\") end)})[2])", "wstring"},
        {"({pcall(function() error(L\"w\") end)})[2]", "test:1: w"},
        {"({pcall(function() error() end)})[2]", "nil"},
        {"({pcall(assert, false, 'why')})[2]", "why"},
    };
    for (const EvalCase& c : cases) {
        EXPECT_EQ(Eval(c.expression), c.expected) << c.expression;
    }
}

class LuaFileTest : public LuaBaseLibTest
{
protected:
    void SetUp() override
    {
        LuaBaseLibTest::SetUp();
        // A folder of its own: other runs of this test may be going on at the same time.
        std::string pattern =
            (std::filesystem::temp_directory_path() / "luabaselib-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        mFolder = pattern;
    }
    void TearDown() override
    {
        LuaBaseLibTest::TearDown();
        std::filesystem::remove_all(mFolder);
    }

    // Writes a file and returns its path.
    std::string Write(const std::string& name, const std::string& bytes)
    {
        std::ofstream out(mFolder / name, std::ios::binary);
        out << bytes;
        return (mFolder / name).string();
    }

    std::filesystem::path mFolder;
};

TEST_F(LuaFileTest, LoadFileFromDisk)
{
    std::string plain = Write("plain.lua", "# first line skipped\nreturn 40 + 2\n");
    ASSERT_EQ(luaL_loadfile(L, plain.c_str()), 0);
    ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
    EXPECT_EQ(lua_tonumber(L, -1), 42);
    lua_settop(L, 0);

    std::string missing = (mFolder / "missing.lua").string();
    EXPECT_EQ(luaL_loadfile(L, missing.c_str()), LUA_ERRFILE);
    EXPECT_EQ(std::string(lua_tostring(L, -1)),
              "cannot read " + missing + ": No such file or directory");
    EXPECT_EQ(lua_gettop(L), 1);
    lua_settop(L, 0);

    // A folder opens but cannot be read.
    EXPECT_EQ(luaL_loadfile(L, mFolder.c_str()), LUA_ERRFILE);
    EXPECT_EQ(std::string(lua_tostring(L, -1)),
              "cannot read " + mFolder.string() + ": Is a directory");
    EXPECT_EQ(lua_gettop(L), 1);
    lua_settop(L, 0);

    EXPECT_EQ(luaL_loadfile(L, nullptr), LUA_ERRFILE);
    lua_settop(L, 0);

    std::string broken = Write("broken.lua", "local x = = 2\n");
    EXPECT_EQ(luaL_loadfile(L, broken.c_str()), LUA_ERRSYNTAX);
    EXPECT_NE(std::string(lua_tostring(L, -1)).find("broken.lua:1:"), std::string::npos)
        << lua_tostring(L, -1);
    lua_settop(L, 0);

    // A 16-bit source: FF FE, then little-endian characters.
    std::u16string source = u"return L\"\u263A\" .. 'b'";
    std::string bytes = "\xff\xfe";
    for (char16_t c : source) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    std::string wide = Write("wide.lua", bytes);
    ASSERT_EQ(luaL_loadfile(L, wide.c_str()), 0) << lua_tostring(L, -1);
    lua_settop(L, 0);
}

// A reader over named texts in memory that records how each file was opened.
struct TMemoryFiles
{
    struct TOpenFile
    {
        std::string bytes;
        size_t position = 0;
    };

    static void* Open(const char* name, bool binary)
    {
        opens.push_back(std::string(name) + (binary ? ":bytes" : ":text"));
        auto found = texts.find(name);
        if (found == texts.end()) {
            return nullptr;
        }
        return new TOpenFile{found->second};
    }
    static size_t Read(void* file, char* buffer, size_t size)
    {
        auto* open = static_cast<TOpenFile*>(file);
        size_t count = std::min(size, open->bytes.size() - open->position);
        std::memcpy(buffer, open->bytes.data() + open->position, count);
        open->position += count;
        return count;
    }
    static bool Failed(void*) { return false; }
    static void Close(void* file) { delete static_cast<TOpenFile*>(file); }

    static inline std::map<std::string, std::string> texts;
    static inline std::vector<std::string> opens;
};

TEST_F(LuaFileTest, AnInstalledReaderServesEveryFileLoad)
{
    // A precompiled chunk, which starts with a byte that is not text.
    ASSERT_EQ(luaL_loadbuffer(L, "return 'dumped'", 15, "=dumped"), 0);
    std::string chunk;
    lua_dump(
        L,
        [](lua_State*, const void* p, size_t size, void* ud) {
            static_cast<std::string*>(ud)->append(static_cast<const char*>(p), size);
            return 0;
        },
        &chunk);
    lua_settop(L, 0);
    TMemoryFiles::texts = {{"text.lua", "return 'text'"}, {"chunk.out", chunk}};
    TMemoryFiles::opens.clear();
    const luaL_FileReader reader{&TMemoryFiles::Open, &TMemoryFiles::Read, &TMemoryFiles::Failed,
                                 &TMemoryFiles::Close};
    luaL_setfilereader(&reader);
    int status = Run("return dofile('text.lua'), dofile('chunk.out'), loadfile('absent.lua')");
    luaL_setfilereader(nullptr);
    ASSERT_EQ(status, 0) << lua_tostring(L, -1);
    EXPECT_STREQ(lua_tostring(L, 1), "text");
    EXPECT_STREQ(lua_tostring(L, 2), "dumped");
    EXPECT_TRUE(lua_isnil(L, 3));
    EXPECT_EQ(TMemoryFiles::opens,
              (std::vector<std::string>{"text.lua:text", "chunk.out:text", "chunk.out:bytes",
                                        "absent.lua:text"}));

    // The C library's files are back.
    lua_settop(L, 0);
    EXPECT_EQ(luaL_loadfile(L, "text.lua"), LUA_ERRFILE);
}

TEST_F(LuaFileTest, DoFileAndRequire)
{
    std::string lib =
        Write("mylib.lua", "loads = (loads or 0) + 1 return {name = _REQUIREDNAME}\n");
    std::string path = (mFolder / "?.lua").string();
    ASSERT_EQ(Run("LUA_PATH = '" + path +
                  "'\n"
                  "local a = require('mylib') local b = require('mylib')\n"
                  "return a == b, a.name, loads, _REQUIREDNAME"),
              0)
        << lua_tostring(L, -1);
    EXPECT_TRUE(lua_toboolean(L, 1));
    EXPECT_STREQ(lua_tostring(L, 2), "mylib");
    EXPECT_EQ(lua_tonumber(L, 3), 1);
    EXPECT_TRUE(lua_isnil(L, 4));
    lua_settop(L, 0);

    EXPECT_EQ(Run("LUA_PATH = '" + path + "' return require('absent')"), LUA_ERRRUN);
    EXPECT_EQ(std::string(lua_tostring(L, -1)),
              "test:1: could not load package `absent' from path `" + path + "'");
    lua_settop(L, 0);

    Write("bad.lua", "return = 1");
    EXPECT_EQ(Run("LUA_PATH = '" + path + "' return require('bad')"), LUA_ERRRUN);
    EXPECT_NE(std::string(lua_tostring(L, -1)).find("error loading package `bad'"),
              std::string::npos);
    lua_settop(L, 0);

    EXPECT_EQ(Run("LUA_PATH = '?"
                  "?' return require('x')"),
              LUA_ERRRUN);
    EXPECT_EQ(std::string(lua_tostring(L, -1)), "test:1: too many marks in a path component");
    lua_settop(L, 0);

    std::string script = Write("script.lua", "return 1, 2, 3\n");
    ASSERT_EQ(Run("return dofile('" + script + "')"), 0);
    EXPECT_EQ(lua_gettop(L), 3);
    lua_settop(L, 0);
    ASSERT_EQ(Run("return loadfile('" + script + "') ~= nil, loadfile('nothing-here.lua')"), 0);
    EXPECT_TRUE(lua_toboolean(L, 1));
    EXPECT_TRUE(lua_isnil(L, 2));
    EXPECT_EQ(std::string(lua_tostring(L, 3)).rfind("cannot read nothing-here.lua", 0), 0u);
    lua_settop(L, 0);
    EXPECT_EQ(Run("return dofile()"), LUA_ERRRUN);
}

TEST_F(LuaBaseLibTest, DoStringReportsThroughAlert)
{
    ASSERT_EQ(Run("alerts = {} _ALERT = function(m) alerts[1] = m end"), 0);
    EXPECT_EQ(lua_dostring(L, "x = = 1"), LUA_ERRSYNTAX);
    EXPECT_EQ(Eval("alerts[1] ~= nil"), "true");
    EXPECT_EQ(lua_dostring(L, "error({})"), LUA_ERRRUN);
    EXPECT_EQ(Eval("type(alerts[1])"), "table");
    EXPECT_EQ(lua_dostring(L, "result = 5"), 0);
    EXPECT_EQ(Eval("result"), "5");

    ASSERT_EQ(Run("_ALERT = nil"), 0);
    lua_settop(L, 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(lua_dostring(L, "error('to stderr')"), LUA_ERRRUN);
    EXPECT_EQ(lua_dostring(L, "error({})"), LUA_ERRRUN);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("to stderr"), std::string::npos) << err;
    EXPECT_NE(err.find("(error object is not a string)"), std::string::npos) << err;
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(LuaBaseLibTest, StringChecksRefuseWideStrings)
{
    ASSERT_EQ(Run("return pcall(loadstring, L\"return 1\")"), 0);
    EXPECT_FALSE(lua_toboolean(L, 1));
    EXPECT_STREQ(lua_tostring(L, 2), "bad argument #1 to `?' (string expected, got wstring)");
    lua_settop(L, 0);
    ASSERT_EQ(Run("return pcall(require, L\"x\")"), 0);
    EXPECT_STREQ(lua_tostring(L, 2), "bad argument #1 to `?' (string expected, got wstring)");
}

} // namespace
