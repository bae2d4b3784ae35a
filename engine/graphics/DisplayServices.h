#pragma once

// What the display handler and its set-up take from the platform around them. Without a
// platform (tools, tests) each does nothing or answers as a display alone would: the time
// source's clock, not minimised, not suspended.

#include <cstdint>

// Milliseconds on the platform's timer.
uint32_t DisplayClock();
void SleepForDisplay(int milliseconds);
bool IsMainWindowMinimized();
// The window manager is suspended: it draws no frames and none is shown.
bool IsWindowDrawingSuspended();
// The window manager draws every window at its next frame.
void InvalidateAllWindows();
