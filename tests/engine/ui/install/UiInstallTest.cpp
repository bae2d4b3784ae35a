#include "engine/ui/install/UiInstall.h"

#include "engine/foundation/app/EngineMain.h"
#include "engine/foundation/app/TEvent.h"
#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/host/TGameState.h"
#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/graphics/install/GraphicsInstall.h"
#include "engine/ui/manager/TWindowManager.h"
#include "engine/ui/window/TScreen.h"
#include "engine/ui/window/TWindowScriptLink.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/platform/TScopedEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct TSeen
{
    bool root = false;
    int rootWidth = 0;
    int framesAtFirst = 0;
    int framesAfterIdling = 0;
    int idleTurns = 0;
};

TSeen sSeen;

// Runs the event loop over a static screen: the first picture, then idle turns only.
int StaticScreenGame(TPlatform* platform, const char*)
{
    platform->SetDisplay(64, 48, false);
    TWindowManager* windows = GetWindowManager();
    sSeen.root = windows != nullptr && windows->HasRootWindow();
    if (!sSeen.root)
        return 0;
    sSeen.rootWidth = windows->GetRootWindow()->GetWidth();
    TEvent event;
    const uint32_t start = platform->GetTimer();
    while (windows->GetFrameCount() == 0 && platform->GetTimer() - start < 5000) {
        platform->GetEvent(event);
        windows->HandleEvent(event);
    }
    sSeen.framesAtFirst = windows->GetFrameCount();
    while (sSeen.idleTurns < 200) {
        platform->GetEvent(event);
        windows->HandleEvent(event);
        if (event.type == TEvent::kIdle)
            ++sSeen.idleTurns;
    }
    sSeen.framesAfterIdling = windows->GetFrameCount();
    return 0;
}

// Runs the window script "scripts/main.lua" in the event loop until it quits.
struct TScripted
{
    bool ran = false;
    bool quit = false;
    std::string result;
    bool translating = false;
};

TScripted sScripted;

int ScriptedGame(TPlatform* platform, const char*)
{
    platform->SetDisplay(64, 48, false);
    TWindowManager* windows = GetWindowManager();
    sScripted.translating =
        windows->GetWindowScript() != nullptr && windows->GetWindowScript()->GetTranslateLabels();
    sScripted.ran = windows->RunScriptFile(windows->GetRootWindow(), "scripts/main.lua");
    TEvent event;
    const uint32_t start = platform->GetTimer();
    while (platform->GetTimer() - start < 5000) {
        platform->GetEvent(event);
        if (event.type == TEvent::kQuit) {
            sScripted.quit = true;
            break;
        }
        windows->HandleEvent(event);
    }
    sScripted.result = TGameState::Get()->GetState("result").CStr();
    return 0;
}

void WriteText(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

using UiInstall = EngineStateTest;

TEST_F(UiInstall, TheGameRunsOverOurWindowManager)
{
    EXPECT_EQ(TEngineSeams::CreateWindowManager(), nullptr); // none installed: no windows

    std::string pattern = (fs::temp_directory_path() / "velmora_ui_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path root = pattern;
    fs::create_directories(root / "assets");
    {
        TScopedEnvironment dataHome("XDG_DATA_HOME", (root / "data").c_str());
        InstallGraphics();
        InstallUi();
        sSeen = TSeen{};
        EngineMain(("-wd=\"" + root.string() + "\" --multiple").c_str(), 0, StaticScreenGame,
                   false);
    }
    fs::remove_all(root); // the working folder goes back with the engine state

    EXPECT_TRUE(sSeen.root);
    EXPECT_EQ(sSeen.rootWidth, 64);
    EXPECT_EQ(sSeen.framesAtFirst, 1);
    EXPECT_EQ(sSeen.framesAfterIdling, 1); // nothing changed: nothing drawn
    EXPECT_EQ(GetWindowManager(), nullptr);
}

TEST_F(UiInstall, WindowScriptsRunInTheGame)
{
    std::string pattern = (fs::temp_directory_path() / "velmora_ui_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path root = pattern;
    WriteText(root / "assets/strings.xml",
              "<Workbook><Worksheet><Table><Row><Cell><Data>title</Data></Cell>"
              "<Cell><Data>Spa %1%</Data></Cell></Row></Table></Worksheet></Workbook>");
    WriteText(root / "assets/scripts/main.lua",
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
    WriteText(root / "assets/dlg/ask.lua",
              "MakeDialog { Window { name = 'panel', w = 9, h = 9 } }");
    {
        TScopedEnvironment dataHome("XDG_DATA_HOME", (root / "data").c_str());
        InstallGraphics();
        InstallUi();
        sScripted = TScripted{};
        EngineMain(("-wd=\"" + root.string() + "\" --multiple").c_str(), 0, ScriptedGame, false);
    }
    fs::remove_all(root);

    EXPECT_TRUE(sScripted.translating); // strings.xml was read
    EXPECT_TRUE(sScripted.ran);
    EXPECT_TRUE(sScripted.quit);
    EXPECT_EQ(sScripted.result, "Spa open;2,panel_is_not_a_TText_window_or_TButton;closed;1");
}

} // namespace
