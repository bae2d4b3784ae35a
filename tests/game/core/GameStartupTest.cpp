// The game's start-up (game/core/GameStartup.h) on the tests' in-process engine, over the
// build's copy of the game's content.

#include "game/core/GameStartup.h"

#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/app/TPlatformData.h"
#include "engine/foundation/core/Settings.h"
#include "engine/ui/manager/TWindowManager.h"
#include "engine/ui/widgets/TText.h"
#include "engine/ui/window/TModalWindow.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/support/TEngineFixture.h"

#include <gtest/gtest.h>

namespace {

using YOLT::Core::PrepareGameEngine;
using YOLT::Core::SetGameIdentity;
using YOLT::Core::StartTemporaryGame;

// The engine as the game starts it, in the build folder, where the game's content is.
TEngineFixture::TOptions GameOptions()
{
    TEngineFixture::TOptions options;
    options.folder = VELMORA_BINARY_DIR;
    options.install = PrepareGameEngine;
    options.width = 0; // the game opens its display itself
    return options;
}

using GameStartup = EngineStateTest;

TEST_F(GameStartup, TheGameNamesItselfBeforeTheEngineStarts)
{
    SetGameIdentity();
    EXPECT_EQ(GetConfig("gamename", ""), TString("velmora"));
    EXPECT_EQ(GetConfig("publisher", ""), TString("yolt"));
}

TEST_F(GameStartup, TheTemporaryGameShowsTheDemonstrationMenuAndItsQuitEndsTheLoop)
{
    TEngineFixture engine;
    ASSERT_TRUE(engine.Start(GameOptions()));
    EXPECT_NE(engine.Platform().GetData().GetUserFolder().Find("/yolt/velmora"), -1)
        << "the game's data folder";
    ASSERT_TRUE(StartTemporaryGame(engine.Platform()));
    engine.Step(16);
    TModalWindow* menu = engine.Windows().GetTopModal();
    ASSERT_NE(menu, engine.Windows().GetRootWindow()) << "the menu is a modal of its own";
    EXPECT_EQ(engine.Windows().GetRootWindow()->GetWidth(), 800);
    TText* title = menu->FindChild<TText>("title");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->GetLabel(), TString("Engine demo"));
    EXPECT_NE(menu->FindChild("btnQuit"), nullptr);

    // What the Quit button does: the menu closes, and the main loop script posts the quit.
    engine.Windows().RunScriptString(menu, "CloseWindow('btnQuit')");
    EXPECT_TRUE(engine.StepUntil([&] { return engine.HasQuit(); }));
    EXPECT_EQ(engine.Log().find("ERROR"), std::string::npos) << engine.Log();
}

} // namespace
