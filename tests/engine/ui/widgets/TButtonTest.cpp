// Buttons built by window scripts and driven by synthetic pointer events, as the event
// pump delivers them: states and captures, commands and press messages, masks, radio
// groups, toggle layers, close buttons, default buttons, labels and sounds.

#include "engine/ui/widgets/TButton.h"

#include "engine/platform/TAudioDevice.h"
#include "engine/sound/TSoundManager.h"
#include "engine/ui/widgets/TButtonLuaAction.h"
#include "tests/engine/ui/script/WindowScriptTestSupport.h"
#include "tools/oggsynth/synth/SoundSynth.h"

namespace {

constexpr uint32_t kUpColor = 0xff2040c0;
constexpr uint32_t kDownColor = 0xff102060;
constexpr uint32_t kOverColor = 0xff4080ff;
constexpr uint32_t kOnOverColor = 0xffffc040;

// A button of 20 x 10 at (10, 10) in the dialog, which covers the root screen.
constexpr int kInX = 15;
constexpr int kInY = 15;
constexpr int kOutX = 50;
constexpr int kOutY = 40;

class TButtonTest : public TWindowScriptTest
{
protected:
    TButtonTest()
    {
        mGraphics = "{ '" + PutPng("up.png", 20, 10, kUpColor) + "', '" +
                    PutPng("down.png", 20, 10, kDownColor) + "', '" +
                    PutPng("over.png", 20, 10, kOverColor) + "', '" +
                    PutPng("onover.png", 20, 10, kOnOverColor) + "' }";
    }

    // Opens a dialog of these windows (Lua table entries) with the dialog coroutine
    // waiting in DoModal, whose answer goes to gAnswer.
    void OpenDialog(const std::string& windows)
    {
        AddFile("dlg/test.lua", "MakeDialog { " + windows + " }");
        StartDialog("gAnswer = DoModal('dlg/test.lua')");
        ASSERT_EQ(Depth(), 2);
    }
    // A button at (x, y) of the 20 x 10 pictures; extra: more style entries.
    std::string ButtonText(const std::string& name, const std::string& extra = "", int x = 10,
                           int y = 10)
    {
        return "Button { name = '" + name + "', x = " + std::to_string(x) +
               ", y = " + std::to_string(y) + ", graphics = " + mGraphics +
               (extra.empty() ? "" : ", " + extra) + " }";
    }
    TButton* Button(const char* name)
    {
        return WindowCast<TButton>(Manager().GetTopModal()->FindChild(name));
    }
    // The pointer comes, presses and releases (a capture takes every event, so a click
    // elsewhere without a move first only ends the capture).
    void Click(int x, int y)
    {
        Send(TEvent::kMouseMove, x, y);
        Send(TEvent::kLeftDown, x, y);
        Send(TEvent::kLeftUp, x, y);
    }
    int Count() { return static_cast<int>(GlobalNumber("gCount")); }

