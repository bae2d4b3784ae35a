#include "engine/script/TScriptBudget.h"

#include "ScriptTestSupport.h"

#include <chrono>
#include <memory>
#include <string>

namespace {

using namespace std::chrono_literals;

// Short limits, so that a runaway case ends in a fraction of a second.
TScriptLimits ShortLimits()
{
    TScriptLimits limits;
    limits.callTime = 30ms;
    limits.grace = 30ms;
    limits.memory = std::size_t{2} << 20;
    return limits;
}

class TScriptBudgetTest : public ScriptTest
{
protected:
    void SetUp() override
    {
        ScriptTest::SetUp();
        TScriptBudget::SetLimits(ShortLimits());
        mScript = std::make_unique<TScript>();
        ASSERT_TRUE(mScript->IsValid());
    }
    void TearDown() override { mScript.reset(); }

    // Runs text named chunk as one call; the call's status.
    int Call(const std::string& text, const char* chunk = "=runaway")
    {
        lua_State* L = mScript->GetState();
        EXPECT_EQ(luaL_loadbuffer(L, text.data(), text.size(), chunk), 0);
        int status = mScript->RunFunction(0, 0);
        return status;
    }

    std::unique_ptr<TScript> mScript;
};

struct TRunaway
{
    const char* name;
    const char* script;
    int status;
    const char* logged; // the one line that names the script and the cause
};

const TRunaway kRunaways[] = {
    {"endless loop", "local n = 0\nwhile true do n = n + 1 end", LUA_ERRRUN,
     "Lua error: runaway:2: stopped: one call ran longer than 30 ms"},
    {"endless recursion through calls", "local function f() return 1 end\nwhile true do f() end",
     LUA_ERRRUN, "stopped: one call ran longer than 30 ms"},
    {"loop that catches its stop", "while true do\n  pcall(function() while true do end end)\nend",
     LUA_ERRRUN, "stopped: still running 30 ms after it was stopped"},
    {"loop in a coroutine it resumes",
     "local co = coroutine.create(function() while true do end end)\ncoroutine.resume(co)\n"
     "while true do end",
     LUA_ERRRUN, "Lua error: runaway:3: stopped: still running 30 ms after it was stopped"},
    {"memory hog",
     "local t = {}\nlocal i = 0\nwhile true do i = i + 1; t[i] = string.rep('x', 4000) .. i end",
     LUA_ERRMEM, "script: runaway: out of memory (" /* and the limit */},
    {"string hog", "local s = 'x'\nwhile true do s = s .. s end", LUA_ERRMEM,
     "would pass the state's limit of 2 MB)"},
};

class TScriptBudgetRunawayTest : public TScriptBudgetTest,
                                 public ::testing::WithParamInterface<TRunaway>
{
};

TEST_P(TScriptBudgetRunawayTest, IsStoppedWithOneLineAndTheStateGoesOn)
{
    const TRunaway& runaway = GetParam();
    EXPECT_EQ(Call(runaway.script), runaway.status);
    EXPECT_EQ(CountInLog(runaway.logged), 1) << Log();
    // The next call starts with a budget of its own.
    ASSERT_EQ(Call("done = 1 + 1"), 0) << Log();
    EXPECT_EQ(mScript->GetGlobalNumber("done"), 2);
}

INSTANTIATE_TEST_SUITE_P(Kinds, TScriptBudgetRunawayTest, ::testing::ValuesIn(kRunaways),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST_F(TScriptBudgetTest, StopGivesErrorHandlersTheirGrace)
{
    ASSERT_EQ(Call("local ok, message = pcall(function() while true do end end)\n"
                   "caught = message"),
              0)
        << Log();
    mScript->DoLuaString("return caught", -1, 1);
    EXPECT_NE(mScript->PopString().Find("stopped: one call ran longer than 30 ms"), -1);
}

TEST_F(TScriptBudgetTest, QuitRequestStopsALongCallAtOnce)
{
    TScriptLimits limits = ShortLimits();
    limits.callTime = std::chrono::hours(1);
    TScriptBudget::SetLimits(limits);
    int asked = 0;
    TScriptBudget::SetQuitCheck([&asked] { return ++asked >= 2; });
    EXPECT_EQ(Call("while true do pcall(function() while true do end end) end"), LUA_ERRRUN);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(CountInLog("stopped: the program is closing"), 1) << Log();
}

TEST_F(TScriptBudgetTest, ShortCallsNeverAskTheQuitCheck)
{
    int asked = 0;
    TScriptBudget::SetQuitCheck([&asked] { return ++asked > 0; });
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(Call("local n = 0 for i = 1, 20000 do n = n + i end"), 0) << Log();
    EXPECT_EQ(asked, 0);
}

TEST_F(TScriptBudgetTest, InstructionLimitStopsACallWithoutWaiting)
{
    TScriptLimits limits;
    limits.instructions = 50000;
    TScriptBudget::SetLimits(limits);
    EXPECT_EQ(Call("while true do end"), LUA_ERRRUN);
    EXPECT_EQ(CountInLog("stopped: ran past 50000 instructions"), 1) << Log();
    ASSERT_EQ(Call("local n = 0 for i = 1, 10000 do n = n + i end"), 0) << Log();
}

TEST_F(TScriptBudgetTest, MemoryIsGivenBackWhenTheStateFreesIt)
{
    TScriptBudget* budget = TScriptBudget::Of(mScript->GetState());
    ASSERT_NE(budget, nullptr);
    const std::size_t before = budget->GetMemoryInUse();
    ASSERT_EQ(Call("big = string.rep('x', 1000000)"), 0) << Log();
    EXPECT_GT(budget->GetMemoryInUse(), std::size_t{1000000});
    ASSERT_EQ(Call("big = nil collectgarbage(0)"), 0) << Log();
    EXPECT_LT(budget->GetMemoryInUse(), before + 100000);
    // Twice the string fits now that the first is gone.
    EXPECT_EQ(Call("big = string.rep('y', 1500000)"), 0) << Log();
}

TEST(TScriptBudgetStates, OnlyStatesItOpenedHaveABudget)
{
    lua_State* plain = lua_open();
    EXPECT_EQ(TScriptBudget::Of(plain), nullptr);
    TScriptBudget::CloseState(plain);
    lua_State* limited = TScriptBudget::OpenState();
    ASSERT_NE(limited, nullptr);
    TScriptBudget* budget = TScriptBudget::Of(limited);
    ASSERT_NE(budget, nullptr);
    EXPECT_EQ(TScriptBudget::GetLimits().memory, TScriptBudget::kMemoryLimit);
    EXPECT_EQ(TScriptBudget::GetLimits().callTime, TScriptBudget::kCallTimeLimit);
    lua_State* thread = lua_newthread(limited);
    EXPECT_EQ(TScriptBudget::Of(thread), budget);
    TScriptBudget::CloseState(limited);
}

} // namespace
