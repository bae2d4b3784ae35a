#pragma once

// The log lines of the image readers and writers, each naming the file first.

// A failure with its cause (the path, the cause).
inline constexpr const char* kImageFailedLog = "graphics: image: %s: %s";
// The file cannot be opened for reading (the path).
inline constexpr const char* kImageCannotOpenLog = "graphics: image: %s: cannot open";
// The file cannot be made for writing (the path).
inline constexpr const char* kImageCannotCreateLog = "graphics: image: %s: cannot create";
// The name is neither a PNG nor a JPEG file's (the name).
inline constexpr const char* kImageNameRefusedLog =
    "graphics: image: %s: neither a .png nor a .jpg name";
