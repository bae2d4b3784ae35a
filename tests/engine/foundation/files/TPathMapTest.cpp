#include "engine/foundation/files/TPathMap.h"

#include "engine/foundation/files/TFile.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/foundation/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A working folder with an assets tree, a user and a common data folder.
class TPathMapTest : public EngineStateTest
{
protected:
    void SetUp() override
    {
        mTemp.Write("assets/scripts/config.lua", "config");
        mTemp.Write("assets/ui/Panel.PNG", "panel");
        mTemp.Write("assets/ui/deep/x.txt", "x");
        mTemp.Write("settings.txt", "s");
        mUser = mTemp.Write("user/strings_de.xml", "de");
        mUser = mUser.substr(0, mUser.rfind('/'));
        mTemp.Write("user/lang/strings.xml", "lang");
        mCommon = mTemp.MakeFolder("common");
        mDesktop = mTemp.MakeFolder("desktop");
        Map().SetWorkingFolder(mTemp.Path().c_str());
        Map().SetDataFolders(mUser.c_str(), mCommon.c_str(), mDesktop.c_str());
    }

    static TPathMap& Map() { return TPathMap::Get(); }

    std::vector<std::string> Walk(const char* prefix, bool recursive)
    {
        std::vector<std::string> keys;
        TString cursor;
        while (EnumeratePathMap(prefix, cursor, recursive)) {
            keys.push_back(cursor.CStr());
        }
        return keys;
    }

    TTempFolder mTemp;
    std::string mUser;
    std::string mCommon;
    std::string mDesktop;
};

TEST_F(TPathMapTest, ResolutionOrder)
{
    LoadFinalList();
    Map().Set("ghost.txt", "/no/such/file");
    const std::string config = mTemp / "assets/scripts/config.lua";
    struct TCase
    {
        const char* path;
        bool mustExist;
        std::string expected;
    } cases[] = {
        {"ghost.txt", true, "/no/such/file"}, // a map hit is not checked on disk
        {"GHOST.TXT", true, "/no/such/file"},
        {"scripts/config.lua", true, config},
        {"assets/scripts/config.lua", true, config},
        {"assets\\scripts/config.lua", true, config},
        {"Assets/Scripts/Config.LUA", true, config},
        {"assetsx/scripts/config.lua", true, ""},
        {"Scripts\\Config.LUA", true, ""}, // lower-casing keeps the separator
        {"::settings.txt", true, mTemp / "settings.txt"},
        {"::SETTINGS.TXT", false, mTemp / "settings.txt"},
        {"::missing.txt", false, ""}, // "::" must be readable, even for writing
        {"user:strings_de.xml", true, mUser + "/strings_de.xml"},
        {"user:LANG\\Strings.xml", true, mUser + "/lang/strings.xml"},
        {"common:new.txt", true, ""},
        {"common:new.txt", false, mCommon + "/new.txt"},
        {"desktop:note.txt", false, mDesktop + "/note.txt"},
        {"nowhere.txt", false, ""},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(ResolvePath(c.path, c.mustExist).CStr(), c.expected)
            << c.path << " mustExist " << c.mustExist;
    }
}

TEST_F(TPathMapTest, ScanKeepsRealCaseInLocationsAndLowerCaseInKeys)
{
    LoadFinalList();
    EXPECT_EQ(Map().Find("ui/panel.png"), TString((mTemp / "assets/ui/Panel.PNG").c_str()));
    TFile file;
    ASSERT_TRUE(file.Open("UI/PANEL.png", kFileReadBinary));
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, 8), 5u);
    EXPECT_STREQ(buffer, "panel");
    EXPECT_EQ(Map().Find("ui/deep/x.txt").Length() > 0, true);
    EXPECT_EQ(Map().Find("user:lang/strings.xml"), TString((mUser + "/lang/strings.xml").c_str()));
}

TEST_F(TPathMapTest, ExclusionListKeepsFilesAndFoldersOut)
{
    mTemp.Write("final.txt", "old.txt -* ui/deep\r\nSCRIPTS/CONFIG.LUA\tuser:strings_de.xml");
    LoadFinalList();
    EXPECT_TRUE(IsNotInFileList("old.txt")) << "-* drops the entries before it";
    EXPECT_FALSE(IsNotInFileList("ui/deep"));
    EXPECT_EQ(Map().Find("ui/deep/x.txt"), TString()) << "a folder entry keeps its subtree out";
    EXPECT_FALSE(FileExists("scripts/config.lua"));
    EXPECT_TRUE(FileExists("ui/panel.png"));

    // An excluded data-folder file cannot be found for reading but resolves for writing.
    EXPECT_EQ(ResolvePath("user:strings_de.xml", true), TString());
    EXPECT_EQ(ResolvePath("user:strings_de.xml", false),
              TString((mUser + "/strings_de.xml").c_str()));
}

