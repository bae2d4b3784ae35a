#pragma once

#include "engine/foundation/core/TString.h"
#include "engine/foundation/host/TGameStateHandler.h"

#include <cstdint>
#include <functional>
#include <memory>

class THostTransport;

// Platform services the host bridge uses; without them nothing happens, and the platform
// facade installs them when it starts. (Times come from TTimeSource.)
struct THostBridgeHooks
{
    // Entering (true) or leaving (false) the host pause: hide the game cursor and show
    // the system arrow, or put the game cursor back.
    std::function<void(bool paused)> pauseCursor;
    // Request 4 with "-pq=": let go of a mouse capture before pausing.
    std::function<void()> releaseMouseCapture;
};

// The bridge to a web-site host in MSN or Zylom mode. It watches game-state writes and
// turns some into host messages of the form Name("payload"); it turns host request codes
// 1-10 into jump-to-menu, sound off and on, pause and resume, new game and restart; it
// mutes the game while the host wants; and it keeps the play clock and the host-pause
// total that the engine timer subtracts.
//
// The bridge state is process-wide; the handler object only routes the store's calls to
// it. Only one handler is ever installed, whatever the switches. Main thread only.
class TMsnZylomHandler final : public TGameStateHandler
{
public:
    // "-msn" (pqSwitch: the "-pq=" host, which posts nothing): sets MSN mode and, unless
    // one already is, appends the handler to the game-state store. The transport replaces
    // any earlier one; it may be null (nothing is posted).
    static void InstallMsnHandler(std::unique_ptr<THostTransport> transport, bool pqSwitch);
    // "-zylom": the same in Zylom mode.
    static void InstallZylomHandler(std::unique_ptr<THostTransport> transport);

    static void SetHooks(THostBridgeHooks hooks);

    // Leaves both modes and resets every piece of bridge state (the handler, when still
    // in the store, then does nothing).
    static void Uninstall();

    static bool IsMsnHost();
    static bool IsZylomHost();

    // A host request (the code the host sent). Codes 0 and above 10 change nothing.
    static void HandleHostRequest(int code);

    static bool IsHostPausedFlag();
    // Milliseconds the host has held the game paused in total; the engine timer
    // subtracts it so the game continues as if no time had passed.
    static int GetHostPausedTime();

    static bool TakeJumpToMenuRequest();
    static bool TakeRestartRequest();
    // True once the play clock has passed the "-com_interval" seconds.
    static bool CommercialIntervalElapsed();

    ~TMsnZylomHandler() override;

    bool SetState(const char* key, const char* value) override;
    const char* GetState(const char* key, const char* value) override;
    bool QueryRestartMode() override;
    bool QueryJumpToMenu() override;
    bool QueryMuteGame() override;
    bool IsHostPaused() override;

private:
    TMsnZylomHandler() = default;
    static void Install(std::unique_ptr<THostTransport> transport);
};
