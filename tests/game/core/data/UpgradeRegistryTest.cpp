#include "game/core/data/UpgradeRegistry.h"

#include "engine/script/TScript.h"
#include "game/core/data/GameUserData.h"
#include "tests/engine/script/ScriptTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using YOLT::Core::GameUserData;
using YOLT::Core::UpgradeRecord;
using YOLT::Core::UpgradeRegistry;

const std::string kFixtures =
    std::string("::") + VELMORA_SOURCE_DIR "/tests/game/core/data/fixtures/";

// The registry filled by a fixture script in a state of its own.
class UpgradeRegistryTest : public ScriptTest
{
protected:
    void SetUp() override
    {
        ScriptTest::SetUp();
        ASSERT_TRUE(mRegistry.Load(mScript, (kFixtures + "upgrades.lua").c_str()));
    }

    std::string Accepted(const char* label)
    {
        lua_State* L = mScript.GetState();
        Run(L, std::string("answer = tostring(accepted.") + label + ")");
        return GlobalString(L, "answer");
    }
    std::string Available(const char* entity, int level, int sublevel) const
    {
        const UpgradeRecord* record =
            mRegistry.FindAvailableUpgrade(mProgress, entity, level, sublevel);
        return record == nullptr ? "" : record->title.CStr();
    }

    TScript mScript;
    UpgradeRegistry mRegistry;
    GameUserData mProgress;
};

TEST_F(UpgradeRegistryTest, TheScriptsEntriesAreCheckedOneByOne)
{
    struct TCase
    {
        const char* label;
        bool accepted;
    };
    const TCase cases[] = {
        {"shower1", true},    {"shower3", true},     {"shower2", true},   {"radio", true},
        {"plant", true},      {"jacuzzi", true},     {"jacuzzi2", true},  {"level0", true},
        {"noLevel", false},   {"noSubLevel", false}, {"freeCost", false}, {"noCost", false},
        {"noTitle", false},   {"noName", false},     {"noState", false},  {"negativeLevel", false},
        {"level1000", false}, {"noTable", false},
    };
    for (const TCase& test : cases)
        EXPECT_EQ(Accepted(test.label), test.accepted ? "true" : "false") << test.label;
    EXPECT_EQ(mRegistry.GetCount(), 8);
    EXPECT_EQ(CountInLog("upgrades: RegisterUpgrade"), 10) << Log();
}

TEST_F(UpgradeRegistryTest, RecordsCountFromZeroInTheirRegistrationOrder)
{
    const std::vector<UpgradeRecord>& showers = mRegistry.FindList("shower")->GetRecords();
    ASSERT_EQ(showers.size(), 3u);
    struct TCase
    {
        const char* title;
        int level, sublevel, number, state;
        float cost;
        int priority;
    };
    const TCase expected[] = {{"Shower 1", 2, 1, 0, 1, 100.0f, 2},
                              {"Shower 2", 2, 3, 2, 2, 150.5f, 0},
                              {"Shower 3", 4, 0, 1, 3, 300.0f, 0}};
    for (size_t i = 0; i < showers.size(); ++i) {
        EXPECT_EQ(showers[i].title, TString(expected[i].title));
        EXPECT_EQ(showers[i].level, expected[i].level) << expected[i].title;
        EXPECT_EQ(showers[i].sublevel, expected[i].sublevel) << expected[i].title;
        EXPECT_EQ(showers[i].number, expected[i].number) << expected[i].title;
        EXPECT_EQ(showers[i].state, expected[i].state) << expected[i].title;
        EXPECT_EQ(showers[i].cost, expected[i].cost) << expected[i].title;
        EXPECT_EQ(showers[i].priority, expected[i].priority) << expected[i].title;
    }
    EXPECT_EQ(mRegistry.FindList("radio")->GetRecords()[0].state, -1);
    EXPECT_EQ(mRegistry.FindList("plant")->GetRecords()[0].state, 0);
    EXPECT_EQ(mRegistry.FindList("lamp")->GetRecords()[0].level, -1);
    EXPECT_EQ(mRegistry.FindList("mat"), nullptr);
}

TEST_F(UpgradeRegistryTest, AnUpgradeIsAvailableFromItsLevelAndSublevelOn)
{
    struct TCase
    {
        const char* entity;
        int level, sublevel;
        const char* available;
    };
    const TCase cases[] = {
        {"shower", 0, 0, ""},         {"shower", 2, 0, ""},         {"shower", 2, 1, "Shower 1"},
        {"shower", 2, 4, "Shower 1"}, {"shower", 3, 0, "Shower 1"}, {"radio", 0, 0, "No radio"},
        {"plant", 0, 4, ""},          {"plant", 1, 0, "Plant"},     {"lamp", 9, 4, ""},
        {"lamp", 0, 0, ""},           {"missing", 9, 4, ""},        {"", 9, 4, ""},
    };
    for (const TCase& test : cases)
        EXPECT_EQ(Available(test.entity, test.level, test.sublevel), test.available)
            << test.entity << " at " << test.level << "/" << test.sublevel;
}

