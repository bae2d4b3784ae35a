#pragma once

#include <cstdint>

// A horizontal run of pixels of one colour, in target pixels: [x0, x1) of row.
struct TDeviceSpan
{
    int32_t row = 0;
    int32_t x0 = 0;
    int32_t x1 = 0;
    uint32_t colour = 0; // 0xAARRGGBB
};
