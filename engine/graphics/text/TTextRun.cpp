#include "engine/graphics/text/TTextRun.h"

#include "engine/graphics/text/FontCache.h"
#include "engine/graphics/text/TTextStyleStack.h"
#include "engine/graphics/text/TVecFont.h"

#include <cmath>

TTextRun::TTextRun(const TTextStyleStack& style, int start, bool fallback, TVecFont* defaultFont)
    : first(start)
{
    const TTextFontEntry& entry = style.GetFont();
    font = FontCache::GetFont(entry.face);
    if (fallback && defaultFont != nullptr && defaultFont != font) {
        fallbackFor = font;
        font = defaultFont;
    }
    size = entry.size;
    fontColour = entry.colour;
    bold = style.IsBold();
    italic = style.IsItalic();
    underline = style.IsUnderline();
    link = style.GetLink();
    linkColour = style.GetCurrentColour();
    outlineSize = style.GetOutlineSize();
    outlineColour = style.GetOutlineColour();
    // An empty font (a damaged file) has no height to scale by: the run gets no glyphs.
    const float cell = font != nullptr ? font->GetAscent() + font->GetDescent() : 0.0f;
    if (cell > 0.0f)
        scale = 0.8f * static_cast<float>(size) * 4.0f / cell;
}

void TTextRun::Close(bool hasContent)
{
    if (!hasContent || font == nullptr) {
        height = baseline = 0;
        return;
    }
    height = size;
    baseline =
        static_cast<int>(std::trunc((font->GetCellPadding(true) + font->GetAscent()) * scale));
}
