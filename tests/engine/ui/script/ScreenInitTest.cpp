// The window script library that every window script state runs first.

#include "engine/ui/widgets/TFlashMovie.h"
#include "tests/engine/ui/script/WindowScriptTestSupport.h"

namespace {

using TScreenInit = TWindowScriptTest;

TEST_F(TScreenInit, ConstantsHaveTheirValues)
{
    struct TCase
    {
        const char* name;
        const char* value;
    };
    const TCase cases[] = {
        {"LUA_PATH", "?;../?;../../?"},
        {"kHAlignLeft", "0"},
        {"kHAlignCenter", "1"},
        {"kHAlignRight", "2"},
        {"kVAlignTop", "0"},
        {"kVAlignCenter", "4"},
        {"kVAlignBottom", "8"},
        {"kPush", "0"},
        {"kToggle", "1"},
        {"kRadio", "2"},
        {"kAllLayers", "-1"},
        {"kCenter", "80000"},
        {"kMax", "160000"},
        {"kDefault", "128"},
        {"kPushButtonAlignment", "5"},
        {"kRadioButtonAlignment", "4"},
        {"kToggleButtonAlignment", "5"},
        {"kCloseWindow", "1"},
        {"kDefaultAction", "2"},
        {"kButtonPress", "3"},
        {"kPressAnyKey", "4"},
        {"kQuitNow", "5"},
        {"kModalClosed", "6"},
        {"kCmdLine", "cmdline"},
        {"kLevel", "level"},
        {"kSubLevel", "sublevel"},
        {"kPause", "pause"},
        {"kMute", "mute"},
        {"kBreakNow", "breaknow"},
        {"kScore", "score"},
        {"kGameMode", "gamemode"},
        {"kGameOver", "gameover"},
        {"kRestartButton", "restartbutton"},
        {"kSystemMode", "systemmode"},
        {"kMaxLevel", "maxlevel"},
        {"gReturnValue", "nil"},
        {"kCheatMode", "cheatmode"},
        {"kComputerId", "computerid"},
        {"kInstallKey", "installkey"},
        {"kGameName", "gamename"},
        {"kGameVersion", "version"},
        {"kEncryptionKey", "encryptionkey"},
        {"kHiscoreLocalOnly", "hiscorelocal"},
        {"kHiscoreAnonymous", "hiscoreanon"},
        {"gCurID", "100"},
        {"gBeginGroup", "0"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GlobalString(c.name), c.value);
    }
    for (const char* table : {"idtable", "gParent", "gCurrentDefaultStyle", "gClosedWindows",
                              "gCommandQueue", "gMessageQueue", "gDialogTable"}) {
        SCOPED_TRACE(table);
        EXPECT_EQ(
            Eval(std::string("type(") + table + ") == 'table' and next(" + table + ") == nil"),
            "true");
    }
}

TEST_F(TScreenInit, ColoursAndDistributions)
{
    struct TCase
    {
        const char* expression;
        const char* value;
    };
    const TCase cases[] = {
        {"Color(255, 128, 0)", "1 0.50196078431373 0 1"},
        {"Color(0, 51, 255, 102)", "0 0.2 1 0.4"},
        {"FColor(1, 0.5, 0)", "1 0.5 0 1"},
        {"FColor(0.25, 0, 1, 0.5)", "0.25 0 1 0.5"},
        {"(function() gDialogWidth = 400 return DistributeX(3) end)()", "100 200 300"},
        {"(function() gDialogHeight = 300 return DistributeY(1) end)()", "150"},
    };
    Run("function Join(t) local s = '' table.foreachi(t, function(i, v) "
        "s = s .. (i > 1 and ' ' or '') .. tostring(v) end) return s end");
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.expression);
        EXPECT_EQ(Eval(std::string("Join(") + c.expression + ")"), c.value);
    }
    Run("divisor = nil d = nil gDialogWidth = 400 DistributeX(3)");
    EXPECT_EQ(GlobalNumber("divisor"), 4);
    EXPECT_EQ(Eval("Join(d)"), "100 200 300");
    Run("divisor = nil d = nil DistributeY(1)");
    EXPECT_EQ(GlobalString("divisor"), "nil");
    EXPECT_EQ(GlobalString("d"), "nil");
}

TEST_F(TScreenInit, GetTagFollowsTheDefaultStyleChain)
{
    Run("gCurrentDefaultStyle = { size = 1, parent = { font = 'serif', parent = { deep = 3 } } }");
    struct TCase
    {
        const char* expression;
        const char* value;
    };
    const TCase cases[] = {
        {"GetTag({ font = 'own' }, 'font')", "own"},
        {"GetTag({ }, 'size')", "1"},
        {"GetTag({ }, 'font')", "serif"},
        {"GetTag({ }, 'deep')", "3"},
        {"GetTag({ }, 'absent')", "nil"},
        {"GetTag({ parent = { x = 1 } }, 'x')", "nil"},     // the table's own parent: not read
        {"GetTag({ parent = { x = 1 } }, 'x', true)", "1"}, // unless already in the chain
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.expression);
        EXPECT_EQ(Eval(c.expression), c.value);
    }
}

