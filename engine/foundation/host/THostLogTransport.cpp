#include "engine/foundation/host/THostLogTransport.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/host/TMsnZylomHandler.h"

#include <cstring>

void THostLogTransport::PostPiece(uint32_t, uint32_t)
{
    // The whole text is logged once it is complete (MessageDone).
}

void THostLogTransport::MessageDone(const char* text, bool hostPaused)
{
    TraceLog("host: no host window; message %s", text);
    if (!hostPaused)
        return;
    bool sessionStart = std::strncmp(text, "SessionReady(", 13) == 0;
    int answer = sessionStart ? kNewGameRequest : kResumeRequest;
    TraceLog("host: answering for the absent host with request %d", answer);
    TMsnZylomHandler::HandleHostRequest(answer);
}
