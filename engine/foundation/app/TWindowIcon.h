#pragma once

// The main window's icon: a 32 x 32 leaf on a teal disc, computed from its shapes on
// first use.

#include <cstdint>
#include <vector>

class TWindowIcon
{
public:
    static constexpr int kSize = 32;

    // kSize x kSize pixels, 0xAARRGGBB, row by row; transparent outside the disc.
    static const std::vector<uint32_t>& GetPixels();
};
