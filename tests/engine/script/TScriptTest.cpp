#include "engine/script/TScript.h"

#include "ScriptTestSupport.h"
#include "engine/foundation/assets/TAssetManager.h"
#include "engine/foundation/assets/TAssetMap.h"
#include "engine/foundation/core/TTaskList.h"
#include "engine/script/LuaBinder.h"
#include "engine/script/TLuaFunction.h"
#include "engine/script/TLuaTable.h"
#include "engine/script/TScriptCode.h"

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> gTrace;

void Record(TString text)
{
    gTrace.push_back(text.CStr());
}

// Wait(ms): the running script's task becomes due again in ms; the coroutine yields.
int Wait(lua_State* L)
{
    TScript::ForState(L)->Start(static_cast<int>(lua_tonumber(L, 1)), true, true, false);
    return lua_yield(L, 0);
}

int Yield(lua_State* L)
{
    return lua_yield(L, 0);
}

TLuaTable* gTakenTable = nullptr;
void TakeTable(TLuaTable* table)
{
    gTakenTable = table;
}

// Runs more script before reading its table argument.
double gReadAfterNestedRun = -1;
void ReadAfterNestedRun(TLuaTable* table)
{
    TScript::ForState(table->GetState())->DoLuaString("nested = { 1, 2, 3 }");
    gReadAfterNestedRun = table->GetNumber("x");
}

void PublishTestFunctions(lua_State* L)
{
    Publish<&ReadAfterNestedRun>(L, "ReadAfterNestedRun");
    Publish<&Record>(L, "Record");
    Publish<&Wait>(L, "Wait");
    Publish<&Yield>(L, "Yield");
    Publish<&TakeTable>(L, "TakeTable");
}

class TScriptTest : public ScriptTest
{
protected:
    void SetUp() override
    {
        ScriptTest::SetUp();
        gTrace.clear();
    }
    // A script owned by the task list.
    TScript* AddScript(std::unique_ptr<TScript> script = nullptr)
    {
        if (!script)
            script = std::make_unique<TScript>();
        EXPECT_TRUE(script->IsValid());
        PublishTestFunctions(script->GetState());
        TScript* raw = script.get();
        mTasks.AddTask(std::move(script));
        return raw;
    }
    void Step(int ms)
    {
        mTime.Advance(static_cast<uint32_t>(ms));
        mTasks.RunAll(kPassEveryTurn);
    }
    static bool RegistryHas(lua_State* L, const void* key)
    {
        lua_pushlightuserdata(L, const_cast<void*>(key));
        lua_rawget(L, LUA_REGISTRYINDEX);
        bool present = !lua_isnil(L, -1);
        lua_pop(L, 1);
        return present;
    }

    TTaskList mTasks;
};

using Trace = std::vector<std::string>;

TEST_F(TScriptTest, AHandedBackFunctionRunsAsACoroutineOnTheTaskSchedule)
{
    TScript* script = AddScript();
    EXPECT_TRUE(script->IsStopped()); // created stopped
    script->DoLuaString("return function() Record('start') Wait(100) Record('waited') "
                        "Yield() Record('end') end");
    EXPECT_EQ(gTrace, Trace({"start"}));
    EXPECT_TRUE(script->IsSuspended());
    EXPECT_EQ(lua_gettop(script->GetState()), 0);

    Step(0);
    Step(99);
    EXPECT_EQ(gTrace, Trace({"start"}));
    Step(1);
    EXPECT_EQ(gTrace, Trace({"start", "waited"}));
    Step(99); // Yield keeps the 100 ms period of the last Wait
    EXPECT_EQ(gTrace, Trace({"start", "waited"}));
    Step(1);
    EXPECT_EQ(gTrace, Trace({"start", "waited", "end"}));
    EXPECT_FALSE(script->IsSuspended());
    EXPECT_TRUE(script->IsStopped());
    Step(1000);
    EXPECT_EQ(gTrace.size(), 3u);
    EXPECT_EQ(Log(), "");
}

