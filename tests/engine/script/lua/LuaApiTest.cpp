// The script API: wide strings, boxed pointers, per-type metatables, table length,
// pseudo-indices, stack growth, collector thresholds, calls, errors and coroutines.

#include "engine/script/lua/LuaAux.h"
#include "engine/script/lua/LuaLib.h"
#include "engine/script/lua/objects/LMemory.h"
#include "engine/script/lua/objects/LUserdata.h"
#include "engine/script/lua/runtime/LCollector.h"
#include "tests/engine/script/lua/LuaTestState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

class LuaApiTest : public LuaBaseStateTest
{
protected:
    // Runs a chunk; returns its status and leaves its results (or the message).
    int Run(const char* code)
    {
        int status = luaL_loadbuffer(L, code, std::strlen(code), "=test");
        if (status == 0) {
            status = lua_pcall(L, 0, LUA_MULTRET, 0);
        }
        return status;
    }

    std::string TopString()
    {
        const char* s = lua_tostring(L, -1);
        return s != nullptr ? s : "(null)";
    }
};

std::u16string Wide(lua_State* L, int idx)
{
    const lua_WChar* w = lua_towstring(L, idx);
    return w != nullptr ? std::u16string(w, lua_strlen(L, idx)) : u"(null)";
}

TEST_F(LuaApiTest, WideStringsReadAsStringsOnlyWhereAllowed)
{
    lua_pushwstring(L, u"h\u263Ai");
    EXPECT_TRUE(lua_isstring(L, -1));
    EXPECT_EQ(lua_type(L, -1), LUA_TWSTRING);
    EXPECT_EQ(lua_tostring(L, -1), nullptr);
    EXPECT_EQ(lua_strlen(L, -1), 3u);
    EXPECT_EQ(Wide(L, -1), u"h\u263Ai");

    lua_pushwstring(L, nullptr);
    EXPECT_EQ(lua_type(L, -1), LUA_TNIL);
    lua_pushwstring(L, u"");
    EXPECT_EQ(lua_type(L, -1), LUA_TWSTRING);
    EXPECT_EQ(lua_strlen(L, -1), 0u);
    lua_pushstring(L, nullptr);
    EXPECT_EQ(lua_type(L, -1), LUA_TNIL);
    lua_pushstring(L, "narrow");
    EXPECT_EQ(lua_towstring(L, -1), nullptr);
    EXPECT_EQ(lua_wstrlen(u"four"), 4);
}

TEST_F(LuaApiTest, NumbersConvertInPlaceToEitherStringKind)
{
    lua_pushnumber(L, 12);
    EXPECT_STREQ(lua_tostring(L, 1), "12");
    EXPECT_EQ(lua_type(L, 1), LUA_TSTRING);

    lua_pushnumber(L, 0.5);
    EXPECT_EQ(Wide(L, 2), u"0.5");
    EXPECT_EQ(lua_type(L, 2), LUA_TWSTRING);

    lua_pushnumber(L, 1e15);
    EXPECT_EQ(lua_strlen(L, 3), 5u); // "1e+15"
    EXPECT_EQ(lua_type(L, 3), LUA_TSTRING);

    lua_pushwstring(L, u"0x10");
    EXPECT_TRUE(lua_isnumber(L, 4));
    EXPECT_EQ(lua_tonumber(L, 4), 16);
}

TEST_F(LuaApiTest, BoxedPointerAndUserdataBlocks)
{
    int object = 7;
    lua_pushboxedpointer(L, &object);
    EXPECT_EQ(lua_type(L, -1), LUA_TUSERDATA);
    EXPECT_EQ(lua_touserdata(L, -1), &object);
    EXPECT_EQ(lua_topointer(L, -1), &object);
    EXPECT_EQ(lua_isboxedpointer(L, -1), 1);

    void* block = lua_newuserdata(L, 5);
    EXPECT_EQ(lua_touserdata(L, -1), block);
    EXPECT_EQ(lua_isboxedpointer(L, -1), 0);
    lua_pushlightuserdata(L, &object);
    EXPECT_EQ(lua_isboxedpointer(L, -1), 0);
    lua_pop(L, 1);
    EXPECT_EQ(lua_isboxedpointer(L, 10), 0); // no value there
    const LUserdata* u = static_cast<const LUserdata*>(block) - 1;
    EXPECT_EQ(u->mLength, 6u);
    lua_newuserdata(L, 3);
    EXPECT_EQ((static_cast<const LUserdata*>(lua_touserdata(L, -1)) - 1)->mLength, 4u);
}

