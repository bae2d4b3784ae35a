#pragma once

// The cursor image as the window system takes it for its pointer: straight 0xAARRGGBB
// pixels, alpha 0 (transparent) or 255 (opaque). The game's cursor images are
// colour-keyed: their background is magenta and their own alpha means nothing.

#include <cstdint>
#include <vector>

// A texel of red above 247, green 0 and blue above 247 is the transparent key; the
// texel's alpha byte is not looked at.
bool IsCursorKey(uint32_t texel);

// An opaque pointer pixel: red, green and blue c each become c * 255 / 256, truncated (so
// white is drawn as 254), alpha 255.
uint32_t ToCursorPixel(uint32_t texel);

// width x height pointer pixels from rows of texels pitch apart: the key becomes 0, every
// other texel ToCursorPixel.
std::vector<uint32_t> MakeCursorPixels(const uint32_t* texels, int pitch, int width, int height);
