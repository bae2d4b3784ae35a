#include "engine/foundation/prefs/TPrefs.h"

#include "engine/foundation/files/TPathMap.h"
#include "engine/foundation/prefs/EncryptionWrapper.h"
#include "engine/foundation/xml/TXmlNode.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/foundation/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const char* const kKey = "tqzrwvxkMJHP";

using TBytes = std::vector<uint8_t>;

// Builds chunk files by hand, the way the game writes them, so tests can damage them.
class TChunkWriter
{
public:
    explicit TChunkWriter(const char* key = kKey) : mCipher(std::make_shared<EncryptionWrapper>())
    {
        mCipher->Init(key);
    }

    TChunkWriter& Raw(const char* tag, const TBytes& payload, uint32_t length)
    {
        mBytes.insert(mBytes.end(), tag, tag + 4);
        for (int i = 0; i < 4; ++i)
            mBytes.push_back(uint8_t(length >> (8 * i)));
        mBytes.insert(mBytes.end(), payload.begin(), payload.end());
        return *this;
    }
    TChunkWriter& Sealed(const char* tag, const TBytes& plain)
    {
        TBytes sealed(mCipher->Encrypt(plain.data(), plain.size(), nullptr, 0, false));
        mCipher->Encrypt(plain.data(), plain.size(), sealed.data(), sealed.size(), false);
        return Raw(tag, sealed, uint32_t(sealed.size()));
    }
    TChunkWriter& Install(const std::string& key)
    {
        return Sealed("IKEY", TBytes(key.c_str(), key.c_str() + key.size() + 1));
    }
    TChunkWriter& User(uint16_t index)
    {
        return Raw("USER", {uint8_t(index), uint8_t(index >> 8)}, 2);
    }
    TChunkWriter& Pair(const std::string& key, const std::string& value, int declaredKeySize = -1)
    {
        uint16_t n = uint16_t(declaredKeySize >= 0 ? declaredKeySize : int(key.size()) + 1);
        TBytes plain = {uint8_t(n), uint8_t(n >> 8)};
        plain.insert(plain.end(), key.c_str(), key.c_str() + key.size() + 1);
        plain.insert(plain.end(), value.c_str(), value.c_str() + value.size() + 1);
        return Sealed("KVPR", plain);
    }
    std::string Text() const { return std::string(mBytes.begin(), mBytes.end()); }

private:
    std::shared_ptr<EncryptionWrapper> mCipher; // shared: writers are copied freely
    TBytes mBytes;
};

class TPrefsTest : public EngineStateTest
{
protected:
    void SetUp() override { TPathMap::Get().SetDataFolders(mFolder.Path().c_str(), "", ""); }
    std::string PrefsPath() const { return mFolder / "prefs.dat"; }
    void WriteInstallText(const std::string& text)
    {
        TPathMap::Get().Set("install.txt", mFolder.Write("install.txt", text).c_str());
    }

    TTempFolder mFolder;
};

std::string Binary(const TPrefs& prefs, const char* key, int user)
{
    int size = prefs.GetBinary(key, nullptr, 0, user);
    if (size < 0)
        return "<missing>";
    std::string bytes(size_t(size), '\0');
    EXPECT_EQ(prefs.GetBinary(key, bytes.data(), size, user), 0);
    return bytes;
}

