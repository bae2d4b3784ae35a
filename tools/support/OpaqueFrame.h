#pragma once
// The demo tools' frames as the screen would show them.

#include "engine/graphics/device/TSurface.h"

#include <cstdint>
#include <vector>

// The pixels of back with every alpha byte at 255.
inline std::vector<uint32_t> OpaqueFrame(const TSurface& back)
{
    std::vector<uint32_t> frame(back.GetPixels(),
                                back.GetPixels() + size_t(back.GetWidth()) * back.GetHeight());
    for (uint32_t& pixel : frame)
        pixel |= 0xff000000u;
    return frame;
}
