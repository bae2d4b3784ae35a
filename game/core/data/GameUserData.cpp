#include "game/core/data/GameUserData.h"

#include "engine/foundation/core/DebugLog.h"
#include "game/core/data/RecordReader.h"
#include "game/core/data/RecordWriter.h"
#include "game/core/data/UserManager.h"

#include <algorithm>

namespace YOLT::Core {

namespace {

// Whether index lies in a table of count entries; logs the refusal otherwise.
bool InTable(int index, int count, const char* table, const char* operation)
{
    if (index >= 0 && index < count)
        return true;
    TraceLog("ERROR: userdata: %s: %s index %d is outside 0..%d, ignored", operation, table, index,
             count - 1);
    return false;
}

// table[index], or fallback (logged) for an index outside the table.
template <class T, size_t N>
T Read(const std::array<T, N>& table, int index, T fallback, const char* name,
       const char* operation)
{
    return InTable(index, static_cast<int>(N), name, operation) ? table[index] : fallback;
}

// table[index] := value; nothing (logged) for an index outside the table.
template <class T, size_t N, class V>
void Write(std::array<T, N>& table, int index, V value, const char* name, const char* operation)
{
    if (InTable(index, static_cast<int>(N), name, operation))
        table[index] = static_cast<T>(value);
}

} // namespace

GameUserData::GameUserData()
{
    mBestScores.fill(-1.0f);
    mMiniGameBest.fill(-1.0f);
    mSublevelStates[0] = kPlayable;
}

std::vector<uint8_t> GameUserData::ToBytes() const
{
    RecordWriter writer(kRecordSize);
    Transfer(*this, writer);
    return writer.Take();
}

std::optional<GameUserData> GameUserData::FromBytes(const uint8_t* bytes, size_t size)
{
    if (bytes == nullptr || size != kRecordSize)
        return std::nullopt;
    GameUserData record;
    RecordReader reader(bytes, size);
    Transfer(record, reader);
    return record;
}

void GameUserData::Save() const
{
    UserManager::Instance().SaveUserData(*this);
}

int GameUserData::SublevelIndex(int level, int sublevel, const char* operation)
{
    if (!InTable(level, kLevelCount, "level", operation) ||
        !InTable(sublevel, kSublevelCount, "sublevel", operation))
        return -1;
    return level * kSublevelCount + sublevel;
}

void GameUserData::OnNotifyNewSublevelReached(int level, int sublevel)
{
    if (SublevelIndex(level, sublevel, "OnNotifyNewSublevelReached") < 0)
        return;
    if (level > mHighestLevel) {
        mHighestLevel = level;
        mHighestSublevel = sublevel;
    } else if (level == mHighestLevel && sublevel > mHighestSublevel) {
        mHighestSublevel = sublevel;
    }
}

int GameUserData::GetSublevelState(int level, int sublevel) const
{
    const int index = SublevelIndex(level, sublevel, "GetSublevelState");
    return index < 0 ? int(kLocked) : mSublevelStates[index];
}

void GameUserData::SetSublevelState(int level, int sublevel, int state)
{
    const int index = SublevelIndex(level, sublevel, "SetSublevelState");
    if (index >= 0)
        mSublevelStates[index] = state;
}

bool GameUserData::IsSublevelPlayable(int level, int sublevel) const
{
    return GetSublevelState(level, sublevel) > kLocked;
}

float GameUserData::GetBestScore(int level, int sublevel) const
{
    const int index = SublevelIndex(level, sublevel, "GetBestScore");
    return index < 0 ? -1.0f : mBestScores[index];
}

void GameUserData::SetBestScore(int level, int sublevel, float score)
{
    const int index = SublevelIndex(level, sublevel, "SetBestScore");
    if (index >= 0)
        mBestScores[index] = score;
}

bool GameUserData::IsMiniGameLaunched(int miniGame) const
{
    return Read(mMiniGameLaunched, miniGame, 0, "minigame", "IsMiniGameLaunched") != 0;
}

void GameUserData::SetMiniGameLaunched(int miniGame)
{
    Write(mMiniGameLaunched, miniGame, 1, "minigame", "SetMiniGameLaunched");
}

float GameUserData::GetMiniGameBest(int miniGame) const
{
    return Read(mMiniGameBest, miniGame, -1.0f, "minigame", "GetMiniGameBest");
}

void GameUserData::SetMiniGameBest(int miniGame, float result)
{
    Write(mMiniGameBest, miniGame, result, "minigame", "SetMiniGameBest");
}

int GameUserData::GetTreatmentStock(int treatment) const
{
    return Read(mTreatmentStock, treatment, 0, "treatment", "GetTreatmentStock");
}

void GameUserData::SetTreatmentStock(int treatment, int stock)
{
    Write(mTreatmentStock, treatment, stock, "treatment", "SetTreatmentStock");
}

bool GameUserData::IsTreatmentStockAdded(int treatment) const
{
    return Read(mTreatmentStockAdded, treatment, 0, "treatment", "IsTreatmentStockAdded") != 0;
}

void GameUserData::SetTreatmentStockAdded(int treatment)
{
    Write(mTreatmentStockAdded, treatment, 1, "treatment", "SetTreatmentStockAdded");
}

bool GameUserData::IsMeditationBonusGiven(int sublevel) const
{
    return Read(mMeditationBonusGiven, sublevel, uint8_t(0), "Meditation sublevel",
                "IsMeditationBonusGiven") != 0;
}

void GameUserData::AwardMeditationBonus(int sublevel)
{
    if (!InTable(sublevel, kMeditationSublevelCount, "Meditation sublevel", "AwardMeditationBonus"))
        return;
    for (int passed = 0; passed <= sublevel; ++passed) {
        if (mMeditationBonusGiven[passed] != 0)
            continue;
        mMeditationBonus = static_cast<uint16_t>(mMeditationBonus + kMeditationBonusStep);
        mMeditationBonusGiven[passed] = 1;
    }
}

CustomColorData* GameUserData::GetColorData(DressPart part)
{
    const int index = static_cast<int>(part);
    return InTable(index, kDressPartCount, "dress part", "GetColorData") ? &mColors[index]
                                                                         : nullptr;
}

const CustomColorData* GameUserData::GetColorData(DressPart part) const
{
    return const_cast<GameUserData*>(this)->GetColorData(part);
}

bool GameUserData::IsSwatchUnlocked(int index) const
{
    return Read(mSwatchUnlocked, index, uint16_t(0), "swatch", "IsSwatchUnlocked") != 0;
}

void GameUserData::UnlockSwatch(int index)
{
    Write(mSwatchUnlocked, index, 1, "swatch", "UnlockSwatch");
}

int GameUserData::GetDressDetail(DressPart part) const
{
    return Read(mDressDetail, static_cast<int>(part), uint16_t(0), "dress part", "GetDressDetail");
}

void GameUserData::RaiseDressDetail(uint16_t value)
{
    uint16_t& detail = mDressDetail[static_cast<int>(DressPart::Detail)];
    detail = std::max(detail, value);
}

int GameUserData::GetVariant(DressPart part) const
{
    return Read(mVariant, static_cast<int>(part), uint16_t(0), "dress part", "GetVariant");
}

void GameUserData::SetVariant(DressPart part, uint16_t variant)
{
    Write(mVariant, static_cast<int>(part), variant, "dress part", "SetVariant");
}

int GameUserData::GetSwatchChoice(DressPart part) const
{
    return Read(mSwatchChoice, static_cast<int>(part), uint16_t(0), "dress part",
                "GetSwatchChoice");
}

void GameUserData::SetSwatchChoice(DressPart part, uint16_t swatch)
{
    Write(mSwatchChoice, static_cast<int>(part), swatch, "dress part", "SetSwatchChoice");
}

bool GameUserData::IsUpgradeBought(int number) const
{
    return Read(mUpgradeBought, number, uint16_t(0), "upgrade", "IsUpgradeBought") != 0;
}

void GameUserData::SetUpgradeBought(int number, bool bought)
{
    Write(mUpgradeBought, number, bought ? 1 : 0, "upgrade", "SetUpgradeBought");
}

void GameUserData::UpdateSeenProgress()
{
    const auto below = [](int32_t shown, int32_t highest) {
        return static_cast<uint32_t>(shown) < static_cast<uint32_t>(highest);
    };
    if (below(mShownLevel, mHighestLevel) || below(mShownSublevel, mHighestSublevel)) {
        mShownLevel = mHighestLevel;
        mShownSublevel = mHighestSublevel;
        mNewProgress = 1;
    } else if (mHighestLevel != 0 || mHighestSublevel != 0) {
        mNewProgress = 0;
    }
}

} // namespace YOLT::Core
