// The tests' in-process engine (tests/support/TEngineFixture.h): the real engine started
// headless in the test process, stepped by hand.

#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/app/TPlatformData.h"
#include "engine/foundation/core/TTask.h"
#include "engine/foundation/core/TTaskList.h"
#include "engine/foundation/host/TGameState.h"
#include "engine/foundation/xml/TStringTable.h"
#include "engine/graphics/TGraphicsHost.h"
#include "engine/graphics/anim/TAnimatedTexture.h"
#include "engine/graphics/image/PngImage.h"
#include "engine/graphics/sprite/TAnimatedSprite.h"
#include "engine/script/TScript.h"
#include "engine/ui/manager/TWindowManager.h"
#include "engine/ui/window/TModalWindow.h"
#include "engine/ui/window/TWindowScriptLink.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/graphics/anim/AnimationTestSupport.h"
#include "tests/support/TEngineFixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

// Counts its runs; finished after limit runs (never with a limit of 0).
class TCountingTask final : public TTask
{
public:
    TCountingTask(int& runs, int limit = 0) : mRuns(runs), mLimit(limit) {}
    bool DoTask() override { return ++mRuns != mLimit; }

private:
    int& mRuns;
    int mLimit;
};

std::string GameState(const char* key)
{
    return TGameState::Get()->GetState(key).CStr();
}

using InProcessEngine = EngineStateTest;

// A 64 x 48 display.
TEngineFixture::TOptions SmallDisplay()
{
    TEngineFixture::TOptions options;
    options.width = 64;
    options.height = 48;
    return options;
}

TEST_F(InProcessEngine, RunsAWindowScriptOnTheClockItSteps)
{
    TEngineFixture engine;
    engine.WriteContent(
        "strings.xml", "<Workbook><Worksheet><Table><Row><Cell><Data>hello</Data></Cell>"
                       "<Cell><Data>Hello, %1%</Data></Cell></Row></Table></Worksheet></Workbook>");
    engine.WriteContent("scripts/main.lua",
                        "return function()\n"
                        "  SetState('opened', GetString('hello', 'guest') .. ';' .. GetTimer())\n"
                        "  Pause(30)\n"
                        "  SetState('paused', '' .. GetTimer())\n"
                        "  PostMessage(CreateNamedMessage(kQuitNow, ''))\n"
                        "end\n");
    ASSERT_TRUE(engine.Start(SmallDisplay()));
    EXPECT_EQ(engine.Strings().GetString("hello", "you"), TString("Hello, you"));
    EXPECT_EQ(dynamic_cast<TScript*>(engine.Windows().GetWindowScript()), &engine.WindowScript());
    EXPECT_NE(engine.WindowScript().GetState(), nullptr);

    ASSERT_TRUE(
        engine.Windows().RunScriptFile(engine.Windows().GetRootWindow(), "scripts/main.lua"));
    EXPECT_EQ(GameState("opened"), "Hello, guest;0");
    engine.Step(16);
    EXPECT_EQ(GameState("paused"), "") << "Pause(30) still waits after 16 ms";
    EXPECT_FALSE(engine.HasQuit());
    engine.Step(16);
    EXPECT_EQ(GameState("paused"), "32");
    EXPECT_TRUE(engine.StepUntil([&] { return engine.HasQuit(); }, 16, 3));
}

