// Windows built and addressed by window scripts: creation from tables, the parent stack,
// and the functions that find windows by name.

#include "engine/foundation/core/Settings.h"
#include "engine/ui/script/TWindowScriptBinding.h"
#include "engine/ui/widgets/TButton.h"
#include "engine/ui/widgets/TImage.h"
#include "tests/engine/LogLine.h"
#include "tests/engine/ui/script/WindowScriptTestSupport.h"

namespace {

using TWindowScriptWindows = TWindowScriptTest;

std::vector<std::string> ChildNames(const TWindow* window)
{
    std::vector<std::string> names;
    for (const std::unique_ptr<TWindow>& child : window->GetChildren())
        names.push_back(child->GetName().CStr());
    return names; // front (last made) first
}

TEST_F(TWindowScriptWindows, TablesBecomeWindowsInTheirParents)
{
    Run("MakeDialog { Window { name = 'outer', x = 2, y = 3, w = 30, h = 20, "
        "  function() gSeen = gDialogWidth .. 'x' .. gDialogHeight end, "
        "  Window { name = 'inner', x = 1, y = 1, w = 5, h = 4 } }, "
        "Window { name = 'beside', w = 4, h = 4 } }");
    TWindow* outer = Find("outer");
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(outer->GetParent(), Root());
    EXPECT_EQ(RectText(outer->GetRect()), "2,3,32,23");
    EXPECT_EQ(ChildNames(outer), std::vector<std::string>{"inner"});
    EXPECT_EQ(ChildNames(Root()), (std::vector<std::string>{"beside", "outer"}));
    EXPECT_EQ(GlobalString("gSeen"), "30x20"); // the size of the window being built
    EXPECT_EQ(Script().GetParentStack(), std::vector<TWindow*>{Root()});
    // A type's creator records the type and hands back the command that builds it.
    EXPECT_EQ(Eval("type(Window { })"), "function");
    Run("local t = { } Bitmap(t) gType = t.typename");
    EXPECT_EQ(GlobalString("gType"), "Bitmap");
}

TEST_F(TWindowScriptWindows, AWindowThatCannotBeMadeLeavesItsParentAlone)
{
    Run("MakeDialog { Window { name = 'outer', w = 30, h = 20, "
        "  function() DoWindow({ typename = 'Bogus', name = 'ghost', "
        "                        Window { name = 'orphan', w = 1, h = 1 }, w = 64, h = 48 }) end, "
        "  Refusing { name = 'refused', w = 64, h = 48, "
        "             Window { name = 'refusedchild', w = 1, h = 1 } }, "
        "  Window { name = 'after', w = 5, h = 5 } }, "
        "Window { name = 'sibling', w = 4, h = 4 } }");
    for (const char* name : {"ghost", "orphan", "refused", "refusedchild"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Find(name), nullptr);
    }
    TWindow* outer = Find("outer");
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(ChildNames(outer), std::vector<std::string>{"after"});
    EXPECT_EQ(RectText(outer->GetRect()), "0,0,30,20"); // not re-placed by the others' styles
    EXPECT_EQ(ChildNames(Root()), (std::vector<std::string>{"sibling", "outer"}));
    EXPECT_EQ(Script().GetParentStack(), std::vector<TWindow*>{Root()});
    EXPECT_TRUE(Logged(TString::Printf(TWindowScript::kNoWindowTypeLog, "Bogus").CStr()));
    EXPECT_TRUE(Logged("refused to join"));
    EXPECT_EQ(Eval("GenericCreate({ typename = 'Bogus' })"), "false");
    EXPECT_EQ(Eval("GenericCreate({ })"), "false");
}

TEST_F(TWindowScriptWindows, TheParentStackNeverLosesItsBottom)
{
    Run("PopWindow() PopWindow()");
    EXPECT_EQ(Script().GetParentStack(), std::vector<TWindow*>{Root()});
    Script().ResetParentStack(nullptr);
    Run("gMade = GenericCreate({ typename = 'Window', name = 'nowhere' }) "
        "PostCreate({ }, 'Window') SetWindowName('x') DoFitToChildren() PopWindow()");
    EXPECT_EQ(GlobalString("gMade"), "false");
    EXPECT_TRUE(Logged("no current window"));
    EXPECT_TRUE(Script().GetParentStack().empty());
}

TEST_F(TWindowScriptWindows, DestroyingTheWindowBeingBuiltIsSafe)
{
    Run("MakeDialog { Window { name = 'doomed', w = 10, h = 10, "
        "  Window { name = 'kept', w = 2, h = 2 }, "
        "  function() DestroyWindow('doomed') end, "
        "  Window { name = 'late', w = 1, h = 1 } }, "
        "Window { name = 'next', w = 3, h = 3 } }");
    EXPECT_EQ(Find("doomed"), nullptr);
    EXPECT_EQ(Find("late"), nullptr); // nothing is built into a window that is going
    EXPECT_EQ(ChildNames(Root()), std::vector<std::string>{"next"});
    EXPECT_EQ(Script().GetParentStack(), std::vector<TWindow*>{Root()});
    Turn();                                                // deletes it
    Run("DestroyWindow('root') DestroyWindow('nothing')"); // no parent, no window: left alone
    EXPECT_EQ(Find("next"), Root()->FindChild("next"));
}

TEST_F(TWindowScriptWindows, LabelsAreReadAndWrittenUnderTheTopModal)
{
    Run("MakeDialog { Label { name = 'title', w = 5, h = 5 }, "
        "Bitmap { name = 'picture', w = 5, h = 5 } }");
    Run("SetLabel('title', 'Hello') SetLabel('picture', 'ignored') SetLabel('nothing', 'x')");
    struct TCase
    {
        const char* name;
        const char* label;
    };
    const TCase cases[] = {
        {"title", "Hello"},
        {"picture", "picture_is_not_a_TText_window_or_TButton"},
        {"nothing", "nothing_is_not_found"},
        {"root", "root_is_not_a_TText_window_or_TButton"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Eval(std::string("GetLabel('") + c.name + "')"), c.label);
    }
    // A modal on top hides the windows below it.
    Run("PushModal('over')");
    EXPECT_EQ(Eval("GetLabel('title')"), "title_is_not_found");
    Manager().DoPopModal("root"); // no modal window left
    EXPECT_EQ(Eval("GetLabel('title')"), "");
    EXPECT_EQ(Eval("GetWindowDepth()"), "0");
    Run("ClearModalChildren() PostMessageToParent(CreateNamedMessage(1001, 'x'))");
    EXPECT_TRUE(Logged(LogLine(kWithoutModalLog, "ClearModalChildren")));
    EXPECT_TRUE(Logged(LogLine(kWithoutModalLog, "PostMessageToParent")));
}

TEST_F(TWindowScriptWindows, ButtonsAreSetAtEveryLevelAndFoundUpward)
{
    Run("MakeDialog { Button { name = 'sound', type = kToggle, w = 5, h = 5 } }");
    auto* lower = WindowCast<TButton>(Find("sound"));
    Run("PushModal('options') MakeDialog { Button { name = 'sound', type = kToggle, w = 5, h = 5 "
        "}, "
        "Window { name = 'plain', w = 2, h = 2 } }");
    auto* upper = Manager().GetTopModal()->FindChild<TButton>("sound");
    ASSERT_NE(lower, nullptr);
    ASSERT_NE(upper, nullptr);
    ASSERT_NE(lower, upper);

    Run("SetButtonToggleState('sound', true)");
    EXPECT_TRUE(lower->GetToggleState());
    EXPECT_TRUE(upper->GetToggleState());
    upper->SetToggleState(false);
    EXPECT_EQ(Eval("GetButtonToggleState('sound')"), "false"); // the top modal's first
    EXPECT_EQ(Eval("GetButtonToggleState('plain')"), "false");
    EXPECT_EQ(Eval("GetButtonToggleState('nothing')"), "false");

    // Disabling a button under the pointer lets go of it.
    Send(TEvent::kMouseMove, 2, 2);
    ASSERT_EQ(upper->GetState(), TButton::State::Over);
    EXPECT_EQ(Eval("EnableWindow('sound', false)"), "true");
    EXPECT_EQ(upper->GetFlags() & TWindow::kShown, 0u);
    EXPECT_EQ(upper->GetState(), TButton::State::Up);
    EXPECT_FALSE(Manager().HasCapture(upper));
    EXPECT_EQ(Eval("EnableWindow('root', false)"), "true"); // found upward
    EXPECT_EQ(Root()->GetFlags() & TWindow::kShown, 0u);
    EXPECT_EQ(Eval("EnableWindow('sound', true)"), "true");
    EXPECT_NE(upper->GetFlags() & TWindow::kShown, 0u);
    EXPECT_EQ(Eval("EnableWindow('nothing', true)"), "false");

    // Commands reach buttons only.
    Run("SetCommand('sound', function() end) SetCommand('plain', function() end)");
    EXPECT_NE(upper->GetAction(), nullptr);
}

TEST_F(TWindowScriptWindows, ModalsPushedByScriptsAreNamedByTheirIds)
{
    Run("gId = PushModal('dialog') gMessage = CreateCloseMessage() "
        "gSame = tostring(gMessage.name == gId) gType = gMessage.type "
        "gDepth = GetWindowDepth()");
    TModalWindow* top = Manager().GetTopModal();
    ASSERT_NE(top, Root());
    EXPECT_EQ(std::string(top->GetName().CStr()), "dialog");
    EXPECT_EQ(GlobalString("gId"), top->GetIdString().CStr());
    EXPECT_EQ(GlobalString("gSame"), "true");
    EXPECT_EQ(GlobalNumber("gType"), TMessage::kCloseWindow);
    EXPECT_EQ(GlobalNumber("gDepth"), 2);
    EXPECT_EQ(Eval("CreateNamedMessage(1234, 'named').type"), "1234");

    // Its children can be replaced.
    AddFile("dlg/second.lua", "MakeDialog { Window { name = 'second', x = 4, w = 9, h = 7 } }");
    Run("MakeDialog { Window { name = 'first', w = 5, h = 5 } } SwapToModal('dlg/second.lua')");
    EXPECT_EQ(ChildNames(top), std::vector<std::string>{"second"});
    EXPECT_EQ(RectText(top->GetRect()), "0,0,13,7"); // emptied to nothing, then fitted
    Run("PostMessage(CreateCloseMessage())");
    Turns(2);
    EXPECT_EQ(Manager().GetTopModal(), Root());
}

TEST_F(TWindowScriptWindows, StylesComeFromTheTableThenTheDefaultStyleChain)
{
    Run("MakeDialog { SetStyle { w = 7, parent = { h = 9 } }, AppendStyle { x = 3 }, "
        "Window { name = 'styled' }, "
        "Group { SetStyle { w = 2, h = 2 }, Window { name = 'grouped' } }, "
        "Window { name = 'again' } } "
        "gAfter = tostring(next(gCurrentDefaultStyle))");
    EXPECT_EQ(RectText(Find("styled")->GetRect()), "3,0,10,9");
    EXPECT_EQ(RectText(Find("grouped")->GetRect()), "0,0,2,2");
    EXPECT_EQ(RectText(Find("again")->GetRect()), "3,0,10,9"); // the group's style ended
    EXPECT_EQ(GlobalString("gAfter"), "nil");                  // and so did the dialog's
}

TEST_F(TWindowScriptWindows, WindowsArePlacedFocusedAndFittedByName)
{
    Run("MakeDialog { Window { name = 'box', w = 10, h = 6, "
        "  Window { name = 'part', x = 20, y = 12, w = 4, h = 4 } }, "
        "  Bitmap { name = 'layers', w = 2, h = 2 } }");
    Run("SetPosition('box', kCenter, -6)");
    EXPECT_EQ(RectText(Find("box")->GetRect()), "27,42,37,48");
    Run("SetPosition('nothing', 1, 1)");

    TWindow* part = Find("part");
    Run("RealSetFocus('part')");
    EXPECT_EQ(Manager().GetFocusWindow(), part);
    Run("RealSetFocus('nothing')");
    EXPECT_EQ(Manager().GetFocusWindow(), nullptr);

    Run("MakeDialog { Window { name = 'grow', w = 1, h = 1, "
        "  Window { w = 9, h = 8, x = 1 }, FitToChildren() } }");
    EXPECT_EQ(RectText(Find("grow")->GetRect()), "0,0,10,8");
}

TEST_F(TWindowScriptWindows, FillRectDrawsAtOnceCutToTheRoot)
{
    BackBuffer().Fill(TRect(0, 0, kWidth, kHeight), 0xff000000);
    Run("FillRect({ 2, 3, 10, 8 }, { 1, 0, 0, 1 }) FillRect({ -5, 40, 1000, 1000 }, FColor(0, 0, "
        "1))");
    struct TCase
    {
        int x, y;
        uint32_t pixel;
    };
    const TCase cases[] = {
        {2, 3, 0xffff0000}, {9, 7, 0xffff0000},  {10, 7, 0xff000000},  {1, 3, 0xff000000},
        {9, 8, 0xff000000}, {0, 40, 0xff0000ff}, {63, 47, 0xff0000ff}, {30, 39, 0xff000000},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        EXPECT_EQ(BackBuffer().At(c.x, c.y), c.pixel);
    }
    EXPECT_EQ(RectText(TRenderer::Get()->GetClipRect()), "0,0,64,48");
}

TEST_F(TWindowScriptWindows, ImagesTakeTheirPictureByName)
{
    const std::string red = PutPng("red.png", 10, 4, 0xffff0000);
    Run("MakeDialog { Bitmap { name = 'pic', image = '" + red + "' }, Bitmap { name = 'empty' } }");
    EXPECT_EQ(Eval("ImageLoaded('pic')"), "true");
    EXPECT_EQ(Eval("ImageLoaded('empty')"), "false");
    EXPECT_EQ(Eval("ImageLoaded('nothing')"), "false");
    Run("SetBitmap('empty', '" + red + "', 2) SetBitmap('pic', 'user:missing.png')");
    EXPECT_EQ(RectText(Find("empty")->GetRect()), "0,0,20,8");
    EXPECT_EQ(Eval("ImageLoaded('empty')"), "true");
    EXPECT_EQ(Eval("ImageLoaded('pic')"), "false");
}

TEST_F(TWindowScriptWindows, SettingsTimerAndStringsReachTheEngine)
{
    SetConfig("difficulty", "3");
    EXPECT_EQ(Eval("GetConfig('difficulty', 'x')"), "3");
    EXPECT_EQ(Eval("GetConfig('absent', 'fallback')"), "fallback");
    EXPECT_EQ(Eval("IsEnabled('difficulty')"), "true");
    EXPECT_EQ(Eval("IsEnabled('absent')"), "false");
    const double before = std::stod(Eval("GetTimer()"));
    Host().timer += 250;
    EXPECT_EQ(std::stod(Eval("GetTimer()")) - before, 250);
    EXPECT_EQ(Eval("GetString('label')"), "#####"); // not in the host's string table
    Host().clipboardWritable = false;
    EXPECT_EQ(Eval("StringToClipboard('x')"), "false");
    Run("SetState('pause', true) SetState('mute', false) SetState(7, 'seven')");
    EXPECT_EQ(Eval("GetState('pause')"), "1");
    EXPECT_EQ(Eval("GetState('mute')"), "0");
    EXPECT_EQ(Eval("GetState('7')"), "seven");
}

// The scripts' clock is the window host's: a test that moves the host's clock moves the
// scripts' clock, and the time source alone does not.
TEST_F(TWindowScriptWindows, ScriptsReadTheWindowHostsClock)
{
    Host().timer = 5000;
    EXPECT_EQ(std::stod(Eval("GetTimer()")), 5000);
    mTime.Advance(300);
    EXPECT_EQ(std::stod(Eval("GetTimer()")), 5000);
    Host().timer += 40;
    EXPECT_EQ(std::stod(Eval("GetTimer()")), 5040);
    StartDialog("local from = GetTimer() Pause(100) gWaited = GetTimer() - from");
    Turns(9, 10);
    EXPECT_EQ(GlobalString("gWaited"), "nil");
    Turns(2, 10);
    EXPECT_GE(GlobalNumber("gWaited"), 100);
}

TEST_F(TWindowScriptWindows, ClipboardAndStringTableGoThroughTheWindowHost)
{
    EXPECT_EQ(Eval("StringToClipboard('copied')"), "true");
    EXPECT_EQ(Host().clipboard, "copied");
    Host().clipboardWritable = false;
    EXPECT_EQ(Eval("StringToClipboard('refused')"), "false");
    EXPECT_EQ(Host().clipboard, "copied");

    Host().strings["title"] = "Garden";
    EXPECT_EQ(Eval("GetString('title', 'one', 'two')"), "Garden");
    EXPECT_EQ(Host().lastArguments, (std::vector<std::string>{"one", "two", "", "", ""}));
}

} // namespace
