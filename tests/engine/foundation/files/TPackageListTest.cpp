#include "engine/foundation/files/TPackageList.h"

#include "engine/foundation/files/TFile.h"
#include "engine/foundation/files/TMemoryFile.h"
#include "engine/foundation/files/TPackageWriter.h"
#include "engine/foundation/files/TPathMap.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/foundation/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ReadAll(const char* path, TFileMode mode = kFileReadBinary)
{
    TFile file;
    if (!file.Open(path, mode)) {
        return "<cannot open>";
    }
    std::string bytes(static_cast<size_t>(file.GetSize()) + 8, '\0');
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    return bytes;
}

std::string Package(std::initializer_list<std::pair<std::string, std::string>> entries)
{
    TPackageWriter writer;
    for (const auto& [name, bytes] : entries) {
        writer.Add(name, bytes);
    }
    return writer.Build();
}

void PutU32(std::string& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xff);
    }
}

class TPackageListTest : public EngineStateTest
{
protected:
    void SetUp() override { TPathMap::Get().SetWorkingFolder(mTemp.Path().c_str()); }

    bool Load(const std::string& name, const std::string& bytes)
    {
        mTemp.Write("assets/" + name, bytes);
        return LoadPackageDirectory(TPathMap::Get(), ("::assets/" + name).c_str());
    }

    TTempFolder mTemp;
};

TEST_F(TPackageListTest, EntriesReadFromTheMappedPackage)
{
    ASSERT_TRUE(Load("main.hvp", Package({{"Scripts/Config.lua", "config"}, {"ui/a.png", "png"}})));
    EXPECT_EQ(ReadAll("scripts/config.lua"), "config");
    EXPECT_EQ(ReadAll("assets/ui/a.png"), "png");
    EXPECT_EQ(TPackageList::Get().GetCount(), 1);
}

TEST_F(TPackageListTest, AWrongMagicRegistersNothing)
{
    std::string bytes = Package({{"a.txt", "a"}});
    bytes[3] = 'X';
    EXPECT_FALSE(Load("bad.hvp", bytes));
    EXPECT_FALSE(FileExists("a.txt"));
    EXPECT_FALSE(Load("tiny.hvp", "HVP"));
    EXPECT_EQ(TPackageList::Get().GetCount(), 0);
}

TEST_F(TPackageListTest, ALaterPackageWinsAndALooseFileWinsOverBoth)
{
    mTemp.Write("assets/a.hvp", Package({{"same.txt", "from a"}, {"only_a.txt", "a"}}));
    mTemp.Write("assets/b.hvp", Package({{"same.txt", "from b"}}));
    ScanAssetFolder("assets", "");
    EXPECT_EQ(ReadAll("same.txt"), "from b");
    EXPECT_EQ(ReadAll("only_a.txt"), "a");

    mTemp.Write("assets/same.txt", "loose");
    TPathMap::Get().Clear();
    ScanAssetFolder("assets", "");
    EXPECT_EQ(ReadAll("same.txt"), "loose");
}

TEST_F(TPackageListTest, TextModeDropsCarriageReturnsButCountsThem)
{
    ASSERT_TRUE(Load("p.hvp", Package({{"t.txt", "a\r\nb"}})));
    TFile file;
    ASSERT_TRUE(file.Open("t.txt", kFileReadText));
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, 4), 3u);
    EXPECT_EQ(std::string(buffer, 3), "a\nb");
    EXPECT_EQ(file.Tell(), 4);
}

TEST_F(TPackageListTest, EofIsSetOnlyByAReadPastTheEndAndClearedBySeeking)
{
    ASSERT_TRUE(Load("p.hvp", Package({{"e.bin", "xyz"}})));
    TFile file;
    ASSERT_TRUE(file.Open("e.bin", kFileReadBinary));
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, 3), 3u);
    EXPECT_FALSE(file.Eof()) << "unlike a memory file, the last byte is not the end yet";
    EXPECT_EQ(FileGetc(&file), -1);
    EXPECT_TRUE(file.Eof());
    file.Seek(1, kSeekStart);
    EXPECT_FALSE(file.Eof());
    file.Seek(10, kSeekStart);
    EXPECT_EQ(file.Tell(), 3);
    EXPECT_EQ(file.Read(buffer, 1), 0u);
    EXPECT_TRUE(file.Eof());
    file.Seek(5, kSeekEnd); // clamped to the length: the flag stays
    EXPECT_TRUE(file.Eof());
    file.Unget();
    EXPECT_FALSE(file.Eof());
    EXPECT_EQ(file.Tell(), 2);
    EXPECT_EQ(file.Write("q", 1), 0u);
}

