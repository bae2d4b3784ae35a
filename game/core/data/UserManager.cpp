#include "game/core/data/UserManager.h"

#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/prefs/TPrefs.h"
#include "engine/sound/TSoundManager.h"
#include "game/core/data/GameUserData.h"
#include "game/core/script/WindowScript.h"
#include "game/core/sound/SoundTypeMap.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace YOLT::Core {

namespace {

constexpr int kShared = -1;
constexpr const char* kName = "name";
constexpr const char* kFirstTime = "firsttime";
constexpr const char* kSoundVolume = "soundvolume";
constexpr const char* kMusicVolume = "musicvolume";
constexpr const char* kUserData = "userdata";
constexpr const char* kCurrentUser = "currentuser";
constexpr const char* kFullscreen = "fullscreen";
constexpr const char* kHighScorePrefix = "hs";

std::unique_ptr<UserManager>& TheInstance()
{
    static std::unique_ptr<UserManager> instance;
    return instance;
}

TString HighScoreKey(int rank)
{
    return TString::Printf("%s%d", kHighScorePrefix, rank);
}

// The block stored under key for user, when it has exactly size bytes. The size is asked
// first, so a shorter block is never copied in part; a block of another size is logged.
std::optional<std::vector<uint8_t>> ReadBlock(const TPrefs& prefs, const TString& key, int user,
                                              size_t size)
{
    const int stored = prefs.GetBinary(key, nullptr, 0, user);
    if (stored < 0)
        return std::nullopt;
    if (static_cast<size_t>(stored) != size) {
        TraceLog("ERROR: players: \"%s\" of user %d holds %d bytes, not %zu; not used", key.CStr(),
                 user, stored, size);
        return std::nullopt;
    }
    std::vector<uint8_t> bytes(size);
    if (prefs.GetBinary(key, bytes.data(), static_cast<int>(size), user) != 0)
        return std::nullopt;
    return bytes;
}

// A volume from 0 to 1 as the stored per-mille value.
int PerMille(float volume)
{
    return static_cast<int>(std::trunc(volume * 1000.0f));
}

} // namespace

UserManager& UserManager::Instance()
{
    std::unique_ptr<UserManager>& instance = TheInstance();
    if (instance == nullptr)
        instance = std::make_unique<UserManager>(std::make_unique<TPrefs>(true));
    return *instance;
}

void UserManager::Destroy()
{
    TheInstance().reset();
}

UserManager::UserManager(std::unique_ptr<TPrefs> prefs) : mPrefs(std::move(prefs))
{
    PublishScriptFunctions(WindowScript::GetState());
    const int count = mPrefs->GetUserCount();
    for (int n = 0; n < count; ++n)
        mUserIndex.emplace(mPrefs->GetString(kName, "", n), static_cast<uint16_t>(n));
    mCurrentUser = mPrefs->GetString(kCurrentUser, "", kShared);
    LoadHighScores();
    ApplyVolumes();
}

UserManager::~UserManager() = default;

void UserManager::SetPlayerChangedHandler(std::function<void()> handler)
{
    mPlayerChanged = std::move(handler);
}

int UserManager::UserCount() const
{
    return mPrefs->GetUserCount();
}

TString UserManager::GetUserName(int index) const
{
    if (index < 0)
        return TString();
    return mPrefs->GetString(kName, "", index);
}

bool UserManager::UserExists(TString name) const
{
    return mUserIndex.count(name) != 0;
}

void UserManager::InsertUser(TString name)
{
    if (name.Length() == 0) {
        TraceLog("ERROR: players: a player needs a name; none inserted");
        return;
    }
    const int n = UserCount();
    mUserIndex.emplace(name, static_cast<uint16_t>(n));
    mCurrentUser = name;
    mPrefs->SetString(kName, name, n, true);
    mPrefs->SetInt(kFirstTime, 1, n, true);
    PlayerChanged();
    SaveCurrentUser();
}

void UserManager::DeleteUser(int index)
{
    const TString name = GetUserName(index);
    if (mPrefs->DeleteUser(index)) {
        if (UserCount() == 0)
            mUserIndex.clear();
        for (auto& entry : mUserIndex)
            if (entry.second > index)
                --entry.second;
        std::erase_if(mUserIndex, [&](const auto& entry) { return entry.first == name; });
    }
    mCurrentUser = GetUserName(0);
    SaveCurrentUser();
}

void UserManager::ChangeUser(int index)
{
    mCurrentUser = GetUserName(index);
    if (mCurrentUser.Length() == 0)
        return;
    PlayerChanged();
    SaveCurrentUser();
}

void UserManager::SaveCurrentUser()
{
    mPrefs->SetString(kCurrentUser, mCurrentUser, kShared, true);
}

