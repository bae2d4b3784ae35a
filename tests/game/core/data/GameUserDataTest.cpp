#include "game/core/data/GameUserData.h"

#include "engine/foundation/core/LittleEndian.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>
#include <vector>

namespace {

using YOLT::Core::CustomColorData;
using YOLT::Core::GameUserData;
using Part = GameUserData::DressPart;
using TBytes = std::vector<uint8_t>;

enum class Kind
{
    Int32,
    Float,
    UInt16,
    UInt8
};

struct TField
{
    size_t offset;
    Kind kind;
    double value;
};

double ValueAt(const TBytes& bytes, const TField& field)
{
    const uint8_t* at = bytes.data() + field.offset;
    switch (field.kind) {
    case Kind::Int32:
        return static_cast<int32_t>(ReadLE32(at));
    case Kind::Float:
        return std::bit_cast<float>(ReadLE32(at));
    case Kind::UInt16:
        return ReadLE16(at);
    case Kind::UInt8:
        return *at;
    }
    return 0;
}

void ExpectFields(const TBytes& bytes, const std::vector<TField>& fields)
{
    ASSERT_EQ(bytes.size(), GameUserData::kRecordSize);
    for (const TField& field : fields)
        EXPECT_EQ(ValueAt(bytes, field), field.value) << "at offset " << field.offset;
}

// A record with a distinct value in every part of the layout.
GameUserData FilledRecord()
{
    GameUserData record;
    record.SetTipIndex(3);
    record.OnNotifyNewSublevelReached(7, 2);
    record.SetEarnings(1234.5f);
    record.SetMoney(77.25f);
    record.SetIncenseStock(41);
    record.SetBestScore(0, 0, 11.5f);
    record.SetBestScore(2, 3, 99.5f);
    record.SetBestScore(9, 4, 5.5f);
    record.SetSublevelState(0, 0, 3);
    record.SetSublevelState(4, 1, 2);
    record.SetSublevelState(9, 4, 1);
    record.SetMiniGameLaunched(1);
    record.SetMiniGameBest(2, 8.5f);
    record.SetTreatmentStock(0, 50);
    record.SetTreatmentStock(2, 7);
    record.SetTreatmentStockAdded(1);
    CustomColorData::Matrix matrix = record.GetColorData(Part::Dress)->GetMatrix();
    matrix[2][4] = 0.25f;
    record.GetColorData(Part::Dress)->SetMatrix(matrix);
    record.GetColorData(Part::Shoes)->SetTextureName("shoes_b");
    record.UnlockSwatch(0);
    record.UnlockSwatch(23);
    record.RaiseDressDetail(4);
    record.SetVariant(Part::Legs, 2);
    record.SetVariant(Part::Shoes, 5);
    record.SetSwatchChoice(Part::Dress, 3);
    record.SetUpgradeBought(0, true);
    record.SetUpgradeBought(44, true);
    record.AwardMeditationBonus(1);
    record.SetNewCustomization(true);
    record.UpdateSeenProgress();
    record.SetNewLevel(6);
    return record;
}

TEST(GameUserDataTest, AFreshRecordHoldsTheInitialValues)
{
    std::vector<TField> fields = {
        {0, Kind::Int32, -1},   {4, Kind::Int32, 0},     {8, Kind::Int32, 0},
        {12, Kind::Float, 0},   {16, Kind::Float, 0},    {20, Kind::Float, 0},
        {24, Kind::Int32, 0},   {440, Kind::Float, -1},  {444, Kind::Float, -1},
        {448, Kind::Float, -1}, {1102, Kind::UInt16, 0}, {1120, Kind::UInt8, 1},
        {1124, Kind::Int32, 0}};
    for (size_t i = 0; i < 50; ++i) {
        fields.push_back({28 + 4 * i, Kind::Float, -1});
        fields.push_back({228 + 4 * i, Kind::Int32, i == 0 ? 1.0 : 0.0});
    }
    for (size_t part = 0; part < 4; ++part)
        for (size_t row = 0; row < 4; ++row)
            for (size_t column = 0; column < 5; ++column)
                fields.push_back({476 + 116 * part + 4 + 4 * (5 * row + column), Kind::Float,
                                  row == column ? 1.0 : 0.0});
    ExpectFields(GameUserData().ToBytes(), fields);

    GameUserData record;
    EXPECT_TRUE(record.IsSublevelPlayable(0, 0));
    EXPECT_FALSE(record.IsSublevelPlayable(0, 1));
    EXPECT_FALSE(record.IsSublevelPlayable(1, 0));
    EXPECT_EQ(record.GetBestScore(0, 0), -1.0f);
    EXPECT_EQ(record.GetMoney(), 0.0f);
    EXPECT_TRUE(record.IsNewProgress());
    EXPECT_EQ(record.GetColorData(Part::Legs)->GetTextureName(), TString(""));
}

TEST(GameUserDataTest, EveryFieldSitsAtItsOffset)
{
    ExpectFields(
        FilledRecord().ToBytes(),
        {{0, Kind::Int32, 3},      {4, Kind::Int32, 7},
         {8, Kind::Int32, 2},      {16, Kind::Float, 1234.5},
         {20, Kind::Float, 77.25}, {24, Kind::Int32, 41},
         {28, Kind::Float, 11.5},  {80, Kind::Float, 99.5},
         {224, Kind::Float, 5.5},  {228, Kind::Int32, 3},
         {312, Kind::Int32, 2},    {424, Kind::Int32, 1},
         {428, Kind::Int32, 0},    {432, Kind::Int32, 1},
         {448, Kind::Float, 8.5},  {452, Kind::Int32, 50},
         {460, Kind::Int32, 7},    {468, Kind::Int32, 1},
         {476, Kind::Int32, 0},    // the colour set's unused bytes
         {480, Kind::Float, 1},    // legs matrix [0][0]
         {652, Kind::Float, 0.25}, // dress matrix [2][4]
         {908, Kind::UInt8, 's'},  // shoes texture name
         {914, Kind::UInt8, 'b'},  {915, Kind::UInt8, 0},
         {940, Kind::UInt16, 1},   {986, Kind::UInt16, 1},
         {988, Kind::UInt16, 0},   {992, Kind::UInt16, 4}, // the detail part's dress detail
         {996, Kind::UInt16, 2},   {1002, Kind::UInt16, 5},
         {1006, Kind::UInt16, 3},  {1012, Kind::UInt16, 1},
         {1014, Kind::UInt16, 0},  {1100, Kind::UInt16, 1},
         {1102, Kind::UInt16, 40}, {1104, Kind::UInt8, 1},
         {1105, Kind::UInt8, 1},   {1106, Kind::UInt8, 0},
         {1107, Kind::UInt8, 0}, // padding
         {1108, Kind::Int32, 1},   {1112, Kind::Int32, 7},
         {1116, Kind::Int32, 2},   {1120, Kind::UInt8, 1},
         {1121, Kind::UInt8, 0}, // padding
         {1122, Kind::UInt16, 0},  {1124, Kind::Int32, 6}});
}

TEST(GameUserDataTest, ReadingWhatWasWrittenGivesTheSameRecord)
{
    const GameUserData record = FilledRecord();
    const TBytes bytes = record.ToBytes();
    const std::optional<GameUserData> read = GameUserData::FromBytes(bytes.data(), bytes.size());
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, record);
    EXPECT_EQ(read->ToBytes(), bytes);
}

