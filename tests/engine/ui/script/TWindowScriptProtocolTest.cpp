// The dialog coroutine and the messages handed to it: waiting, queueing while busy,
// commands, calls made while it waits, dialogs opened and closed, errors in dialog code.

#include "engine/script/LuaBinder.h"
#include "engine/script/lua/LuaAux.h"
#include "engine/ui/widgets/TButton.h"
#include "engine/ui/widgets/TFlashMovie.h"
#include "tests/engine/ui/script/WindowScriptTestSupport.h"

namespace {

// DeliverNow(type, name): hands a message to the script at once, as the manager does
// with one no window took; DeliverCommand(function): a command without a message.
int DeliverNow(lua_State* L)
{
    const int type = static_cast<int>(lua_tonumber(L, 1));
    GetWindowManager()->PassMessageToScript(
        std::make_unique<TMessage>(type, GetLuaStringArg(L, 2)));
    return 0;
}

int DeliverCommand(lua_State* L)
{
    lua_settop(L, 1);
    GetWindowManager()->PassMessageToScript(nullptr, std::make_unique<TLuaFunction>(L));
    return 0;
}

class TWindowScriptProtocol : public TWindowScriptTest
{
protected:
    TWindowScriptProtocol()
    {
        PublishFunction(L(), "DeliverNow", &DeliverNow);
        PublishFunction(L(), "DeliverCommand", &DeliverCommand);
    }
};

TEST_F(TWindowScriptProtocol, WithoutATimeOutTheCoroutineWaitsForAMessage)
{
    StartDialog("local m, c = HandleGetMessage() gWoke = m.name gCommand = tostring(c)");
    EXPECT_EQ(Script().GetWaiting(), TWindowScript::TWaiting::ForMessage);
    Turns(5, 1000);
    EXPECT_EQ(GlobalString("gWoke"), "nil");
    Deliver(1001, "hello");
    EXPECT_EQ(GlobalString("gWoke"), "hello");
    EXPECT_EQ(GlobalString("gCommand"), "nil");
    EXPECT_FALSE(Script().IsSuspended()); // the function has ended
}

TEST_F(TWindowScriptProtocol, ATimeOutResumesWithNoValues)
{
    struct TCase
    {
        const char* wait;
        uint32_t notYet; // ms after which it still waits (0: check nothing)
        uint32_t woken;  // ms after which it has woken
    };
    const TCase cases[] = {
        {"HandleGetMessage(0)", 0, 1},      {"HandleGetMessage(nil)", 0, 1},
        {"HandleGetMessage('soon')", 0, 1}, {"HandleGetMessage(50)", 40, 20},
        {"WaitForMessage(30)", 20, 20},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.wait);
        Run("gWoke = nil");
        StartDialog(std::string("local a, b = ") + c.wait +
                    " gWoke = tostring(a == nil and b == nil)");
        if (c.notYet > 0) {
            Turn(c.notYet);
            EXPECT_EQ(GlobalString("gWoke"), "nil");
        }
        Turn(c.woken);
        EXPECT_EQ(GlobalString("gWoke"), "true");
    }
}

TEST_F(TWindowScriptProtocol, WhatArrivesWhileTheCoroutineRunsIsQueuedAndTakenNewestFirst)
{
    StartDialog("DeliverNow(1001, 'first') DeliverNow(1002, 'second') "
                "DeliverCommand(function() gQueuedRan = (gQueuedRan or 0) + 1 return 'q' end) "
                "gQueued = table.getn(gMessageQueue) .. '/' .. table.getn(gCommandQueue) "
                "local a = WaitForMessage() local b = WaitForMessage() "
                "gOrder = a.name .. ',' .. b.name "
                "gQueuedBefore = tostring(gQueuedRan) "
                "local c = WaitForMessage() gAfterWait = tostring(c) "
                "gYield = tostring(gYieldResult)");
    EXPECT_EQ(GlobalString("gQueued"), "2/1");
    EXPECT_EQ(GlobalString("gOrder"), "second,first");
    EXPECT_EQ(GlobalString("gQueuedBefore"), "nil"); // taken from the queue, no wait
    Turn();                                          // the third wait times out
    EXPECT_EQ(GlobalString("gAfterWait"), "nil");
    EXPECT_EQ(GlobalNumber("gQueuedRan"), 1); // the queued command ran after the wait
    EXPECT_EQ(GlobalString("gYield"), "q");
}