int NoResults(lua_State*)
{
    return 0;
}

// Every value of every type but nil has its type's shared table as metatable, from the
// moment it is made; each type has a table of its own, which the base library also
// names in the registry. The type tables share one metatable, which is its own.
TEST_F(LuaApiTest, EveryValueButNilHasItsTypesTableAsMetatable)
{
    static int anchor = 0;
    struct TCase
    {
        int tag;
        const char* name;         // lua_typename
        const char* registryName; // null: none, and no metatable
        void (*push)(lua_State* L);
    };
    const TCase cases[] = {
        {LUA_TNIL, "nil", nullptr, [](lua_State* L) { lua_pushnil(L); }},
        {LUA_TBOOLEAN, "boolean", "_boolean", [](lua_State* L) { lua_pushboolean(L, 0); }},
        {LUA_TLIGHTUSERDATA, "userdata", "_lightuserdata",
         [](lua_State* L) { lua_pushlightuserdata(L, &anchor); }},
        {LUA_TNUMBER, "number", "_number", [](lua_State* L) { lua_pushnumber(L, 2.5); }},
        {LUA_TSTRING, "string", "_string", [](lua_State* L) { lua_pushstring(L, "s"); }},
        {LUA_TTABLE, "table", "_table", [](lua_State* L) { lua_newtable(L); }},
        {LUA_TFUNCTION, "function", "_function",
         [](lua_State* L) { lua_pushcfunction(L, NoResults); }},
        {LUA_TUSERDATA, "userdata", "_userdata", [](lua_State* L) { lua_newuserdata(L, 3); }},
        {LUA_TTHREAD, "thread", "_thread", [](lua_State* L) { lua_newthread(L); }},
        {LUA_TWSTRING, "wstring", "_wstring", [](lua_State* L) { lua_pushwstring(L, u"w"); }},
    };
    std::vector<const void*> tables;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        lua_settop(L, 0);
        c.push(L);
        ASSERT_EQ(lua_type(L, 1), c.tag);
        EXPECT_STREQ(lua_typename(L, c.tag), c.name);
        lua_pushstring(L, c.registryName != nullptr ? c.registryName : "_nil");
        lua_rawget(L, LUA_REGISTRYINDEX);
        if (c.registryName == nullptr) {
            EXPECT_TRUE(lua_isnil(L, 2));
            EXPECT_EQ(lua_getmetatable(L, 1), 0);
            EXPECT_EQ(lua_gettop(L), 2); // nothing pushed
            continue;
        }
        ASSERT_EQ(lua_getmetatable(L, 1), 1);
        ASSERT_TRUE(lua_istable(L, 3));
        EXPECT_TRUE(lua_rawequal(L, 2, 3));
        lua_gettypemetatable(L, c.tag);
        EXPECT_TRUE(lua_rawequal(L, 3, 4));
        c.push(L); // a second value of the type shares it
        ASSERT_EQ(lua_getmetatable(L, 5), 1);
        EXPECT_TRUE(lua_rawequal(L, 3, 6));
        tables.push_back(lua_topointer(L, 3));
        // The type table's own metatable is the shared default, whose metatable is itself.
        ASSERT_EQ(lua_getmetatable(L, 3), 1);
        ASSERT_EQ(lua_getmetatable(L, 7), 1);
        EXPECT_TRUE(lua_rawequal(L, 7, 8));
        EXPECT_FALSE(lua_rawequal(L, 3, 7));
    }
    std::sort(tables.begin(), tables.end());
    EXPECT_EQ(std::unique(tables.begin(), tables.end()), tables.end()) << "types share a table";
    lua_settop(L, 0);
    EXPECT_EQ(lua_getmetatable(L, 5), 0); // no value there

    // A per-type table can be replaced only by a table.
    lua_gettypemetatable(L, LUA_TNUMBER);
    lua_pushnumber(L, 3);
    lua_settypemetatable(L, LUA_TNUMBER);
    lua_gettypemetatable(L, LUA_TNUMBER);
    EXPECT_TRUE(lua_rawequal(L, -1, -2));
}

