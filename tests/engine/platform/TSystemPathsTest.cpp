#include "engine/platform/TSystemPaths.h"

#include "tests/engine/platform/TScopedEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

TEST(TSystemPaths, ExecutableFolderHoldsTheExecutable)
{
    const std::string path = TSystemPaths::GetExecutablePath();
    const std::string folder = TSystemPaths::GetExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(path.compare(0, folder.size(), folder), 0);
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST(TSystemPaths, DataHomeFollowsXdgThenHome)
{
    {
        TScopedEnvironment data("XDG_DATA_HOME", "/srv/data");
        EXPECT_EQ(TSystemPaths::GetDataHome(), "/srv/data/");
    }
    {
        TScopedEnvironment data("XDG_DATA_HOME", "relative/ignored");
        TScopedEnvironment home("HOME", "/home/tester");
        EXPECT_EQ(TSystemPaths::GetDataHome(), "/home/tester/.local/share/");
    }
    {
        TScopedEnvironment data("XDG_DATA_HOME", nullptr);
        TScopedEnvironment home("HOME", nullptr);
        EXPECT_EQ(TSystemPaths::GetDataHome(), "");
    }
}

TEST(TSystemPaths, RuntimeFolderFallsBackToTmp)
{
    TScopedEnvironment runtime("XDG_RUNTIME_DIR", "/no/such/runtime");
    EXPECT_EQ(TSystemPaths::GetRuntimeFolder(), "/tmp/");
}

TEST(TSystemPaths, DesktopComesFromUserDirs)
{
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("velmora_paths_" + std::to_string(getpid()));
    std::filesystem::create_directories(root / "config");
    std::filesystem::create_directories(root / "Schreibtisch");
    std::ofstream(root / "config" / "user-dirs.dirs")
        << "# written by a test\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n";
    {
        TScopedEnvironment desktop("XDG_DESKTOP_DIR", nullptr);
        TScopedEnvironment home("HOME", root.c_str());
        TScopedEnvironment config("XDG_CONFIG_HOME", (root / "config").c_str());
        EXPECT_EQ(TSystemPaths::GetDesktopFolder(), (root / "Schreibtisch").string() + "/");
    }
    std::filesystem::remove_all(root);
}

TEST(TSystemPaths, WorkingFolderChanges)
{
    const std::string before = TSystemPaths::GetWorkingFolder();
    ASSERT_TRUE(TSystemPaths::SetWorkingFolder("/"));
    EXPECT_EQ(TSystemPaths::GetWorkingFolder(), "/");
    EXPECT_FALSE(TSystemPaths::SetWorkingFolder("/no/such/folder"));
    ASSERT_TRUE(TSystemPaths::SetWorkingFolder(before));
}

} // namespace
