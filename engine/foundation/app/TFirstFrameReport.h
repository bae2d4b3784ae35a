#pragma once

// The start-up's two figures: how long after the engine started the first frame was drawn,
// and how much memory the process held then. Logged once ("start-up: first frame ...").
// When the environment variable VELMORA_FIRST_FRAME is "1", the same figures also go to
// the standard output stream as one flushed line, "first frame: <ms> ms after the engine
// started, <KB> KB resident", at the moment the frame has been shown: `make bench` times
// the game's start from outside by that line.
//
// Main thread only.

#include <cstdint>
#include <cstdio>

class TFirstFrameReport
{
public:
    // Prints only where the environment asks for it.
    TFirstFrameReport();
    // Prints to out when out is not null (tests).
    explicit TFirstFrameReport(std::FILE* out) : mOut(out) {}

    // Called after each event with the frames drawn so far and the platform timer (ms since
    // the engine started); the first call with a frame reports, later calls do nothing.
    void Update(int frameCount, uint32_t engineMilliseconds);
    bool IsDone() const { return mDone; }

private:
    std::FILE* mOut = nullptr;
    bool mDone = false;
};