TEST_F(TPackageListTest, EntriesOutsideTheFileAreSkipped)
{
    std::string bytes = Package({{"good.txt", "good"}, {"far.txt", "abcd"}, {"long.txt", "x"}});
    const size_t farOffset = 8 + (1 + 8 + 8) + (1 + 7);
    const size_t longLength = 8 + (1 + 8 + 8) + (1 + 7 + 8) + (1 + 8) + 4;
    PutU32(bytes, farOffset, 0xfffffff0u);
    PutU32(bytes, longLength, 0xffffffffu);
    ASSERT_TRUE(Load("p.hvp", bytes));
    EXPECT_EQ(ReadAll("good.txt"), "good");
    EXPECT_FALSE(FileExists("far.txt"));
    EXPECT_FALSE(FileExists("long.txt"));
}

TEST_F(TPackageListTest, AShortDirectoryIsRefusedWhole)
{
    const std::string bytes = Package({{"a.txt", "a"}, {"b.txt", "b"}});
    std::string huge = bytes;
    PutU32(huge, 4, 0x7fffffffu);
    std::string negative = bytes;
    PutU32(negative, 4, 0x80000000u);
    EXPECT_FALSE(Load("cut.hvp", bytes.substr(0, 8 + 14 + 3)));
    EXPECT_FALSE(Load("count.hvp", bytes.substr(0, 6)));
    EXPECT_FALSE(Load("huge.hvp", huge));
    EXPECT_FALSE(FileExists("a.txt"));
    EXPECT_TRUE(Load("negative.hvp", negative)) << "a count of 2^31 or more counts as none";
    EXPECT_FALSE(FileExists("a.txt"));
}

TEST_F(TPackageListTest, ReRegisteringAPathKeepsItsIndexAndOpenEntriesStayReadable)
{
    ASSERT_TRUE(Load("p.hvp", Package({{"old.txt", "old"}, {"same.txt", "one"}})));
    ASSERT_TRUE(Load("q.hvp", Package({{"q.txt", "q"}})));
    TFile open;
    ASSERT_TRUE(open.Open("same.txt", kFileReadBinary));

    // Replaced as a new file (a file rewritten in place would change under its mapping).
    mTemp.Write("p.new", Package({{"same.txt", "two"}}));
    std::filesystem::rename(mTemp / "p.new", mTemp / "assets/p.hvp");
    ASSERT_TRUE(LoadPackageDirectory(TPathMap::Get(), "::assets/p.hvp"));
    EXPECT_EQ(TPackageList::Get().GetCount(), 2);
    EXPECT_EQ(TPackageList::Get().Find("::assets/p.hvp"), 0);
    EXPECT_EQ(ReadAll("same.txt"), "two");
    char buffer[4] = {};
    EXPECT_EQ(open.Read(buffer, 3), 3u);
    EXPECT_STREQ(buffer, "one") << "an open entry keeps the old mapping alive";
    // The old entry now points past the end of the smaller package: refused, not read.
    EXPECT_EQ(ReadAll("old.txt"), "<cannot open>");
}

TEST_F(TPackageListTest, AnUnmappablePackageKeepsItsEntriesButCannotOpenThem)
{
    const std::string bytes = Package({{"inner.txt", "inner"}});
    RegisterMemoryFile("mem.hvp", bytes.data(), bytes.size());
    ASSERT_TRUE(LoadPackageDirectory(TPathMap::Get(), "mem.hvp"));
    EXPECT_TRUE(FileExists("inner.txt"));
    EXPECT_EQ(ReadAll("inner.txt"), "<cannot open>");
}

TEST_F(TPackageListTest, BadPackageLocationsFailToOpen)
{
    ASSERT_TRUE(Load("p.hvp", Package({{"a.txt", "a"}})));
    for (const char* location :
         {"@1:0,1", "@-1:0,1", "@0", "@0:25", "@0:20,9999", "@0:4294967295,2"}) {
        TPathMap::Get().Set("x", location);
        EXPECT_FALSE(FileExists("x") && ReadAll("x") != "<cannot open>") << location;
    }
}

} // namespace