TEST_F(TPrefsTest, RoundTripOfSharedAndPerUserValues)
{
    const std::string record("\x01\x00\x02\x00\xff", 5);
    {
        TPrefs prefs(true, kKey, "Velmora");
        EXPECT_EQ(prefs.GetInstallKey(), TString("velmora"));
        EXPECT_TRUE(prefs.SetString("currentuser", "Mira"));
        EXPECT_TRUE(prefs.SetInt("fullscreen", 1));
        for (int user = 0; user < 3; ++user) {
            EXPECT_TRUE(prefs.SetString("name", TString::Printf("player%d", user), user));
            EXPECT_TRUE(prefs.SetInt("level", -7 * user, user));
            EXPECT_TRUE(prefs.SetBinary("userdata", record.data(), int(record.size()), user));
        }
        EXPECT_TRUE(prefs.SetBinary("empty", nullptr, 0, 1));
        EXPECT_TRUE(prefs.Save());
    }
    TPrefs prefs(false, kKey, "velmora");
    EXPECT_EQ(prefs.GetUserCount(), 3);
    EXPECT_EQ(prefs.GetString("currentuser", "none"), TString("Mira"));
    EXPECT_EQ(prefs.GetInt("fullscreen", 0), 1);
    for (int user = 0; user < 3; ++user) {
        EXPECT_EQ(prefs.GetString("name", "", user), TString::Printf("player%d", user));
        EXPECT_EQ(prefs.GetInt("level", 99, user), -7 * user);
        EXPECT_EQ(Binary(prefs, "userdata", user), record);
    }
    EXPECT_EQ(Binary(prefs, "empty", 1), "");
    EXPECT_EQ(prefs.GetString("userdata", "x", 0), TString("\x01"))
        << "text stops at the first NUL";
    EXPECT_EQ(prefs.GetString("name", "default", -1), TString("default"));
    EXPECT_EQ(prefs.GetInt("missing", 42, 0), 42);
}

TEST_F(TPrefsTest, GetBinaryProtocol)
{
    TPrefs prefs(false, kKey, "velmora");
    prefs.SetBinary("hs0", "abcdef", 6, 0);
    char buffer[8] = {};
    EXPECT_EQ(prefs.GetBinary("hs0", nullptr, 0, 0), 6);
    EXPECT_EQ(prefs.GetBinary("hs0", buffer, 5, 0), 6) << "too small: size only";
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(prefs.GetBinary("hs0", buffer, 8, 0), 0);
    EXPECT_STREQ(buffer, "abcdef");
    EXPECT_EQ(prefs.GetBinary("hs1", buffer, 8, 0), -1) << "missing key";
    EXPECT_EQ(prefs.GetBinary("hs0", buffer, 8, 5), -1) << "missing user entry";
    EXPECT_EQ(prefs.GetBinary("hs0", buffer, 8, -2), -1);
}

TEST_F(TPrefsTest, UsersGrowAndShrink)
{
    TPrefs prefs(false, kKey, "velmora");
    EXPECT_EQ(prefs.GetUserCount(), 0);
    prefs.SetString("name", "d", 3);
    EXPECT_EQ(prefs.GetUserCount(), 4) << "entries 0 to 4: shared and users 0 to 3";
    prefs.SetString("name", "a", 0);
    prefs.SetString("name", "b", 1);
    prefs.SetString("current", "b");
    EXPECT_TRUE(prefs.DeleteUser(0));
    EXPECT_EQ(prefs.GetUserCount(), 3);
    EXPECT_EQ(prefs.GetString("name", "", 0), TString("b"));
    EXPECT_EQ(prefs.GetString("name", "", 2), TString("d"));
    for (int refused : {-1, -2, 3, 100}) {
        EXPECT_FALSE(prefs.DeleteUser(refused)) << refused;
    }
    EXPECT_EQ(prefs.GetString("current", ""), TString("b")) << "the shared entry stays";
    EXPECT_EQ(prefs.GetUserCount(), 3);
}

TEST_F(TPrefsTest, SettersRefuseUsersOutOfRange)
{
    TPrefs prefs(false, kKey, "velmora");
    EXPECT_FALSE(prefs.SetString("k", "v", -2));
    EXPECT_FALSE(prefs.SetInt("k", 1, TPrefs::kMaxUser + 1));
    EXPECT_FALSE(prefs.SetBinary("k", "v", 1, -100));
    EXPECT_FALSE(prefs.SetBinary("k", nullptr, 4, 0));
    EXPECT_EQ(prefs.GetUserCount(), 0);
    EXPECT_TRUE(prefs.SetInt("k", 1, TPrefs::kMaxUser));
    EXPECT_EQ(prefs.GetUserCount(), TPrefs::kMaxUser + 1);
}

