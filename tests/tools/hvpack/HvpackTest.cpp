// hvpack as its users meet it: names in the form the game looks up, refusals with their
// reason before anything is listed, and an output inside the packed folder.

#include "tests/tools/ToolTest.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using HvpackTest = ToolTest;

TEST_F(HvpackTest, RefusalsNameTheirReasonAndListNothing)
{
    Write("a.txt", "a");
    fs::create_directory(mFolder / "dir");
    struct TCase
    {
        std::vector<std::string> mArguments;
        std::string mMessage;
    };
    const TCase cases[] = {
        {{"out.hvp", "=a.txt"}, "hvpack: \"\" for a.txt: empty name\n"},
        {{"out.hvp", "./=a.txt"}, "hvpack: \"./\" for a.txt: empty name\n"},
        {{"out.hvp", "../a=a.txt"},
         "hvpack: \"../a\" for a.txt: a name cannot climb out of its folder with \"..\"\n"},
        {{"out.hvp", std::string(256, 'n') + "=a.txt"},
         "hvpack: \"" + std::string(256, 'n') + "\" for a.txt: name longer than 255 bytes\n"},
        {{"out.hvp", "x=missing.txt"},
         "hvpack: cannot read missing.txt: No such file or directory\n"},
        {{"out.hvp", "missing"}, "hvpack: cannot read missing: No such file or directory\n"},
        {{"out.hvp", "a.txt"},
         "hvpack: cannot read a.txt: not a folder (give NAME=FILE for a file)\n"},
        {{"no/out.hvp", "a=a.txt"}, "hvpack: cannot write no/out.hvp: No such file or directory\n"},
        {{"dir", "a=a.txt"}, "hvpack: cannot write dir: Is a directory\n"},
    };
    for (const TCase& c : cases) {
        const TToolResult result = Run("hvpack", c.mArguments);
        EXPECT_EQ(result.mStatus, 1) << c.mArguments[1];
        EXPECT_EQ(result.mErr, c.mMessage);
        EXPECT_EQ(result.mOut, "") << c.mArguments[1];
        EXPECT_FALSE(fs::exists(mFolder / "out.hvp")) << c.mArguments[1];
    }
}

// The game finds every entry under the name a loose file of that path would have.
TEST_F(HvpackTest, NamesAreStoredAsTheGameLooksThemUp)
{
    Write("a.txt", "A");
    fs::create_directories(mFolder / "game" / "assets");
    const TToolResult pack = Run("hvpack", {"game/assets/p.hvp", "./One.txt=a.txt",
                                            "/ui//Two.TXT=a.txt", "sub\\three.txt=a.txt"});
    ASSERT_EQ(pack.mStatus, 0) << pack.mErr;
    EXPECT_EQ(pack.mOut, "one.txt\nui/two.txt\nsub/three.txt\n");

    const TToolResult dump = Run("vfsdump", {"game", "--resolve", "one.txt", "--resolve",
                                             "ui/two.txt", "--resolve", "sub/three.txt"});
    EXPECT_EQ(dump.mStatus, 0) << dump.mErr;
    for (const char* key : {"one.txt -> @0:", "ui/two.txt -> @0:", "sub/three.txt -> @0:"})
        EXPECT_NE(dump.mOut.find(key), std::string::npos) << key << "\n" << dump.mOut;
}

TEST_F(HvpackTest, TheOutputInsideThePackedFolderIsNotPackedIntoItself)
{
    Write("content/a.txt", "a");
    Write("content/ui/b.png", "b");
    for (int run = 0; run < 2; ++run) {
        const TToolResult result = Run("hvpack", {"content/all.hvp", "content"});
        ASSERT_EQ(result.mStatus, 0) << result.mErr;
        EXPECT_EQ(result.mOut, "a.txt\nui/b.png\n") << "run " << run;
    }
}

} // namespace
