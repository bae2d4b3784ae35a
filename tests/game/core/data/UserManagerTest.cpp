#include "game/core/data/UserManager.h"

#include "engine/foundation/core/Settings.h"
#include "engine/foundation/files/TPathMap.h"
#include "engine/foundation/prefs/TPrefs.h"
#include "engine/platform/TAudioDevice.h"
#include "engine/script/TScript.h"
#include "engine/sound/TSoundManager.h"
#include "game/core/data/GameUserData.h"
#include "tests/engine/script/ScriptTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using YOLT::Core::GameUserData;
using YOLT::Core::HighScoreEntry;
using YOLT::Core::UserManager;

const char* const kKey = "pvqzrkwmtsHJ";
const char* const kInstall = "velmora";

// Player profiles over a real "user:prefs.dat" in a temporary user folder, with the
// debug log beside it.
class UserManagerTest : public ScriptTest
{
protected:
    void SetUp() override
    {
        ScriptTest::SetUp();
        TPathMap::Get().SetDataFolders(mFolder.Path().c_str(), "", "");
    }

    std::unique_ptr<TPrefs> OpenPrefs() const
    {
        return std::make_unique<TPrefs>(true, kKey, kInstall);
    }
    std::unique_ptr<UserManager> Open() const { return std::make_unique<UserManager>(OpenPrefs()); }

    static std::vector<std::string> Names(const UserManager& users)
    {
        std::vector<std::string> names;
        for (int n = 0; n < users.UserCount(); ++n)
            names.push_back(users.GetUserName(n).CStr());
        return names;
    }

    using TScores = std::vector<std::pair<std::string, float>>;
    static TScores Scores(const UserManager& users)
    {
        TScores scores;
        for (const HighScoreEntry& entry : users.GetHighScores())
            scores.emplace_back(entry.GetName().CStr(), entry.GetScore());
        return scores;
    }
};

TEST_F(UserManagerTest, AFirstStartHasNoPlayersAndFiveEmptyScores)
{
    auto users = Open();
    EXPECT_EQ(users->UserCount(), 0);
    EXPECT_EQ(users->GetCurrentUser(), TString(""));
    EXPECT_EQ(Scores(*users), TScores(5, {"", 0.0f}));
    EXPECT_FALSE(users->FirstTimePlayed());
    EXPECT_FALSE(users->IsFullscreenSaved());
    EXPECT_FLOAT_EQ(users->GetSoundVolume(), 0.85f);
    EXPECT_FLOAT_EQ(users->GetMusicVolume(), 0.85f);
}

TEST_F(UserManagerTest, PlayersAreInsertedDeletedAndRenumbered)
{
    using TNames = std::vector<std::string>;
    struct TStep
    {
        const char* what;
        std::function<void(UserManager&)> step;
        TNames names;
        const char* current;
        const char* storedCurrent; // as the next start reads it
    };
    const TStep steps[] = {
        {"insert ann", [](UserManager& u) { u.InsertUser("ann"); }, {"ann"}, "ann", "ann"},
        {"insert bob", [](UserManager& u) { u.InsertUser("bob"); }, {"ann", "bob"}, "bob", "bob"},
        {"insert cid",
         [](UserManager& u) { u.InsertUser("cid"); },
         {"ann", "bob", "cid"},
         "cid",
         "cid"},
        {"delete 1", [](UserManager& u) { u.DeleteUser(1); }, {"ann", "cid"}, "ann", "ann"},
        {"change to 1", [](UserManager& u) { u.ChangeUser(1); }, {"ann", "cid"}, "cid", "cid"},
        {"change to a missing player saves nothing",
         [](UserManager& u) { u.ChangeUser(7); },
         {"ann", "cid"},
         "",
         "cid"},
        {"delete a missing player",
         [](UserManager& u) { u.DeleteUser(5); },
         {"ann", "cid"},
         "ann",
         "ann"},
        {"delete -1", [](UserManager& u) { u.DeleteUser(-1); }, {"ann", "cid"}, "ann", "ann"},
        {"delete 0", [](UserManager& u) { u.DeleteUser(0); }, {"cid"}, "cid", "cid"},
        {"delete the last", [](UserManager& u) { u.DeleteUser(0); }, {}, "", ""},
        {"a player without a name is refused",
         [](UserManager& u) { u.InsertUser(""); },
         {},
         "",
         ""},
        {"insert after all were deleted",
         [](UserManager& u) { u.InsertUser("dee"); },
         {"dee"},
         "dee",
         "dee"},
    };
    auto users = Open();
    for (const TStep& step : steps) {
        step.step(*users);
        EXPECT_EQ(Names(*users), step.names) << step.what;
        EXPECT_EQ(users->GetCurrentUser(), TString(step.current)) << step.what;
        for (const std::string& name : step.names)
            EXPECT_TRUE(users->UserExists(name.c_str())) << step.what << ": " << name;
        auto reopened = Open();
        EXPECT_EQ(Names(*reopened), step.names) << step.what;
        EXPECT_EQ(reopened->GetCurrentUser(), TString(step.storedCurrent)) << step.what;
    }
    EXPECT_FALSE(users->UserExists("ann"));
    EXPECT_FALSE(users->UserExists("cid"));
}

