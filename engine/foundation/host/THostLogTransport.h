#pragma once

#include "engine/foundation/host/THostTransport.h"

// The host transport used on systems without a web-site host window: every message goes
// to the debug log, and the transport answers for the absent host so the game never
// waits for it: "SessionReady" is answered with a new-game request (7), every other
// message that left the game paused with a resume request (5).
class THostLogTransport final : public THostTransport
{
public:
    void PostPiece(uint32_t low, uint32_t high) override;
    void MessageDone(const char* text, bool hostPaused) override;

    static constexpr int kNewGameRequest = 7;
    static constexpr int kResumeRequest = 5;
};
