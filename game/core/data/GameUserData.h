#pragma once

// One player's progress: how far the player has come through the 10 levels of 5
// sublevels, best scores and states, money and earnings, minigame results and stocks,
// the heroine's customised colours and dress choices, the bought upgrades and the
// markers of the level selector.
//
// The record is stored as one block of 1128 bytes under the player's preference
// "userdata" (UserManager), so its byte layout is a file format. It is written and read
// field by field, little-endian; padding is written as 0 and never read.
//
//   offset  content                                                    initial
//        0  int32    tip index of the last failed day                      -1
//        4  int32    highest level reached                                  0
//        8  int32    highest sublevel reached in that level                 0
//       12  float32  reserved: kept and saved, never used                   0
//       16  float32  total earnings (the high-score value)                  0
//       20  float32  money for purchases                                    0
//       24  int32    incense stock                                          0
//       28  float32[10][5]  best score per sublevel, level-major           -1
//      228  int32[10][5]    sublevel state (SublevelState)    0, [0][0] = 1
//      428  int32[3]   minigame launched from the selector                  0
//      440  float32[3] minigame best result                                -1
//      452  int32[3]   enhanced treatment stock per treatment type          0
//      464  int32[3]   treatment stock added by the Mixer                   0
//      476  CustomColorData[4], 116 bytes each: legs, dress, detail, shoes
//      940  uint16[24] colour swatch unlocked, six per dress part           0
//      988  uint16[4]  highest dress-detail variant per part                0
//      996  uint16[4]  chosen variant per part                              0
//     1004  uint16[4]  chosen colour swatch per part                        0
//     1012  uint16[45] upgrade bought, by registration number               0
//     1102  uint16     Meditation bonus                                     0
//     1104  uint8[3]   Meditation bonus given, per Meditation sublevel      0
//     1107  1 byte padding
//     1108  int32    new customization unlocked                             0
//     1112  int32    highest level the selector has shown                   0
//     1116  int32    highest sublevel the selector has shown                0
//     1120  uint8    new-progress flag                                      1
//     1121  3 bytes padding
//     1124  int32    level newly unlocked by the last passed day (0: none)  0
//
// Indexes come from data (catalogue positions, scripts): every indexed accessor checks
// its index against the table, ignores one outside it (reads give the initial value)
// and logs the refusal. Main thread only.

#include "engine/foundation/core/TString.h"
#include "game/core/data/CustomColorData.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace YOLT::Core {

class UserManager;

class GameUserData
{
public:
    static constexpr int kLevelCount = 10;
    static constexpr int kSublevelCount = 5;
    static constexpr int kMiniGameCount = 3;
    static constexpr int kTreatmentCount = 3;
    static constexpr int kDressPartCount = 4;
    static constexpr int kSwatchesPerPart = 6;
    static constexpr int kUpgradeCount = 45;
    static constexpr int kMeditationSublevelCount = 3;
    static constexpr int kMeditationBonusStep = 20;
    static constexpr size_t kRecordSize = 1128;

    // The dress parts, in record order.
    enum class DressPart
    {
        Legs,
        Dress,
        Detail,
        Shoes
    };

    enum SublevelState : int32_t
    {
        kLocked = 0,
        kPlayable = 1,
        kPassed = 2,
        kPassedExpert = 3
    };

    // The initial values of the table above.
    GameUserData();

    // The 1128 bytes of the layout above.
    std::vector<uint8_t> ToBytes() const;
    // The record stored in bytes; nothing unless size is exactly kRecordSize.
    static std::optional<GameUserData> FromBytes(const uint8_t* bytes, size_t size);

    // Stores the record as the current player's "userdata" of the one UserManager and
    // writes the preferences file.
    void Save() const;

    bool operator==(const GameUserData& other) const = default;

    // ---- progress through the levels ----
    int GetHighestLevel() const { return mHighestLevel; }
    int GetHighestSublevel() const { return mHighestSublevel; }
    // Raises the highest level and sublevel reached to (level, sublevel) when it lies
    // beyond them.
    void OnNotifyNewSublevelReached(int level, int sublevel);
    int GetSublevelState(int level, int sublevel) const;
    void SetSublevelState(int level, int sublevel, int state);
    bool IsSublevelPlayable(int level, int sublevel) const;
    // -1 when the sublevel was never finished.
    float GetBestScore(int level, int sublevel) const;
    void SetBestScore(int level, int sublevel, float score);

    int GetTipIndex() const { return mTipIndex; }
    void SetTipIndex(int index) { mTipIndex = index; }

    // ---- money ----
    float GetEarnings() const { return mEarnings; }
    void SetEarnings(float earnings) { mEarnings = earnings; }
    float GetMoney() const { return mMoney; }
    void SetMoney(float money) { mMoney = money; }