    std::string mGraphics;
};

constexpr const char* kCounting = "command = function() gCount = (gCount or 0) + 1 end";

TEST_F(TButtonTest, ThePointerDrivesTheStatesAndAPressRunsTheCommandOnce)
{
    struct TStep
    {
        int event;
        int x, y;
    };
    const TStep in = {TEvent::kMouseMove, kInX, kInY};
    const TStep out = {TEvent::kMouseMove, kOutX, kOutY};
    const TStep downIn = {TEvent::kLeftDown, kInX, kInY};
    const TStep upIn = {TEvent::kLeftUp, kInX, kInY};
    const TStep upOut = {TEvent::kLeftUp, kOutX, kOutY};
    struct TCase
    {
        const char* what;
        std::vector<TStep> steps;
        int commands;
        TButton::State state;
        bool captured;
    };
    const TCase cases[] = {
        {"hover", {in}, 0, TButton::State::Over, true},
        {"hover and leave", {in, out}, 0, TButton::State::Up, false},
        {"press", {in, downIn}, 0, TButton::State::Down, true},
        {"press and release inside", {in, downIn, upIn}, 1, TButton::State::Over, true},
        {"press without hovering first", {downIn, upIn}, 1, TButton::State::Over, true},
        {"release outside", {in, downIn, upOut}, 0, TButton::State::Up, false},
        {"move out while pressed", {in, downIn, out}, 0, TButton::State::Up, false},
        {"move out and release outside", {in, downIn, out, upOut}, 0, TButton::State::Up, false},
        {"two clicks", {in, downIn, upIn, downIn, upIn}, 2, TButton::State::Over, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        OpenDialog(ButtonText("b", kCounting));
        TButton* button = Button("b");
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(RectText(button->GetRect()), "10,10,30,20"); // fitted to its pictures
        EXPECT_EQ(button->GetState(), TButton::State::Up);
        for (const TStep& step : c.steps)
            Send(step.event, step.x, step.y);
        EXPECT_EQ(Count(), c.commands);
        EXPECT_EQ(button->GetState(), c.state);
        EXPECT_EQ(button->GetCurrentLayer(), static_cast<int>(c.state));
        EXPECT_EQ(Manager().HasCapture(button), c.captured);
        // Every press reached the dialog as kButtonPress, after the command's message.
        EXPECT_EQ(Eval("gLastMessage ~= nil and gLastMessage.type == kButtonPress"),
                  c.commands > 0 ? "true" : "false");
        Run("CloseWindow() gCount = nil gLastMessage = nil");
        Turns(3);
        ASSERT_EQ(Depth(), 1);
    }
}

TEST_F(TButtonTest, DarkMaskPixelsAreNotPartOfTheButton)
{
    // Stretched over the button: its left half is dark (all channels below 20), its right
    // half just bright enough in one channel.
    const uint32_t mask[2] = {0xff131313, 0xff140000};
    ASSERT_TRUE(WritePngImage("user:mask.png", mask, 2, 1, 8));
    OpenDialog(ButtonText("b", std::string(kCounting) + ", mask = 'user:mask.png'"));
    TButton* button = Button("b");
    ASSERT_TRUE(button->HasMask());

    Send(TEvent::kMouseMove, 12, 15);
    EXPECT_EQ(button->GetState(), TButton::State::Up);
    Click(12, 15);
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(button->GetState(), TButton::State::Up);
    EXPECT_FALSE(Manager().HasCapture(button));

    Send(TEvent::kMouseMove, 25, 15);
    EXPECT_EQ(button->GetState(), TButton::State::Over);
    Click(25, 15);
    EXPECT_EQ(Count(), 1);
    // Sliding onto the dark half leaves the button.
    Send(TEvent::kMouseMove, 11, 15);
    EXPECT_EQ(button->GetState(), TButton::State::Up);
    EXPECT_FALSE(Manager().HasCapture(button));
}

TEST_F(TButtonTest, ARadioButtonSwitchesOffTheOthersOfItsGroupOnly)
{
    OpenDialog("BeginGroup(), " + ButtonText("a", "type = kRadio", 0, 2) + ", " +
               ButtonText("b", "type = kRadio", 21, 2) + ", " +
               ButtonText("c", "type = kRadio", 42, 2) + ", BeginGroup(), " +
               ButtonText("d", "type = kRadio", 0, 30));
    Run("SetButtonToggleState('a', true) SetButtonToggleState('d', true)");
    struct TCase
    {
        const char* what;
        int x, y; // a click there
        const char* on;
    };
    const TCase cases[] = {
        {"b", 25, 5, "bd"},
        {"c", 45, 5, "cd"},
        {"c again stays on", 45, 5, "cd"},
        {"a", 5, 5, "ad"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        Click(c.x, c.y);
        std::string on;
        for (const char* name : {"a", "b", "c", "d"}) {
            if (Button(name)->GetToggleState())
                on += name;
        }
        EXPECT_EQ(on, c.on);
    }
    EXPECT_EQ(Button("a")->GetCurrentLayer(), 3); // over and on
    EXPECT_EQ(Button("b")->GetCurrentLayer(), 0); // up and off
    EXPECT_EQ(Button("d")->GetCurrentLayer(), 1); // up and on
}

TEST_F(TButtonTest, AToggleButtonShowsItsOnLayers)
{
    OpenDialog(ButtonText("t", "type = kToggle"));
    TButton* button = Button("t");
    struct TCase
    {
        const char* what;
        int event, x, y;
        bool on;
        int layer;
    };
    const TCase cases[] = {
        {"over, off", TEvent::kMouseMove, kInX, kInY, false, 2},
        {"down, off", TEvent::kLeftDown, kInX, kInY, false, 1},
        {"released: on, over", TEvent::kLeftUp, kInX, kInY, true, 3},
        {"left: on, up", TEvent::kMouseMove, kOutX, kOutY, true, 1},
        {"over, on", TEvent::kMouseMove, kInX, kInY, true, 3},
        {"down, on", TEvent::kLeftDown, kInX, kInY, true, 0},
        {"released: off, over", TEvent::kLeftUp, kInX, kInY, false, 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        Send(c.event, c.x, c.y);
        EXPECT_EQ(button->GetToggleState(), c.on);
        EXPECT_EQ(button->GetCurrentLayer(), c.layer);
        EXPECT_EQ(Eval("GetButtonToggleState('t')"), c.on ? "true" : "false");
    }
    // "on" in the style starts it on.
    Run("CloseWindow()");
    Turns(3);
    OpenDialog(ButtonText("t", "type = kToggle, on = true"));
    EXPECT_TRUE(Button("t")->GetToggleState());
    EXPECT_EQ(Button("t")->GetCurrentLayer(), 1);
}

TEST_F(TButtonTest, TheLayersAreDrawnAndTheLabelBelongsToEveryLayer)
{
    OpenDialog(ButtonText("b", "Label { name = 'label', x = 2, y = 2, w = 4, h = 4 }"));
    TButton* button = Button("b");
    auto* label = dynamic_cast<TLabelProbe*>(button->FindChild("label"));
    ASSERT_NE(label, nullptr);
    const struct
    {
        int event;
        uint32_t color;
    } steps[] = {
        {TEvent::kIdle, kUpColor},
        {TEvent::kMouseMove, kOverColor},
        {TEvent::kLeftDown, kDownColor},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.color);
        Send(step.event, kInX, kInY);
        EXPECT_NE(label->GetFlags() & TWindow::kShown, 0u);
        Manager().Invalidate();
        IdleFor(20);
        EXPECT_EQ(BackBuffer().At(11, 11), step.color);
        EXPECT_EQ(BackBuffer().At(29, 19), step.color);
    }
    EXPECT_NE(BackBuffer().At(30, 20), kDownColor);
}

TEST_F(TButtonTest, TheLabelIsTheTextOfTheChildNamedLabel)
{
    // Made last, the button named "label" is the first window of that name in the dialog.
    OpenDialog("Button { name = 'withlabel', w = 10, h = 10, "
               "  Window { name = 'frame', w = 10, h = 10, Label { name = 'label' } } }, "
               "Button { name = 'plain', w = 10, h = 10, Window { name = 'label' } }, "
               "Button { name = 'label', w = 10, h = 10 }");
    Run("SetLabel('withlabel', 'Play') SetLabel('label', 'x') SetLabel('plain', 'y')");
    EXPECT_EQ(Eval("GetLabel('withlabel')"), "Play");
    auto* probe =
        dynamic_cast<TLabelProbe*>(Manager().GetTopModal()->FindChild("frame")->FindChild("label"));
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe->label.CStr(), std::string("Play"));
    // A button that is itself named "label", or whose "label" shows no text, has none.
    EXPECT_EQ(Eval("GetLabel('label')"), "");
    EXPECT_EQ(Eval("GetLabel('plain')"), "");
}

TEST_F(TButtonTest, ACloseButtonAnswersItsDialogWithItsName)
{
    struct TCase
    {
        const char* what;
        int event, param; // a click on "yes" when param is 0; else a character
        const char* answer;
    };
    const TCase cases[] = {
        {"clicked", TEvent::kLeftDown, 0, "yes"},
        {"Enter presses the default button", TEvent::kChar, 13, "yes"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        OpenDialog(
            ButtonText("no", "close = true") + ", " +
            ButtonText("yes", "close = true, default = true, " + std::string(kCounting), 10, 30));
        if (c.param == 0)
            Click(kInX, 35);
        else
            Send(c.event, 0, 0, c.param);
        Turns(3);
        EXPECT_EQ(Depth(), 1);
        EXPECT_EQ(GlobalString("gAnswer"), c.answer);
        EXPECT_EQ(Count(), 1);
        Run("gCount = nil");
    }
}

// Records the messages it is offered.
class TRecordingModal final : public TModalWindow
{
public:
    bool OnMessage(TMessage* message) override
    {
        seen.push_back(std::to_string(message->GetType()) + " " + message->GetName().CStr());
        return TModalWindow::OnMessage(message);
    }
    std::vector<std::string> seen;
};

// Pops the button's dialog, as a script command that closes it does.
class TPopDialog final : public TButton::Action
{
public:
    void Execute(TButton& button) override
    {
        GetWindowManager()->DoPopModal(button.GetModalParent()->GetIdString());
        ++runs;
    }
    int runs = 0;
};

TEST_F(TButtonTest, ACloseButtonWhoseCommandPopsItsDialogDropsItsPressMessage)
{
    for (const bool toParent : {false, true}) {
        SCOPED_TRACE(toParent ? "sendToParent" : "to its parent");
        auto lowerOwned = std::make_unique<TRecordingModal>();
        lowerOwned->SetName("lower");
        auto* lower = Manager().PushModal(std::move(lowerOwned));
        auto* dialog = Manager().PushModal(std::make_unique<TModalWindow>());
        const std::string dialogId = dialog->GetIdString().CStr();
        auto* button = dialog->Adopt(std::make_unique<TButton>());
        TMapStyle style{{"w", 20}, {"h", 10}, {"close", 1}, {"sendToParent", toParent ? 1 : 0}};
        style.strings["name"] = "ok";
        button->Init(style);
        auto action = std::make_unique<TPopDialog>();
        TPopDialog* pop = action.get();
        button->SetAction(std::move(action));

        Click(5, 5);
        EXPECT_EQ(pop->runs, 1);
        EXPECT_EQ(Manager().GetTopModal(), lower);
        std::vector<std::string> expected = {"1 " + dialogId};
        if (toParent)
            expected.push_back("3 ok");
        EXPECT_EQ(lower->seen, expected);
        // What no window took waits in the script's queue (no dialog coroutine runs).
        Run("gPresses = 0 for i, m in gMessageQueue do if m.type == kButtonPress then "
            "gPresses = gPresses + 1 end end gMessageQueue = { }");
        EXPECT_EQ(GlobalNumber("gPresses"), toParent ? 1 : 0);
        EXPECT_EQ(GlobalString("gReturnValue"), "ok");
        Manager().DoPopModal("lower");
        Turn();
    }
}

TEST_F(TButtonTest, EveryPressHandsTheScriptItsOwnHandleOnTheCommand)
{
    // The command replaces itself while it runs; the old one must survive its own run.
    OpenDialog(ButtonText("b", "command = function() gCount = (gCount or 0) + 1 "
                               "SetCommand('b', function() gCount = gCount + 10 end) end"));
    TButton* button = Button("b");
    for (int press = 0; press < 3; ++press)
        Click(kInX, kInY);
    EXPECT_EQ(Count(), 21);
    auto* action = dynamic_cast<TButton::LuaAction*>(button->GetAction());
    ASSERT_NE(action, nullptr);
    EXPECT_TRUE(action->GetFunction().IsStateOpen());
    // Pressed from code (a text link): the same path.
    button->Press();
    EXPECT_EQ(Count(), 31);
}

class TButtonSoundTest : public TButtonTest
{
protected:
    void SetUp() override
    {
        mSounds = std::make_unique<TSoundManager>(
            [] { return std::make_unique<TManualAudioDevice>(); }, false);
        ASSERT_TRUE(mSounds->Init());
        TToneSpec tone;
        tone.seconds = 0.2;
        mPress = mFolder.Put("press.ogg", MakeToneOgg(tone));
        tone.frequency = 880.0;
        mOver = mFolder.Put("over.ogg", MakeToneOgg(tone));
    }
    void TearDown() override { mSounds.reset(); }
    int Playing() { return static_cast<int>(mSounds->GetStreamCount()); }

    std::unique_ptr<TSoundManager> mSounds;
    std::string mPress;
    std::string mOver;
};

TEST_F(TButtonSoundTest, TheRollOverSoundPlaysOnEnteringAndTheClickSoundOnAPress)
{
    OpenDialog(ButtonText("b", "sound = '" + mPress + "', rolloversound = '" + mOver + "'"));
    TButton* button = Button("b");
    ASSERT_NE(button->GetSound(TButton::State::Down), nullptr);
    ASSERT_NE(button->GetSound(TButton::State::Over), nullptr);
    EXPECT_EQ(button->GetSound(TButton::State::Pressed), nullptr);
    struct TCase
    {
        const char* what;
        int event, x, y;
        int started; // playbacks started by the step
    };
    const TCase cases[] = {
        {"enter: roll-over", TEvent::kMouseMove, kInX, kInY, 1},
        {"move on it: nothing", TEvent::kMouseMove, kInX + 1, kInY, 0},
        {"down: nothing", TEvent::kLeftDown, kInX, kInY, 0},
        {"release: press, then roll-over", TEvent::kLeftUp, kInX, kInY, 2},
        {"leave: nothing", TEvent::kMouseMove, kOutX, kOutY, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        const int before = Playing();
        Send(c.event, c.x, c.y);
        EXPECT_EQ(Playing() - before, c.started);
    }
    // The pressed state owns no sound: showing it plays nothing.
    const int before = Playing();
    button->ShowState(TButton::State::Pressed, TButton::State::Down);
    button->ShowState(TButton::State::Pressed, TButton::State::Up);
    EXPECT_EQ(Playing(), before);
    // A hidden button is silent.
    Run("EnableWindow('b', false)");
    button->SetState(TButton::State::Over);
    button->PressButton();
    EXPECT_EQ(Playing(), before);
}

// One move may carry the pointer from a button straight onto another (the demonstration
// menu's buttons are 18 pixels apart): the first goes up, the second lights and plays its
// roll-over sound in that same event.
TEST_F(TButtonSoundTest, AMoveStraightOntoAnotherButtonLightsItAtOnce)
{
    const std::string over = "rolloversound = '" + mOver + "'";
    struct TMove
    {
        int x, y;
        const char* states; // each button's state after the move: U(p) or O(ver)
        int rollOvers;      // roll-over sounds started by the move
    };
    struct TCase
    {
        const char* what;
        std::string windows;
        std::vector<const char*> names;
        std::vector<TMove> moves;
    };
    const TCase cases[] = {
        {"two buttons 18 pixels apart",
         ButtonText("a", over, 10, 2) + ", " + ButtonText("b", over, 10, 30),
         {"a", "b"},
         {{15, 5, "OU", 1},
          {15, 35, "UO", 1},
          {16, 36, "UO", 0},
          {15, 5, "OU", 1},
          {50, 45, "UU", 0},
          {15, 35, "UO", 1}}},
        {"three in a row, the middle one skipped",
         ButtonText("a", over, 0, 2) + ", " + ButtonText("b", over, 22, 2) + ", " +
             ButtonText("c", over, 44, 2),
         {"a", "b", "c"},
         {{5, 5, "OUU", 1},
          {50, 5, "UUO", 1},
          {30, 5, "UOU", 1},
          {5, 5, "OUU", 1},
          {50, 5, "UUO", 1}}},
        {"a button inside a button three times its size",
         ButtonText("outer", over + ", scale = 3, " + ButtonText("inner", over, 20, 10), 2, 2),
         {"outer", "inner"},
         {{5, 5, "OU", 1},
          {30, 15, "UO", 1},
          {31, 16, "UO", 0},
          {5, 5, "OU", 1},
          {30, 15, "UO", 1},
          {60, 45, "UU", 0},
          {30, 15, "UO", 1}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        OpenDialog(c.windows);
        for (size_t i = 0; i < c.moves.size(); ++i) {
            const TMove& move = c.moves[i];
            SCOPED_TRACE("move " + std::to_string(i) + " to " + std::to_string(move.x) + "," +
                         std::to_string(move.y));
            const int before = Playing();
            Send(TEvent::kMouseMove, move.x, move.y);
            std::string states;
            for (const char* name : c.names) {
                const TButton* button = Button(name);
                ASSERT_NE(button, nullptr) << name;
                const bool lit = button->GetState() == TButton::State::Over;
                states += lit ? "O" : "U";
                EXPECT_EQ(Manager().HasCapture(button), lit) << name;
            }
            EXPECT_EQ(states, move.states);
            EXPECT_EQ(Playing() - before, move.rollOvers);
        }
        Run("CloseWindow()");
        Turns(3);
        ASSERT_EQ(Depth(), 1);
    }
}

} // namespace
