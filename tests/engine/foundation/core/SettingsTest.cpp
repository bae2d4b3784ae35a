#include "engine/foundation/core/Settings.h"

#include "tests/engine/EngineStateTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using SettingsTest = EngineStateTest;

TEST_F(SettingsTest, GetConfigAndIsEnabledFollowAtoi)
{
    SetConfig("empty", "");
    SetConfig("zero", "0");
    SetConfig("seven", "  7");
    SetConfig("yes", "yes");
    SetConfig("true", "true");
    SetConfig("minus", "-1");
    SetConfig("two", "2");
    struct TCase
    {
        const char* key;
        const char* value; // GetConfig with default "dflt"
        bool enabled;
    };
    const TCase cases[] = {
        {"absent", "dflt", false}, {"empty", "", false},  {"zero", "0", false},
        {"seven", "  7", true},    {"yes", "yes", false}, {"true", "true", false},
        {"minus", "-1", true},     {"two", "2", true},
    };
    for (const TCase& c : cases) {
        EXPECT_STREQ(GetConfig(c.key, "dflt").CStr(), c.value) << c.key;
        EXPECT_EQ(IsEnabled(c.key), c.enabled) << c.key;
    }
}

TEST_F(SettingsTest, KeysAreCaseSensitiveAndLaterWritesWin)
{
    SetConfig("memorymax", "100000000");
    SetConfig("memorymax", "5");
    EXPECT_STREQ(GetConfig("memorymax", "").CStr(), "5");
    EXPECT_STREQ(GetConfig("MemoryMax", "none").CStr(), "none");
}

TEST_F(SettingsTest, LegacyLineWrapIsSetByAnyValue)
{
    SetConfig("legacylinewrap", "0");
    EXPECT_TRUE(IsLegacyLineWrap());
    ClearSettings();
    EXPECT_TRUE(IsLegacyLineWrap());
}

TEST_F(SettingsTest, CheatGateOpensOnlyForTheDerivedCode)
{
    SetConfig("computerid", "0123456789ABCDEF");
    SetConfig("encryptionkey", "abcdefghijkl");
    EXPECT_STREQ(GetConfig("cheatmode", "").CStr(), "0");

    const TString code = MakeCheatAccessCode("abcdefghijkl", "0123456789ABCDEF");
    EXPECT_EQ(code.Length(), 12);
    SetConfig("cheatcode", code);
    EXPECT_STREQ(GetConfig("cheatmode", "").CStr(), "1");

    // A new key closes the gate again: the code no longer matches.
    SetConfig("encryptionkey", "another key!");
    EXPECT_STREQ(GetConfig("cheatmode", "").CStr(), "0");
    SetConfig("cheatcode", "");
    EXPECT_STREQ(GetConfig("cheatmode", "").CStr(), "0");
}

TEST_F(SettingsTest, CheatCodesDifferPerMachine)
{
    EXPECT_FALSE(MakeCheatAccessCode("key", "machine1") == MakeCheatAccessCode("key", "machine2"));
    EXPECT_FALSE(MakeCheatAccessCode("ke", "ymachine") == MakeCheatAccessCode("key", "machine"));
}

std::vector<std::string> sHookCalls;

void RecordWrite(const TString& name, const TString& value)
{
    sHookCalls.push_back(std::string(name.CStr()) + "=" + value.CStr());
}

TEST_F(SettingsTest, WriteHookSeesEveryWriteAfterItIsStored)
{
    sHookCalls.clear();
    SetConfig("vsync", "1"); // no hook yet
    SetSettingWriteHook(RecordWrite);
    SetConfig("vsync", "0");
    SetConfig("other", "x");
    SetSettingWriteHook(nullptr);
    SetConfig("vsync", "1");
    EXPECT_EQ(sHookCalls, (std::vector<std::string>{"vsync=0", "other=x"}));
    EXPECT_STREQ(GetConfig("vsync", "").CStr(), "1");
}

TEST_F(SettingsTest, KeyTableHasTheEngineKeysInOrder)
{
    EXPECT_STREQ(SettingKeyName(TSettingKey::CheatCode), "cheatcode");
    EXPECT_STREQ(SettingKeyName(TSettingKey::VSync), "vsync");
    EXPECT_STREQ(SettingKeyName(TSettingKey::HvGameMedalName), "hvgamemedalname");
    EXPECT_STREQ(SettingKeyName(TSettingKey::Count), "");
}

} // namespace
