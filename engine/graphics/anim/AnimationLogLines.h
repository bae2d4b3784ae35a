#pragma once

// The log lines of the animation readers, each naming the file first.

// The file cannot be opened (the path).
inline constexpr const char* kAnimationCannotOpenLog = "graphics: animation: %s: cannot be opened";
// The file is refused (the path, the cause).
inline constexpr const char* kAnimationRefusedLog = "graphics: animation: %s: %s";
// A frame or anchor lies outside the range a frame may take.
inline constexpr const char* kAnimationOutOfRange = "a frame coordinate is out of range";
// An animation name found as neither file (the name).
inline constexpr const char* kAnimationNotFoundLog =
    "graphics: animation: %s: not found (also tried .xml and .anm)";
