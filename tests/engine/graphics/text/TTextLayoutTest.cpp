#include "engine/graphics/text/TTextLayout.h"

#include "engine/foundation/core/Settings.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/text/FontCache.h"
#include "engine/graphics/text/TVecFont.h"
#include "tests/engine/graphics/text/TextTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using TTextLayoutTest = TextTest;

// Size 25 in the square font: one font unit is one quarter pixel, a letter is 10 pixels
// wide and the first glyph of a line adds a lead of one pixel.
std::unique_ptr<TTextLayout> Lay(const std::string& text, int width = 100, int flags = 0,
                                 int height = 100)
{
    return CreateTextLayout(text.c_str(), width, height, flags, "fonts/default.mvec", 25,
                            TColor(0, 0, 0, 1));
}

// Each line as "[height] run|run|...", a run as its text.
std::vector<std::string> Describe(const TTextLayout& layout)
{
    const std::string text = layout.GetText().CStr();
    std::vector<std::string> lines;
    for (const auto& line : layout.GetLines()) {
        std::string description = "[" + std::to_string(line->height) + "] ";
        for (size_t i = 0; i < line->runs.size(); ++i) {
            const TTextRun& run = line->runs[i];
            if (i > 0)
                description += "|";
            if (run.first <= run.last)
                description += text.substr(static_cast<size_t>(run.first),
                                           static_cast<size_t>(run.last - run.first + 1));
        }
        lines.push_back(description);
    }
    return lines;
}