struct TableLengthCase
{
    const char* code;
    int expected;
};

TEST_F(LuaApiTest, TableLength)
{
    const TableLengthCase cases[] = {
        {"return {n = 2.7, 1, 2, 3}", 2},
        {"return {1, 2, nil, 4}", 4},
        {"return {[10] = true}", 10},
        {"return {[2.5] = true}", 2},
        {"return {}", 0},
        {"local t = {[7] = 1, [3] = 2} t[7] = nil return t", 3},
        {"return {[1e10] = 1}", INT_MAX},
        {"return {[-5] = 1}", 0},
        {"return {n = -3}", -3},
        {"return {n = 0/0, 1}", 0},
        {"return {n = 'x', 1, 2}", 2},
        {"return 5", 0},
        {"return 'abc'", 0},
        {"return nil", 0},
    };
    for (const TableLengthCase& c : cases) {
        ASSERT_EQ(Run(c.code), 0) << c.code;
        EXPECT_EQ(lua_tablelength(L, -1), c.expected) << c.code;
        lua_settop(L, 0);
    }
    EXPECT_EQ(lua_tablelength(L, 3), 0); // an index without a value
}

int ReadPseudoIndices(lua_State* L)
{
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_pushboolean(L, lua_isnone(L, lua_upvalueindex(2)));
    lua_pushvalue(L, -40001);
    lua_pushboolean(L, lua_isnone(L, -40099));
    return 4;
}

TEST_F(LuaApiTest, PseudoIndices)
{
    lua_pushstring(L, "first");
    lua_rawseti(L, LUA_REGISTRYINDEX, 1);
    lua_pushstring(L, "upvalue");
    lua_pushcclosure(L, ReadPseudoIndices, 1);
    ASSERT_EQ(lua_pcall(L, 0, 4, 0), 0);
    EXPECT_STREQ(lua_tostring(L, 1), "upvalue");
    EXPECT_TRUE(lua_toboolean(L, 2));
    EXPECT_STREQ(lua_tostring(L, 3), "first");
    EXPECT_TRUE(lua_toboolean(L, 4));

    lua_pushvalue(L, LUA_GLOBALSINDEX);
    lua_pushstring(L, "_G");
    lua_rawget(L, -2);
    EXPECT_TRUE(lua_rawequal(L, -1, -2));
}

int PushHundred(lua_State* L)
{
    for (int i = 0; i < 100; i++) {
        lua_pushnumber(L, i);
    }
    return 100;
}

TEST_F(LuaApiTest, PushesGrowTheStackWithoutCheckstack)
{
    lua_pushcfunction(L, PushHundred);
    ASSERT_EQ(lua_pcall(L, 0, LUA_MULTRET, 0), 0);
    ASSERT_EQ(lua_gettop(L), 100);
    for (int i = 0; i < 100; i++) {
        EXPECT_EQ(lua_tonumber(L, i + 1), i);
    }
    EXPECT_EQ(lua_checkstack(L, 2049), 0);
    EXPECT_EQ(lua_checkstack(L, 2048 - 100), 1);
    EXPECT_EQ(lua_checkstack(L, 2048 - 99), 0);
}

TEST_F(LuaApiTest, CollectorThresholdInKilobytes)
{
    lua_setgcthreshold(L, 4194304);
    EXPECT_GE(static_cast<unsigned>(lua_getgcthreshold(L)), 4194303u);
    ASSERT_EQ(Run("garbage = {} for i = 1, 1000 do garbage[i] = {} end garbage = nil"), 0);
    int before = lua_getgccount(L);
    lua_setgcthreshold(L, 0); // collects at once
    EXPECT_LT(lua_getgccount(L), before);
    EXPECT_GE(lua_getgcthreshold(L), lua_getgccount(L));
}

