#include "engine/graphics/text/TTextStyleStack.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Parses the tag at the start of text on a fresh stack (outer font "outer", 16, black).
struct TParsed
{
    bool isTag = false;
    TTextStyleStack::TTag tag;
    TTextStyleStack style;
};

TParsed Parse(const std::string& text, const TTextStyleStack* style = nullptr)
{
    TParsed parsed;
    if (style != nullptr)
        parsed.style = *style;
    else
        parsed.style.Reset("outer", 16, TColor(0, 0, 0, 1));
    parsed.isTag = parsed.style.ParseTag(text.data(), static_cast<int>(text.size()), 0, parsed.tag);
    return parsed;
}

void ExpectColour(const TColor& colour, int r, int g, int b, int a)
{
    EXPECT_FLOAT_EQ(colour.r, r / 255.0f);
    EXPECT_FLOAT_EQ(colour.g, g / 255.0f);
    EXPECT_FLOAT_EQ(colour.b, b / 255.0f);
    EXPECT_FLOAT_EQ(colour.a, a / 255.0f);
}

TEST(TTextStyleStack, FontTagsReadQuotedAttributesInEitherCase)
{
    const std::string text = "<FONT Size = \"20\" color=\"#ff000080\" face='Fonts/Arial.mvec'>x";
    const TParsed font = Parse(text);
    ASSERT_TRUE(font.isTag);
    EXPECT_EQ(font.tag.length, static_cast<int>(text.find('>')) + 1);
    EXPECT_EQ(font.style.GetFontDepth(), 1);
    EXPECT_EQ(font.style.GetFont().size, 20);
    EXPECT_EQ(std::string(font.style.GetFont().face.CStr()), "Fonts/Arial.mvec");
    ExpectColour(font.style.GetFont().colour, 255, 0, 0, 0x80);
    // Eight digits with or without "#" carry alpha; six are opaque.
    ExpectColour(Parse("<font color=\"ff000080\">").style.GetFont().colour, 255, 0, 0, 0x80);
    ExpectColour(Parse("<font color=\"#00ff00\">").style.GetFont().colour, 0, 255, 0, 255);
    ExpectColour(Parse("<font color=\"0000ff\">").style.GetFont().colour, 0, 0, 255, 255);
    // A font tag without attributes copies the font in force.
    const TParsed plain = Parse("<font>");
    EXPECT_EQ(plain.style.GetFont().size, 16);
    EXPECT_EQ(std::string(plain.style.GetFont().face.CStr()), "outer");
    // Unquoted values are not read.
    EXPECT_EQ(Parse("<font size=20>").style.GetFont().size, 16);
}

TEST(TTextStyleStack, TagsAreMatchedByPrefixInTableOrder)
{
    struct TCase
    {
        const char* text;
        bool bold, italic, underline, endsLine, isContent, isCursor;
        int padding, tab;
    };
    const TCase cases[] = {
        {"<b>", true, false, false, false, false, false, 0, -1},
        {"<bold>", true, false, false, false, false, false, 0, -1},
        {"<big>", true, false, false, false, false, false, 0, -1},
        {"<br>", false, false, false, true, true, false, 0, -1},
        {"<broken>", false, false, false, true, true, false, 0, -1},
        {"<br pad=\"10\">", false, false, false, true, true, false, 10, -1},
        {"</p>", false, false, false, true, true, false, 0, -1},
        {"<p>", false, false, false, false, false, false, 0, -1},
        {"<i>", false, true, false, false, false, false, 0, -1},
        {"<u>", false, false, true, false, false, false, 0, -1},
        {"<cursor>", false, false, false, false, true, true, 0, -1},
        {"<tab pos='150'>", false, false, false, false, false, false, 0, 600},
        {"<unknown>", false, false, true, false, false, false, 0, -1}, // "u"
        {"<xyz>", false, false, false, false, false, false, 0, -1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.text);
        const TParsed parsed = Parse(c.text);
        ASSERT_TRUE(parsed.isTag);
        EXPECT_EQ(parsed.tag.length, static_cast<int>(std::string(c.text).size()));
        EXPECT_EQ(parsed.style.IsBold(), c.bold);
        EXPECT_EQ(parsed.style.IsItalic(), c.italic);
        EXPECT_EQ(parsed.style.IsUnderline(), c.underline);
        EXPECT_EQ(parsed.tag.endsLine, c.endsLine);
        EXPECT_EQ(parsed.tag.isContent, c.isContent);
        EXPECT_EQ(parsed.tag.isCursor, c.isCursor);
        EXPECT_EQ(parsed.tag.padding, c.padding);
        EXPECT_EQ(parsed.tag.tab, c.tab);
    }
}