void UserManager::LoadUserData()
{
    if (mUserData == nullptr)
        return;
    const int user = CurrentIndex();
    std::optional<std::vector<uint8_t>> bytes;
    if (user >= 0)
        bytes = ReadBlock(*mPrefs, kUserData, user, GameUserData::kRecordSize);
    std::optional<GameUserData> record;
    if (bytes)
        record = GameUserData::FromBytes(bytes->data(), bytes->size());
    if (!record) {
        ClearUserData();
        return;
    }
    *mUserData = *record;
}

void UserManager::ClearUserData()
{
    if (mUserData != nullptr)
        *mUserData = GameUserData();
}

bool UserManager::SaveUserData(const GameUserData& record)
{
    const int user = CurrentIndex();
    if (user < 0)
        return false;
    const std::vector<uint8_t> bytes = record.ToBytes();
    return mPrefs->SetBinary(kUserData, bytes.data(), static_cast<int>(bytes.size()), user, true);
}

bool UserManager::FirstTimePlayed() const
{
    return GetPlayerInt(kFirstTime, 0) == 1;
}

void UserManager::MarkAsPlayed()
{
    SetPlayerInt(kFirstTime, 0);
}

void UserManager::SaveWindowMode()
{
    TPlatform* platform = TPlatform::GetInstance();
    const bool fullScreen = platform != nullptr && platform->IsFullScreen();
    mPrefs->SetInt(kFullscreen, fullScreen ? 1 : 0, kShared, true);
}

bool UserManager::IsFullscreenSaved() const
{
    return mPrefs->GetInt(kFullscreen, 0, kShared) == 1;
}

void UserManager::SaveVolumeLevels(float sound, float music)
{
    SetPlayerInt(kSoundVolume, PerMille(sound));
    SetPlayerInt(kMusicVolume, PerMille(music));
}

float UserManager::GetSoundVolume() const
{
    return static_cast<float>(GetPlayerInt(kSoundVolume, kDefaultVolume)) / 1000.0f;
}

float UserManager::GetMusicVolume() const
{
    return static_cast<float>(GetPlayerInt(kMusicVolume, kDefaultVolume)) / 1000.0f;
}

int UserManager::FindHighScoreSlot(float score) const
{
    for (int rank = static_cast<int>(mHighScores.size()) - 1; rank >= 0; --rank)
        if (mHighScores[rank].GetScore() < score)
            return rank;
    return -1;
}

void UserManager::AddHighScore(float score)
{
    const int slot = FindHighScoreSlot(score);
    if (slot < 0)
        return;
    mHighScores[slot] = HighScoreEntry(mCurrentUser, score);
    std::stable_sort(mHighScores.begin(), mHighScores.end(),
                     [](const HighScoreEntry& a, const HighScoreEntry& b) {
                         return a.GetScore() > b.GetScore();
                     });
    for (int rank = 0; rank < static_cast<int>(mHighScores.size()); ++rank) {
        const auto bytes = mHighScores[rank].ToBytes();
        mPrefs->SetBinary(HighScoreKey(rank), bytes.data(), static_cast<int>(bytes.size()), kShared,
                          true);
    }
}

void UserManager::LoadHighScores()
{
    mHighScores.clear();
    for (int rank = 0; rank < kHighScoreCount; ++rank) {
        std::optional<HighScoreEntry> entry;
        if (auto bytes = ReadBlock(*mPrefs, HighScoreKey(rank), kShared, HighScoreEntry::kSize))
            entry = HighScoreEntry::FromBytes(bytes->data(), bytes->size());
        mHighScores.push_back(entry.value_or(HighScoreEntry()));
    }
}

int UserManager::CurrentIndex() const
{
    if (mCurrentUser.Length() == 0)
        return -1;
    const auto found = mUserIndex.find(mCurrentUser);
    return found == mUserIndex.end() ? -1 : found->second;
}

int UserManager::GetPlayerInt(const char* key, int defaultValue) const
{
    const int user = CurrentIndex();
    return user < 0 ? defaultValue : mPrefs->GetInt(key, defaultValue, user);
}

void UserManager::SetPlayerInt(const char* key, int value)
{
    const int user = CurrentIndex();
    if (user >= 0)
        mPrefs->SetInt(key, value, user, true);
}

void UserManager::PlayerChanged()
{
    if (mPlayerChanged)
        mPlayerChanged();
}

void UserManager::ApplyVolumes() const
{
    TSoundManager* sound = TSoundManager::Get();
    if (sound == nullptr)
        return;
    const SoundTypeMap& types = SoundTypeMap::Instance();
    sound->SetGroupVolume(types.GetGroup("sfx_type"), GetSoundVolume());
    sound->SetGroupVolume(types.GetGroup("music_type"), GetMusicVolume());
}

} // namespace YOLT::Core