TEST_F(LuaApiTest, ConcatAndLoadNames)
{
    lua_concat(L, 0);
    EXPECT_EQ(lua_type(L, -1), LUA_TSTRING);
    EXPECT_EQ(lua_strlen(L, -1), 0u);
    lua_pushwstring(L, u"a");
    lua_pushnumber(L, 1);
    lua_concat(L, 2);
    EXPECT_EQ(Wide(L, -1), u"a1");

    struct Reader
    {
        static const char* Read(lua_State*, void* data, size_t* size)
        {
            const char** text = static_cast<const char**>(data);
            const char* piece = *text;
            *text = nullptr;
            *size = piece != nullptr ? std::strlen(piece) : 0;
            return piece;
        }
    };
    const char* text = "x = = 1";
    EXPECT_EQ(lua_load(L, Reader::Read, &text, nullptr), LUA_ERRSYNTAX);
    EXPECT_EQ(TopString().rfind("[string \"?\"]:1:", 0), 0u) << TopString();
}

TEST_F(LuaApiTest, ErrorsCarryTheirStatusAndValue)
{
    EXPECT_EQ(Run("error({code = 3})"), LUA_ERRRUN);
    ASSERT_TRUE(lua_istable(L, -1));
    lua_settop(L, 0);
    EXPECT_EQ(Run("local x = nil; return x.y"), LUA_ERRRUN);
    EXPECT_EQ(TopString(), "test:1: attempt to index local `x' (a nil value)");
    lua_settop(L, 0);
    EXPECT_EQ(Run("return ("), LUA_ERRSYNTAX);
    lua_settop(L, 0);
    // An overflow while handling an overflow is status 5.
    EXPECT_EQ(Run("local function f() return xpcall(f, f) end return f()"), 0);
    lua_settop(L, 0);
    EXPECT_EQ(Run("local function h(m) return h(m) .. '' end return xpcall(function() error('x') "
                  "end, h)"),
              0);
    EXPECT_FALSE(lua_toboolean(L, 1));
    EXPECT_STREQ(lua_tostring(L, 2), "error in error handling");
}

TEST_F(LuaApiTest, LuaStackOverflowIsCatchableAndRepeatable)
{
    for (int round = 0; round < 3; round++) {
        EXPECT_EQ(Run("local function f(n) return 1 + f(n) end return f(1)"), LUA_ERRRUN);
        EXPECT_NE(TopString().find("stack overflow"), std::string::npos) << TopString();
        lua_settop(L, 0);
    }
    EXPECT_EQ(Run("return 1 + 1"), 0);
    EXPECT_EQ(lua_tonumber(L, -1), 2);
}

int Recurse(lua_State* L)
{
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_call(L, 0, 0);
    return 0;
}

TEST_F(LuaApiTest, NestedCCallsOverflow)
{
    lua_pushstring(L, "recurse");
    lua_pushnil(L);
    lua_pushcclosure(L, Recurse, 1);
    lua_pushvalue(L, -1);
    lua_setupvalue(L, -2, 1); // the closure calls itself
    lua_settable(L, LUA_GLOBALSINDEX);
    EXPECT_EQ(Run("recurse()"), LUA_ERRRUN);
    EXPECT_EQ(TopString(), "C stack overflow");
}

// A C function that waits: it yields from inside a call made by Lua.
int Wait(lua_State* L)
{
    return lua_yield(L, lua_gettop(L));
}

