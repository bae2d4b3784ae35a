#pragma once

#include "engine/foundation/core/TString.h"

#include <map>
#include <memory>

class TGameStateHandler;

// The process-wide game-state store: string keys and string values through which the
// game, its scripts, the engine and outside parties (web-site hosts, plug-in modules)
// talk about the running game: command line, data folders, score, game mode, pause and
// mute requests, host requests.
//
// Special writes: a key "++name" increments the counter "name" (the value given is
// ignored); "mute" zeroes the master volume when the game becomes muted and restores it
// when it becomes unmuted, unless a handler took the write.
//
// The store exists from the first Get() after the platform facade has announced itself
// (SetFacadePresent) until Destroy(). Handlers may be added before it exists; they are
// owned by the store's handler list and deleted with it. Main thread only.
class TGameState
{
public:
    // The store; created here when it does not exist and the facade is present. Null
    // before the facade exists and after Destroy().
    static TGameState* Get();

    // Called by the platform facade: true once constructed, so Get() may create the store.
    static void SetFacadePresent(bool present);

    // Deletes the store and every handler, and forbids creation until the facade is
    // present again. Safe when nothing exists.
    static void Destroy();

    // Appends a handler; the list owns it. Works before the store exists.
    static void AddHandler(std::unique_ptr<TGameStateHandler> handler);

    void SetState(const TString& key, const TString& value);
    void SetState(const TString& key, int value);

    // The stored value (an absent key is inserted empty), as rewritten by each handler.
    TString GetState(const TString& key);

    // Any handler asks for silence, else the stored "mute" value is non-zero.
    bool QueryMuteGame();
    bool QueryRestartMode();
    bool QueryJumpToMenu();

    // Any handler reports the host holding the game paused. Works before the store exists.
    static bool AnyHandlerPaused();

    virtual ~TGameState();

private:
    TGameState() = default;
    void ApplyMute(bool wasMuted, const TString& value);
    bool OfferToHandlers(const TString& key, const TString& value);

    static TGameState* sInstance;
    static bool sFacadePresent;

    std::map<TString, TString> mValues;
    float mSavedVolume = 0.0f;
};
