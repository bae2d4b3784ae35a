#include "engine/ui/install/UiInstall.h"

#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/host/TGameState.h"
#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/graphics/install/GraphicsInstall.h"
#include "engine/script/TScriptBudget.h"
#include "engine/ui/manager/TWindowManager.h"
#include "engine/ui/window/TScreen.h"
#include "engine/ui/window/TWindowScriptLink.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/support/TEngineFixture.h"

#include <gtest/gtest.h>

namespace {

using UiInstall = EngineStateTest;

TEST_F(UiInstall, TheGameRunsOverOurWindowManager)
{
    EXPECT_EQ(TEngineSeams::CreateWindowManager(), nullptr); // none installed: no windows
    {
        TEngineFixture engine;
        TEngineFixture::TOptions options;
        options.width = 64;
        options.height = 48;
        options.install = [] {
            InstallGraphics();
            InstallUi();
        };
        ASSERT_TRUE(engine.Start(options));
        TWindowManager& windows = engine.Windows();
        ASSERT_TRUE(windows.HasRootWindow());
        EXPECT_EQ(windows.GetRootWindow()->GetWidth(), 64);
        // The first picture, then idle turns over a static screen only.
        EXPECT_TRUE(engine.StepUntil([&] { return windows.GetFrameCount() > 0; }, 16, 300));
        EXPECT_EQ(windows.GetFrameCount(), 1);
        for (int i = 0; i < 200; ++i)
            engine.Step(16);
        EXPECT_EQ(windows.GetFrameCount(), 1); // nothing changed: nothing drawn
    }
    EXPECT_EQ(GetWindowManager(), nullptr);
}

TEST_F(UiInstall, WindowScriptsRunInTheGame)
{
    TEngineFixture engine;
    engine.WriteContent("strings.xml",
                        "<Workbook><Worksheet><Table><Row><Cell><Data>title</Data></Cell>"
                        "<Cell><Data>Spa %1%</Data></Cell></Row></Table></Worksheet></Workbook>");
    engine.WriteContent("scripts/main.lua",
                        "return function()\n"
                        "  local id = PushModal('dlg/ask.lua')\n"
                        "  ReadFile('dlg/ask.lua')\n"
                        "  local seen = GetWindowDepth() .. ',' .. GetLabel('panel')\n"
                        "  Pause(30)\n"
                        "  CloseWindow('closed')\n"
                        "  WaitForCloseMessage(id)\n"
                        "  SetState('result', GetString('title', 'open') .. ';' .. seen .. ';' ..\n"
                        "           gReturnValue .. ';' .. GetWindowDepth())\n"
                        "  PostMessage(CreateNamedMessage(kQuitNow, ''))\n"
                        "end\n");
    engine.WriteContent("dlg/ask.lua", "MakeDialog { Window { name = 'panel', w = 9, h = 9 } }");
    TEngineFixture::TOptions options;
    options.width = 64;
    options.height = 48;
    ASSERT_TRUE(engine.Start(options));
    TWindowManager& windows = engine.Windows();

    EXPECT_TRUE(windows.GetWindowScript()->GetTranslateLabels()); // strings.xml was read
    EXPECT_TRUE(windows.RunScriptFile(windows.GetRootWindow(), "scripts/main.lua"));
    EXPECT_TRUE(engine.StepUntil([&] { return engine.HasQuit(); }, 16, 300));
    EXPECT_EQ(TGameState::Get()->GetState("result"),
              TString("Spa open;2,panel_is_not_a_TText_window_or_TButton;closed;1"));
}

TEST_F(UiInstall, AScriptThatRunsOnGivesWayToAQuitRequest)
{
    TEngineFixture engine;
    engine.WriteContent("scripts/main.lua", "local n = 0\nwhile true do n = n + 1 end\n");
    TEngineFixture::TOptions options;
    options.width = 64;
    options.height = 48;
    ASSERT_TRUE(engine.Start(options));
    // Far longer than the test may take: only the quit request can stop the script.
    TScriptLimits limits = TScriptBudget::DefaultLimits();
    limits.callTime = std::chrono::minutes(10);
    TScriptBudget::SetLimits(limits);
    engine.Platform().PostQuitMessage(0);
    TWindowManager& windows = engine.Windows();
    EXPECT_FALSE(windows.RunScriptFile(windows.GetRootWindow(), "scripts/main.lua"));
    EXPECT_TRUE(engine.StepUntil([&] { return engine.HasQuit(); }, 16, 300));
    EXPECT_NE(engine.Log().find("scripts/main.lua:2: stopped: the program is closing"),
              std::string::npos)
        << engine.Log();
}

} // namespace
