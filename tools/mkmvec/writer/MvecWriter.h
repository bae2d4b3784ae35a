#pragma once

// Lays out ".mvec" vector font files (engine/graphics/text/MvecFormat.h) from glyphs
// whose outlines are already encoded. mkmvec writes the game's fonts with it; tests,
// fuzz seeds and benchmarks make their own small fonts with it.

#include <cstdint>
#include <string>
#include <vector>

struct TMvecGlyph
{
    uint32_t code = 0;
    int16_t xMin = 0; // values in 1/128 of a font unit, y pointing down
    int16_t xMax = 0;
    int16_t yMin = 0;
    int16_t yMax = 0;
    int16_t advance = 0;
    std::vector<uint8_t> outline;
};

// The file image of glyphs (in any order; written sorted by code). False, with reason
// set, for more than 65535 glyphs or a code given twice.
bool BuildMvecImage(std::vector<TMvecGlyph> glyphs, std::vector<uint8_t>& image,
                    std::string& reason);