TEST_F(LuaApiTest, YieldFromCFunctionsCalledByLua)
{
    lua_register(L, "Wait", Wait);
    ASSERT_EQ(Run("log = '' function task(a) for i = 1, 3 do local got = Wait(a * i) log = log .. "
                  "got end return 'end' end"),
              0);
    lua_State* co = lua_newthread(L);
    EXPECT_EQ(lua_mainthread(co), L);
    EXPECT_EQ(lua_mainthread(L), L);
    lua_pushstring(co, "task");
    lua_gettable(co, LUA_GLOBALSINDEX);
    lua_pushnumber(co, 10);
    EXPECT_EQ(lua_isyielded(co), 0); // not started
    ASSERT_EQ(lua_resume(co, 1), 0);
    std::vector<double> yielded;
    for (int step = 0; step < 10; step++) {
        if (lua_gettop(co) == 1 && lua_type(co, 1) == LUA_TSTRING) {
            break;
        }
        EXPECT_EQ(lua_isyielded(co), 1);
        yielded.push_back(lua_tonumber(co, -1));
        lua_settop(co, 0);
        lua_pushstring(co, step == 0 ? "a" : step == 1 ? "b" : "c");
        ASSERT_EQ(lua_resume(co, 1), 0);
    }
    EXPECT_EQ(yielded, (std::vector<double>{10, 20, 30}));
    EXPECT_STREQ(lua_tostring(co, 1), "end");
    EXPECT_EQ(lua_isyielded(co), 0); // finished
    ASSERT_EQ(Run("return log"), 0);
    EXPECT_EQ(TopString(), "abc");
    lua_settop(co, 0);
    EXPECT_EQ(lua_resume(co, 0), LUA_ERRRUN);
    EXPECT_STREQ(lua_tostring(co, -1), "cannot resume dead coroutine");
}

// Yields only where lua_canyield allows it, and records the answers.
std::vector<int> gCanYield;
int WaitIfAllowed(lua_State* L)
{
    gCanYield.push_back(lua_canyield(L));
    return gCanYield.back() != 0 ? lua_yield(L, 0) : 0;
}

TEST_F(LuaApiTest, CanYieldOnlyWhereAYieldWouldSuspend)
{
    gCanYield.clear();
    lua_register(L, "WaitIfAllowed", WaitIfAllowed);
    EXPECT_EQ(lua_canyield(L), 0); // nothing runs
    // Called through lua_pcall from C: not in a coroutine that could be resumed.
    ASSERT_EQ(Run("WaitIfAllowed()"), 0);
    ASSERT_EQ(Run("function task() WaitIfAllowed() pcall(WaitIfAllowed) "
                  "local t = setmetatable({}, { __index = function() WaitIfAllowed() end }) "
                  "local x = t.key WaitIfAllowed() end"),
              0);
    lua_State* co = lua_newthread(L);
    lua_pushstring(co, "task");
    lua_gettable(co, LUA_GLOBALSINDEX);
    ASSERT_EQ(lua_resume(co, 0), 0);
    EXPECT_EQ(lua_isyielded(co), 1);
    ASSERT_EQ(lua_resume(co, 0), 0);
    EXPECT_EQ(lua_isyielded(co), 1);
    ASSERT_EQ(lua_resume(co, 0), 0);
    EXPECT_EQ(lua_isyielded(co), 0);
    // Through pcall and a metamethod the function does not yield; called from Lua
    // inside the coroutine it does.
    EXPECT_EQ(gCanYield, (std::vector<int>{0, 1, 0, 0, 1}));
}

TEST_F(LuaApiTest, ResumeTheMainStateItself)
{
    lua_register(L, "Wait", Wait);
    const char* code = "local v = Wait(1) return v + 1";
    ASSERT_EQ(luaL_loadbuffer(L, code, std::strlen(code), "=main"), 0);
    ASSERT_EQ(lua_resume(L, 0), 0);
    EXPECT_EQ(lua_tonumber(L, -1), 1);
    lua_settop(L, 0);
    lua_pushnumber(L, 41);
    ASSERT_EQ(lua_resume(L, 1), 0);
    EXPECT_EQ(lua_tonumber(L, -1), 42);
}

TEST_F(LuaApiTest, YieldFromAnErroringCoroutineLeavesItDead)
{
    lua_State* co = lua_newthread(L);
    const char* code = "local t = {} coroutine.yield(1) error('late')";
    ASSERT_EQ(luaL_loadbuffer(co, code, std::strlen(code), "=co"), 0);
    ASSERT_EQ(lua_resume(co, 0), 0);
    EXPECT_EQ(lua_isyielded(co), 1);
    lua_settop(co, 0);
    EXPECT_EQ(lua_resume(co, 0), LUA_ERRRUN);
    EXPECT_STREQ(lua_tostring(co, -1), "co:1: late");
    EXPECT_EQ(lua_isyielded(co), 0);
    lua_settop(co, 0);
    EXPECT_EQ(lua_resume(co, 0), LUA_ERRRUN);
    EXPECT_STREQ(lua_tostring(co, -1), "cannot resume dead coroutine");
}