TEST_F(TTextLayoutTest, MarkupBreaksTextIntoLinesAndRuns)
{
    struct TCase
    {
        const char* what;
        std::string text;
        int width;
        std::vector<std::string> lines;
    };
    std::string deep;
    for (int i = 0; i < 40; ++i)
        deep += "<font size=\"30\">";
    deep += "A";
    for (int i = 0; i < 40; ++i)
        deep += "</font>";
    deep += "B";
    const TCase cases[] = {
        {"wrapping at spaces", "AAAA AAAA AAAA", 100, {"[25] AAAA AAAA", "[25] AAAA"}},
        {"a word too long for the box", "AAAAAAAAAAAA", 100, {"[25] AAAAAAAAA", "[25] AAA"}},
        {"a box narrower than a letter", "AAA", 5, {"[25] A", "[25] A", "[25] A"}},
        {"a space at the start of a line", " AAAAAAAAAA", 100, {"[25]  AAAAAAAAA", "[25] A"}},
        {"a leading center", "<center>AB</center>C", 100, {"[0] ", "[25] AB", "[25] C"}},
        {"center in mid-line", "A<center>B", 100, {"[25] A", "[25] B"}},
        {"br with padding", "A<br pad=\"10\">B", 100, {"[35] A", "[25] B"}},
        {"line feeds", "A\nB\n\nC", 100, {"[25] A", "[25] B", "[25] ", "[25] C"}},
        {"an escaped tag shows", "\\<b>A", 100, {"[25] \\<b>A"}},
        {"an unclosed less-than sign", "<A", 100, {"[25] <A"}},
        {"styles start runs", "<b>A</b>B", 100, {"[25] |A|B"}},
        {"a wrap at a space of an earlier run",
         "AAAAAAAA <b>AA</b>",
         100,
         {"[25] AAAAAAAA", "[25] |AA"}},
        {"a wrap at a space of the current run",
         "AAAA <b>AAAA</b> AAAA",
         100,
         {"[25] AAAA |AAAA|", "[25] AAAA"}},
        {"fonts nested beyond the table",
         deep,
         100,
         {"[30] " + std::string(40, '|') + "A" + std::string(40, '|') + "B"}},
        {"the default font stands in for missing characters",
         "<font face=\"fonts/partial.mvec\">ABCA~B",
         200,
         {"[25] |AB|C|A~B"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Describe(*Lay(c.text, c.width)), c.lines);
    }
}

TEST_F(TTextLayoutTest, LegacyWrapKeepsTheOverflowingCharacter)
{
    SetConfig("legacylinewrap", "");
    EXPECT_EQ(Describe(*Lay("AAAAAAAAAAAA")),
              (std::vector<std::string>{"[25] AAAAAAAAAA", "[25] AA"}));
}

TEST_F(TTextLayoutTest, RunsMeasureInkAdvancesAndTabs)
{
    struct TCase
    {
        const char* what;
        std::string text;
        std::vector<std::pair<int, int>> runs; // start and end x of each run
    };
    const TCase cases[] = {
        {"a lead of one pixel, then 10 a letter", "AB", {{0, 21}}},
        {"two-, three- and four-byte characters",
         "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
         {{0, 31}}},
        {"a tab jumps the pen", "A<tab pos=\"50\">B", {{0, 50}, {50, 60}}},
        {"ink past the advance is measured", "jA", {{0, 21}}}, // 4 + 8 + 40 + (32 - 40) + 40
        {"a cut-short character is skipped", "A\xE2\x82", {{0, 11}}},
        {"an outline widens the measure", "<outline>A", {{0, 0}, {0, 11}}},
        {"a font of size 0 measures nothing",
         "<font size=\"0\">AB</font>C",
         {{0, 0}, {0, 0}, {0, 11}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        const auto layout = Lay(c.text, 200);
        ASSERT_EQ(layout->GetLineCount(), 1);
        std::vector<std::pair<int, int>> runs;
        for (const TTextRun& run : layout->GetLines()[0]->runs)
            runs.push_back({run.startX, run.endX});
        EXPECT_EQ(runs, c.runs);
    }
    // An outline of 2 pixels on both sides needs 4 pixels more of the box.
    EXPECT_EQ(Lay("<outline>AAAAAAAAA", 95)->GetLineCount(), 2);
    EXPECT_EQ(Lay("AAAAAAAAA", 95)->GetLineCount(), 1);
}

TEST_F(TTextLayoutTest, AlignmentPlacesLinesInTheBox)
{
    const auto left = Lay("AB");
    EXPECT_EQ(left->GetLines()[0]->anchorX, 0);
    EXPECT_EQ(left->GetLines()[0]->xOffset, 1.5f); // lead / 4 + 0.5
    const auto centred = Lay("AB", 100, TTextLayout::kCenter);
    EXPECT_EQ(centred->GetLines()[0]->anchorX, 50);
    EXPECT_EQ(centred->GetLines()[0]->xOffset, -10.5f + 1.5f);
    const auto right = Lay("AB", 100, TTextLayout::kRight);
    EXPECT_EQ(right->GetLines()[0]->anchorX, 99);
    EXPECT_EQ(right->GetLines()[0]->xOffset, -21.0f + 1.5f);
    // Tags override the flags from the line after them until the closing tag.
    const auto tagged = Lay("A<right>B</right>C", 100, TTextLayout::kCenter);
    EXPECT_EQ(tagged->GetLines()[0]->anchorX, 50);
    EXPECT_EQ(tagged->GetLines()[1]->anchorX, 99);
    EXPECT_EQ(tagged->GetLines()[2]->anchorX, 50);

    TRect bounds;
    Lay("A\nB", 100, TTextLayout::kBottom, 80)->GetBounds(bounds, 1.0f);
    EXPECT_EQ(bounds.top, 30);
    EXPECT_EQ(bounds.bottom, 80);
    Lay("A\nB", 100, TTextLayout::kCenterVertical, 80)->GetBounds(bounds, 1.0f);
    EXPECT_EQ(bounds.top, 15);
    EXPECT_EQ(bounds.bottom, 65);
}

TEST_F(TTextLayoutTest, BoundsLinesThatFitAndScrolling)
{
    TRect bounds;
    Lay("")->GetBounds(bounds, 1.0f);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.top, 0);
    EXPECT_EQ(bounds.right, 0);
    EXPECT_EQ(bounds.bottom, 0);
    Lay("", 100, TTextLayout::kBottom, 50)->GetBounds(bounds, 1.0f);
    EXPECT_EQ(bounds.top, 50);
    EXPECT_EQ(bounds.bottom, 50);

    const auto two = Lay("AB\nABC");
    two->GetBounds(bounds, 1.0f);
    EXPECT_EQ(bounds.left, 1);
    EXPECT_EQ(bounds.right, 32);
    EXPECT_EQ(bounds.bottom, 50);
    two->SetHorizontalScale(2.0f);
    two->GetBounds(bounds, 1.0f);
    EXPECT_EQ(bounds.left, 3);
    EXPECT_EQ(bounds.right, 65);

    const auto five = Lay("A\nA\nA\nA\nA", 100, 0, 60);
    EXPECT_EQ(five->CountLinesThatFit(1.0f, 0), 3);
    EXPECT_EQ(five->CountLinesThatFit(0.5f, 0), 1);
    EXPECT_EQ(five->CountLinesThatFit(0.25f, 0), 0);
    EXPECT_EQ(Lay("")->CountLinesThatFit(1.0f, 0), 0);
    // A scroll position before the first line starts there; one beyond the last shows none.
    five->SetScrollPosition(-3.0f);
    five->GetBounds(bounds, 1.0f);
    EXPECT_EQ(bounds.right, 12);
    five->SetScrollPosition(5.0f);
    five->GetBounds(bounds, 1.0f);
    EXPECT_EQ(bounds.right, 0);
}

TEST_F(TTextLayoutTest, LinksAreFoundUnderThePointAndHovered)
{
    const auto layout = Lay("A<a id=\"more\" color=\"#00ff00\">BB</a>C\nD", 200);
    struct TCase
    {
        float x, y;
        const char* link;
    };
    const TCase cases[] = {{20, 10, "more"}, {12.5f, 0, "more"}, {32.4f, 24.9f, "more"},
                           {12.4f, 10, ""},  {32.5f, 10, ""},    {20, 25, ""},
                           {20, -1, ""}};
    for (const TCase& c : cases)
        EXPECT_EQ(std::string(layout->GetLinkAt(TVec2(c.x, c.y), 0).CStr()), c.link)
            << c.x << "," << c.y;
    // Extra spacing reaches above each line.
    EXPECT_EQ(std::string(layout->GetLinkAt(TVec2(20, -1), 2).CStr()), "more");

    const TVec2 over(20, 10);
    const TVec2 away(100, 10);
    EXPECT_TRUE(layout->UpdateHoverLink(&over, 0));
    EXPECT_FALSE(layout->UpdateHoverLink(&over, 0));
    EXPECT_TRUE(layout->UpdateHoverLink(&away, 0));
    EXPECT_TRUE(layout->UpdateHoverLink(&over, 0));
    EXPECT_TRUE(layout->UpdateHoverLink(nullptr, 0));
    EXPECT_EQ(layout->GetHoverLink().Length(), 0);
}

TEST_F(TTextLayoutTest, SettersLayOutAgainOnlyOnChange)
{
    const auto layout = Lay("AAAA AAAA");
    EXPECT_EQ(layout->GetLineCount(), 1);
    layout->SetSize(50, 100);
    EXPECT_EQ(layout->GetLineCount(), 2);
    layout->SetLineHeight(50);
    EXPECT_EQ(layout->GetLines()[0]->height, 50);
    layout->SetText("A");
    EXPECT_EQ(layout->GetLineCount(), 1);
    layout->SetColor(TColor(1, 0, 0, 1));
    EXPECT_EQ(layout->GetLines()[0]->runs[0].fontColour.r, 1.0f);
    layout->SetFont(nullptr); // the built-in font
    EXPECT_NE(layout->GetLines()[0]->runs[0].font->FindGlyph('~'), -1);
    layout->SetRotation(360.0f, 0, 0);
    EXPECT_EQ(layout->GetRotationCosine(), 1.0f);
    EXPECT_EQ(layout->GetRotationSine(), 0.0f);
    layout->SetRotation(90.0f, 0, 0);
    EXPECT_NEAR(layout->GetRotationCosine(), 0.0f, 1e-6f);
    EXPECT_EQ(layout->GetRotationSine(), 1.0f);
    // A damaged font gives its runs no glyphs and no width.
    layout->SetFont("fonts/broken.mvec");
    EXPECT_EQ(layout->GetLines()[0]->runs[0].scale, 0.0f);
    EXPECT_EQ(layout->GetLines()[0]->runs[0].endX, 0);
}

class TTextDrawingTest : public TextTest
{
protected:
    // Draws layout into a new 48 x 32 texture in copy (or blend) mode and answers its
    // pixels.
    static std::vector<uint32_t> Render(TTextLayout& layout, float scale = 1.0f,
                                        const TVec2& at = TVec2(), bool blend = false)
    {
        const std::shared_ptr<TTexture> texture = TTexture::Create(48, 32, true);
        if (blend)
            layout.SetBlendMode();
        else
            layout.SetCopyMode();
        layout.Draw(at, UINT_MAX, scale, 0, 1.0f, texture);
        return Pixels(*texture);
    }

    // The pixels of texture, row by row.
    static std::vector<uint32_t> Pixels(TTexture& texture)
    {
        uint32_t* pixels = nullptr;
        int pitch = 0;
        texture.Lock(pixels, pitch);
        std::vector<uint32_t> result;
        for (int y = 0; y < texture.GetHeight(); ++y)
            result.insert(result.end(), pixels + y * pitch,
                          pixels + y * pitch + texture.GetWidth());
        texture.Unlock();
        return result;
    }

    static uint32_t At(const std::vector<uint32_t>& pixels, int x, int y)
    {
        return pixels[static_cast<size_t>(y * 48 + x)];
    }

    static int AlphaSum(const std::vector<uint32_t>& pixels)
    {
        int sum = 0;
        for (const uint32_t pixel : pixels)
            sum += static_cast<int>(pixel >> 24);
        return sum;
    }

    static bool IsBlank(const std::vector<uint32_t>& pixels)
    {
        for (const uint32_t pixel : pixels)
            if (pixel != 0)
                return false;
        return true;
    }
};

TEST_F(TTextDrawingTest, AGlyphLandsOnItsLineAtItsLead)
{
    // "A" at (1.5, 18.75): ink from x 1.5 to 11.5 and from y 8.75 to 18.75.
    const auto layout = Lay("A");
    const std::vector<uint32_t> pixels = Render(*layout);
    EXPECT_EQ(At(pixels, 5, 12), 0xFF000000u);
    EXPECT_EQ(At(pixels, 1, 12) >> 24, 255u * 8 / 16);
    EXPECT_EQ(At(pixels, 11, 12) >> 24, 255u * 8 / 16);
    EXPECT_EQ(At(pixels, 5, 8) >> 24, 255u * 4 / 16);
    EXPECT_EQ(At(pixels, 5, 18) >> 24, 255u * 12 / 16);
    EXPECT_EQ(At(pixels, 0, 12), 0u);
    EXPECT_EQ(At(pixels, 12, 12), 0u);
    EXPECT_EQ(At(pixels, 5, 7), 0u);
    EXPECT_EQ(At(pixels, 5, 19), 0u);
    // Moved by the position; nothing at all at a scale of 0 or below.
    EXPECT_EQ(At(Render(*layout, 1.0f, TVec2(10, 0)), 15, 12), 0xFF000000u);
    EXPECT_TRUE(IsBlank(Render(*layout, 0.0f)));
    EXPECT_TRUE(IsBlank(Render(*layout, -1.0f)));
    // Twice as wide with a horizontal scale of 2, as high as before.
    layout->SetHorizontalScale(2.0f);
    const std::vector<uint32_t> wide = Render(*layout);
    EXPECT_EQ(At(wide, 20, 12), 0xFF000000u);
    EXPECT_EQ(At(wide, 5, 7), 0u);
    EXPECT_EQ(At(wide, 24, 12), 0u);
}

TEST_F(TTextDrawingTest, CaretUnderlineAndLinkColour)
{
    // The caret: three quarter pixels after the glyph, from the ascent to the descent.
    const std::vector<uint32_t> caret = Render(*Lay("A<cursor>"));
    EXPECT_NE(At(caret, 11, 5), 0u);
    EXPECT_NE(At(caret, 11, 22), 0u);
    EXPECT_EQ(At(caret, 5, 5), 0u);
    // The underline: a bar under the run, 2 pixels below the baseline.
    const std::vector<uint32_t> underline = Render(*Lay("<u>AA</u>"));
    EXPECT_NE(At(underline, 15, 21), 0u);
    EXPECT_EQ(At(Render(*Lay("AA")), 15, 21), 0u);
    // Bold strokes add ink around the glyph (blended, as copying keeps the last span).
    EXPECT_GT(AlphaSum(Render(*Lay("<b>A</b>"), 1.0f, TVec2(), true)),
              AlphaSum(Render(*Lay("A"), 1.0f, TVec2(), true)) + 255 * 4);

    const auto link = Lay("<a id=\"go\" color=\"#00ff00\">A</a>");
    EXPECT_EQ(At(Render(*link), 5, 12), 0xFF000000u);
    const TVec2 over(5, 12);
    link->UpdateHoverLink(&over, 0);
    EXPECT_EQ(At(Render(*link), 5, 12), 0xFF00FF00u);
}

TEST_F(TTextDrawingTest, ASentenceDrawsTheSameWithAColdAndAWarmGlyphCache)
{
    // At size 32 in the built-in font, the replays of this sentence's first draw fill the
    // span batch to its last slot just before a glyph not drawn before: that glyph's
    // spans must go into a new batch, not past the end of the full one.
    const std::unique_ptr<TTextLayout> layout(
        CreateTextLayout("Every visitor visits a sauna by the sea.", 800, 48, 0,
                         FontCache::kBuiltInName, 32, TColor(0, 0, 0, 1)));
    layout->SetCopyMode();
    const auto render = [&layout] {
        const std::shared_ptr<TTexture> texture = TTexture::Create(800, 48, true);
        layout->Draw(TVec2(), UINT_MAX, 1.0f, 0, 1.0f, texture);
        return Pixels(*texture);
    };
    const std::vector<uint32_t> cold = render();
    const std::vector<uint32_t> warm = render(); // every glyph a replay
    EXPECT_FALSE(IsBlank(cold));
    EXPECT_TRUE(cold == warm);
}

TEST_F(TTextDrawingTest, ScrollingDrawsFromTheFirstScrolledLine)
{
    const auto layout = Lay("A\nB\nC");
    layout->SetScrollPosition(-2.0f);
    EXPECT_EQ(At(Render(*layout), 5, 12), 0xFF000000u);
    layout->SetScrollPosition(1.0f);
    EXPECT_EQ(At(Render(*layout), 5, 12), 0xFF000000u); // "B" in the first line's place
    layout->SetScrollPosition(3.0f);
    EXPECT_TRUE(IsBlank(Render(*layout)));
    // A broken face draws in the default font; with a broken default font too, nothing.
    const std::unique_ptr<TTextLayout> broken(
        CreateTextLayout("AB", 100, 100, 0, "fonts/broken.mvec", 25, TColor(0, 0, 0, 1)));
    EXPECT_EQ(At(Render(*broken), 5, 12), 0xFF000000u);
    Register("fonts/default.mvec", mBroken);
    FontCache::Clear();
    broken->SetText("ABC");
    EXPECT_TRUE(IsBlank(Render(*broken)));
}

} // namespace
