#pragma once

// The built-in system cursor: a 32 x 32 arrow (hot spot 0, 0) as a palette PNG, drawn
// here as text and encoded on first use. Index 0 is transparent (magenta, alpha 0),
// 1 black outline, 2 white fill.

#include <cstddef>
#include <cstdint>
#include <vector>

class TSystemCursorImage
{
public:
    // The memory-file name the image is registered under.
    static constexpr const char* kName = "__systemcursor__.png";

    // The PNG bytes; built once, alive until the process ends. Main thread only.
    static const std::vector<uint8_t>& GetPng();

    // The palette index of each of the 32 x 32 pixels, row by row.
    static const std::vector<uint8_t>& GetIndices();
};