TEST(TTextStyleStack, WhatIsNoTagAndWhereALongTagEnds)
{
    EXPECT_FALSE(Parse("<b").isTag);
    EXPECT_FALSE(Parse("b>").isTag);
    EXPECT_FALSE(Parse("").isTag);
    // 128 characters stored before a ">": the tag ends there (the dropped space was read).
    const std::string longTag = "<font face=\"" + std::string(200, 'x') + "\">";
    const TParsed parsed = Parse(longTag);
    ASSERT_TRUE(parsed.isTag);
    EXPECT_EQ(parsed.tag.length, 129);
    // Spaces outside quotes do not count towards the 128.
    const std::string spaced = "<b" + std::string(300, ' ') + ">";
    EXPECT_EQ(Parse(spaced).tag.length, 303);
}

TEST(TTextStyleStack, OutlinesLinksAndAlignmentsKeepTheirState)
{
    const TParsed outline = Parse("<outline>");
    EXPECT_EQ(outline.style.GetOutlineSize(), 2.0f);
    ExpectColour(outline.style.GetOutlineColour(), 0, 0, 0, 0);
    TTextStyleStack style = Parse("<outline size=\"3.5\" color=\"#0000ff\">").style;
    EXPECT_EQ(style.GetOutlineSize(), 3.5f);
    ExpectColour(style.GetOutlineColour(), 0, 0, 255, 255);
    style = Parse("</outline>", &style).style;
    EXPECT_EQ(style.GetOutlineSize(), 0.0f);

    style = Parse("<a id=\"more\" color=\"#00ff00\">").style;
    EXPECT_EQ(std::string(style.GetLink().CStr()), "more");
    ExpectColour(style.GetCurrentColour(), 0, 255, 0, 255);
    style = Parse("</a>", &style).style;
    EXPECT_EQ(style.GetLink().Length(), 0);
    ExpectColour(style.GetCurrentColour(), 0, 0, 0, 255);

    style.Reset("outer", 16, TColor());
    EXPECT_EQ(style.GetAlignment(), -1);
    const TParsed center = Parse("<center>", &style);
    EXPECT_TRUE(center.tag.aligns && center.tag.endsLine);
    EXPECT_EQ(center.style.GetAlignment(), 1);
    style = Parse("<right>", &center.style).style;
    EXPECT_EQ(style.GetAlignment(), 2);
    style = Parse("</right>", &style).style;
    EXPECT_EQ(style.GetAlignment(), 1);
    style = Parse("</center>", &style).style;
    style = Parse("</center>", &style).style; // pops stop at the bottom
    EXPECT_EQ(style.GetAlignment(), -1);
}

TEST(TTextStyleStack, NestingBeyondThe32EntriesIsCountedNotStored)
{
    TTextStyleStack style;
    style.Reset("outer", 16, TColor());
    for (int depth = 1; depth <= 40; ++depth) {
        const std::string tag = "<font size=\"" + std::to_string(depth) + "\">";
        style = Parse(tag, &style).style;
        style = Parse("<left>", &style).style;
    }
    EXPECT_EQ(style.GetFontDepth(), 40);
    EXPECT_EQ(style.GetFont().size, 31); // the last stored entry applies
    EXPECT_EQ(style.GetAlignment(), 0);
    for (int depth = 40; depth > 31; --depth)
        style = Parse("</font>", &style).style;
    EXPECT_EQ(style.GetFont().size, 31);
    for (int depth = 31; depth >= 0; --depth)
        style = Parse("</font>", &style).style;
    EXPECT_EQ(style.GetFontDepth(), 0);
    EXPECT_EQ(style.GetFont().size, 16);
}

} // namespace