TEST_F(TScreenInit, WaitForMessageCanSkipTheQueue)
{
    Deliver(1001, "queued");
    StartDialog("local m = WaitForMessage(100, true) gFirst = tostring(m and m.name) "
                "gSecond = WaitForMessage(100).name");
    Turn(50);
    EXPECT_EQ(GlobalString("gFirst"), "nil");
    Deliver(1002, "fresh");
    EXPECT_EQ(GlobalString("gFirst"), "fresh");
    EXPECT_EQ(GlobalString("gSecond"), "queued");
}

TEST_F(TScreenInit, PauseEndsOnAnyKeyAndKeepsTheOtherMessages)
{
    const double start = std::stod(Eval("GetTimer()"));
    StartDialog("Pause(100, true) gPaused = GetTimer() gNext = WaitForMessage().name");
    Turn(10);
    Deliver(1001, "kept");
    Turn(10);
    EXPECT_EQ(GlobalString("gPaused"), "nil");
    Deliver(TMessage::kPressAnyKey, "raw:A");
    EXPECT_NE(GlobalString("gPaused"), "nil");
    EXPECT_LT(GlobalNumber("gPaused") - start, 100);
    EXPECT_EQ(GlobalString("gNext"), "kept");

    // Without the any-key flag only the time ends it.
    StartDialog("local from = GetTimer() Pause(100) gWaited = GetTimer() - from");
    Deliver(TMessage::kPressAnyKey, "raw:A");
    Turns(9, 10);
    EXPECT_EQ(GlobalString("gWaited"), "nil");
    Turns(2, 10);
    EXPECT_GE(GlobalNumber("gWaited"), 100);
    EXPECT_EQ(Eval("WaitForMessage().type"), "4"); // kept for later
}

TEST_F(TScreenInit, FlushMessagesDropsWhatWaits)
{
    Deliver(1001, "old");
    StartDialog("FlushMessages() gCount = table.getn(gMessageQueue) gDone = true");
    Turns(3);
    EXPECT_EQ(GlobalString("gDone"), "true");
    EXPECT_EQ(GlobalNumber("gCount"), 0);
}

TEST_F(TScreenInit, DisplayDialogOpensItsFileWithTheTable)
{
    AddFile("dlg/show.lua", "MakeDialog { Window { name = gDialogTable.title, w = 3, h = 3 } }");
    StartDialog("DisplayDialog({ '' }) gEmpty = 'done' "
                "gValue = DisplayDialog({ 'dlg/show.lua', title = 'shown' })");
    EXPECT_EQ(debugOut,
              std::vector<std::string>{"DisplayDialog called with empty script; aborting"});
    EXPECT_EQ(GlobalString("gEmpty"), "done");
    ASSERT_EQ(Depth(), 2);
    EXPECT_NE(Manager().GetTopModal()->FindChild("shown"), nullptr);
    Run("CloseWindow('ok')");
    Turns(3);
    EXPECT_EQ(GlobalString("gValue"), "ok");
    EXPECT_EQ(GlobalString("gReturnValue"), "nil");
}

TEST_F(TScreenInit, ASplashWithoutAnythingToShowClosesAtOnce)
{
    StartDialog("DisplaySplash('intro.swf', nil, 1000) gDone = true");
    EXPECT_EQ(GlobalString("gDone"), "true");
    EXPECT_EQ(Depth(), 1);
    Turn();
    Deliver(1001, "still answered"); // the screen below takes input again
    EXPECT_EQ(Eval("WaitForMessage().name"), "still answered");
}

TEST_F(TScreenInit, ASplashWhoseMovieIsRefusedShowsItsImageUntilAKeyOrItsTime)
{
    const std::string image = PutPng("splash.png", 8, 6, 0xff00ff00);
    struct TCase
    {
        const char* setup;
        int keyAfterTurns; // -1: no key
        int expectedTurns; // turns of 10 ms after the image showed
    };
    const TCase cases[] = {
        {"gCurrentDefaultStyle = { }", 3, 3},
        {"gCurrentDefaultStyle = { }", -1, 39}, // 500 ms from the start, pauses included
        {"gCurrentDefaultStyle = { disableAbort = true }", 3, 39},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.setup + std::string(" key after ") + std::to_string(c.keyAfterTurns));
        Run(c.setup);
        StartDialog("DisplaySplash('movie.swf', '" + image + "', 500) gDone = true");
        Run("gDone = nil");
        Turns(12, 10); // the two short pauses
        ASSERT_EQ(Depth(), 2);
        EXPECT_NE(Manager().GetTopModal()->FindChild("splashimage"), nullptr);
        EXPECT_EQ(Script().GetMovie(), nullptr);
        EXPECT_FALSE(Manager().IsSuspended());
        int turns = 0;
        while (GlobalString("gDone") != "true" && turns < 100) {
            if (turns == c.keyAfterTurns)
                Deliver(TMessage::kPressAnyKey, "mouse:up");
            Turn(10);
            ++turns;
        }
        EXPECT_NEAR(turns, c.expectedTurns, 2);
        Turn();
        EXPECT_EQ(Depth(), 1);
    }
    // The movie was asked for each time and refused: no movie player here.
    EXPECT_EQ(mFolder.CountLogLines(TString::Printf(TFlashMovie::kNoPlayerLog, "movie.swf").CStr()),
              3);
}

} // namespace
