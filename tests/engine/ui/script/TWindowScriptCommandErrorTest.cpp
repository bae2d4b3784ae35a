// Errors in what is delivered into the waiting dialog coroutine: a button's command, a
// script file or text run while the dialog waits, a call on an object that has died.
// Each is caught inside the coroutine and logged once, and the dialog goes on waiting;
// commands that wait for messages themselves still get their answers.

#include "engine/script/LuaBinder.h"
#include "engine/ui/widgets/TButton.h"
#include "tests/engine/ui/script/WindowScriptTestSupport.h"

#include <functional>

namespace {

// An object publishing one operation, to be destroyed under a script that still calls it.
class TProbeObject : public TLifeline
{
public:
    int Value() { return 7; }
};

class TWindowScriptCommandError : public TWindowScriptTest
{
protected:
    // The dialog still waits for its close message, and sees the next message.
    void ExpectAnswering(const char* name)
    {
        EXPECT_EQ(Script().GetWaiting(), TWindowScript::TWaiting::ForMessage);
        EXPECT_TRUE(Script().IsSuspended());
        Deliver(1001, name);
        EXPECT_EQ(Eval("gLastMessage.name"), name);
    }

    int FailureLines() const { return mFolder.CountLogLines("window script: a command failed"); }

    TButton* FindButton(const char* name)
    {
        return Manager().GetTopModal()->FindChild<TButton>(name);
    }
};

TEST_F(TWindowScriptCommandError, AFailingDeliveryIsLoggedOnceAndTheDialogGoesOnWaiting)
{
    AddFile("dlg/buttons.lua", "MakeDialog { Button { name = 'fail', w = 5, h = 5 } } "
                               "SetCommand('fail', function() error('command boom') end)");
    AddFile("dlg/failing.lua", "gFileStarted = true\nlocal x = nil\nx.field = 1");
    auto probe = std::make_unique<TProbeObject>();
    Publish<&TProbeObject::Value>(L(), "ProbeValue", *probe);
    probe.reset();

    struct TCase
    {
        const char* what;
        std::function<void()> deliver;
        const char* message; // the script's error message
        const char* command; // what the report says the command was
    };
    const TCase cases[] = {
        {"a button's command",
         [this] {
             TButton* button = FindButton("fail");
             ASSERT_NE(button, nullptr);
             button->Press();
         },
         "assets/dlg/buttons.lua:1: command boom", "the function at assets/dlg/buttons.lua:1"},
        {"a script file",
         [this] { EXPECT_TRUE(Manager().RunScriptFile(Root(), "dlg/failing.lua")); },
         "dlg/failing.lua:3: attempt to index local `x' (a nil value)",
         "the chunk dlg/failing.lua"},
        {"a script text", [this] { Manager().RunScriptString(Root(), "error('text boom')"); },
         "[string \"error('text boom')\"]:1: text boom",
         "the chunk [string \"error('text boom')\"]"},
        {"a call on an object that has died",
         [this] { Manager().RunScriptString(Root(), "gStale = ProbeValue()"); },
         "[string \"gStale = ProbeValue()\"]:1: ProbeValue: its object no longer exists",
         "the chunk [string \"gStale = ProbeValue()\"]"},
    };
    StartDialog("DoModal('dlg/buttons.lua')");
    ASSERT_EQ(Depth(), 2);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        c.deliver();
        EXPECT_EQ(FailureLines(), 1 + (&c - cases)); // one report each
        EXPECT_EQ(mFolder.CountLogLines(std::string("goes on waiting: ") + c.message), 1);
        EXPECT_EQ(mFolder.CountLogLines(c.command), 1);
        EXPECT_EQ(Depth(), 2); // the dialog is still open
        ExpectAnswering(c.what);
    }
    EXPECT_EQ(GlobalString("gFileStarted"), "true");
    EXPECT_EQ(GlobalString("gStale"), "nil");
    // Where the dialog waited, as much of a traceback as is left once the command ended.
    EXPECT_EQ(mFolder.CountLogLines("in function `WaitForCloseMessage'"), 4);
    EXPECT_EQ(mFolder.CountLogLines("in function `DoModal'"), 4);
    // Logged by the report alone.
    const char* others[] = {"coroutine has died", "Failed to run script", "Lua error", "lua_resume",
                            "DoLuaString"};
    for (const char* other : others)
        EXPECT_EQ(mFolder.CountLogLines(other), 0) << other;
}

TEST_F(TWindowScriptCommandError, ACommandThatWaitsForADialogGetsItsAnswerAlsoWhenItFailsLater)
{
    AddFile("dlg/menu.lua", "MakeDialog { Button { name = 'ask', w = 5, h = 5 } } "
                            "SetCommand('ask', function() gAnswer = DoModal('dlg/ask.lua') "
                            "if gFailAfter then error('failed after the answer') end "
                            "return gAnswer end)");
    AddFile("dlg/ask.lua", "MakeDialog { Window { name = 'question', w = 5, h = 5 } }");
    struct TCase
    {
        bool failAfter;
        const char* yielded; // what the command gave back
    };
    const TCase cases[] = {{false, "yes"}, {true, "nil"}};
    StartDialog("DoModal('dlg/menu.lua')");
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.failAfter ? "fails after the answer" : "ends well");
        Run(std::string("gAnswer = nil gYieldResult = nil gFailAfter = ") +
            (c.failAfter ? "true" : "false"));
        TButton* ask = FindButton("ask");
        ASSERT_NE(ask, nullptr);
        ask->Press();
        ASSERT_EQ(Depth(), 3);
        EXPECT_NE(Manager().GetTopModal()->FindChild("question"), nullptr);
        Run("CloseWindow('yes')");
        Turns(3);
        EXPECT_EQ(Depth(), 2);
        EXPECT_EQ(GlobalString("gAnswer"), "yes");
        EXPECT_EQ(GlobalString("gYieldResult"), c.yielded);
        EXPECT_EQ(mFolder.CountLogLines("failed after the answer"), c.failAfter ? 1 : 0);
        ExpectAnswering(c.failAfter ? "after the failure" : "after the answer");
    }
    EXPECT_EQ(mFolder.CountLogLines("coroutine has died"), 0);
}

} // namespace