TEST(GameUserDataTest, UnusedBytesAreIgnoredOnReadAndWrittenAsZero)
{
    const TBytes bytes = FilledRecord().ToBytes();
    TBytes dirty = bytes;
    // Each colour set's first 4 and last 2 bytes, and the record's padding.
    const size_t unused[] = {476, 479, 590, 591, 592, 595, 708, 938, 939, 1107, 1121, 1123};
    for (size_t offset : unused)
        dirty[offset] = 0xA5;
    const std::optional<GameUserData> read = GameUserData::FromBytes(dirty.data(), dirty.size());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->ToBytes(), bytes);
}

TEST(GameUserDataTest, ARecordOfAnotherSizeIsNotRead)
{
    const TBytes bytes = FilledRecord().ToBytes();
    for (size_t size : {size_t(0), size_t(20), GameUserData::kRecordSize - 1})
        EXPECT_FALSE(GameUserData::FromBytes(bytes.data(), size)) << size;
    TBytes longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(GameUserData::FromBytes(longer.data(), longer.size()));
    EXPECT_FALSE(GameUserData::FromBytes(nullptr, GameUserData::kRecordSize));
}

TEST(GameUserDataTest, TheHighestSublevelOnlyRises)
{
    struct TCase
    {
        int level, sublevel;
        int highestLevel, highestSublevel;
    };
    const TCase steps[] = {{0, 3, 0, 3}, {0, 1, 0, 3},  {1, 4, 1, 4}, {2, 0, 2, 0}, {1, 4, 2, 0},
                           {2, 2, 2, 2}, {10, 0, 2, 2}, {2, 5, 2, 2}, {-1, 0, 2, 2}};
    GameUserData record;
    for (const TCase& step : steps) {
        record.OnNotifyNewSublevelReached(step.level, step.sublevel);
        EXPECT_EQ(record.GetHighestLevel(), step.highestLevel)
            << step.level << "/" << step.sublevel;
        EXPECT_EQ(record.GetHighestSublevel(), step.highestSublevel)
            << step.level << "/" << step.sublevel;
    }
}

TEST(GameUserDataTest, TheDressDetailNeverFalls)
{
    GameUserData record;
    const uint16_t values[] = {3, 1, 0, 5, 4};
    const int expected[] = {3, 3, 3, 5, 5};
    for (size_t i = 0; i < std::size(values); ++i) {
        record.RaiseDressDetail(values[i]);
        EXPECT_EQ(record.GetDressDetail(Part::Detail), expected[i]) << i;
    }
    EXPECT_EQ(record.GetDressDetail(Part::Dress), 0);
}

