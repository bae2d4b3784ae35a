#pragma once

// The player profiles, their options and the shared high-score table, kept in the
// engine's preferences store "user:prefs.dat" (TPrefs). Every change is written to the
// file at once.
//
// Preference keys (player n is the store's user n; shared is user -1):
//   "name"         player n  string     the player's name
//   "firsttime"    player n  int 1/0    1 until MarkAsPlayed
//   "soundvolume"  player n  int        effects volume per mille (default 850)
//   "musicvolume"  player n  int        music volume per mille (default 850)
//   "userdata"     player n  1128 bytes the progress record (GameUserData)
//   "currentuser"  shared    string     the current player's name
//   "fullscreen"   shared    int        1 = full screen
//   "hs0".."hs4"   shared    20 bytes   the high scores in rank order (HighScoreEntry)
//
// Per-player values are read and written only for a current player that is in the
// store: with no current player, reads give the defaults and writes do nothing, so no
// nameless player is ever made. A stored block of another size than its record is never
// used: the size is asked first, then the block read.
//
// The progress record that LoadUserData and ClearUserData fill is the game object's,
// attached with AttachUserData (none: both do nothing). The Lua functions are published
// in the window script's state at construction (UserManagerBinding.cpp lists them).
// Main thread only.

#include "engine/foundation/core/TString.h"
#include "engine/script/TLifeline.h"
#include "game/core/data/HighScoreEntry.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

class TPrefs;
struct lua_State;

namespace YOLT::Core {

class GameUserData;

class UserManager
{
public:
    static constexpr int kHighScoreCount = 5;
    static constexpr int kDefaultVolume = 850;

    // The one manager, created on first use over "user:prefs.dat" with the cipher key of
    // the setting "encryptionkey"; Destroy deletes it (the last step of shutdown).
    static UserManager& Instance();
    static void Destroy();

    // Reads the players, the current player and the high scores from prefs, publishes the
    // Lua functions in the window script's state when there is one, and, when the sound
    // manager exists, sets the effects and music groups to the current player's volumes.
    explicit UserManager(std::unique_ptr<TPrefs> prefs);
    ~UserManager();
    UserManager(const UserManager&) = delete;
    UserManager& operator=(const UserManager&) = delete;

    // The record LoadUserData and ClearUserData fill (the game object's), or null. The
    // caller keeps it alive while it is attached.
    void AttachUserData(GameUserData* record) { mUserData = record; }
    // Called when another player's data takes over (a player inserted or changed), so
    // what was built from the old player's record is dropped.
    void SetPlayerChangedHandler(std::function<void()> handler);

    // ---- players ----
    int UserCount() const;
    // The player's name, "" when there is no such player.
    TString GetUserName(int index) const;
    TString GetCurrentUser() const { return mCurrentUser; }
    bool UserExists(TString name) const;
    // Adds a player with this name (a known name keeps its index) and makes it current.
    // An empty name is refused (logged).
    void InsertUser(TString name);
    // Removes the player; the later players move down one and player 0 becomes current.
    void DeleteUser(int index);
    // Makes the player current; an index without a player leaves no current player and
    // saves nothing.
    void ChangeUser(int index);
    void SaveCurrentUser();

    // ---- the progress record ----
    // The current player's stored record into the attached one; a missing record, or one
    // of another size (logged), resets it instead.
    void LoadUserData();
    // The attached record := a fresh one.
    void ClearUserData();
    // Stores record as the current player's "userdata". False when there is no current
    // player.
    bool SaveUserData(const GameUserData& record);

    // ---- options ----
    bool FirstTimePlayed() const;
    void MarkAsPlayed();
    // Stores whether the display is full screen now.
    void SaveWindowMode();
    bool IsFullscreenSaved() const;
    // Volumes from 0 to 1, stored per mille (truncated).
    void SaveVolumeLevels(float sound, float music);
    float GetSoundVolume() const;
    float GetMusicVolume() const;

    // ---- high scores ----
    // Enters score for the current player in place of the lowest entry it beats, keeps
    // the table sorted (highest first; equal scores keep their order) and stores it.
    void AddHighScore(float score);
    // The largest index whose score is below score, or -1.
    int FindHighScoreSlot(float score) const;
    void LoadHighScores();
    const std::vector<HighScoreEntry>& GetHighScores() const { return mHighScores; }

    // Publishes the Lua functions in L (UserManagerBinding.cpp).
    void PublishScriptFunctions(lua_State* L);

private:
    // The current player's index in the store, or -1 when there is none.
    int CurrentIndex() const;
    int GetPlayerInt(const char* key, int defaultValue) const;
    void SetPlayerInt(const char* key, int value);
    void PlayerChanged();
    void ApplyVolumes() const;

    TLifeline mLifeline;
    std::map<TString, uint16_t> mUserIndex;
    TString mCurrentUser;
    std::unique_ptr<TPrefs> mPrefs;
    std::vector<HighScoreEntry> mHighScores;
    GameUserData* mUserData = nullptr;
    std::function<void()> mPlayerChanged;
};

} // namespace YOLT::Core