TEST_F(TScriptTest, ScriptsResumeInTheOrderTheirWaitsEnd)
{
    TScript* parent = AddScript();
    TScript* child = AddScript(parent->NewThread());
    parent->DoLuaString(
        "return function() Record('a1') Wait(30) Record('a2') Wait(30) Record('a3') end");
    child->DoLuaString(
        "return function() Record('b1') Wait(20) Record('b2') Wait(20) Record('b3') end");
    for (int i = 0; i < 8; i++)
        Step(10);
    EXPECT_EQ(gTrace, Trace({"a1", "b1", "b2", "a2", "b3", "a3"}));
}

TEST_F(TScriptTest, ThreadScriptsShareGlobalsAndHandScriptBack)
{
    TScript parent;
    std::unique_ptr<TScript> child = parent.NewThread();
    ASSERT_TRUE(child->IsValid());
    child->DoLuaString("shared = 5");
    EXPECT_EQ(parent.GetGlobalNumber("shared"), 5);

    auto scriptGlobal = [&parent] {
        lua_State* L = parent.GetState();
        lua_pushstring(L, "_SCRIPT");
        lua_gettable(L, LUA_GLOBALSINDEX);
        void* named = lua_touserdata(L, -1);
        lua_pop(L, 1);
        return named;
    };
    EXPECT_EQ(scriptGlobal(), child.get()); // the newest script of the state
    child.reset();
    EXPECT_EQ(scriptGlobal(), &parent); // never a destroyed one
}

TEST_F(TScriptTest, AThreadScriptOutlivedByItsStateIsInvalidAndSafeToDelete)
{
    auto parent = std::make_unique<TScript>();
    std::unique_ptr<TScript> child = parent->NewThread();
    parent.reset();
    EXPECT_FALSE(child->IsValid());
    child->DoLuaString("x = 1");
    EXPECT_EQ(child->GetGlobalNumber("x"), 0);
    child.reset();
}

TEST_F(TScriptTest, ErrorsGoToAlertAndTheStateGoesOn)
{
    TScript script;
    script.DoLuaString("error('first failure')");
    EXPECT_EQ(CountInLog("Lua error: "), 1) << Log();
    EXPECT_EQ(CountInLog("first failure\n"), 1) << Log();
    EXPECT_EQ(CountInLog("DoLuaString"), 0) << Log(); // run-time errors only through _ALERT
    lua_settop(script.GetState(), 0);

    script.DoLuaString("x = 41 + 1");
    EXPECT_EQ(script.GetGlobalNumber("x"), 42);

    script.DoLuaString("error({})");
    EXPECT_EQ(CountInLog("Lua error: (error object is a table value)\n"), 1) << Log();
    script.DoLuaString("error(L\"wide\")");
    EXPECT_EQ(CountInLog("wide\n"), 1) << Log();
}

TEST_F(TScriptTest, AFailingCoroutineStopsOnlyItsOwnTask)
{
    TScript* failing = AddScript();
    TScript* steady = AddScript();
    failing->DoLuaString("return function() Yield() error('in coroutine') end");
    steady->DoLuaString("return function() while true do Record('tick') Yield() end end");
    Step(1);
    Step(1);
    EXPECT_EQ(CountInLog("lua_resume ERROR: "), 1) << Log();
    EXPECT_EQ(CountInLog("in coroutine\n"), 1) << Log();
    EXPECT_TRUE(failing->IsStopped());
    EXPECT_FALSE(steady->IsStopped());
    EXPECT_EQ(gTrace, Trace({"tick", "tick", "tick"}));
}

TEST_F(TScriptTest, RunFunctionOnASuspendedScriptPassesSixArguments)
{
    TScript* script = AddScript();
    lua_State* L = script->GetState();
    script->DoLuaString("function Collect(...) count = arg.n; first = arg[1]; sixth = arg[6] end "
                        "return function() Yield() end");
    ASSERT_TRUE(script->IsSuspended());
    lua_pushstring(L, "Collect");
    lua_gettable(L, LUA_GLOBALSINDEX);
    for (int i = 1; i <= 8; i++)
        lua_pushnumber(L, i);
    EXPECT_EQ(script->RunFunction(8, 0), 0);
    EXPECT_EQ(lua_gettop(L), 0);
    EXPECT_EQ(script->GetGlobalNumber("count"), 6);
    EXPECT_EQ(script->GetGlobalNumber("first"), 1);
    EXPECT_EQ(script->GetGlobalNumber("sixth"), 6);
    EXPECT_TRUE(script->IsSuspended());
}

