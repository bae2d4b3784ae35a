#include "engine/foundation/files/DataFolders.h"

#include "tests/engine/EngineStateTest.h"
#include "tests/engine/foundation/TempFolder.h"
#include "tests/engine/platform/TScopedEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Points the per-user data home at a temporary folder for one test.
class DataFoldersTest : public EngineStateTest
{
protected:
    TTempFolder mTemp;
    TScopedEnvironment mDataHome{"XDG_DATA_HOME", mTemp.Path().c_str()};
};

TEST_F(DataFoldersTest, UserAndCommonFoldersAreMadeBelowTheDataHome)
{
    struct TCase
    {
        bool allUsers;
        const char* publisher;
        std::string expected;
    } cases[] = {
        {false, "yolt", mTemp.Path() + "/yolt/velmora/"},
        {true, "yolt", mTemp.Path() + "/yolt/common/velmora/"},
        {false, nullptr, mTemp.Path() + "/Halvorn/velmora/"},
        {false, "", mTemp.Path() + "/velmora/"},
    };
    for (const TCase& c : cases) {
        char buffer[512] = {};
        EXPECT_EQ(GetUserDataFolder(c.allUsers, "velmora", c.publisher, buffer, sizeof buffer), 0);
        EXPECT_EQ(std::string(buffer), c.expected);
        EXPECT_TRUE(std::filesystem::is_directory(c.expected)) << c.expected;
    }
}

TEST_F(DataFoldersTest, ASmallBufferGetsTheNeededSizeAndNothingIsCreated)
{
    const std::string expected = mTemp.Path() + "/yolt/velmora/";
    char buffer[8] = {};
    EXPECT_EQ(GetUserDataFolder(false, "velmora", "yolt", buffer, sizeof buffer),
              static_cast<int>(expected.size() + 1));
    EXPECT_FALSE(std::filesystem::exists(mTemp / "yolt"));
    EXPECT_EQ(GetUserDataFolder(false, nullptr, "yolt", buffer, sizeof buffer), -1);
    EXPECT_EQ(GetUserDataFolder(false, "velmora", "yolt", nullptr, 8), -1);
}

TEST_F(DataFoldersTest, FullPathsJoinTheWorkingFolder)
{
    EXPECT_EQ(GetFullPath("/abs/x"), TString("/abs/x"));
    const TString full = GetFullPath("rel/x");
    EXPECT_EQ(full.CharAt(0), '/');
    EXPECT_EQ(full.Find("rel/x"), full.Length() - 5);
}

} // namespace
