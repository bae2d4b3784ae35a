#pragma once

#include "engine/foundation/core/TString.h"
#include "engine/foundation/host/TGameStateHandler.h"

#include <memory>

class TSharedLibrary;

// A game-state handler living in a plug-in module. The module exports
//     extern "C" TGameStateHandler* CreateHandler();
//     extern "C" void DestroyHandler(TGameStateHandler*);
// and its handler object implements TGameStateHandler (built by the same compiler).
// Every handler call is forwarded to it; without one the base answers are given.
class TDllGameState final : public TGameStateHandler
{
public:
    TDllGameState();
    // Hands the module's handler to "DestroyHandler", then unloads the module.
    ~TDllGameState() override;

    // Resolves name through the virtual file system (it must exist), loads the module and
    // asks it for its handler. False, with a log line, when any step fails; the caller
    // then deletes this object, which unloads the module.
    bool Load(const TString& name);

    bool SetState(const char* key, const char* value) override;
    const char* GetState(const char* key, const char* value) override;
    bool QueryRestartMode() override;
    bool QueryJumpToMenu() override;
    bool QueryMuteGame() override;
    bool IsHostPaused() override;

    using TCreateHandler = TGameStateHandler* (*)();
    using TDestroyHandler = void (*)(TGameStateHandler*);

private:
    std::unique_ptr<TSharedLibrary> mLibrary;
    TCreateHandler mCreate = nullptr;
    TDestroyHandler mDestroy = nullptr;
    TGameStateHandler* mHandler = nullptr;
};
