#include "engine/graphics/vector/TargetSpanWriter.h"

namespace {

uint32_t Channel(uint32_t pixel, int shift)
{
    return (pixel >> shift) & 0xFF;
}

uint32_t BlendPixel(uint32_t source, uint32_t destination)
{
    const uint32_t alpha = source >> 24;
    const uint32_t destinationAlpha = destination >> 24;
    const uint32_t weight = alpha + destinationAlpha;
    uint32_t result = (weight < 255 ? weight : 255) << 24;
    for (int shift = 0; shift < 24; shift += 8)
        result |=
            (Channel(source, shift) * alpha + Channel(destination, shift) * destinationAlpha) /
                weight
            << shift;
    return result;
}

uint32_t MixPixel(uint32_t source, uint32_t destination)
{
    const uint32_t alpha = source >> 24;
    uint32_t result = destination & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8)
        result |=
            (Channel(source, shift) * alpha + Channel(destination, shift) * (255 - alpha)) / 255
            << shift;
    return result;
}

} // namespace

void WriteTargetSpan(uint32_t* pixels, int count, uint32_t colour, TTargetWrite mode)
{
    switch (mode) {
    case TTargetWrite::Copy:
        for (int i = 0; i < count; ++i)
            pixels[i] = colour;
        return;
    case TTargetWrite::Blend:
        if ((colour >> 24) == 0)
            return;
        for (int i = 0; i < count; ++i)
            pixels[i] = BlendPixel(colour, pixels[i]);
        return;
    case TTargetWrite::Normal:
        for (int i = 0; i < count; ++i)
            pixels[i] = MixPixel(colour, pixels[i]);
        return;
    }
}