TEST_F(UpgradeRegistryTest, BoughtUpgradesGiveTheHighestStateAndTheFirstOneLeft)
{
    int state = 0;
    EXPECT_FALSE(mRegistry.GetBoughtState(mProgress, "shower", state));
    EXPECT_FALSE(mRegistry.GetBoughtState(mProgress, "missing", state));

    mRegistry.MarkBought(mProgress, "shower", 2);
    EXPECT_TRUE(mProgress.IsUpgradeBought(2));
    ASSERT_TRUE(mRegistry.GetBoughtState(mProgress, "shower", state));
    EXPECT_EQ(state, 2);
    EXPECT_EQ(Available("shower", 9, 4), "Shower 1");

    mRegistry.MarkBought(mProgress, "shower", 1);
    mRegistry.MarkBought(mProgress, "shower", 5); // no such state: nothing
    mRegistry.MarkBought(mProgress, "missing", 1);
    ASSERT_TRUE(mRegistry.GetBoughtState(mProgress, "shower", state));
    EXPECT_EQ(state, 2);
    EXPECT_EQ(Available("shower", 9, 4), "Shower 3");
    EXPECT_EQ(Available("shower", 3, 0), "");
}

TEST_F(UpgradeRegistryTest, ThePurchaseModeOpensOnlyWithSomethingToOffer)
{
    EXPECT_TRUE(mRegistry.HasAvailableUpgrade(mProgress, 0, 0)); // the radio
    mRegistry.MarkBought(mProgress, "radio", -1);
    EXPECT_FALSE(mRegistry.HasAvailableUpgrade(mProgress, 0, 0));
    EXPECT_TRUE(mRegistry.HasAvailableUpgrade(mProgress, 1, 0)); // the plant
}

TEST_F(UpgradeRegistryTest, AnEntityKeepsItsFirstDependency)
{
    const UpgradeRegistry::Dependency* dependency = mRegistry.FindDependency("jacuzzi");
    ASSERT_NE(dependency, nullptr);
    EXPECT_EQ(dependency->entity, TString("shower"));
    EXPECT_EQ(dependency->message, TString("jacuzzi_needs_shower"));
    EXPECT_EQ(mRegistry.FindDependency("shower"), nullptr);

    TString message;
    EXPECT_TRUE(mRegistry.GetUnmetDependency(mProgress, "jacuzzi", message));
    EXPECT_EQ(message, TString("jacuzzi_needs_shower"));
    EXPECT_FALSE(mRegistry.GetUnmetDependency(mProgress, "shower", message));

    mRegistry.MarkBought(mProgress, "shower", 3);
    message = "unchanged";
    EXPECT_FALSE(mRegistry.GetUnmetDependency(mProgress, "jacuzzi", message));
    EXPECT_EQ(message, TString("unchanged"));
}

TEST_F(UpgradeRegistryTest, LoadingAgainGivesTheSameCatalogue)
{
    auto titles = [this] {
        std::vector<std::string> all;
        for (const char* entity : {"shower", "radio", "plant", "jacuzzi", "lamp"})
            for (const UpgradeRecord& record : mRegistry.FindList(entity)->GetRecords())
                all.push_back(std::string(record.title.CStr()) + "#" +
                              std::to_string(record.number));
        return all;
    };
    const std::vector<std::string> first = titles();
    ASSERT_TRUE(mRegistry.Load(mScript, (kFixtures + "upgrades.lua").c_str()));
    EXPECT_EQ(titles(), first);
    EXPECT_EQ(mRegistry.GetCount(), 8);
}

TEST_F(UpgradeRegistryTest, AFortySixthUpgradeIsRefused)
{
    ASSERT_TRUE(mRegistry.Load(mScript, (kFixtures + "upgrades46.lua").c_str()));
    EXPECT_EQ(mRegistry.GetCount(), 45);
    lua_State* L = mScript.GetState();
    Run(L, "last = tostring(accepted[45]) over = tostring(accepted[46])");
    EXPECT_EQ(GlobalString(L, "last"), "true");
    EXPECT_EQ(GlobalString(L, "over"), "false");
    EXPECT_EQ(mRegistry.FindList("station46"), nullptr);
    EXPECT_EQ(CountInLog("RegisterUpgrade \"station46\" refused: the progress record holds 45 "
                         "upgrades"),
              1)
        << Log();
}

TEST_F(UpgradeRegistryTest, AMissingScriptLeavesAnEmptyCatalogue)
{
    EXPECT_FALSE(mRegistry.Load(mScript, (kFixtures + "missing.lua").c_str()));
    EXPECT_EQ(mRegistry.GetCount(), 0);
    EXPECT_EQ(mRegistry.FindList("shower"), nullptr);
}

TEST_F(UpgradeRegistryTest, WithoutAWindowScriptNothingLoads)
{
    EXPECT_FALSE(UpgradeRegistry::Instance().Load());
}

} // namespace
