#pragma once

// A movie played over the whole game window, started by window scripts (StartMovie,
// IsMoviePlaying, StopMovie) and stopped early by a close request (TWindowScript::EndMovie).
//
// NOTE: this is a stand-in. No movie player exists on this platform, so Start refuses every
// movie with a log line and nothing is ever played: the window manager is never suspended
// and the mouse never blocked for a movie. Callers take their still-image path instead
// (DisplaySplash shows its image). A player that offers these members and can draw over
// the game window may take its place without changing the callers.
//
// Main thread only.

#include "engine/foundation/core/TString.h"

class TFlashMovie
{
public:
    // Start's log line (the file name).
    static constexpr const char* kNoPlayerLog =
        "ui: movie '%s' not played: no movie player on this platform";

    // fileName: the movie file as scripts name it (looked up under "assets/" first).
    explicit TFlashMovie(const TString& fileName);
    // Stops the movie first.
    ~TFlashMovie();
    TFlashMovie(const TFlashMovie&) = delete;
    TFlashMovie& operator=(const TFlashMovie&) = delete;

    // Shows the movie over the game window: loop repeats it, translate feeds it the string
    // table's texts, allowInput lets it take the mouse. True when it plays; false (logged)
    // when it cannot, leaving nothing behind. Here: always false.
    bool Start(bool loop, bool translate, bool allowInput);
    // Takes the movie down and gives the game its display and input back; safe when the
    // movie never started.
    void Stop();
    // Whether the movie still plays; false once it reached its end, and always here.
    bool IsPlaying() const { return false; }
    // The player's major version; 0 without a player.
    int GetPlayerVersion() const { return 0; }
    const TString& GetFileName() const { return mFileName; }

private:
    TString mFileName;
};
