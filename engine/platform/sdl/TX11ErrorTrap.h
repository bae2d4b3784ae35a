#pragma once

#include <atomic>

struct _XDisplay; // Xlib's Display, kept out of this header

// Keeps X errors from ending the process behind the engine's back. Xlib's own handlers
// print the error and call exit(), which runs the static destructors while the engine's
// threads (the cursor thread, the sound service thread, the audio callback) still run
// and use them. While a trap exists:
// - a protocol error about a window that is already gone (a request that crossed the
//   window's destruction, such as SDL's wake-up message to a window being closed) is
//   logged and otherwise ignored;
// - any other protocol error, and the loss of a watched connection, are logged and set
//   the failure flag; the event source then reports a quit, the game shuts down in
//   order and EngineMain ends the process with exit code 1.
// One trap at a time; the handlers are process-wide. Xlib calls them on whichever
// thread meets the error.
class TX11ErrorTrap
{
public:
    // Installs the handlers. failed is set on a fatal error, connectionLost (and failed)
    // when a watched connection is lost; both outlive the trap.
    TX11ErrorTrap(std::atomic<bool>& failed, std::atomic<bool>& connectionLost);
    // Puts Xlib's default handlers back.
    ~TX11ErrorTrap();
    TX11ErrorTrap(const TX11ErrorTrap&) = delete;
    TX11ErrorTrap& operator=(const TX11ErrorTrap&) = delete;

    // Keeps the process alive when this connection is lost: Xlib then marks it unusable
    // and its calls return at once, and the engine shuts down on its own. After that
    // nothing may wait on the connection for an event (SDL's showing and hiding of a
    // window do), for none will come. A connection not watched still ends the process
    // when it is lost.
    void Watch(_XDisplay* display);

private:
    struct THandlers; // Xlib's callbacks, in the source file

    std::atomic<bool>& mFailed;
    std::atomic<bool>& mConnectionLost;
};
