#include "engine/graphics/text/TVecFont.h"

#include "engine/foundation/core/LittleEndian.h"
#include "engine/graphics/text/BuiltInFont.h"
#include "engine/graphics/text/MvecFormat.h"
#include "engine/graphics/vector/TOutlineCommand.h"
#include "tests/engine/LogLine.h"
#include "tests/engine/graphics/ImageFolder.h"
#include "tests/engine/graphics/text/TextTestSupport.h"

#include <gtest/gtest.h>

namespace {

using TVecFontTest = EngineStateTest;

// Where font keeps the first byte of its copy of image.
const uint8_t* StartOf(const TVecFont& font, const std::vector<uint8_t>& image)
{
    return font.GetGlyphData(0) -
           ReadLE32(&image[MvecFormat::kHeaderSize + MvecFormat::kOutlineOffset]);
}

TEST_F(TVecFontTest, MetricsComeFromWAndTheDeepestAsciiGlyph)
{
    const TVecFont font(SquareFont(U"WgÉ"));
    ASSERT_EQ(font.GetGlyphCount(), 3);
    EXPECT_EQ(font.GetAscent(), 60.0f);
    EXPECT_EQ(font.GetDescent(), 20.0f);
    EXPECT_EQ(font.GetGlyphShare(), 0.8f);
    EXPECT_EQ(font.GetCellPadding(true), 15.0f); // 80 x 0.15 / 0.8
    EXPECT_EQ(font.GetCellPadding(false), 5.0f);
    // Inside the cell exactly 1; "É" reaches 80 above a padded ascent of 75.
    EXPECT_EQ(font.GetGlyphScale(font.FindGlyph('W')), 1.0f);
    EXPECT_EQ(font.GetGlyphScale(font.FindGlyph('g')), 1.0f);
    EXPECT_FLOAT_EQ(font.GetGlyphScale(font.FindGlyph(0xC9)), 75.0f / 80.0f);

    // Without a "W" the tallest ASCII glyph stands for it.
    const TVecFont noW(SquareFont(U"Ag"));
    EXPECT_EQ(noW.GetAscent(), 40.0f);
    EXPECT_EQ(noW.GetDescent(), 20.0f);
}

TEST_F(TVecFontTest, LookupsAndAccessorsAreSafeForAnyIndex)
{
    const TVecFont font(SquareFont(U"WgÉ"));
    EXPECT_EQ(font.FindGlyph('W'), 0);
    EXPECT_EQ(font.FindGlyph(0xC9), 2);
    EXPECT_EQ(font.FindGlyph('X'), -1); // between two codes
    EXPECT_EQ(font.FindGlyph(0), -1);
    EXPECT_EQ(font.FindGlyph(0xFFFFFFFFu), -1);
    const int g = font.FindGlyph('g');
    EXPECT_EQ(font.GetAdvance(g), 40.0f);
    EXPECT_EQ(font.GetXMin(g), 0.0f);
    EXPECT_EQ(font.GetXMax(g), 40.0f);
    ASSERT_NE(font.GetGlyphData(g), nullptr);
    EXPECT_EQ(font.GetGlyphData(g)[font.GetGlyphDataSize(g) - 1],
              static_cast<uint8_t>(TOutlineCommand::End));
    for (const int outside : {-1, 3, 1 << 30}) {
        EXPECT_EQ(font.GetAdvance(outside), 0.0f);
        EXPECT_EQ(font.GetXMin(outside), 0.0f);
        EXPECT_EQ(font.GetXMax(outside), 0.0f);
        EXPECT_EQ(font.GetGlyphData(outside), nullptr);
        EXPECT_EQ(font.GetGlyphDataSize(outside), 0u);
        EXPECT_EQ(font.GetGlyphScale(outside), 1.0f);
    }
}

TEST_F(TVecFontTest, DamagedFilesGiveEmptyFontsWithoutReadingBeyondThem)
{
    TImageFolder folder; // the log
    const std::vector<uint8_t> good = SquareFont(U"WAB");
    const size_t records = MvecFormat::kHeaderSize;
    struct TCase
    {
        const char* what;
        std::vector<uint8_t> image;
        const char* cause;
    };
    std::vector<uint8_t> badMagic = good;
    badMagic[3] = '3';
    std::vector<uint8_t> tooMany = good;
    tooMany[4] = 200;
    std::vector<uint8_t> offsetPast = good;
    offsetPast[records + MvecFormat::kRecordSize + MvecFormat::kOutlineOffset] = 0xFF;
    offsetPast[records + MvecFormat::kRecordSize + MvecFormat::kOutlineOffset + 1] = 0xFF;
    std::vector<uint8_t> offsetInTable = good;
    offsetInTable[records + MvecFormat::kOutlineOffset] = 2;
    offsetInTable[records + MvecFormat::kOutlineOffset + 1] = 0;
    std::vector<uint8_t> unsorted = good;
    unsorted[records + MvecFormat::kRecordSize] = 'Z'; // A, then Z, then B
    const std::vector<uint8_t> cut(good.begin(), good.begin() + 20);
    const TCase cases[] = {
        {"a wrong magic", badMagic, "not a vector font"},
        {"a count beyond the file", tooMany, "glyph table beyond the end"},
        {"an outline offset past the end", offsetPast, "glyph outline outside the file"},
        {"an outline offset into the glyph table", offsetInTable, "glyph outline outside the file"},
        {"codes out of order", unsorted, "glyph codes out of order"},
        {"a file cut inside its table", cut, "glyph table beyond the end"},
        {"an empty file", {}, "not a vector font"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string line = LogLine(TVecFont::kRefusedLog, "fonts/damaged.mvec", c.cause);
        const int before = folder.CountLogLines(line);
        const TVecFont font(c.image, "fonts/damaged.mvec");
        EXPECT_TRUE(font.IsEmpty());
        EXPECT_EQ(font.FindGlyph('A'), -1);
        EXPECT_EQ(font.GetAscent() + font.GetDescent(), 0.0f);
        EXPECT_EQ(folder.CountLogLines(line), before + 1);
    }
    // A glyph whose outline lacks its end stops at the end of the file.
    std::vector<uint8_t> noEnd = good;
    noEnd.pop_back();
    const TVecFont font(noEnd);
    const int last = font.GetGlyphCount() - 1;
    EXPECT_EQ(font.GetGlyphData(last) + font.GetGlyphDataSize(last),
              StartOf(font, noEnd) + noEnd.size());
}

TEST_F(TVecFontTest, TheBuiltInFontIsAWholeConversionOfDejaVuSans)
{
    const std::vector<uint8_t> image(kBuiltInFont, kBuiltInFont + kBuiltInFontSize);
    const TVecFont font(image);
    ASSERT_FALSE(font.IsEmpty());
    EXPECT_EQ(font.GetGlyphCount(), 436);
    for (uint32_t code = 0x20; code <= 0x7E; ++code)
        EXPECT_GE(font.FindGlyph(code), 0) << code;
    // DejaVu Sans: "W" is 1493 of 2048 units high, "g" and "j" reach 483 below (em 64).
    EXPECT_NEAR(font.GetAscent(), 1493.0 * 64 / 2048, 0.01);
    EXPECT_NEAR(font.GetDescent(), 483.0 * 64 / 2048, 0.01);
    const size_t outlines = MvecFormat::kHeaderSize + MvecFormat::kRecordSize * 436;
    for (int glyph = 0; glyph < font.GetGlyphCount(); ++glyph) {
        const size_t offset = static_cast<size_t>(font.GetGlyphData(glyph) - StartOf(font, image));
        EXPECT_GE(offset, outlines);
        EXPECT_LT(offset, image.size());
        EXPECT_EQ(font.GetGlyphData(glyph)[font.GetGlyphDataSize(glyph) - 1],
                  static_cast<uint8_t>(TOutlineCommand::End))
            << glyph;
    }
    // "Ç": the cedilla overlaps the C, so it has a fill layer of its own.
    const int cedilla = font.FindGlyph(0xC7);
    const uint8_t* data = font.GetGlyphData(cedilla);
    bool layered = false;
    for (size_t at = 0; at < font.GetGlyphDataSize(cedilla); at += OutlineCommandSize(data[at]))
        layered = layered || data[at] == static_cast<uint8_t>(TOutlineCommand::NewLayer);
    EXPECT_TRUE(layered);
}

} // namespace
