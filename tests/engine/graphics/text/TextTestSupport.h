#pragma once

// Test fonts whose every number is predictable, registered as memory files, and a
// fixture that starts each test with an empty font cache.
//
// The square font: ascent 60 and descent 20 font units, so at size 25 one font unit is
// one quarter pixel (scale 0.8 x 25 x 4 / 80 = 1). Letters and digits are squares 40
// wide and 40 high on the baseline (10 x 10 pixels at size 25) with an advance of 40;
// "W" reaches up to 60, "g" down to 20; the space advances 20; "j" starts 8 left of the
// pen and ends at 40 with an advance of 32 (its ink overhangs the advance); "É" reaches
// up to 80 (taller than the cell); "é", "€" and U+1F600 stand for 2-, 3- and 4-byte
// characters.

#include "engine/foundation/files/TMemoryFile.h"
#include "engine/graphics/vector/TOutlineBuilder.h"
#include "tests/engine/EngineStateTest.h"
#include "tools/mkmvec/writer/MvecWriter.h"

#include <string>
#include <vector>

inline TMvecGlyph SquareGlyph(uint32_t code, int left, int top, int right, int bottom, int advance)
{
    TMvecGlyph glyph;
    glyph.code = code;
    glyph.xMin = static_cast<int16_t>(left * 128);
    glyph.xMax = static_cast<int16_t>(right * 128);
    glyph.yMin = static_cast<int16_t>(top * 128);
    glyph.yMax = static_cast<int16_t>(bottom * 128);
    glyph.advance = static_cast<int16_t>(advance * 128);
    TOutlineBuilder out;
    out.FillSlot(1);
    if (right > left)
        out.Rectangle(left * 128, top * 128, right * 128, bottom * 128);
    glyph.outline = out.End().Take();
    return glyph;
}

// The square font, with only the codes of only when it is not empty.
inline std::vector<uint8_t> SquareFont(const std::u32string& only = U"")
{
    std::vector<TMvecGlyph> glyphs;
    const auto add = [&](const TMvecGlyph& glyph) {
        if (only.empty() || only.find(static_cast<char32_t>(glyph.code)) != std::u32string::npos)
            glyphs.push_back(glyph);
    };
    for (uint32_t code = '0'; code <= 'z'; ++code) {
        const bool letter = (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z');
        if (!letter && !(code >= '0' && code <= '9'))
            continue;
        if (code == 'W')
            add(SquareGlyph(code, 0, -60, 40, 0, 40));
        else if (code == 'g')
            add(SquareGlyph(code, 0, -40, 40, 20, 40));
        else if (code == 'j')
            add(SquareGlyph(code, -8, -40, 40, 0, 32));
        else
            add(SquareGlyph(code, 0, -40, 40, 0, 40));
    }
    add(SquareGlyph(' ', 0, 0, 0, 0, 20));
    add(SquareGlyph(0xC9, 0, -80, 40, 0, 40));
    for (const uint32_t code : {0xE9u, 0x20ACu, 0x1F600u})
        add(SquareGlyph(code, 0, -40, 40, 0, 40));
    std::vector<uint8_t> image;
    std::string reason;
    BuildMvecImage(glyphs, image, reason);
    return image;
}

// Registers fonts under their names for the length of a test: "fonts/default.mvec" (the
// square font), "fonts/partial.mvec" (only W, A and B) and "fonts/broken.mvec" (not a
// font). The engine state (the font cache among it) is fresh before and after.
class TextTest : public EngineStateTest
{
protected:
    TextTest()
    {
        Register("fonts/default.mvec", mSquare);
        Register("fonts/partial.mvec", mPartial);
        Register("fonts/broken.mvec", mBroken);
    }

    void Register(const char* name, const std::vector<uint8_t>& bytes)
    {
        RegisterMemoryFile(name, bytes.data(), bytes.size());
    }

    const std::vector<uint8_t> mSquare = SquareFont();
    const std::vector<uint8_t> mPartial = SquareFont(U"WAB");
    const std::vector<uint8_t> mBroken = {'M', 'V', 'C', '4', 0xFF, 0xFF, 0, 0, 0, 0, 0, 0};
};
