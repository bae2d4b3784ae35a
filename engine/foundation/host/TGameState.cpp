#include "engine/foundation/host/TGameState.h"

#include "engine/foundation/host/TGameStateHandler.h"
#include "engine/foundation/seams/TMasterVolume.h"

#include <cstdlib>
#include <vector>

TGameState* TGameState::sInstance = nullptr;
bool TGameState::sFacadePresent = false;

namespace {

// The handler list outlives individual stores: handlers may arrive before the store.
std::vector<std::unique_ptr<TGameStateHandler>>& Handlers()
{
    static std::vector<std::unique_ptr<TGameStateHandler>> handlers;
    return handlers;
}

bool IsSet(const TString& value)
{
    return std::atoi(value.CStr()) != 0;
}

} // namespace

TGameState* TGameState::Get()
{
    if (sInstance == nullptr && sFacadePresent)
        sInstance = new TGameState();
    return sInstance;
}

void TGameState::SetFacadePresent(bool present)
{
    sFacadePresent = present;
}

void TGameState::Destroy()
{
    delete sInstance;
    sInstance = nullptr;
    sFacadePresent = false;
    // Handlers added while no store existed have no store to take them along.
    Handlers().clear();
}

TGameState::~TGameState()
{
    Handlers().clear();
}

void TGameState::AddHandler(std::unique_ptr<TGameStateHandler> handler)
{
    if (handler)
        Handlers().push_back(std::move(handler));
}

void TGameState::SetState(const TString& key, int value)
{
    SetState(key, TString::Printf("%d", value));
}

void TGameState::SetState(const TString& givenKey, const TString& givenValue)
{
    TString key = givenKey;
    TString value = givenValue;
    if (key.Length() >= 2 && key.CharAt(0) == '+' && key.CharAt(1) == '+') {
        key = key.Substr(2, -1);
        value = TString::Printf("%d", std::atoi(GetState(key).CStr()) + 1);
    }
    bool isMute = key == TString("mute");
    bool wasMuted = isMute && IsSet(mValues[key]);
    mValues[key] = value;
    if (OfferToHandlers(key, value))
        return;
    if (isMute)
        ApplyMute(wasMuted, value);
}

bool TGameState::OfferToHandlers(const TString& key, const TString& value)
{
    for (auto& handler : Handlers())
        if (handler->SetState(key.CStr(), value.CStr()))
            return true;
    return false;
}

void TGameState::ApplyMute(bool wasMuted, const TString& value)
{
    bool mute = IsSet(value);
    if (mute && !wasMuted) {
        mSavedVolume = TMasterVolume::Read();
        TMasterVolume::Write(0.0f);
    } else if (!mute && wasMuted) {
        TMasterVolume::Write(mSavedVolume);
        mSavedVolume = 0.0f;
    }
}

TString TGameState::GetState(const TString& key)
{
    TString value = mValues[key];
    for (auto& handler : Handlers()) {
        const char* rewritten = handler->GetState(key.CStr(), value.CStr());
        value = TString(rewritten);
    }
    return value;
}

bool TGameState::QueryMuteGame()
{
    for (auto& handler : Handlers())
        if (handler->QueryMuteGame())
            return true;
    return IsSet(GetState("mute"));
}

bool TGameState::QueryRestartMode()
{
    for (auto& handler : Handlers())
        if (handler->QueryRestartMode())
            return true;
    return false;
}

bool TGameState::QueryJumpToMenu()
{
    for (auto& handler : Handlers())
        if (handler->QueryJumpToMenu())
            return true;
    return false;
}

bool TGameState::AnyHandlerPaused()
{
    for (auto& handler : Handlers())
        if (handler->IsHostPaused())
            return true;
    return false;
}