int gFinalised = 0;

int CountFinaliser(lua_State*)
{
    gFinalised++;
    return 0;
}

TEST(LuaCloseTest, FinalisersRunOnceAtCloseEvenWhenOneRaises)
{
    gFinalised = 0;
    lua_State* L = lua_open();
    ASSERT_NE(L, nullptr);
    luaopen_base(L);
    lua_register(L, "count", CountFinaliser);
    const char* code =
        "keep = {}\n"
        "for i = 1, 4 do\n"
        "  local p = newproxy(true)\n"
        "  if i == 2 then getmetatable(p).__gc = function() error('finaliser fails') end\n"
        "  else getmetatable(p).__gc = count end\n"
        "  keep[i] = p\n"
        "end\n"
        "co = coroutine.create(function() local x = keep coroutine.yield(function() return x end) "
        "end)\n"
        "coroutine.resume(co)\n";
    ASSERT_EQ(luaL_loadbuffer(L, code, std::strlen(code), "=close"), 0);
    ASSERT_EQ(lua_pcall(L, 0, 0, 0), 0);
    lua_close(L);
    EXPECT_EQ(gFinalised, 3);
}

// The allocator fails at the k-th allocation after it is armed; every failure must give
// a clean memory error (status 4) and nothing may leak.
struct FailingAllocator
{
    static inline int sCountdown = -1;
    static inline int sSeenTag1 = 0;
    static void* Alloc(void*, void* block, size_t, size_t newSize, int, int tag)
    {
        if (tag == 1) {
            sSeenTag1++;
        }
        if (newSize == 0) {
            std::free(block);
            return nullptr;
        }
        if (sCountdown == 0) {
            return nullptr;
        }
        if (sCountdown > 0) {
            sCountdown--;
        }
        return std::realloc(block, newSize);
    }
};

TEST(LuaMemoryTest, FailingAllocationsGiveMemoryErrorsAndLeakNothing)
{
    LuaAllocFunction oldAlloc = luaM_defaultallocator();
    void* oldUd = luaM_defaultallocatorud();
    luaM_setdefaultallocator(FailingAllocator::Alloc, nullptr);
    const char* code = "local t = {} for i = 1, 50 do t[i] = {i, tostring(i) .. 'x'} end\n"
                       "local co = coroutine.wrap(function(a) local s = '' for i = 1, a do s = s "
                       ".. i coroutine.yield(s) end end)\n"
                       "for i = 1, 5 do co(5) end\n"
                       "local ok = pcall(error, {}) return t";
    int memoryErrors = 0;
    for (int k = 0; k < 400; k += 3) {
        FailingAllocator::sCountdown = -1;
        lua_State* L = lua_open();
        ASSERT_NE(L, nullptr);
        luaopen_base(L);
        FailingAllocator::sCountdown = k;
        int status = luaL_loadbuffer(L, code, std::strlen(code), "=mem");
        if (status == 0) {
            status = lua_pcall(L, 0, 0, 0);
        }
        EXPECT_TRUE(status == 0 || status == LUA_ERRMEM || status == LUA_ERRSYNTAX)
            << k << " " << status;
        memoryErrors += status == LUA_ERRMEM;
        FailingAllocator::sCountdown = -1;
        lua_close(L);
    }
    luaM_setdefaultallocator(oldAlloc, oldUd);
    EXPECT_GT(memoryErrors, 0);
}

TEST(LuaMemoryTest, TextBufferResizesAreTagged)
{
    LuaAllocFunction oldAlloc = luaM_defaultallocator();
    void* oldUd = luaM_defaultallocatorud();
    luaM_setdefaultallocator(FailingAllocator::Alloc, nullptr);
    FailingAllocator::sCountdown = -1;
    lua_State* L = lua_open();
    ASSERT_NE(L, nullptr);
    FailingAllocator::sSeenTag1 = 0;
    const char* code = "local s = 'x' for i = 1, 12 do s = s .. s end return s";
    ASSERT_EQ(luaL_loadbuffer(L, code, std::strlen(code), "=tag"), 0);
    ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
    EXPECT_EQ(lua_strlen(L, -1), 4096u);
    EXPECT_GT(FailingAllocator::sSeenTag1, 0);
    lua_close(L);
    luaM_setdefaultallocator(oldAlloc, oldUd);
}