TEST_F(TPathMapTest, FirstPeekReadsItsOwnListAndLargeListsAreIgnored)
{
    mTemp.Write("final.txt", "scripts/config.lua");
    mTemp.Write("firstpeek.txt", "ui/panel.png");
    Map().SetFirstPeek(true);
    LoadFinalList();
    EXPECT_TRUE(FileExists("scripts/config.lua"));
    EXPECT_FALSE(FileExists("ui/panel.png"));

    Map().Clear();
    Map().SetFirstPeek(false);
    mTemp.Write("final.txt", "scripts/config.lua " + std::string(100000, ' '));
    LoadFinalList();
    EXPECT_TRUE(FileExists("scripts/config.lua")) << "a list of 100000 bytes is ignored";
}

TEST_F(TPathMapTest, ParseFileListRemovesWithoutTheAddFlag)
{
    EXPECT_FALSE(ParseFileList("a.txt b.txt", true));
    EXPECT_FALSE(ParseFileList("A.TXT", false));
    EXPECT_TRUE(IsNotInFileList("a.txt"));
    EXPECT_FALSE(IsNotInFileList("b.txt"));
    EXPECT_TRUE(ParseFileList("c.txt -*", true));
    EXPECT_TRUE(IsNotInFileList("b.txt"));
}

TEST_F(TPathMapTest, EmbeddedRunsDoNotScanTheDataFolders)
{
    Map().SetEmbedded(true);
    LoadFinalList();
    EXPECT_TRUE(FileExists("scripts/config.lua"));
    EXPECT_EQ(Map().Find("user:strings_de.xml"), TString());
}

TEST_F(TPathMapTest, EnumerateWalksOneLevelOrTheWholeSubtreeInKeyOrder)
{
    LoadFinalList();
    EXPECT_EQ(Walk("user:", false), std::vector<std::string>({"user:strings_de.xml"}));
    EXPECT_EQ(Walk("USER:", true),
              std::vector<std::string>({"user:lang/strings.xml", "user:strings_de.xml"}));
    // The root walk (as start-up does for plug-ins) sees every key without a "/".
    Map().Set("plugin.hvmod", "x");
    EXPECT_EQ(Walk("", false), std::vector<std::string>({"plugin.hvmod", "user:strings_de.xml"}));
    EXPECT_EQ(Walk("common:", true), std::vector<std::string>({}));
}

TEST_F(TPathMapTest, AResolvedDataPathStaysInTheMap)
{
    EXPECT_TRUE(FileExists("user:strings_de.xml"));
    std::filesystem::remove(mUser + "/strings_de.xml");
    EXPECT_TRUE(FileExists("user:strings_de.xml")) << "answered from the map";
    TFile file;
    EXPECT_FALSE(file.Open("user:strings_de.xml", kFileReadBinary)) << "but the open fails";
}

TEST_F(TPathMapTest, AReadOnlyDataFileDoesNotExistForReading)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "root may write any file";
    }
    const std::string path = mTemp.Write("user/locked.txt", "x");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    EXPECT_FALSE(FileExists("user:locked.txt"));
}

TEST_F(TPathMapTest, AnUnsetDataFolderResolvesNothing)
{
    Map().SetDataFolders("", "", "");
    EXPECT_EQ(ResolvePath("user:prefs.dat", false), TString());
    EXPECT_EQ(ResolvePath("desktop:shot.png", false), TString());
}

TEST_F(TPathMapTest, AFolderLinkCycleDoesNotTrapTheScan)
{
    ASSERT_EQ(symlink("..", (mTemp / "assets/ui/loop").c_str()), 0);
    ASSERT_EQ(symlink("../scripts/config.lua", (mTemp / "assets/ui/config.lua").c_str()), 0);
    LoadFinalList();
    EXPECT_EQ(Map().Find("ui/loop/ui/panel.png"), TString());
    EXPECT_TRUE(FileExists("ui/config.lua")) << "links to files are followed";
}

TEST_F(TPathMapTest, ScanWithThePrefixDotGivesKeysRelativeToTheFolder)
{
    ScanAssetFolder((mTemp / "assets/ui").c_str(), ".");
    EXPECT_TRUE(FileExists("panel.png"));
    EXPECT_TRUE(FileExists("deep/x.txt"));
}

} // namespace
