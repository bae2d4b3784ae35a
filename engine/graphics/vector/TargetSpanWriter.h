#pragma once

// How spans are written straight into the pixels of a locked texture (engine pixels,
// 0xAARRGGBB) when text is rendered into a texture rather than onto the screen.

#include <cstdint>

enum class TTargetWrite
{
    Normal, // colour mixed by the span's alpha; the destination keeps its alpha
    Copy,   // the span's colour and alpha replace the pixel
    Blend,  // colours weighted by both alphas, alphas added (at most 255); alpha 0 leaves
            // the pixel alone, and into a transparent pixel the span comes out as it is
};

// Writes colour over pixels[0, count) in mode.
void WriteTargetSpan(uint32_t* pixels, int count, uint32_t colour, TTargetWrite mode);