    // ---- minigames and their rewards ----
    bool IsMiniGameLaunched(int miniGame) const;
    void SetMiniGameLaunched(int miniGame);
    // -1 when there is none.
    float GetMiniGameBest(int miniGame) const;
    void SetMiniGameBest(int miniGame, float result);
    int GetIncenseStock() const { return mIncenseStock; }
    void SetIncenseStock(int stock) { mIncenseStock = stock; }
    int GetTreatmentStock(int treatment) const;
    void SetTreatmentStock(int treatment, int stock);
    bool IsTreatmentStockAdded(int treatment) const;
    void SetTreatmentStockAdded(int treatment);
    int GetMeditationBonus() const { return mMeditationBonus; }
    bool IsMeditationBonusGiven(int sublevel) const;
    // Gives the bonus step for every Meditation sublevel from 0 up to and including
    // sublevel that has not had it yet.
    void AwardMeditationBonus(int sublevel);

    // ---- the heroine's customization ----
    // Null for a part outside the record.
    CustomColorData* GetColorData(DressPart part);
    const CustomColorData* GetColorData(DressPart part) const;
    // Flat index part x 6 + swatch.
    bool IsSwatchUnlocked(int index) const;
    void UnlockSwatch(int index);
    int GetDressDetail(DressPart part) const;
    // The detail part's highest dress-detail variant becomes value when that is larger.
    void RaiseDressDetail(uint16_t value);
    int GetVariant(DressPart part) const;
    void SetVariant(DressPart part, uint16_t variant);
    int GetSwatchChoice(DressPart part) const;
    void SetSwatchChoice(DressPart part, uint16_t swatch);
    bool HasNewCustomization() const { return mNewCustomization != 0; }
    void SetNewCustomization(bool unlocked) { mNewCustomization = unlocked ? 1 : 0; }

    // ---- upgrades, by registration number ----
    bool IsUpgradeBought(int number) const;
    void SetUpgradeBought(int number, bool bought);

    // ---- the level selector's markers ----
    // Called when the selector shows the map: progress beyond what it showed last sets
    // the new-progress flag and becomes the shown progress; otherwise the flag is
    // cleared once any progress exists.
    void UpdateSeenProgress();
    bool IsNewProgress() const { return mNewProgress != 0; }
    int GetNewLevel() const { return mNewLevel; }
    void SetNewLevel(int level) { mNewLevel = level; }

private:
    // The layout above, walked by a RecordWriter or RecordReader.
    template <class TSelf, class TIo> static void Transfer(TSelf& self, TIo& io);
    static int SublevelIndex(int level, int sublevel, const char* operation);

    int32_t mTipIndex = -1;
    int32_t mHighestLevel = 0;
    int32_t mHighestSublevel = 0;
    float mReserved = 0.0f;
    float mEarnings = 0.0f;
    float mMoney = 0.0f;
    int32_t mIncenseStock = 0;
    std::array<float, kLevelCount * kSublevelCount> mBestScores;
    std::array<int32_t, kLevelCount * kSublevelCount> mSublevelStates{};
    std::array<int32_t, kMiniGameCount> mMiniGameLaunched{};
    std::array<float, kMiniGameCount> mMiniGameBest;
    std::array<int32_t, kTreatmentCount> mTreatmentStock{};
    std::array<int32_t, kTreatmentCount> mTreatmentStockAdded{};
    std::array<CustomColorData, kDressPartCount> mColors;
    std::array<uint16_t, kDressPartCount * kSwatchesPerPart> mSwatchUnlocked{};
    std::array<uint16_t, kDressPartCount> mDressDetail{};
    std::array<uint16_t, kDressPartCount> mVariant{};
    std::array<uint16_t, kDressPartCount> mSwatchChoice{};
    std::array<uint16_t, kUpgradeCount> mUpgradeBought{};
    uint16_t mMeditationBonus = 0;
    std::array<uint8_t, kMeditationSublevelCount> mMeditationBonusGiven{};
    int32_t mNewCustomization = 0;
    int32_t mShownLevel = 0;
    int32_t mShownSublevel = 0;
    uint8_t mNewProgress = 1;
    int32_t mNewLevel = 0;
};

template <class TSelf, class TIo> void GameUserData::Transfer(TSelf& self, TIo& io)
{
    io.Field(self.mTipIndex);
    io.Field(self.mHighestLevel);
    io.Field(self.mHighestSublevel);
    io.Field(self.mReserved);
    io.Field(self.mEarnings);
    io.Field(self.mMoney);
    io.Field(self.mIncenseStock);
    io.Field(self.mBestScores);
    io.Field(self.mSublevelStates);
    io.Field(self.mMiniGameLaunched);
    io.Field(self.mMiniGameBest);
    io.Field(self.mTreatmentStock);
    io.Field(self.mTreatmentStockAdded);
    for (auto& colors : self.mColors)
        CustomColorData::Transfer(colors, io);
    io.Field(self.mSwatchUnlocked);
    io.Field(self.mDressDetail);
    io.Field(self.mVariant);
    io.Field(self.mSwatchChoice);
    io.Field(self.mUpgradeBought);
    io.Field(self.mMeditationBonus);
    io.Field(self.mMeditationBonusGiven);
    io.Padding(1);
    io.Field(self.mNewCustomization);
    io.Field(self.mShownLevel);
    io.Field(self.mShownSublevel);
    io.Field(self.mNewProgress);
    io.Padding(3);
    io.Field(self.mNewLevel);
}

} // namespace YOLT::Core
