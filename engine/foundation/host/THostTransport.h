#pragma once

#include <cstdint>

// How the host bridge reaches a web-site host. A host message travels as a run of 8-byte
// pieces (bytes 0-3 as a little-endian word, bytes 4-7 as a second one); the last piece
// holds the text's NUL, and the host reads up to it. Host requests come back through
// TMsnZylomHandler::HandleHostRequest. All calls come from the main thread.
class THostTransport
{
public:
    virtual ~THostTransport() = default;

    // One 8-byte piece of the message being sent. Failure is silent (the host is gone).
    virtual void PostPiece(uint32_t low, uint32_t high) = 0;

    // A whole message has gone out and the bridge has settled; hostPaused says whether
    // the game now waits for the host to resume it. The text is the whole message.
    virtual void MessageDone(const char* text, bool hostPaused)
    {
        (void)text;
        (void)hostPaused;
    }
};