TEST_F(UserManagerTest, ARenumberedPlayerKeepsItsOwnOptions)
{
    auto users = Open();
    for (const char* name : {"ann", "bob", "cid"})
        users->InsertUser(name);
    users->SaveVolumeLevels(0.25f, 0.5f); // cid's, at index 2
    users->DeleteUser(0);                 // cid moves to index 1
    users->ChangeUser(1);
    users->MarkAsPlayed();

    auto reopened = Open();
    struct TCase
    {
        int index;
        const char* name;
        bool firstTime;
        float sound, music;
    };
    const TCase cases[] = {{0, "bob", true, 0.85f, 0.85f}, {1, "cid", false, 0.25f, 0.5f}};
    for (const TCase& test : cases) {
        reopened->ChangeUser(test.index);
        EXPECT_EQ(reopened->GetCurrentUser(), TString(test.name));
        EXPECT_EQ(reopened->FirstTimePlayed(), test.firstTime) << test.name;
        EXPECT_FLOAT_EQ(reopened->GetSoundVolume(), test.sound) << test.name;
        EXPECT_FLOAT_EQ(reopened->GetMusicVolume(), test.music) << test.name;
    }
}

TEST_F(UserManagerTest, WritesWithoutACurrentPlayerMakeNoNamelessPlayer)
{
    struct TCase
    {
        const char* what;
        std::function<void(UserManager&)> write;
    };
    const TCase cases[] = {
        {"volumes", [](UserManager& u) { u.SaveVolumeLevels(0.1f, 0.2f); }},
        {"played", [](UserManager& u) { u.MarkAsPlayed(); }},
        {"progress", [](UserManager& u) { EXPECT_FALSE(u.SaveUserData(GameUserData())); }},
        {"progress loaded", [](UserManager& u) { u.LoadUserData(); }},
        {"high score", [](UserManager& u) { u.AddHighScore(10.0f); }},
    };
    for (const TCase& test : cases) {
        std::filesystem::remove(mFolder / "prefs.dat");
        {
            // A current name that no stored player has, as a damaged file may leave it.
            auto prefs = OpenPrefs();
            prefs->SetString("currentuser", "ghost", -1, true);
        }
        auto users = Open();
        GameUserData record;
        users->AttachUserData(&record);
        test.write(*users);
        EXPECT_EQ(users->UserCount(), 0) << test.what;
        EXPECT_EQ(Open()->UserCount(), 0) << test.what;
        EXPECT_FLOAT_EQ(users->GetSoundVolume(), 0.85f) << test.what;
    }
}