class TCapturingScript final : public TScript
{
public:
    bool DeliverClosure() override
    {
        mWasFunction = lua_isfunction(GetState(), -1);
        mClosure = std::make_unique<TLuaFunction>(GetState());
        return true;
    }
    bool mWasFunction = false;
    std::unique_ptr<TLuaFunction> mClosure;
};

TEST_F(TScriptTest, DeliverClosureReceivesTheWrappedCall)
{
    auto owned = std::make_unique<TCapturingScript>();
    TCapturingScript* script = owned.get();
    AddScript(std::move(owned));
    lua_State* L = script->GetState();
    script->DoLuaString("function Collect(a, b) total = a + b end return function() Yield() end");
    lua_pushstring(L, "Collect");
    lua_gettable(L, LUA_GLOBALSINDEX);
    lua_pushnumber(L, 2);
    lua_pushnumber(L, 3);
    EXPECT_EQ(script->RunFunction(2, 0), 0);
    EXPECT_EQ(lua_gettop(L), 0);
    EXPECT_TRUE(script->mWasFunction);
    EXPECT_EQ(script->GetGlobalNumber("total"), 0); // not called yet
    ASSERT_TRUE(script->mClosure);
    EXPECT_TRUE(script->mClosure->Call());
    lua_settop(L, 0);
    EXPECT_EQ(script->GetGlobalNumber("total"), 5);

    // A call taken this way leaves what its caller expects: one result for nresults 1
    // (the coroutine yielded nothing: nil), none for 0.
    lua_pushstring(L, "Collect");
    lua_gettable(L, LUA_GLOBALSINDEX);
    EXPECT_EQ(script->RunFunction(0, 1), 0);
    ASSERT_EQ(lua_gettop(L), 1);
    EXPECT_TRUE(lua_isnil(L, -1));
    lua_settop(L, 0);
    script->DoLuaString("ignored = 1");
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(TScriptTest, DoLuaStringReportsParseErrors)
{
    TScript script;
    lua_State* L = script.GetState();
    script.DoLuaString("function LuaErrorMessage(text) lastMessage = text end");
    EXPECT_EQ(lua_gettop(L), 0); // nresults 0 leaves the stack balanced

    script.DoLuaString("x = = 1");
    EXPECT_EQ(lua_gettop(L), 1); // the error value stays
    lua_settop(L, 0);
    EXPECT_EQ(CountInLog("DoLuaString Lua Error: "), 1) << Log();
    EXPECT_EQ(CountInLog("\twhen parsing x = = 1\n"), 1) << Log();
    std::string message = GlobalString(L, "lastMessage");
    EXPECT_EQ(message.rfind("Lua Error: ", 0), 0u) << message;
    EXPECT_NE(message.find("\n\twhen parsing"), std::string::npos) << message;

    // The free form: on a script's state, and on a bare one.
    DoLuaString(L, "y = 3");
    EXPECT_EQ(script.GetGlobalNumber("y"), 3);
    lua_State* bare = lua_open();
    DoLuaString(bare, "return (");
    EXPECT_EQ(CountInLog("DoLuaString Lua Error: "), 2) << Log();
    lua_close(bare);
}

TEST_F(TScriptTest, PopOperations)
{
    TScript script;
    lua_State* L = script.GetState();
    script.DoLuaString("half = {1, 0.5}", -1, 0);
    lua_pushstring(L, "half");
    lua_gettable(L, LUA_GLOBALSINDEX);
    TColor color = script.PopColor();
    EXPECT_EQ(color.r, 1.0f);
    EXPECT_EQ(color.g, 0.5f);
    EXPECT_EQ(color.b, 0.0f);
    EXPECT_EQ(color.a, 0.0f);
    lua_pushnumber(L, 3);
    color = script.PopColor(); // not a table: all zeroes
    EXPECT_EQ(color.r, 0.0f);
    EXPECT_EQ(lua_gettop(L), 0);

    struct BoolCase
    {
        const char* expression;
        bool expected;
        const char* logged;
    };
    const BoolCase cases[] = {
        {"nil", false, nullptr},
        {"true", true, nullptr},
        {"0", false, nullptr},
        {"2", true, nullptr},
        {"'true'", false, "PopBool used on lua string true"},
        {"{}", false, "PopBool used on a type that isn't a number, a boolean, or nil. (type: 5)"},
    };
    for (const BoolCase& c : cases) {
        script.DoLuaString(TString("return ") + c.expression, -1, 1);
        EXPECT_EQ(script.PopBool(), c.expected) << c.expression;
        if (c.logged != nullptr) {
            EXPECT_EQ(CountInLog(c.logged), 1) << c.expression;
        }
        EXPECT_EQ(lua_gettop(L), 0) << c.expression;
    }

    script.DoLuaString("return 12.5, 'text'", -1, 2);
    EXPECT_STREQ(script.PopString().CStr(), "text");
    EXPECT_EQ(script.PopNumber(), 12.5);
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(TScriptTest, GlobalsFromEngineCode)
{
    TScript script;
    script.SetGlobalString("greeting", "hello");
    script.DoLuaString("list = { greeting, 4 } count = '7'");
    std::unique_ptr<TLuaTable> list = script.GetGlobalTable("list");
    ASSERT_NE(list, nullptr);
    EXPECT_STREQ(list->GetStringByIndex(1).CStr(), "hello");
    EXPECT_EQ(script.GetGlobalTable("count"), nullptr);
    EXPECT_EQ(script.GetGlobalNumber("count"), 7);
    EXPECT_EQ(script.GetGlobalNumber("absent"), 0);
    EXPECT_EQ(lua_gettop(script.GetState()), 0);
}

TEST_F(TScriptTest, TableArgumentsAreReleasedAtTheNextRun)
{
    TScript* script = AddScript();
    lua_State* L = script->GetState();
    script->DoLuaString("TakeTable({ x = 1 })");
    ASSERT_NE(gTakenTable, nullptr);
    const void* key = gTakenTable;
    EXPECT_EQ(gTakenTable->GetNumber("x"), 1); // valid until the script runs again
    EXPECT_TRUE(RegistryHas(L, key));
    script->DoLuaString("y = 2");
    EXPECT_FALSE(RegistryHas(L, key));

    // A table taken inside the coroutine goes at the next resume.
    script->DoLuaString("return function() TakeTable({}) Yield() end");
    key = gTakenTable;
    EXPECT_TRUE(RegistryHas(L, key));
    Step(0);
    EXPECT_FALSE(RegistryHas(L, key));
}

TEST_F(TScriptTest, ATableArgumentOutlivesNestedRunsOfItsTaker)
{
    TScript* script = AddScript();
    script->DoLuaString("ReadAfterNestedRun({ x = 9 })");
    EXPECT_EQ(gReadAfterNestedRun, 9);
    EXPECT_EQ(script->GetGlobalNumber("nested"), 0); // a table, not a number
    EXPECT_EQ(Log(), "");
}

TEST_F(TScriptTest, RunScriptStartsTheCoroutineAFileHandsBack)
{
    TScript* script = AddScript();
    lua_State* L = script->GetState();
    std::string path = WriteFile(
        "scripts/mainloop.lua", "Record('loaded')\n"
                                "return function() Record('first') Yield() Record('second') end\n");
    lua_pushnumber(L, 1); // the caller's value stays
    EXPECT_TRUE(script->RunScript(path.c_str(), nullptr));
    EXPECT_EQ(gTrace, Trace({"loaded", "first"}));
    EXPECT_EQ(lua_gettop(L), 1);
    Step(0);
    EXPECT_EQ(gTrace, Trace({"loaded", "first", "second"}));
    EXPECT_TRUE(script->IsStopped());
    EXPECT_EQ(Log(), "");
}

TEST_F(TScriptTest, RunScriptFailures)
{
    TScript script;
    lua_State* L = script.GetState();
    EXPECT_FALSE(script.RunScript("", nullptr));
    EXPECT_FALSE(script.RunScript(VirtualPath("missing.lua").c_str(), nullptr));
    EXPECT_EQ(Log(), ""); // no line for a file that is not there

    std::string broken = WriteFile("broken.lua", "x = = 1\n");
    EXPECT_FALSE(script.RunScript(broken.c_str(), nullptr));
    EXPECT_EQ(CountInLog("Lua error: "), 1) << Log();
    EXPECT_EQ(CountInLog("broken.lua:1:"), 1) << Log();
    EXPECT_EQ(CountInLog("Failed to run script"), 0) << Log();
    EXPECT_EQ(lua_gettop(L), 0);

    std::string failing = WriteFile("failing.lua", "error('stop here')\n");
    EXPECT_FALSE(script.RunScript(failing.c_str(), nullptr));
    EXPECT_EQ(CountInLog("stop here\n"), 1) << Log();
    EXPECT_EQ(CountInLog("Failed to run script " + failing + ": 1\n"), 1) << Log();
    EXPECT_EQ(lua_gettop(L), 0);

    std::string fine = WriteFile("fine.lua", "fine = 1\n");
    EXPECT_TRUE(script.RunScript(fine.c_str(), nullptr));
    EXPECT_EQ(script.GetGlobalNumber("fine"), 1);
}

TEST_F(TScriptTest, RunScriptSharesCompiledCodeThroughTheCacheGiven)
{
    TAssetManager cache;
    std::string path = WriteFile("counted.lua", "runs = (runs or 0) + 1\n");
    std::shared_ptr<TScriptCode> held =
        GetScriptCode(&cache, path.c_str(), gScriptSearchPath, nullptr);
    ASSERT_NE(held, nullptr);
    WriteFile("counted.lua", "runs = 100\n");
    TScript script;
    // The held code runs, not the changed file.
    EXPECT_TRUE(script.RunScript(path.c_str(), &cache));
    EXPECT_TRUE(script.RunScript(path.c_str(), &cache));
    EXPECT_EQ(script.GetGlobalNumber("runs"), 2);
    // Without a cache the file is compiled as it is now.
    EXPECT_TRUE(script.RunScript(path.c_str(), nullptr));
    EXPECT_EQ(script.GetGlobalNumber("runs"), 100);
}

TEST_F(TScriptTest, AssetMapsLoadScriptsAsCompiledCode)
{
    TAssetManager cache;
    RegisterScriptCodeLoader(&cache);
    std::string path = WriteFile("scripts/config.lua", "width = 800\n");
    TAssetMap map;
    map.AddAsset(VirtualPath("scripts/config").c_str());
    TAssetMap::RegisterLoader("lua", {});
    EXPECT_EQ(map.GetCount(), 1u);
    EXPECT_NE(AssetCast<TScriptCode>(cache.Find(path.c_str())), nullptr);
    EXPECT_EQ(Log(), "");
}

TEST_F(TScriptTest, DumpTableStopsBelowFiveLevels)
{
    TScript script;
    std::string dumped;
    TScript::SetDebugOutHook([&dumped](const TString& text) { dumped += text.CStr(); });
    script.DoLuaString("DumpTable({ a = { b = { c = { d = { e = { f = 1 } } } } } })");
    EXPECT_EQ(dumped, "Dump Table: \n"
                      "  a -> {\n"
                      "    b -> {\n"
                      "      c -> {\n"
                      "        d -> {\n"
                      "          e -> {\n"
                      "            ...\n"
                      "          }\n"
                      "        }\n"
                      "      }\n"
                      "    }\n"
                      "  }\n");
    dumped.clear();
    script.DoLuaString("DumpTable({ n = 1 })");
    EXPECT_EQ(dumped, "Dump Table: \n  n -> 1\n");
    EXPECT_EQ(Log(), "");
}

} // namespace
