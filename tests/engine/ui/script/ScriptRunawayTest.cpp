// Scripts of every kind that would never end or never stop growing: each is stopped by the
// script budget with one log line naming the script and the cause, the program goes on,
// and a dialog whose command ran away goes on waiting.

#include "engine/foundation/core/TTaskList.h"
#include "engine/graphics/TGraphicsHost.h"
#include "engine/graphics/anim/TAnimatedTexture.h"
#include "engine/graphics/particles/TLuaParticleSystem.h"
#include "engine/graphics/sprite/TAnimatedSprite.h"
#include "engine/script/TScriptBudget.h"
#include "tests/engine/graphics/anim/AnimationTestSupport.h"
#include "tests/engine/ui/script/WindowScriptTestSupport.h"

#include <chrono>
#include <functional>

namespace {

using namespace std::chrono_literals;

class ScriptRunaway : public TWindowScriptTest
{
protected:
    ScriptRunaway()
    {
        TScriptLimits limits;
        limits.callTime = 30ms;
        limits.grace = 30ms;
        limits.memory = std::size_t{4} << 20;
        TScriptBudget::SetLimits(limits);
        PutSheet(mFolder, "fx/sheet.png", 16, 8);
    }
    ~ScriptRunaway() override { TGraphicsHost::Get().GetAnimationTasks().RunAll(kPassEveryTurn); }

    TButtonProbe* FindButton(const char* name)
    {
        return Manager().GetTopModal()->FindChild<TButtonProbe>(name);
    }
    // Presses a button of the menu dialog that runs body as its command.
    void PressCommand(const std::string& body)
    {
        Run("SetCommand('go', function() " + body + " end)");
        TButtonProbe* button = FindButton("go");
        ASSERT_NE(button, nullptr);
        button->Press();
    }
    // An animated sprite whose animation script has function Go() with body; played.
    void PlayAnimation(const std::string& body)
    {
        mFolder.Put("fx/spin.xml",
                    StripXml("sheet.png", 2, 8, 8, 0, 0,
                             "<script luascript=\"function Go() " + body + " end\"/>"));
        mSprite = TAnimatedSprite::Create();
        mSprite->SetTexture(TAnimatedTexture::Get("user:fx/spin"));
        mSprite->Play("Go");
    }
    // Loads text as the effect fx/name and runs one frame.
    void RunEffect(const std::string& name, const std::string& text)
    {
        mFolder.Put("fx/" + name, text);
        mEffect = std::make_unique<TLuaParticleSystem>();
        EXPECT_TRUE(mEffect->Load(("user:fx/" + name).c_str()));
        mEffect->Update(16);
    }

    int StopLines() const
    {
        return mFolder.CountLogLines("stopped: ") + mFolder.CountLogLines("out of memory") +
               mFolder.CountLogLines("not enough memory");
    }
    std::string Log() const
    {
        std::string text;
        for (const std::string& line : mFolder.LogLines())
            text += line + "\n";
        return text;
    }

    std::shared_ptr<TAnimatedSprite> mSprite;
    std::unique_ptr<TLuaParticleSystem> mEffect;
};

struct TCase
{
    const char* what;
    std::function<void()> start;
    const char* logged; // the one line naming the script and the cause
};

const char* const kLoop = "local n = 0 while true do n = n + 1 end";
const char* const kHog =
    "local t = {} local i = 0 while true do i = i + 1 t[i] = string.rep('x', 4000) .. i end";

TEST_F(ScriptRunaway, IsStoppedWithOneLineNamingTheScriptAndTheProgramGoesOn)
{
    AddFile("dlg/menu.lua", "MakeDialog { TestButton { name = 'go', w = 5, h = 5 } }");
    const TCase cases[] = {
        {"an endless loop in a window script",
         [this] { Run(std::string("gBusy = true ") + kLoop); },
         "goes on waiting: [string \"gBusy = true local n = 0 while true do n = ...\"]:1: "
         "stopped: one call ran longer than 30 ms"},
        {"an endless loop in a button's command", [this] { PressCommand(kLoop); },
         "goes on waiting: [string \"SetCommand('go', function() local n = 0 whi...\"]:1: "
         "stopped: one call ran longer than 30 ms"},
        {"a command that catches its stop and goes on",
         [this] { PressCommand("while true do pcall(function() while true do end end) end"); },
         "stopped: still running 30 ms after it was stopped"},
        {"a command that takes all memory", [this] { PressCommand(kHog); },
         "goes on waiting: not enough memory"},
        {"an endless loop in an animation script", [this] { PlayAnimation(kLoop); },
         "lua_resume error: [string \"function Go() local n = 0 while true do n =...\"]:1: "
         "stopped: one call ran longer than 30 ms"},
        {"an endless loop in an effect", [this] { RunEffect("loop.lua", kLoop); },
         "Lua error: user:fx/loop.lua:1: stopped: one call ran longer than 30 ms"},
        {"an endless loop in an effect's Update",
         [this] { RunEffect("update.lua", std::string("function Update() ") + kLoop + " end"); },
         "Lua error: user:fx/update.lua:1: stopped: one call ran longer than 30 ms"},
        {"an effect that takes all memory", [this] { RunEffect("hog.lua", kHog); },
         "script: user:fx/hog.lua: out of memory (a block of"},
    };
    StartDialog("DoModal('dlg/menu.lua')");
    ASSERT_EQ(Depth(), 2);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        const int before = StopLines();
        c.start();
        EXPECT_EQ(mFolder.CountLogLines(c.logged), 1) << Log();
        EXPECT_EQ(StopLines() - before, 1) << "one line for the stop";
        ASSERT_EQ(Depth(), 2);
        EXPECT_EQ(Script().GetWaiting(), TWindowScript::TWaiting::ForMessage);
        Deliver(1001, c.what);
        EXPECT_EQ(Eval("gLastMessage.name"), c.what);
    }
    EXPECT_EQ(mFolder.CountLogLines("coroutine has died"), 0);
}

} // namespace