TEST_F(TPrefsTest, SavingDisabledWritesNothing)
{
    TPrefs prefs(false, kKey, "velmora");
    prefs.SetString("k", "v", -1, true);
    EXPECT_TRUE(prefs.Save());
    EXPECT_NE(access(PrefsPath().c_str(), F_OK), 0);
}

TEST_F(TPrefsTest, ChunkOrderAsWritten)
{
    TPrefs prefs(true, kKey, "velmora");
    prefs.SetString("b", "2", 0);
    prefs.SetString("a", "1", 0);
    std::string expected = TChunkWriter()
                               .Install("velmora")
                               .Install("velmora")
                               .User(0)
                               .User(1)
                               .Pair("a", "1")
                               .Pair("b", "2")
                               .Text();
    TBytes image = prefs.BuildFileImage();
    EXPECT_EQ(std::string(image.begin(), image.end()), expected);
}

// Every damaged file loads the values before the damage: "early" = 1 in the shared entry
// (entry index 0) of section "velmora". "late" would follow the damage.
TEST_F(TPrefsTest, DamagedFilesKeepWhatCameBefore)
{
    auto good = [] {
        return TChunkWriter().Install("velmora").Install("velmora").User(0).Pair("early", "1");
    };
    struct TCase
    {
        const char* name;
        std::string file;
        bool early;
    };
    const TCase cases[] = {
        {"intact", good().Pair("late", "2").Text(), true},
        {"first chunk is a user",
         TChunkWriter().User(0).Install("velmora").User(0).Pair("early", "1").Text(), false},
        {"key length beyond payload", good().Pair("late", "2", 40).Pair("after", "3").Text(), true},
        {"key length zero", good().Pair("late", "2", 0).Text(), true},
        {"truncated tail", good().Pair("late", "2").Text().substr(0, good().Text().size() + 12),
         true},
        {"truncated header", good().Text() + "KVP", true},
        {"length zero", good().Raw("KVPR", {}, 0).Pair("late", "2").Text(), true},
        {"length above 4 MiB", good().Raw("KVPR", {}, TPrefs::kMaxChunkLength + 1).Text(), true},
        {"length beyond the file", good().Raw("KVPR", TBytes(8, 1), 0xffffff).Text(), true},
        {"undecipherable payload", good().Raw("KVPR", TBytes(5, 7), 5).Pair("late", "2").Text(),
         true},
        {"unknown tag", good().Sealed("ZZZZ", {1, 2, 3}).Pair("late", "2").Text(), true},
        {"user index above 1024", good().User(1025).Pair("late", "2").Text(), true},
        {"short user chunk", good().Raw("USER", {0}, 1).Pair("late", "2").Text(), true},
        {"wrong cipher key",
         TChunkWriter("otherkey1").Install("velmora").User(0).Pair("early", "1").Text(), false},
        {"empty file", "", false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        mFolder.Write("prefs.dat", c.file);
        TPrefs prefs(false, kKey, "velmora");
        EXPECT_STREQ(prefs.GetString("early", "-").CStr(), c.early ? "1" : "-");
        EXPECT_STREQ(prefs.GetString("late", "-").CStr(),
                     std::string(c.name) == "intact" ? "2" : "-");
    }
}

TEST_F(TPrefsTest, KeyWithoutTerminatorIsCutAtItsDeclaredLength)
{
    TBytes plain = {4, 0, 'a', 'b', 'c', 'd', 'v'}; // key "abcd" declared as 3 + NUL
    mFolder.Write("prefs.dat",
                  TChunkWriter().Install("velmora").User(0).Sealed("KVPR", plain).Text());
    TPrefs prefs(false, kKey, "velmora");
    EXPECT_EQ(prefs.GetString("abc", "-", -1), TString("v"));
}

TEST_F(TPrefsTest, EntryIndexCarriesIntoTheNextSection)
{
    mFolder.Write("prefs.dat", TChunkWriter()
                                   .Install("other")
                                   .Install("other")
                                   .User(2)
                                   .Pair("x", "1")
                                   .Install("velmora")
                                   .Pair("y", "2")
                                   .Text());
    TPrefs prefs(false, kKey, "velmora");
    EXPECT_EQ(prefs.GetString("y", "-", 1), TString("2"));
}

TEST_F(TPrefsTest, WhatLoadsIsSavedBackUnchanged)
{
    std::string file = TChunkWriter()
                           .Install("velmora")
                           .Install("empty") // a section without entries
                           .Install("velmora")
                           .User(0)
                           .Pair("k", "v")
                           .User(3)
                           .Text();
    TPrefs first(false, kKey, "velmora");
    ASSERT_TRUE(first.LoadFromBytes(reinterpret_cast<const uint8_t*>(file.data()), file.size()));
    TBytes image = first.BuildFileImage();
    TPrefs second(false, kKey, "velmora");
    ASSERT_TRUE(second.LoadFromBytes(image.data(), image.size()));
    EXPECT_EQ(second.BuildFileImage(), image);
    EXPECT_EQ(std::string(image.begin(), image.end()), TChunkWriter()
                                                           .Install("velmora")
                                                           .Install("empty")
                                                           .Install("velmora")
                                                           .User(0)
                                                           .Pair("k", "v")
                                                           .User(1)
                                                           .User(2)
                                                           .User(3)
                                                           .Text());
}

TEST_F(TPrefsTest, InstallTextDecidesTheSection)
{
    {
        TPrefs writer(true, kKey, "first");
        writer.SetString("k", "first-value");
        writer.Save();
    }
    {
        TPrefs writer(true, kKey, "second");
        writer.SetString("k", "second-value");
        writer.Save();
    }
    struct TCase
    {
        const char* installText; // null: no file
        const char* settingKey;
        const char* expected;
    };
    const TCase cases[] = {
        {nullptr, "second", "second-value"}, {nullptr, "FIRST", "first-value"},
        {"", "first", "second-value"}, // empty: adopt the key the file names first
        {"First", "second", "first-value"},  {"elsewhere\n", "first", "-"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.installText ? c.installText : "(none)");
        if (c.installText)
            WriteInstallText(c.installText);
        else
            TPathMap::Get().Remove("install.txt");
        TPrefs prefs(false, kKey, c.settingKey);
        EXPECT_EQ(prefs.GetString("k", "-"), TString(c.expected));
    }
}

TEST_F(TPrefsTest, OtherInstallationsAreWrittenBackUnchanged)
{
    {
        TPrefs writer(true, kKey, "other");
        writer.SetString("k", "theirs", 1);
        writer.Save();
    }
    WriteInstallText("mine");
    {
        TPrefs prefs(true, kKey, "ignored");
        EXPECT_EQ(prefs.GetString("k", "-", 1), TString("-"));
        prefs.SetString("k", "mine", 0, true);
    }
    TPathMap::Get().Remove("install.txt");
    TPrefs other(false, kKey, "other");
    EXPECT_EQ(other.GetString("k", "-", 1), TString("theirs"));
    TPrefs mine(false, kKey, "mine");
    EXPECT_EQ(mine.GetString("k", "-", 0), TString("mine"));
}

// The older XML form: an unnamed root holding "install" elements whose children are the
// entries, each attribute one string value; with a key, that text travels enciphered in
// "data1" with its checksum in "data2".
struct TLegacyEntry
{
    const char* installKey;
    std::vector<std::vector<std::pair<const char*, const char*>>> entries;
};

std::string LegacyDocument(const std::vector<TLegacyEntry>& installs)
{
    TXmlNode root;
    for (const TLegacyEntry& install : installs) {
        TXmlNode* element = root.AddChild("install");
        element->SetAttribute("hvinstallkey", install.installKey);
        for (const auto& pairs : install.entries) {
            TXmlNode* entry = element->AddChild("user");
            for (const auto& [key, value] : pairs)
                entry->SetAttribute(key, value);
        }
    }
    // The older writer kept bytes above 127 raw; ours writes them as references.
    std::string text = root.ToString().CStr();
    for (size_t at; (at = text.find("&#195;&#171;")) != std::string::npos;)
        text.replace(at, 12, "\xc3\xab");
    return text;
}

int32_t LegacyChecksum(const std::string& text)
{
    uint32_t sum = 0;
    for (size_t i = 0; i < text.size(); ++i)
        sum ^= uint32_t(int32_t(int8_t(text[i]))) << ((i % 4) * 8);
    return int32_t(sum);
}

std::string SealedLegacyFile(const std::string& inner, int checksumError = 0)
{
    EncryptionWrapper cipher;
    cipher.Init(kKey);
    std::vector<char> sealed(cipher.Encrypt(inner.data(), inner.size(), nullptr, 0, true));
    cipher.Encrypt(inner.data(), inner.size(), sealed.data(), sealed.size(), true);
    TXmlNode root;
    root.AddChild("data1")->SetAttribute("data", sealed.data());
    root.AddChild("data2")->SetAttribute(
        "data", TString::Printf("%d", LegacyChecksum(inner) + checksumError));
    return root.ToString().CStr();
}

const std::vector<TLegacyEntry> kLegacyInstalls = {
    {"Other", {{{"x", "1"}}}},
    {"Velmora",
     {{{"currentuser", "Mira"}, {"fullscreen", "1"}},
      {{"name", "Mira"}},
      {{"name", "Zo\xc3\xab"}}}}, // bytes above 127 test the checksum's sign extension
};

TEST_F(TPrefsTest, OlderXmlFormIsReadAndRewrittenAsChunks)
{
    std::string inner = LegacyDocument(kLegacyInstalls);
    mFolder.Write("prefs.dat", SealedLegacyFile(inner));
    {
        TPrefs prefs(true, kKey, "velmora");
        EXPECT_EQ(prefs.GetUserCount(), 2);
        EXPECT_STREQ(prefs.GetString("currentuser", "-").CStr(), "Mira");
        EXPECT_EQ(prefs.GetInt("fullscreen", 0), 1);
        EXPECT_STREQ(prefs.GetString("name", "-", 1).CStr(), "Zo\xc3\xab");
    }
    EXPECT_EQ(TTempFolder::Read(PrefsPath()).substr(0, 4), "IKEY");
    TPrefs again(false, kKey, "velmora");
    EXPECT_STREQ(again.GetString("name", "-", 0).CStr(), "Mira");
    TPrefs other(false, kKey, "other");
    EXPECT_STREQ(other.GetString("x", "-").CStr(), "1");
}

TEST_F(TPrefsTest, OlderXmlFormWithoutAKeyAndWithAdoption)
{
    mFolder.Write("prefs.dat", LegacyDocument(kLegacyInstalls));
    WriteInstallText("");
    TPrefs prefs(false, "", "velmora");
    EXPECT_EQ(prefs.GetInstallKey(), TString("other")) << "the first install element is adopted";
    EXPECT_STREQ(prefs.GetString("x", "-").CStr(), "1");
}

TEST_F(TPrefsTest, OlderXmlFormDamagedLoadsNothingAndIsKept)
{
    const std::pair<const char*, std::string> cases[] = {
        {"wrong checksum", SealedLegacyFile(LegacyDocument(kLegacyInstalls), 1)},
        {"no data2", "<>\n    <data1 data=\"AAAA\"/>\n</>\n"},
        {"empty data", "<>\n    <data1 data=\"\"/>\n    <data2 data=\"0\"/>\n</>\n"},
        {"garbage", "<>\x01\x02<<<>>>\"\"==="},
    };
    for (const auto& [name, file] : cases) {
        SCOPED_TRACE(name);
        mFolder.Write("prefs.dat", file);
        TPrefs prefs(true, kKey, "velmora");
        EXPECT_EQ(prefs.GetUserCount(), 0);
        EXPECT_STREQ(prefs.GetString("currentuser", "-").CStr(), "-");
        EXPECT_EQ(TTempFolder::Read(PrefsPath()), file);
    }
}

// A child process saves in a loop and is killed, again and again; every time the file
// left behind must be whole: either an earlier or a later save, never a mixture. The
// moments follow the child's own pace, so a slow or loaded machine tests the same: every
// other kill comes at a random point of one save cycle (as long as the child's last
// cycle took), the others as soon as the temporary file of a save appears, while it is
// being written.
TEST_F(TPrefsTest, KilledWhileSavingLeavesAWholeFile)
{
    using TClock = std::chrono::steady_clock;
    constexpr int kKills = 200;
    constexpr int kValues = 40;
    {
        TPrefs first(true, kKey, "velmora");
        first.SetInt("generation", 0);
        first.Save();
    }
    const std::string temporary = PrefsPath() + ".tmp";
    std::mt19937 random(12345);
    int generationsSeen = 0;
    int killsMidSave = 0; // the temporary file was left behind: killed while writing it
    for (int kill = 0; kill < kKills; ++kill) {
        int saved[2];
        ASSERT_EQ(pipe(saved), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(saved[0]);
            fcntl(saved[1], F_SETFL, O_NONBLOCK); // a full pipe never holds the child up
            TPrefs prefs(true, kKey, "velmora");
            std::string filler(600, char('a' + kill % 26));
            for (int generation = prefs.GetInt("generation", 0) + 1;; ++generation) {
                for (int i = 0; i < kValues; ++i)
                    prefs.SetString(TString::Printf("value%d", i),
                                    TString::Printf("%d:%s", generation, filler.c_str()));
                prefs.SetInt("generation", generation);
                prefs.Save();
                (void)!write(saved[1], "s", 1); // one whole save done
            }
        }
        close(saved[1]);
        char signal = 0;
        ASSERT_EQ(read(saved[0], &signal, 1), 1) << "the child died before saving";
        if (kill % 2 == 0) {
            const TClock::time_point first = TClock::now();
            ASSERT_EQ(read(saved[0], &signal, 1), 1) << "the child died while saving";
            const auto cycle =
                std::chrono::duration_cast<std::chrono::microseconds>(TClock::now() - first);
            std::uniform_int_distribution<long> moment(0, static_cast<long>(cycle.count()));
            std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        } else {
            while (access(temporary.c_str(), F_OK) != 0 && waitpid(child, nullptr, WNOHANG) == 0)
                std::this_thread::yield();
        }
        ::kill(child, SIGKILL);
        close(saved[0]);
        int status = 0;
        waitpid(child, &status, 0);
        if (access(temporary.c_str(), F_OK) == 0) {
            ++killsMidSave;
            unlink(temporary.c_str());
        }

        TPrefs check(false, kKey, "velmora");
        int generation = check.GetInt("generation", -1);
        ASSERT_GE(generation, 0) << "kill " << kill << ": file unreadable";
        generationsSeen = std::max(generationsSeen, generation);
        for (int i = 0; i < kValues && generation > 0; ++i) {
            TString value = check.GetString(TString::Printf("value%d", i), "");
            ASSERT_EQ(std::atoi(value.CStr()), generation) << "kill " << kill << ", value " << i;
        }
    }
    EXPECT_GT(generationsSeen, 0) << "the child never finished a save";
    EXPECT_GT(killsMidSave, 0) << "no kill landed while a save was being written";
    RecordProperty("KillsWhileWriting", killsMidSave);
}

} // namespace