TEST_F(TWindowScriptProtocol, ACommandResumesTheWaitWithALuaActionMessageAndRunsThere)
{
    Run("gCommand = function() gRan = 'yes' return 7 end");
    StartDialog("local m = WaitForMessage(nil, true) gType = m.type gName = m.name "
                "gYield = gYieldResult");
    lua_pushstring(L(), "gCommand");
    lua_gettable(L(), LUA_GLOBALSINDEX);
    Manager().PassMessageToScript(nullptr, std::make_unique<TLuaFunction>(L()));
    EXPECT_EQ(GlobalNumber("gType"), TMessage::kLuaAction);
    EXPECT_EQ(GlobalString("gName"), "");
    EXPECT_EQ(GlobalString("gRan"), "yes");
    EXPECT_EQ(GlobalNumber("gYield"), 7); // run by WaitForMessage
}

TEST_F(TWindowScriptProtocol, WhileSuspendedElsewhereACommandRunsAtOnceAndTheMessageIsDropped)
{
    StartDialog("gResumed = tostring(coroutine.yield())");
    EXPECT_TRUE(Script().IsSuspended());
    Deliver(1001, "dropped");
    Run("DeliverCommand(function() gRan = 'now' end)");
    EXPECT_EQ(GlobalString("gRan"), "now");
    EXPECT_EQ(GlobalString("gResumed"), "nil"); // still suspended where it was
    EXPECT_EQ(Eval("table.getn(gMessageQueue)"), "0");
}

TEST_F(TWindowScriptProtocol, CallsWhileTheCoroutineWaitsRunInsideIt)
{
    StartDialog("while true do WaitForMessage(nil, true) gTurns = (gTurns or 0) + 1 end");
    // The call is the command of one wait: it ran there, and its value is the next
    // wait's yield result, which the caller gets back.
    lua_State* state = L();
    const int top = lua_gettop(state);
    ASSERT_EQ(luaL_loadbuffer(state, "return 5", 8, "test"), 0);
    EXPECT_EQ(Script().RunFunction(0, 1), 0);
    ASSERT_EQ(lua_gettop(state), top + 1);
    EXPECT_EQ(lua_tonumber(state, -1), 5);
    lua_settop(state, top);
    EXPECT_EQ(GlobalNumber("gTurns"), 1);
    EXPECT_EQ(GlobalNumber("gYieldResult"), 5);
    Run("gSet = 'inside'"); // texts balance the stack
    EXPECT_EQ(lua_gettop(state), top);
    EXPECT_EQ(GlobalNumber("gTurns"), 2);
}

TEST_F(TWindowScriptProtocol, DoModalGivesBackWhatTheDialogReturned)
{
    AddFile("dlg/ask.lua", "MakeDialog { Window { name = 'panel', w = 20, h = 10 } }");
    struct TCase
    {
        const char* close;
        const char* answer;
    };
    const TCase cases[] = {
        {"CloseWindow(42)", "42"},
        {"ModalReturn('yes') CloseWindow()", "yes"},
        {"CloseWindow()", "nil"},
        {"ModalReturn('popped') PopModal(gTestId)", "popped"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.close);
        Run("gAnswer = 'unset' gAfter = 'unset'");
        StartDialog("gAnswer = tostring(DoModal('dlg/ask.lua')) gAfter = tostring(gReturnValue)");
        ASSERT_EQ(Depth(), 2);
        TModalWindow* dialog = Manager().GetTopModal();
        EXPECT_EQ(std::string(dialog->GetName().CStr()), "dlg/ask.lua");
        EXPECT_NE(dialog->FindChild("panel"), nullptr);
        EXPECT_EQ(dialog->GetWidth(), 64); // sized to its parent when pushed
        Run(std::string("gTestId = '") + dialog->GetIdString().CStr() + "'");
        Run(c.close);
        Turns(3);
        EXPECT_EQ(Depth(), 1);
        EXPECT_EQ(GlobalString("gAnswer"), c.answer);
        EXPECT_EQ(GlobalString("gAfter"), "nil");
    }
}

