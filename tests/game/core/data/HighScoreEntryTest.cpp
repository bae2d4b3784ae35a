#include "game/core/data/HighScoreEntry.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>

namespace {

using YOLT::Core::HighScoreEntry;

TEST(HighScoreEntryTest, AnEntryIsANameFieldAZeroAndAFloat)
{
    struct TCase
    {
        const char* name;
        float score;
        const char* field; // the 15 name bytes as stored
        const char* readBack;
    };
    const TCase cases[] = {
        {"", 0.0f, "", ""},
        {"ann", 1250.5f, "ann", "ann"},
        {"fifteen_letters", 3.0f, "fifteen_letters", "fifteen_letters"},
        {"twenty_letters_names", -2.0f, "twenty_letters_", "twenty_letters_"},
    };
    for (const TCase& test : cases) {
        const auto bytes = HighScoreEntry(test.name, test.score).ToBytes();
        char field[16] = {};
        std::strncpy(field, test.field, 15);
        EXPECT_EQ(std::memcmp(bytes.data(), field, 15), 0) << test.name;
        EXPECT_EQ(bytes[15], 0) << test.name;
        EXPECT_EQ(bytes[16] | bytes[17] << 8 | bytes[18] << 16 | uint32_t(bytes[19]) << 24,
                  std::bit_cast<uint32_t>(test.score))
            << test.name;
        const auto read = HighScoreEntry::FromBytes(bytes.data(), bytes.size());
        ASSERT_TRUE(read) << test.name;
        EXPECT_EQ(read->GetName(), TString(test.readBack)) << test.name;
        EXPECT_EQ(read->GetScore(), test.score) << test.name;
    }
}

TEST(HighScoreEntryTest, ANameIsReadUpToItsFirstZeroAndAtMostFifteenBytes)
{
    uint8_t bytes[20] = {};
    std::memcpy(bytes, "abc\0def", 7);
    EXPECT_EQ(HighScoreEntry::FromBytes(bytes, 20)->GetName(), TString("abc"));
    std::memset(bytes, 'x', 16); // no terminator in the name field or after it
    EXPECT_EQ(HighScoreEntry::FromBytes(bytes, 20)->GetName(),
              TString(std::string(15, 'x').c_str()));
}

TEST(HighScoreEntryTest, ABlockOfAnotherSizeIsNotRead)
{
    const auto bytes = HighScoreEntry("ann", 5.0f).ToBytes();
    EXPECT_FALSE(HighScoreEntry::FromBytes(bytes.data(), 19));
    EXPECT_FALSE(HighScoreEntry::FromBytes(bytes.data(), 0));
    EXPECT_FALSE(HighScoreEntry::FromBytes(nullptr, 20));
}

} // namespace