TEST(LuaStressTest, StressModeCollectsAtEveryCheck)
{
    luaC_setstress(true);
    lua_State* L = lua_open();
    ASSERT_NE(L, nullptr);
    luaopen_base(L);
    const char* code = "local weak = setmetatable({}, {__mode = 'v'})\n"
                       "for i = 1, 20 do weak[i] = {} local s = 'k' .. i end\n"
                       "local t = {}\n"
                       "for i = 1, 200 do t[i] = {tostring(i)} end\n"
                       "local n = 0 for k in pairs(weak) do n = n + 1 end\n"
                       "return n, t[200][1]";
    ASSERT_EQ(luaL_loadbuffer(L, code, std::strlen(code), "=stress"), 0);
    int status = lua_pcall(L, 0, 2, 0);
    luaC_setstress(false);
    ASSERT_EQ(status, 0) << lua_tostring(L, -1);
    EXPECT_EQ(lua_tonumber(L, 1), 0);
    EXPECT_STREQ(lua_tostring(L, 2), "200");
    lua_close(L);
}

} // namespace

namespace {

std::vector<int> gLines;
int gCounts = 0;
int gCalls = 0;

void RecordHook(lua_State* L, lua_Debug* ar)
{
    if (ar->event == LUA_HOOKLINE) {
        gLines.push_back(ar->currentline);
    } else if (ar->event == LUA_HOOKCOUNT) {
        gCounts++;
    } else if (ar->event == LUA_HOOKCALL) {
        lua_getinfo(L, "S", ar);
        gCalls++;
    }
}

int DescribeCaller(lua_State* L)
{
    lua_Debug ar;
    EXPECT_EQ(lua_getstack(L, 1, &ar), 1);
    lua_getinfo(L, "Snl", &ar);
    lua_pushfstring(L, "%s %s %d %s", ar.what, ar.short_src, ar.currentline, ar.namewhat);
    EXPECT_EQ(lua_getstack(L, 50, &ar), 0);
    return 1;
}

TEST_F(LuaApiTest, HooksAndDebugInfo)
{
    gLines.clear();
    gCounts = 0;
    gCalls = 0;
    lua_sethook(L, RecordHook, LUA_MASKLINE | LUA_MASKCOUNT | LUA_MASKCALL, 10);
    const char* code = "local a = 1\nlocal b = 2\nfor i = 1, 3 do\n  a = a + i\nend\nreturn a";
    ASSERT_EQ(luaL_loadbuffer(L, code, std::strlen(code), "=hooks"), 0);
    ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0);
    lua_sethook(L, nullptr, 0, 0);
    EXPECT_EQ(lua_tonumber(L, -1), 7);
    ASSERT_GE(gLines.size(), 6u);
    EXPECT_EQ(gLines[0], 1);
    EXPECT_EQ(gLines[1], 2);
    EXPECT_GT(gCounts, 0);
    EXPECT_GE(gCalls, 1);
    EXPECT_EQ(lua_gethook(L), nullptr);
    lua_settop(L, 0);

    lua_register(L, "describe", DescribeCaller);
    ASSERT_EQ(Run("local function f() return (describe()) end\nreturn f()"), 0);
    EXPECT_STREQ(lua_tostring(L, -1), "Lua test 1 ");
    lua_settop(L, 0);
    ASSERT_EQ(Run("return describe()"), 0);
    EXPECT_STREQ(lua_tostring(L, -1), "main test 1 ");
    lua_settop(L, 0);

    lua_Debug ar;
    lua_pushcfunction(L, DescribeCaller);
    ASSERT_EQ(lua_getinfo(L, ">S", &ar), 1);
    EXPECT_STREQ(ar.what, "C");
    EXPECT_STREQ(ar.short_src, "[C]");
    lua_pushnumber(L, 1);
    EXPECT_EQ(lua_pcall(L, 0, 0, 0), LUA_ERRRUN); // calling a number
}

} // namespace