TEST_F(TWindowScriptProtocol, NestedDialogsCloseInnermostFirst)
{
    AddFile("dlg/outer.lua", "MakeDialog { Button { name = 'open', w = 5, h = 5, "
                             "command = function() gInner = DoModal('dlg/inner.lua') end } } "
                             "SetCommand('open', function() gInner = DoModal('dlg/inner.lua') "
                             "end)");
    AddFile("dlg/inner.lua", "MakeDialog { Window { name = 'inside', w = 5, h = 5 } }");
    StartDialog("gOuter = DoModal('dlg/outer.lua')");
    auto* open = Manager().GetTopModal()->FindChild<TButton>("open");
    ASSERT_NE(open, nullptr);
    open->Press();
    ASSERT_EQ(Depth(), 3);
    EXPECT_NE(Manager().GetTopModal()->FindChild("inside"), nullptr);

    Run("CloseWindow('inner value')");
    Turns(3);
    EXPECT_EQ(Depth(), 2);
    EXPECT_EQ(GlobalString("gInner"), "inner value");
    EXPECT_EQ(GlobalString("gOuter"), "nil"); // still open

    Run("CloseWindow('outer value')");
    Turns(3);
    EXPECT_EQ(Depth(), 1);
    EXPECT_EQ(GlobalString("gOuter"), "outer value");
}

TEST_F(TWindowScriptProtocol, ClosingAnOuterDialogFirstIsRememberedForItsWait)
{
    AddFile("dlg/a.lua", "");
    AddFile("dlg/b.lua", "");
    StartDialog("gA = DoModal('dlg/a.lua')");
    Run("gB = DoModal('dlg/b.lua')");
    ASSERT_EQ(Depth(), 3);
    const TString a = Manager().GetModalStack()[1]->GetIdString();
    Manager().DoPopModal(a); // pops b and a: b's wait sees a's closing go by
    Turns(3);
    EXPECT_EQ(Depth(), 1);
    EXPECT_EQ(GlobalString("gB"), "nil");
    EXPECT_EQ(GlobalString("gA"), "nil");
    EXPECT_EQ(Eval("next(gClosedWindows)"), "nil"); // every mark was taken
    EXPECT_FALSE(Script().IsSuspended());
}

TEST_F(TWindowScriptProtocol, DoMainWindowServesUntilItsWindowIsPopped)
{
    AddFile("dlg/main.lua", "MakeDialog { Window { name = 'menu', w = 10, h = 10 } }");
    StartDialog("DoMainWindow('dlg/main.lua') gEnded = true");
    Turns(3);
    EXPECT_EQ(GlobalString("gEnded"), "nil");
    Deliver(1001, "seen");
    EXPECT_EQ(Eval("gLastMessage.name"), "seen");
    Run("PopModal('dlg/main.lua')");
    Turns(2);
    EXPECT_EQ(GlobalString("gEnded"), "true");
}

TEST_F(TWindowScriptProtocol, AnErrorInDialogCodeIsLoggedAndTheProgramGoesOn)
{
    StartDialog("WaitForMessage(nil, true) error('boom')");
    Deliver(1001, "trigger");
    EXPECT_EQ(Script().GetWaiting(), TWindowScript::TWaiting::Dead);
    EXPECT_TRUE(Logged("boom"));
    EXPECT_EQ(mFolder.CountLogLines("coroutine has died"), 1);

    // Messages now collect in the queue; a new dialog coroutine takes them.
    Deliver(1002, "later");
    Deliver(1003, "latest");
    Turns(2);
    EXPECT_EQ(Eval("table.getn(gMessageQueue)"), "2");
    EXPECT_EQ(mFolder.CountLogLines("coroutine has died"), 1); // said once
    StartDialog("gGot = WaitForMessage().name");
    EXPECT_EQ(GlobalString("gGot"), "latest");
}

