#pragma once

// A party that watches the game-state store: every write is offered to the handlers in
// the order they were added until one takes it, and every read may be rewritten by each
// handler in turn. Web-site host bridges and plug-in modules are handlers.
// All calls come from the main thread. Strings are C strings; a returned string must stay
// valid until the next call on any handler, so callers copy it at once.
class TGameStateHandler
{
public:
    virtual ~TGameStateHandler() = default;

    // A write of key = value. True takes it: later handlers and the store's own "mute"
    // rule do not see it (the store keeps the value either way).
    virtual bool SetState(const char* key, const char* value) = 0;

    // The value to report for key, given the value so far. The base reports it unchanged.
    virtual const char* GetState(const char* key, const char* value)
    {
        (void)key;
        return value;
    }

    // Requests the game polls; the base never asks for anything.
    virtual bool QueryRestartMode() { return false; }
    virtual bool QueryJumpToMenu() { return false; }
    virtual bool QueryMuteGame() { return false; }

    // True while the host holds the game paused (the event pump then only pumps messages).
    virtual bool IsHostPaused() { return false; }
};
