// The player data on the tests' in-process engine: the profiles' Lua functions in the
// window script, the stored volumes applied to the running sound manager, and the
// upgrade catalogue read from the content's "level/upgrades.lua" through the window
// script.

#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/prefs/TPrefs.h"
#include "engine/script/TScript.h"
#include "engine/sound/TSoundManager.h"
#include "game/core/data/GameUserData.h"
#include "game/core/data/UpgradeRegistry.h"
#include "game/core/data/UserManager.h"
#include "game/core/sound/SoundTypeMap.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/support/TEngineFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using YOLT::Core::GameUserData;
using YOLT::Core::SoundTypeMap;
using YOLT::Core::UpgradeRegistry;
using YOLT::Core::UserManager;

const char* const kKey = "wqmzrtkvpsNB";

std::unique_ptr<UserManager> OpenUsers()
{
    return std::make_unique<UserManager>(std::make_unique<TPrefs>(true, kKey, "velmora"));
}

using PlayerDataOnEngine = EngineStateTest;

TEST_F(PlayerDataOnEngine, WindowScriptsReachThePlayers)
{
    TEngineFixture engine;
    ASSERT_TRUE(engine.Start());
    TScript& script = engine.WindowScript();
    auto users = OpenUsers();
    script.DoLuaString("InsertUser('ann') InsertUser('bob') DeleteUser(0)\n"
                       "players = UserCount() current = GetCurrentUser()");
    EXPECT_EQ(script.GetGlobalNumber("players"), 1);
    script.DoLuaString("return current", -1, 1);
    EXPECT_EQ(script.PopString(), TString("bob"));

    users.reset();
    script.DoLuaString("UserCount()");
    EXPECT_NE(engine.Log().find("UserCount: its object no longer exists"), std::string::npos)
        << engine.Log();
}

TEST_F(PlayerDataOnEngine, TheCurrentPlayersVolumesApplyWhenTheProfilesOpen)
{
    TEngineFixture engine;
    ASSERT_TRUE(engine.Start());
    {
        auto users = OpenUsers();
        users->InsertUser("ann");
        users->SaveVolumeLevels(0.4f, 0.7f);
    }
    TSoundManager* sound = TSoundManager::Get();
    ASSERT_NE(sound, nullptr);
    sound->SetGroupVolume(SoundTypeMap::kEffectsGroup, 1.0f);
    sound->SetGroupVolume(SoundTypeMap::kMusicGroup, 1.0f);
    auto users = OpenUsers();
    const float master = sound->GetMasterVolume();
    EXPECT_FLOAT_EQ(sound->GetGroupVolume(SoundTypeMap::kEffectsGroup), master * 0.4f);
    EXPECT_FLOAT_EQ(sound->GetGroupVolume(SoundTypeMap::kMusicGroup), master * 0.7f);
}

TEST_F(PlayerDataOnEngine, TheUpgradeScriptRunsInTheWindowScript)
{
    TEngineFixture engine;
    engine.WriteContent("level/upgrades.lua",
                        "accepted = RegisterUpgrade{ EntityName = 'shower', UpgradeState = '2',\n"
                        "  Title = 'Shower 2', Level = 2, SubLevel = 3, Cost = 120 }\n"
                        "refused = RegisterUpgrade{ EntityName = 'shower', UpgradeState = '3',\n"
                        "  Title = 'Shower 3', Level = 2, Cost = 150 }\n");
    ASSERT_TRUE(engine.Start());
    UpgradeRegistry registry;
    for (int load = 0; load < 2; ++load) {
        ASSERT_TRUE(registry.Load()) << engine.Log();
        EXPECT_EQ(registry.GetCount(), 1) << load;
        GameUserData progress;
        const auto* record = registry.FindAvailableUpgrade(progress, "shower", 1, 2);
        ASSERT_NE(record, nullptr) << load;
        EXPECT_EQ(record->title, TString("Shower 2"));
    }
    TScript& script = engine.WindowScript();
    script.DoLuaString("both = tostring(accepted) .. ' ' .. tostring(refused)");
    script.DoLuaString("return both", -1, 1);
    EXPECT_EQ(script.PopString(), TString("true false"));
}

} // namespace