TEST_F(TWindowScriptProtocol, ABrokenDialogFileIsLoggedAndTheDialogGoesOn)
{
    AddFile("dlg/broken.lua", "MakeDialog { Window { name = 'half' } ");
    AddFile("dlg/failing.lua", "error('bad dialog')");
    StartDialog("gA = tostring(DoModal('dlg/broken.lua')) ");
    EXPECT_TRUE(Logged("Lua error:"));
    EXPECT_EQ(Depth(), 2); // open, though empty
    Run("CloseWindow(1)");
    Turns(3);
    EXPECT_EQ(GlobalString("gA"), "1");
    StartDialog("ReadFile('dlg/failing.lua') gAfter = true");
    EXPECT_TRUE(Logged("bad dialog"));
    EXPECT_EQ(GlobalString("gAfter"), "true");
}

TEST_F(TWindowScriptProtocol, WaitingWhereNoWaitIsPossibleIsAnError)
{
    AddFile("dlg/waits.lua", "WaitForMessage()");
    Run("WaitForMessage()"); // not in the dialog coroutine
    EXPECT_EQ(mFolder.CountLogLines("cannot wait for messages here"), 1);
    StartDialog("gCaught = tostring(pcall(WaitForMessage)) ReadFile('dlg/waits.lua') "
                "gAfter = true");
    EXPECT_EQ(GlobalString("gCaught"), "false");
    EXPECT_EQ(mFolder.CountLogLines("cannot wait for messages here"), 2); // and in dofile
    EXPECT_EQ(GlobalString("gAfter"), "true");
    EXPECT_EQ(Script().GetWaiting(), TWindowScript::TWaiting::NotYet);
}

TEST_F(TWindowScriptProtocol, PostedMessagesComeBackAsTheSameValue)
{
    StartDialog("local m = CreateNamedMessage(1001, 'mine') PostMessage(m) "
                "local got repeat got = WaitForMessage() until got "
                "gSame = rawequal(got, m) gType = got.type gName = got.name");
    Turns(2);
    EXPECT_EQ(GlobalString("gSame"), "true");
    EXPECT_EQ(GlobalNumber("gType"), 1001);
    EXPECT_EQ(GlobalString("gName"), "mine");
}

TEST_F(TWindowScriptProtocol, PostingSomethingThatIsNoMessageIsRefused)
{
    const char* values[] = {"5", "{}", "nil", "'text'", "GetTimer"};
    for (const char* value : values) {
        SCOPED_TRACE(value);
        Run(std::string("PostMessage(") + value + ")");
        Run(std::string("PostMessageToParent(") + value + ")");
    }
    EXPECT_EQ(mFolder.CountLogLines("PostMessage needs a message"), 5);
    EXPECT_EQ(mFolder.CountLogLines("PostMessageToParent needs a message"), 5);
    Turns(2);
    SUCCEED(); // nothing was queued from a null message
}

// Movies are refused (no movie player here): StartMovie answers false and keeps no movie,
// the manager is neither suspended nor its mouse blocked, and the stop and end requests
// find nothing to do (the dialog keeps waiting).
TEST_F(TWindowScriptProtocol, MoviesAreRefusedAndEndMovieWithoutAMovieDoesNothing)
{
    StartDialog("gStarted = tostring(StartMovie('x.swf', false, true)) "
                "gEmpty = tostring(StartMovie('', false, false)) "
                "gPlaying = tostring(IsMoviePlaying()) StopMovie() WaitForMessage(nil, true) "
                "gWoke = true");
    EXPECT_EQ(GlobalString("gStarted"), "false");
    EXPECT_EQ(GlobalString("gEmpty"), "false");
    EXPECT_EQ(GlobalString("gPlaying"), "false");
    EXPECT_EQ(Script().GetMovie(), nullptr);
    EXPECT_TRUE(Logged(TString::Printf(TFlashMovie::kNoPlayerLog, "x.swf").CStr()));
    EXPECT_FALSE(Manager().IsSuspended());
    EXPECT_FALSE(Manager().IsMouseBlocked());
    Script().EndMovie();
    EXPECT_EQ(GlobalString("gWoke"), "nil");
    EXPECT_EQ(Script().GetWaiting(), TWindowScript::TWaiting::ForMessage);
}

} // namespace