TEST_F(UserManagerTest, HighScoresReplaceTheLowestEntryTheyBeat)
{
    using TAdds = std::vector<std::pair<std::string, float>>;
    struct TCase
    {
        const char* what;
        TAdds adds;
        TScores expected;
    };
    const TScores empty(5, {"", 0.0f});
    const TAdds full = {{"e", 10}, {"d", 20}, {"c", 30}, {"b", 40}, {"a", 50}};
    const TScores fullTable = {{"a", 50}, {"b", 40}, {"c", 30}, {"d", 20}, {"e", 10}};
    auto with = [](TAdds adds, std::pair<std::string, float> more) {
        adds.push_back(more);
        return adds;
    };
    const TCase cases[] = {
        {"the first score goes to the top",
         {{"ann", 12.5f}},
         {{"ann", 12.5f}, {"", 0}, {"", 0}, {"", 0}, {"", 0}}},
        {"a score of 0 does not enter", {{"ann", 0}}, empty},
        {"a negative score does not enter", {{"ann", -3}}, empty},
        {"equal scores keep their order",
         {{"ann", 30}, {"bob", 30}},
         {{"ann", 30}, {"bob", 30}, {"", 0}, {"", 0}, {"", 0}}},
        {"a full table sorts", full, fullTable},
        {"equal to the lowest does not enter", with(full, {"zed", 10}), fullTable},
        {"below the lowest does not enter", with(full, {"zed", 5}), fullTable},
        {"beating the lowest replaces it",
         with(full, {"zed", 25}),
         {{"a", 50}, {"b", 40}, {"c", 30}, {"zed", 25}, {"d", 20}}},
        {"a new best goes to the top",
         with(full, {"zed", 60}),
         {{"zed", 60}, {"a", 50}, {"b", 40}, {"c", 30}, {"d", 20}}},
        {"an equal score goes after the one it equals",
         with(full, {"zed", 40}),
         {{"a", 50}, {"b", 40}, {"zed", 40}, {"c", 30}, {"d", 20}}},
        {"a long name keeps fifteen characters",
         {{"twenty_letters_names", 7}},
         {{"twenty_letters_", 7}, {"", 0}, {"", 0}, {"", 0}, {"", 0}}},
    };
    for (const TCase& test : cases) {
        std::filesystem::remove(mFolder / "prefs.dat");
        auto users = Open();
        for (const auto& [name, score] : test.adds) {
            if (!users->UserExists(name.c_str()))
                users->InsertUser(name.c_str());
            users->AddHighScore(score);
        }
        EXPECT_EQ(Scores(*users), test.expected) << test.what;
        EXPECT_EQ(Scores(*Open()), test.expected) << test.what << " (stored)";
    }
}

TEST_F(UserManagerTest, ProgressRoundTripsThroughThePreferencesFile)
{
    GameUserData saved;
    saved.OnNotifyNewSublevelReached(3, 1);
    saved.SetSublevelState(3, 1, GameUserData::kPassedExpert);
    saved.SetMoney(512.75f);
    saved.SetUpgradeBought(17, true);
    saved.GetColorData(GameUserData::DressPart::Dress)->SetTextureName("dress_2");
    {
        auto users = Open();
        users->InsertUser("ann");
        users->InsertUser("bob");
        EXPECT_TRUE(users->SaveUserData(saved)); // bob's
    }
    auto users = Open();
    GameUserData loaded;
    loaded.SetMoney(1.0f);
    users->AttachUserData(&loaded);
    users->LoadUserData();
    EXPECT_EQ(loaded, saved);
    EXPECT_EQ(loaded.ToBytes(), saved.ToBytes());

    users->ChangeUser(0); // ann has no record: a fresh one
    users->LoadUserData();
    EXPECT_EQ(loaded, GameUserData());

    loaded.SetMoney(9.0f);
    users->ClearUserData();
    EXPECT_EQ(loaded, GameUserData());
    EXPECT_EQ(Log(), "");
}

TEST_F(UserManagerTest, TheRecordSavesItselfThroughTheOneManager)
{
    SetConfig("encryptionkey", kKey);
    SetConfig("installkey", kInstall);
    {
        struct TDestroy
        {
            ~TDestroy() { UserManager::Destroy(); }
        } destroy;
        UserManager::Instance().InsertUser("ann");
        GameUserData saved;
        saved.SetEarnings(42.5f);
        saved.Save();
    }

    auto users = Open();
    GameUserData loaded;
    users->AttachUserData(&loaded);
    users->LoadUserData();
    EXPECT_EQ(loaded.GetEarnings(), 42.5f);
}