TEST(GameUserDataTest, SeenProgressMarksWhatTheSelectorHasNotShown)
{
    struct TCase
    {
        const char* what;
        int level, sublevel; // reached before the update; -1: nothing new
        bool newProgress;
    };
    const TCase steps[] = {
        {"at the very start the flag stays", -1, -1, true},
        {"still nothing reached", -1, -1, true},
        {"a new sublevel", 0, 2, true},
        {"shown already", -1, -1, false},
        {"a new level", 1, 0, true},
        {"shown again", -1, -1, false},
    };
    GameUserData record;
    for (const TCase& step : steps) {
        if (step.level >= 0)
            record.OnNotifyNewSublevelReached(step.level, step.sublevel);
        record.UpdateSeenProgress();
        EXPECT_EQ(record.IsNewProgress(), step.newProgress) << step.what;
    }
}

TEST(GameUserDataTest, TheMeditationBonusIsGivenOncePerSublevel)
{
    struct TCase
    {
        int passed;
        int bonus;
    };
    const TCase steps[] = {{1, 40}, {0, 40}, {1, 40}, {2, 60}, {3, 60}};
    GameUserData record;
    for (const TCase& step : steps) {
        record.AwardMeditationBonus(step.passed);
        EXPECT_EQ(record.GetMeditationBonus(), step.bonus) << step.passed;
    }
}

TEST(GameUserDataTest, IndexesOutsideTheTablesChangeNothing)
{
    struct TCase
    {
        const char* what;
        void (*change)(GameUserData&);
    };
    const TCase cases[] = {
        {"level 10", [](GameUserData& r) { r.SetSublevelState(10, 0, 2); }},
        {"level -1", [](GameUserData& r) { r.SetSublevelState(-1, 4, 2); }},
        {"sublevel 5", [](GameUserData& r) { r.SetBestScore(0, 5, 3.0f); }},
        {"sublevel -1", [](GameUserData& r) { r.SetBestScore(1, -1, 3.0f); }},
        {"reached level 10", [](GameUserData& r) { r.OnNotifyNewSublevelReached(10, 0); }},
        {"upgrade 45", [](GameUserData& r) { r.SetUpgradeBought(45, true); }},
        {"upgrade -1", [](GameUserData& r) { r.SetUpgradeBought(-1, true); }},
        {"swatch 24", [](GameUserData& r) { r.UnlockSwatch(24); }},
        {"minigame 3", [](GameUserData& r) { r.SetMiniGameBest(3, 9.0f); }},
        {"minigame launched -1", [](GameUserData& r) { r.SetMiniGameLaunched(-1); }},
        {"treatment 3", [](GameUserData& r) { r.SetTreatmentStock(3, 9); }},
        {"treatment added 3", [](GameUserData& r) { r.SetTreatmentStockAdded(3); }},
        {"Meditation sublevel 3", [](GameUserData& r) { r.AwardMeditationBonus(3); }},
        {"dress part 4", [](GameUserData& r) { r.SetVariant(static_cast<Part>(4), 1); }},
        {"dress part -1", [](GameUserData& r) { r.SetSwatchChoice(static_cast<Part>(-1), 1); }},
    };
    const TBytes fresh = GameUserData().ToBytes();
    for (const TCase& test : cases) {
        GameUserData record;
        test.change(record);
        EXPECT_EQ(record.ToBytes(), fresh) << test.what;
    }

    const GameUserData record;
    EXPECT_EQ(record.GetSublevelState(10, 0), 0);
    EXPECT_FALSE(record.IsSublevelPlayable(0, 5));
    EXPECT_EQ(record.GetBestScore(-1, 0), -1.0f);
    EXPECT_FALSE(record.IsUpgradeBought(45));
    EXPECT_FALSE(record.IsSwatchUnlocked(-1));
    EXPECT_EQ(record.GetColorData(static_cast<Part>(4)), nullptr);
    EXPECT_EQ(record.GetMiniGameBest(3), -1.0f);
}

TEST(GameUserDataTest, ATextureNameKeepsTwentyNineCharacters)
{
    struct TCase
    {
        const char* name;
        const char* kept;
    };
    const TCase cases[] = {{"", ""},
                           {"jade_dress3", "jade_dress3"},
                           {"abcdefghijklmnopqrstuvwxyz012", "abcdefghijklmnopqrstuvwxyz012"},
                           {"abcdefghijklmnopqrstuvwxyz0123456", "abcdefghijklmnopqrstuvwxyz012"}};
    for (const TCase& test : cases) {
        GameUserData record;
        record.GetColorData(Part::Detail)->SetTextureName(test.name);
        const TBytes bytes = record.ToBytes();
        const std::optional<GameUserData> read =
            GameUserData::FromBytes(bytes.data(), bytes.size());
        ASSERT_TRUE(read);
        EXPECT_EQ(read->GetColorData(Part::Detail)->GetTextureName(), TString(test.kept))
            << test.name;
        EXPECT_EQ(bytes[476 + 2 * 116 + 84 + 29], 0) << test.name; // always terminated
    }
}

} // namespace
