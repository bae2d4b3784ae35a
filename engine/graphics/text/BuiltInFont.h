#pragma once

// The ".mvec" image of the font built into the program (the font "__DEFAULT"): DejaVu
// Sans converted by tools/mkmvec when the program is built, so that text can be drawn
// when no font file exists.

#include <cstddef>
#include <cstdint>

extern const uint8_t kBuiltInFont[];
extern const size_t kBuiltInFontSize;