TEST_F(UserManagerTest, AStoredBlockOfTheWrongSizeIsNeverUsed)
{
    const size_t record = GameUserData::kRecordSize;
    // Neither the record's size nor a high-score entry's (20).
    const size_t sizes[] = {1, 19, 21, 1000, record - 1, record + 1, 4 * record};
    for (size_t size : sizes) {
        std::filesystem::remove(mFolder / "prefs.dat");
        Open()->InsertUser("ann");
        {
            const std::vector<uint8_t> block(size, 0x7f);
            auto prefs = OpenPrefs();
            prefs->SetBinary("userdata", block.data(), int(block.size()), 0, true);
            prefs->SetBinary("hs0", block.data(), int(block.size()), -1, true);
        }
        auto users = Open();
        GameUserData loaded;
        loaded.SetMoney(3.0f);
        users->AttachUserData(&loaded);
        users->LoadUserData();
        EXPECT_EQ(loaded, GameUserData()) << size;
        EXPECT_EQ(CountInLog("\"userdata\" of user 0 holds " + std::to_string(size) +
                             " bytes, not 1128; not used"),
                  1)
            << Log();
        EXPECT_EQ(Scores(*users)[0], std::make_pair(std::string(), 0.0f)) << size;
        EXPECT_EQ(CountInLog("\"hs0\" of user -1 holds " + std::to_string(size) + " bytes"), 1)
            << Log();
    }
}

TEST_F(UserManagerTest, WithoutAnAttachedRecordLoadingDoesNothing)
{
    auto users = Open();
    users->InsertUser("ann");
    users->LoadUserData();
    users->ClearUserData();
    EXPECT_EQ(users->UserCount(), 1);
}

TEST_F(UserManagerTest, InsertingOrChangingThePlayerTellsTheGame)
{
    auto users = Open();
    int changes = 0;
    users->SetPlayerChangedHandler([&] { ++changes; });
    users->InsertUser("ann");
    users->InsertUser("bob");
    EXPECT_EQ(changes, 2);
    users->ChangeUser(0);
    EXPECT_EQ(changes, 3);
    users->ChangeUser(4); // no such player
    users->DeleteUser(0);
    EXPECT_EQ(changes, 3);
}

TEST_F(UserManagerTest, StartingAppliesTheCurrentPlayersVolumes)
{
    {
        auto users = Open();
        users->InsertUser("ann");
        users->SaveVolumeLevels(0.3f, 0.6f);
    }
    TSoundManager sound([]() -> std::unique_ptr<TAudioDevice> { return nullptr; }, false);
    Open();
    EXPECT_FLOAT_EQ(sound.GetGroupVolume(1000), 0.3f);
    EXPECT_FLOAT_EQ(sound.GetGroupVolume(1001), 0.6f);
}

TEST_F(UserManagerTest, StartingWithoutASoundManagerIsFine)
{
    ASSERT_EQ(TSoundManager::Get(), nullptr);
    EXPECT_EQ(Open()->UserCount(), 0);
}

TEST_F(UserManagerTest, ScriptsReachThePlayersThroughTheirFunctions)
{
    TScript script;
    lua_State* L = script.GetState();
    auto users = Open();
    users->PublishScriptFunctions(L);
    Run(L,
        "InsertUser('ann') InsertUser('bob') InsertUser('cid')\n"
        "count = UserCount() second = GetUserName(1.9) missing = GetUserName(9)\n"
        "current = GetCurrentUser()\n"
        "known = tostring(UserExists('bob')) unknown = tostring(UserExists('zed'))\n"
        "first = tostring(FirstTimePlayed()) MarkAsPlayed() later = tostring(FirstTimePlayed())\n"
        "DeleteUser(1) ChangeUser(1) afterDelete = GetCurrentUser()\n"
        "SaveWindowMode() LoadUserData() ClearUserData()\n");
    EXPECT_EQ(GlobalNumber(L, "count"), 3);
    EXPECT_EQ(GlobalString(L, "second"), "bob");
    EXPECT_EQ(GlobalString(L, "missing"), "");
    EXPECT_EQ(GlobalString(L, "current"), "cid");
    EXPECT_EQ(GlobalString(L, "known"), "true");
    EXPECT_EQ(GlobalString(L, "unknown"), "false");
    EXPECT_EQ(GlobalString(L, "first"), "true");
    EXPECT_EQ(GlobalString(L, "later"), "false");
    EXPECT_EQ(GlobalString(L, "afterDelete"), "cid");
    EXPECT_EQ(Names(*users), (std::vector<std::string>{"ann", "cid"}));

    users.reset();
    EXPECT_NE(RunError(L, "UserCount()").find(":1: UserCount: its object no longer exists"),
              std::string::npos);
}

} // namespace