TEST_F(InProcessEngine, PlaysAnAnimatedSpriteOnThePlatformsTaskList)
{
    TEngineFixture engine;
    ASSERT_TRUE(engine.Start(SmallDisplay()));
    EXPECT_EQ(&TGraphicsHost::Get().GetAnimationTasks(), &engine.Platform().GetTaskList());

    std::vector<uint32_t> sheet(24 * 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 24; ++x)
            sheet[y * 24 + x] = SheetPixel(x, y);
    ASSERT_TRUE(WritePngImage("user:fx/sheet.png", sheet.data(), 24, 8, 24 * 4));
    std::ofstream(engine.Platform().GetData().GetUserFolder().CStr() + std::string("/fx/three.xml"))
        << StripXml("sheet.png", 3, 8, 8);
    std::shared_ptr<TAnimatedTexture> animation = TAnimatedTexture::Get("user:fx/three");
    ASSERT_NE(animation, nullptr);

    std::shared_ptr<TAnimatedSprite> sprite = TAnimatedSprite::Create();
    sprite->SetTexture(animation);
    sprite->Play("DoAnim"); // the default script: each frame 60 ms
    std::vector<int> frames{sprite->GetCurrentFrame()};
    for (uint32_t ms : {59, 1, 60, 60}) {
        engine.Step(ms);
        frames.push_back(sprite->GetCurrentFrame());
    }
    EXPECT_EQ(frames, (std::vector<int>{0, 0, 1, 2, 2}));
    EXPECT_FALSE(sprite->IsPlaying(0)) << "finished after 180 ms";
}

TEST_F(InProcessEngine, RunsTasksEachStepAndRefreshTasksWhenTheDisplayIsSetUpAgain)
{
    TEngineFixture engine;
    ASSERT_TRUE(engine.Start(SmallDisplay()));
    int taskRuns = 0;
    int refreshRuns = 0;
    engine.Platform().AddTask(std::make_unique<TCountingTask>(taskRuns, 3));
    engine.Platform().AddRefreshTask(std::make_unique<TCountingTask>(refreshRuns));
    std::vector<int> runs;
    for (int i = 0; i < 4; ++i) {
        engine.Step(10);
        runs.push_back(taskRuns);
    }
    EXPECT_EQ(runs, (std::vector<int>{1, 2, 3, 3})) << "one run a step, until it finished";
    EXPECT_EQ(refreshRuns, 0);
    engine.Platform().SetDisplay(80, 60, false);
    EXPECT_EQ(refreshRuns, 1) << "a new display mode gets the assets back, then refreshes";
    engine.Step(10);
    EXPECT_EQ(refreshRuns, 1);
}

TEST_F(InProcessEngine, TheClockAndTheRandomGeneratorStartWhereTheTestSays)
{
    std::vector<std::vector<uint32_t>> draws;
    for (uint32_t seed : {7u, 7u, 8u}) {
        TEngineFixture engine;
        TEngineFixture::TOptions options;
        options.seed = seed;
        options.startTime = 5000;
        options.width = 0;
        ASSERT_TRUE(engine.Start(options));
        EXPECT_EQ(engine.Platform().GetTimer(), 0u);
        engine.Step(25);
        EXPECT_EQ(engine.Platform().GetTimer(), 25u);
        EXPECT_EQ(engine.Time().GetMilliseconds(), 5025u);
        draws.push_back({engine.Platform().Random(), engine.Platform().Random()});
    }
    EXPECT_EQ(draws[0], draws[1]);
    EXPECT_NE(draws[0], draws[2]);
}

TEST_F(InProcessEngine, StopsCleanlyAndStartsAgain)
{
    TEngineFixture engine;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        ASSERT_TRUE(engine.Start(SmallDisplay()));
        EXPECT_TRUE(engine.IsRunning());
        EXPECT_EQ(TPlatform::GetInstance(), &engine.Platform());
        ASSERT_NE(GetWindowManager(), nullptr);
        EXPECT_EQ(engine.Windows().GetRootWindow()->GetWidth(), 64);
        engine.Step(16);
        EXPECT_NE(engine.Log().find("start-up: settings, plug-ins and game-state keys ready"),
                  std::string::npos);
        engine.Stop();
        EXPECT_FALSE(engine.IsRunning());
        EXPECT_EQ(TPlatform::GetInstance(), nullptr);
        EXPECT_EQ(GetWindowManager(), nullptr);
        EXPECT_NE(engine.Log().find("shutdown: done"), std::string::npos);
    }
    engine.Stop(); // twice is harmless
}

} // namespace
