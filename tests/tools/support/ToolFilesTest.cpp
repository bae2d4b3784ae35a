// The tools' file reading and writing: an output is replaced whole or not at all, and an
// input above its kind's limit is refused, also when it never ends.

#include "tools/support/ToolFiles.h"

#include "tests/tools/ToolTest.h"
#include "tools/support/InputLimits.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

using ToolFilesTest = ToolTest;

const std::string kSans = std::string(VELMORA_DEJAVU_DIR) + "/DejaVuSans.ttf";

// Text that packs badly: letters from a simple generator.
std::string Letters(size_t count)
{
    std::string text;
    uint32_t state = 12345;
    for (size_t i = 0; i < count; ++i) {
        state = state * 1103515245u + 12345u;
        text += static_cast<char>('a' + (state >> 16) % 26);
    }
    return text;
}

// An animation of many frames, whose ".anm" form is several kilobytes.
std::string LongAnimation()
{
    std::string xml = "<sequence name=\"long\" source=\"test\">\n"
                      "<img w=\"4096\" h=\"16\" name=\"long.png\"/>\n<framelist>\n";
    for (int i = 0; i < 256; ++i)
        xml += "<frame x=\"" + std::to_string(i * 16) + "\" y=\"0\" w=\"16\" h=\"16\"/>\n";
    return xml + "</framelist>\n</sequence>\n";
}

std::vector<std::string> Listing(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
        names.push_back(entry.path().lexically_relative(folder).string());
    std::sort(names.begin(), names.end());
    return names;
}

// Every tool that writes a file writes it beside the old one and renames it over it only
// once it is whole: a write that fails part-way (here a file size limit, as a full disk
// would) leaves the old file and nothing else.
TEST_F(ToolFilesTest, AFailedWriteKeepsTheOldOutputAndLeavesNoTemporaryFile)
{
    Write("content/big.bin", Letters(8000));
    Write("text.xml", "<t>" + Letters(30000) + "</t>");
    Write("long.xml", LongAnimation());
    ASSERT_EQ(Run("zxmlpack", {"text.xml", "packed.xml"}).mStatus, 0);
    struct TCase
    {
        const char* mTool;
        std::vector<std::string> mArguments;
        const char* mOutput;
    };
    const TCase cases[] = {
        {"hvpack", {"out", "content"}, "out"},
        {"zxmlpack", {"text.xml", "out"}, "out"},
        {"zxmlpack", {"-d", "packed.xml", "out"}, "out"},
        {"anmconvert", {"long.xml", "out"}, "out"},
        {"mkmvec", {"--codes", "0x20-0x7e", kSans, "out"}, "out"},
        {"oggsynth", {"out", "--seconds", "1"}, "out"},
    };
    mFileSizeLimit = 4096;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.mTool);
        Write(c.mOutput, "the old output");
        const std::vector<std::string> before = Listing(mFolder);
        const TToolResult result = Run(c.mTool, c.mArguments);
        EXPECT_EQ(result.mStatus, 1);
        EXPECT_EQ(result.mErr, std::string(c.mTool) + ": cannot write out: cannot write out.tmp: " +
                                   "File too large\n");
        EXPECT_EQ(Read(mFolder / c.mOutput), "the old output");
        EXPECT_EQ(Listing(mFolder), before);
    }
}

TEST_F(ToolFilesTest, AnOutputThatCannotBeReplacedIsLeftAsItWas)
{
    fs::create_directories(mFolder / "folder" / "inside");
    Write("target", "old");
    fs::create_symlink("target", mFolder / "link");
    struct TCase
    {
        std::string mPath;
        std::string mReason;
    };
    const std::string folder = mFolder.string() + "/";
    std::vector<TCase> cases = {
        {folder + "folder", "Is a directory"},
        {"/dev/full", "No space left on device"},
        {folder + "none/out",
         "cannot create " + folder + "none/out.tmp: No such file or directory"},
    };
    if (geteuid() != 0) { // the superuser writes into read-only folders all the same
        fs::create_directory(mFolder / "locked");
        Write("locked/out", "old");
        fs::permissions(mFolder / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        cases.push_back({folder + "locked/out",
                         "cannot create " + folder + "locked/out.tmp: Permission denied"});
    }
    const std::vector<std::string> before = Listing(mFolder);
    for (const TCase& c : cases) {
        std::string reason;
        EXPECT_FALSE(WriteWholeFile(c.mPath, "new", reason)) << c.mPath;
        EXPECT_EQ(reason, c.mReason);
        EXPECT_EQ(Listing(mFolder), before) << c.mPath;
    }
    if (fs::exists(mFolder / "locked")) {
        EXPECT_EQ(Read(mFolder / "locked" / "out"), "old");
        fs::permissions(mFolder / "locked", fs::perms::owner_all);
    }

    // A link stays a link; the file it names gets the new bytes.
    std::string reason;
    EXPECT_TRUE(WriteWholeFile(folder + "link", "new", reason)) << reason;
    EXPECT_TRUE(fs::is_symlink(mFolder / "link"));
    EXPECT_EQ(Read(mFolder / "target"), "new");
    EXPECT_EQ(Listing(mFolder), before);
}

TEST_F(ToolFilesTest, AnInputIsReadUpToItsLimit)
{
    const fs::path path = Write("in", "12345");
    std::string bytes;
    std::string reason;
    EXPECT_TRUE(ReadWholeFile(path, 5, bytes, reason));
    EXPECT_EQ(bytes, "12345");
    EXPECT_FALSE(ReadWholeFile(path, 4, bytes, reason));
    EXPECT_EQ(reason, "larger than 4 bytes");
    EXPECT_EQ(bytes, "");
}

// An input above the limit of its kind is refused with nothing written: a file at once,
// an endless device once the limit has been read.
TEST_F(ToolFilesTest, AnInputIsRefusedAtItsKindsLimit)
{
    fs::create_directory(mFolder / "fonts");
    fs::create_symlink("/dev/zero", mFolder / "fonts" / "zero.mvec");
    struct TCase
    {
        const char* mTool;
        std::vector<std::string> mArguments;
        const char* mInput; // "big" is made a byte larger than the limit (without data)
        size_t mLimit;
    };
    const TCase cases[] = {
        {"zxmlpack", {"/dev/zero", "out"}, "/dev/zero", kMaxXmlTextBytes},
        {"scriptlist", {"/dev/zero"}, "/dev/zero", kMaxScriptBytes},
        {"textdemo", {"out", "fonts"}, "fonts/zero.mvec", kMaxVectorFontBytes},
        {"zxmlpack", {"-d", "big", "out"}, "big", kMaxXmlFileBytes},
        {"anmconvert", {"big", "out"}, "big", kMaxXmlFileBytes},
        {"luarun", {"big"}, "big", kMaxScriptBytes},
        {"hvpack", {"out", "x=big"}, "big", kMaxPackageEntryBytes},
        {"mkmvec", {"big", "out"}, "big", kMaxOutlineFontBytes},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.mTool);
        if (std::string(c.mInput) == "big")
            fs::resize_file(Write("big", ""), c.mLimit + 1);
        const std::vector<std::string> before = Listing(mFolder);
        const TToolResult result = Run(c.mTool, c.mArguments);
        EXPECT_EQ(result.mStatus, 1);
        EXPECT_EQ(result.mErr, std::string(c.mTool) + ": cannot read " + c.mInput +
                                   ": larger than " + std::to_string(c.mLimit) + " bytes\n");
        EXPECT_EQ(result.mOut, "");
        EXPECT_EQ(Listing(mFolder), before);
    }
}

} // namespace
