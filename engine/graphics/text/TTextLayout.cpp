#include "engine/graphics/text/TTextLayout.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/Settings.h"
#include "engine/graphics/TGraphicsHost.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/text/FontCache.h"
#include "engine/graphics/text/TVecFont.h"
#include "engine/graphics/text/Utf8Decode.h"
#include "engine/graphics/vector/THvMiniVecDraw.h"
#include "engine/graphics/vector/TOutlineBuilder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kFar = 1.0e7f; // pixels; keeps conversions to int defined

int RoundHalfAway(float value)
{
    return static_cast<int>(std::lround(std::clamp(value, -kFar, kFar)));
}

int Trunc(float value)
{
    return static_cast<int>(std::clamp(value, -kFar, kFar));
}

// The character at text[index] with the backslash escape: index is left on its last
// byte. escaped tells whether a backslash was skipped.
uint32_t ReadCharacter(const char* text, int length, int& index, bool& escaped)
{
    escaped = text[index] == '\\' && index + 1 < length;
    if (escaped)
        ++index;
    return DecodeUtf8(text, length, index);
}

} // namespace

// ---- the layout pass ----

// The state of one layout run over the text (Layout).
class TTextLayout::TLayoutPass
{
public:
    explicit TLayoutPass(TTextLayout& layout)
        : mLayout(layout), mText(layout.mText.CStr()), mLength(layout.mText.Length()),
          mDefaultFont(FontCache::GetFont(FontCache::kDefaultFile)), mLegacyWrap(IsLegacyLineWrap())
    {
    }

    void Run()
    {
        while (mIndex < mLength)
            LayOutLine();
    }

private:
    // Where the last space of the line was, and the state to go back to when the line
    // wraps there.
    struct TSpace
    {
        bool seen = false;
        int index = 0;
        float penX = 0.0f;
        size_t runCount = 0;
        TTextStyleStack style;
        bool previousItalic = false;
        float outline = 0.0f;
        bool fallback = false;
    };

    void LayOutLine()
    {
        mLine = std::make_shared<TTextLine>();
        mPenX = 0.0f;
        mOverhang = 0.0f;
        mSpace.seen = false;
        mFirstGlyph = true;
        mLineDone = false;
        mPadding = 0;
        mPreviousItalic = false;
        mAlignChanged = false;
        mFirstOutline = mOutline = mLead = 0.0f;
        while (mIndex < mLength && !mLineDone)
            LayOutRun();
        CloseLine();
    }

    void LayOutRun()
    {
        TTextRun run(mLayout.mStyle, mIndex, mFallback, mDefaultFont);
        run.startX = RoundHalfAway(mPenX) / 4;
        float italicShift = 0.0f;
        if (run.italic != mPreviousItalic && run.font != nullptr) {
            italicShift = run.scale / 3.0f *
                          (mPreviousItalic ? run.font->GetAscent() : run.font->GetDescent());
            mPenX += italicShift;
            mPreviousItalic = run.italic;
        }
        mContent = false;
        mDropRun = false;
        while (mIndex < mLength) {
            if (ReadTag(run, italicShift))
                break;
            if (ReadCharacter(run))
                break;
        }
        if (mIndex >= mLength && run.last == -2)
            run.last = mLength - 1;
        if (mDropRun)
            return;
        run.endX = RoundHalfAway(mPenX) / 4;
        run.Close(mContent || run.first <= run.last);
        mLine->runs.push_back(std::move(run));
    }

    // A tag at the index closes the run; true when there was one.
    bool ReadTag(TTextRun& run, float italicShift)
    {
        TTextStyleStack::TTag tag;
        const int at = mIndex;
        if (!mLayout.mStyle.ParseTag(mText, mLength, at, tag))
            return false;
        // A caret right after an italic change stands where the change began.
        if (tag.isCursor && at == run.first)
            mPenX -= italicShift;
        mContent = mContent || tag.isContent;
        run.last = at - 1;
        run.caret = tag.isCursor;
        mIndex = at + tag.length;
        if (tag.endsLine) {
            mLineDone = true;
            mPadding += tag.padding;
        }
        mAlignChanged = mAlignChanged || tag.aligns;
        if (tag.tab >= 0) {
            run.tab = tag.tab;
            mPenX = static_cast<float>(tag.tab);
        }
        return true;
    }

    // Takes the character at the index into the run; true when the run closes.
    bool ReadCharacter(TTextRun& run)
    {
        const int start = mIndex;
        int last = mIndex;
        bool escaped = false;
        const uint32_t code = ::ReadCharacter(mText, mLength, last, escaped);
        const int next = last + 1;
        const float penBefore = mPenX;
        const float overhangBefore = mOverhang;
        const bool wasFirstGlyph = mFirstGlyph;

        if (code == '\n' && !escaped) {
            run.last = start - 1;
            mIndex = next;
            mContent = true;
            mLineDone = true;
            return true;
        }
        if (code == ' ')
            RememberSpace(start, run);
        if (run.font == nullptr) {
            TraceLog("graphics: text: no font to draw \"%s\" with; its line ends there",
                     mLayout.mText.CStr());
            mIndex = next;
            return CloseAtEnd(run);
        }
        if (run.fallbackFor != nullptr && run.fallbackFor->FindGlyph(code) >= 0) {
            // The font asked for has characters again.
            run.last = start - 1;
            mFallback = false;
            return true;
        }
        // A font without a cell height (scale 0) has its glyphs but draws none of them.
        const int glyph = run.font->FindGlyph(code);
        if (glyph >= 0) {
            if (run.scale > 0.0f)
                Measure(run, glyph);
        } else if (run.fallbackFor == nullptr && mDefaultFont != nullptr &&
                   run.font != mDefaultFont && mDefaultFont->FindGlyph(code) >= 0) {
            run.last = start - 1;
            mFallback = true;
            return true;
        }
        mIndex = next;

        const float rightEdge = std::round(mPenX + (mFirstOutline + 1.0f + mOutline) * 4.0f);
        if (rightEdge > static_cast<float>(mLayout.mBoxWidth) * 4.0f) {
            Wrap(run, start, next, penBefore, overhangBefore, wasFirstGlyph);
            return true;
        }
        return CloseAtEnd(run);
    }

    bool CloseAtEnd(TTextRun& run)
    {
        if (mIndex < mLength)
            return false;
        run.last = mLength - 1;
        return true;
    }

    void Measure(const TTextRun& run, int glyph)
    {
        const TVecFont& font = *run.font;
        mPenX += mOverhang;
        const float advance = font.GetAdvance(glyph);
        const float right = font.GetXMax(glyph);
        if (advance > right) {
            mPenX += advance * run.scale;
            mOverhang = 0.0f;
        } else {
            // The pen measures the glyph's ink; the next glyph still goes by the advance.
            mPenX += right * run.scale;
            mOverhang = (advance - right) * run.scale;
        }
        if (mFirstGlyph) {
            mLead = 4.0f - font.GetXMin(glyph) * run.scale;
            mPenX += mLead;
            mFirstOutline = run.outlineSize;
            mFirstGlyph = false;
        }
        mOutline = run.outlineSize;
    }

    void RememberSpace(int index, const TTextRun& run)
    {
        mSpace.seen = true;
        mSpace.index = index;
        mSpace.penX = mPenX;
        mSpace.runCount = mLine->runs.size();
        mSpace.style = mLayout.mStyle;
        mSpace.previousItalic = mPreviousItalic;
        mSpace.outline = mOutline;
        mSpace.fallback = run.fallbackFor != nullptr;
    }

    // The character from start to next overflowed the box.
    void Wrap(TTextRun& run, int start, int next, float penBefore, float overhangBefore,
              bool wasFirstGlyph)
    {
        mLineDone = true;
        if (mSpace.seen && mSpace.penX != 0.0f) {
            WrapAtSpace(run);
            return;
        }
        if (wasFirstGlyph || mLegacyWrap) {
            run.last = next - 1; // a line keeps at least its first character
            return;
        }
        run.last = start - 1;
        mIndex = start;
        mPenX = penBefore;
        mOverhang = overhangBefore;
    }

    // Goes back to the last space: the runs after it are dropped, and the tags between it
    // and the break are read again on the next line, from the markup state at the space.
    void WrapAtSpace(TTextRun& run)
    {
        mIndex = mSpace.index + 1;
        mPenX = mSpace.penX;
        mLayout.mStyle = mSpace.style;
        mPreviousItalic = mSpace.previousItalic;
        mOutline = mSpace.outline;
        mFallback = mSpace.fallback;
        if (mSpace.runCount == mLine->runs.size()) {
            run.last = mSpace.index - 1;
            return;
        }
        mLine->runs.erase(mLine->runs.begin() + static_cast<ptrdiff_t>(mSpace.runCount) + 1,
                          mLine->runs.end());
        TTextRun& spaceRun = mLine->runs.back();
        spaceRun.last = mSpace.index - 1;
        spaceRun.endX = RoundHalfAway(mPenX) / 4;
        spaceRun.caret = false;
        spaceRun.tab = 0;
        mDropRun = true;
    }

    void CloseLine()
    {
        TTextLine& line = *mLine;
        for (const TTextRun& run : line.runs) {
            line.height = std::max(line.height, run.height);
            line.baseline = std::max(line.baseline, run.baseline);
        }
        line.height += mPadding;
        const int width = RoundHalfAway(mPenX) / 4;
        const int alignment = mAlignOverride >= 0 ? mAlignOverride : mLayout.mFlags;
        if ((alignment & kCenter) != 0) {
            line.anchorX = mLayout.mBoxWidth / 2;
            line.xOffset = -static_cast<float>(width) / 2.0f;
        } else if ((alignment & kRight) != 0) {
            line.anchorX = mLayout.mBoxWidth - RoundHalfAway(mOutline) - 1;
            line.xOffset = -static_cast<float>(width);
        } else {
            line.anchorX = RoundHalfAway(mFirstOutline);
            line.xOffset = 0.0f;
        }
        line.xOffset += mLead / 4.0f + 0.5f;
        if (mAlignChanged) {
            const int alignment = mLayout.mStyle.GetAlignment();
            mAlignOverride = alignment;
        }
        mLayout.mTotalHeight += line.height;
        mLayout.mLines.push_back(std::move(mLine));
    }

    TTextLayout& mLayout;
    const char* mText;
    int mLength;
    TVecFont* mDefaultFont;
    bool mLegacyWrap;
    int mIndex = 0;
    int mAlignOverride = -1; // -1: the layout's own flags
    bool mFallback = false;  // the last run switched to the default font

    std::shared_ptr<TTextLine> mLine;
    float mPenX = 0.0f; // quarter pixels
    float mOverhang = 0.0f;
    TSpace mSpace;
    bool mFirstGlyph = true;
    bool mLineDone = false;
    int mPadding = 0;
    bool mPreviousItalic = false;
    bool mAlignChanged = false;
    float mFirstOutline = 0.0f;
    float mOutline = 0.0f;
    float mLead = 0.0f;
    bool mContent = false;
    bool mDropRun = false;
};

// ---- the layout and its settings ----

TTextLayout::TTextLayout()
{
    mSpriteVerticalMode = std::atof(GetConfig("textspriterender", "").CStr()) > 0.0;
}

std::unique_ptr<TTextLayout> CreateTextLayout(const TString& text, int boxWidth, int boxHeight,
                                              int flags, const char* fontName,
                                              unsigned int fontSize, const TColor& colour)
{
    auto layout = std::make_unique<TTextLayout>();
    layout->mFlags = flags;
    layout->mFontName = fontName != nullptr && *fontName != '\0' ? TString(fontName)
                                                                 : TString(FontCache::kBuiltInName);
    layout->mFontSize = fontSize;
    layout->mColour = colour;
    layout->mBoxWidth = boxWidth;
    layout->mBoxHeight = boxHeight;
    layout->mText = text;
    layout->Layout();
    return layout;
}

void TTextLayout::SetText(const TString& text)
{
    if (text == mText)
        return;
    mText = text;
    Layout();
}

void TTextLayout::SetFont(const char* name)
{
    const TString font =
        name != nullptr && *name != '\0' ? TString(name) : TString(FontCache::kBuiltInName);
    if (font == mFontName)
        return;
    mFontName = font;
    Layout();
}

void TTextLayout::SetLineHeight(unsigned int fontSize)
{
    if (fontSize == mFontSize)
        return;
    mFontSize = fontSize;
    Layout();
}

void TTextLayout::SetSize(int width, int height)
{
    if (width == mBoxWidth && height == mBoxHeight)
        return;
    mBoxWidth = width;
    mBoxHeight = height;
    Layout();
}

void TTextLayout::SetColor(const TColor& colour)
{
    if (!(colour != mColour))
        return;
    mColour = colour;
    Layout();
}

void TTextLayout::SetRotation(float degrees, int originX, int originY)
{
    const float radians = degrees * kPi / 180.0f;
    mCosine = std::cos(radians);
    mSine = std::sin(radians);
    if (std::fabs(mCosine - 1.0f) < 0.0001f && std::fabs(mSine) < 0.0001f) {
        mCosine = 1.0f;
        mSine = 0.0f;
    }
    mRotationX = originX;
    mRotationY = originY;
    Layout();
}

void TTextLayout::SetCopyMode()
{
    mCopyMode = true;
    mBlendMode = false;
}

void TTextLayout::SetBlendMode()
{
    mBlendMode = true;
    mCopyMode = false;
}

// ---- laying out, measuring and links ----

void TTextLayout::Layout()
{
    mLines.clear();
    const unsigned int size = std::min(mFontSize, 4096u);
    mStyle.Reset(mFontName, static_cast<int>(size), mColour);
    mTotalHeight = 0;
    TLayoutPass(*this).Run();
    if ((mFlags & kCenterVertical) != 0) {
        mVerticalAnchor = mBoxHeight / 2;
        mVerticalOffset = -static_cast<float>(mTotalHeight) / 2.0f;
    } else if ((mFlags & kBottom) != 0) {
        mVerticalAnchor = mBoxHeight;
        mVerticalOffset = -static_cast<float>(mTotalHeight);
    } else {
        mVerticalAnchor = 0;
        mVerticalOffset = 0.0f;
    }
}

size_t TTextLayout::FirstLine() const
{
    // A scroll position before the first line starts at the first line.
    if (!(mScroll > 0.0f))
        return 0;
    if (mScroll >= static_cast<float>(mLines.size()))
        return mLines.size();
    return static_cast<size_t>(mScroll);
}

int TTextLayout::CountLinesThatFit(float scale, int extraSpacing) const
{
    float sum = 0.0f;
    for (size_t i = mLines.size(); i-- > 0;) {
        sum += static_cast<float>(mLines[i]->height + extraSpacing) * scale;
        if (sum > static_cast<float>(mBoxHeight))
            return static_cast<int>(i) + 1;
    }
    return 0;
}

void TTextLayout::GetBounds(TRect& bounds, float scale) const
{
    int left = INT_MAX;
    int right = INT_MIN;
    for (size_t i = FirstLine(); i < mLines.size(); ++i) {
        const TTextLine& line = *mLines[i];
        if (line.runs.empty())
            continue;
        const float x = line.xOffset * scale + static_cast<float>(line.anchorX);
        left = std::min(left, Trunc(mHorizontalScale * (x + line.runs.front().startX)));
        right = std::max(right, Trunc(mHorizontalScale * (x + line.runs.back().endX)));
    }
    if (left > right)
        left = right = 0;
    bounds.left = left;
    bounds.right = right;
    bounds.top = mVerticalAnchor + Trunc(mVerticalOffset * scale);
    bounds.bottom = Trunc(static_cast<float>(mTotalHeight) * scale + bounds.top);
}

TString TTextLayout::GetLinkAt(const TVec2& point, int extraSpacing) const
{
    float y = static_cast<float>(mVerticalAnchor) + mVerticalOffset;
    for (size_t i = FirstLine(); i < mLines.size(); ++i) {
        const TTextLine& line = *mLines[i];
        if (y - static_cast<float>(extraSpacing) <= point.y &&
            point.y < y + static_cast<float>(line.height)) {
            const float x = static_cast<float>(line.anchorX) + line.xOffset;
            for (const TTextRun& run : line.runs)
                if (mHorizontalScale * (x + run.startX) <= point.x &&
                    point.x < mHorizontalScale * (x + run.endX))
                    return run.link;
        }
        y += static_cast<float>(line.height + extraSpacing);
    }
    return TString();
}

bool TTextLayout::UpdateHoverLink(const TVec2* point, int extraSpacing)
{
    const TString link = point != nullptr ? GetLinkAt(*point, extraSpacing) : TString();
    if (link == mHoverLink)
        return false;
    mHoverLink = link;
    return true;
}

// ---- drawing ----

// What every line of one Draw shares.
struct TTextLayout::TLineDrawing
{
    float scale;
    float glyphScale; // scale, times the host window's scale when hosted
    float alpha;
    TVec2 position;  // the box's top-left in target pixels
    float hostScale; // the host window's scale, 1 when not hosted
    bool hosted;
    const std::shared_ptr<TTexture>& target; // null: the screen
};

// The pen along a line: where the next glyph goes, relative to the line's origin along
// the rotated baseline, and whether the run before was italic.
struct TTextLayout::TPen
{
    float x = 0.0f;
    float y = 0.0f;
    bool italic = false;
};

void TTextLayout::DrawInRect(const TRect& rect, float scale, int extraSpacing, float alpha,
                             const std::shared_ptr<TTexture>& target)
{
    Draw(TVec2(static_cast<float>(rect.left), static_cast<float>(rect.top)),
         static_cast<unsigned int>(rect.bottom - rect.top), scale, extraSpacing, alpha, target);
}

void TTextLayout::Draw(const TVec2& position, unsigned int heightLimit, float scale,
                       int extraSpacing, float alpha, const std::shared_ptr<TTexture>& target)
{
    // A scale of 0 would divide by zero in the second vertical mode.
    if (!(scale > 0.0f) || !std::isfinite(scale))
        return;
    TVec2 origin = position;
    float hostScale = 1.0f;
    bool hosted = false;
    if (!target) {
        const TRect viewport = TRenderer::Get()->GetViewport();
        origin += TVec2(static_cast<float>(viewport.left), static_cast<float>(viewport.top));
        const TGraphicsHost::THosting hosting = TGraphicsHost::Get().GetHosting();
        hosted = hosting.hosted;
        hostScale = hosting.scale;
    }
    THvMiniVecDraw& draw = THvMiniVecDraw::Get();
    draw.SetTargetModes(mCopyMode, mBlendMode);
    draw.SetRotation(mCosine, mSine);

    float y = mSpriteVerticalMode ? static_cast<float>(mVerticalAnchor) / scale + mVerticalOffset
                                  : mVerticalOffset * scale + static_cast<float>(mVerticalAnchor);
    const size_t first = FirstLine();
    const float scroll = mScroll > 0.0f ? mScroll : 0.0f;
    origin.y -= static_cast<float>(mFontSize) * (scroll - static_cast<float>(first)) * scale;
    const TLineDrawing drawing{
        scale, hosted ? scale * hostScale : scale, alpha, origin, hostScale, hosted, target};
    for (size_t i = first; i < mLines.size(); ++i) {
        const TTextLine& line = *mLines[i];
        const float bottom = mSpriteVerticalMode ? (static_cast<float>(mFontSize) + y) * scale
                                                 : static_cast<float>(line.height) * scale + y;
        if (bottom >= 0.0f && bottom <= static_cast<float>(heightLimit))
            DrawLine(line, y, drawing);
        y += static_cast<float>(line.height + extraSpacing);
    }
    draw.Flush();
}

// ---- drawing a line ----

void TTextLayout::DrawLine(const TTextLine& line, float y, const TLineDrawing& drawing)
{
    const TVec2 origin = LineOrigin(line, y, drawing);
    TPen pen;
    for (const TTextRun& run : line.runs)
        if (run.font != nullptr)
            DrawRun(run, origin, drawing, pen);
}

// The line's anchor and offset along x (stretched by the horizontal scale) and its
// baseline along y, turned about the rotation origin, then moved to the box's position;
// hosted, everything is in host pixels and the position is rounded to a whole one.
TVec2 TTextLayout::LineOrigin(const TTextLine& line, float y, const TLineDrawing& drawing) const
{
    float x = static_cast<float>(line.anchorX) + drawing.scale * line.xOffset;
    float originY = (y + static_cast<float>(line.baseline) / 4.0f) * drawing.scale;
    x *= mHorizontalScale;
    if (mSine != 0.0f) {
        const float dx = x - static_cast<float>(mRotationX);
        const float dy = originY - static_cast<float>(mRotationY);
        x = static_cast<float>(mRotationX) + dx * mCosine - dy * mSine;
        originY = static_cast<float>(mRotationY) + dx * mSine + dy * mCosine;
    }
    if (drawing.hosted) {
        x = std::trunc(drawing.position.x * drawing.hostScale + 0.5f) + x * drawing.hostScale;
        originY =
            std::trunc(drawing.position.y * drawing.hostScale + 0.5f) + originY * drawing.hostScale;
    } else {
        x += drawing.position.x;
        originY += drawing.position.y;
    }
    return TVec2(x, originY);
}

void TTextLayout::DrawRun(const TTextRun& run, const TVec2& origin, const TLineDrawing& drawing,
                          TPen& pen) const
{
    THvMiniVecDraw& draw = THvMiniVecDraw::Get();
    draw.SetItalic(run.italic);
    const bool hovered = mHoverLink.Length() > 0 && mHoverLink == run.link;
    const TColor& colour = hovered ? run.linkColour : run.fontColour;
    SetRunStrokes(run, colour, drawing);
    draw.Begin(origin.x, origin.y, drawing.target);
    draw.SetSlotColor(1, colour, drawing.alpha);
    ShiftForItalic(run, drawing.scale, pen);
    const TPen runStart = pen;
    const float unit = run.scale * drawing.glyphScale;
    const float advanceSum = DrawGlyphs(run, unit, pen);
    const float h = mHorizontalScale;
    if (run.tab != 0) {
        pen.x = static_cast<float>(run.tab) * h * mCosine;
        pen.y = static_cast<float>(run.tab) * h * mSine;
    }
    if (run.caret)
        DrawCaret(*run.font, unit, pen);
    if (run.underline)
        DrawUnderline(unit * advanceSum, runStart);
}

// Slot 255 takes the outline colour, or the run's colour for a bold run without an
// outline; slot 254 the run's colour for a bold run with one. A bold stroke is 1/80 of
// the run's size; hosted, the widths are in host pixels.
void TTextLayout::SetRunStrokes(const TTextRun& run, const TColor& colour,
                                const TLineDrawing& drawing) const
{
    THvMiniVecDraw& draw = THvMiniVecDraw::Get();
    float outlineWidth = 0.0f;
    float boldWidth = 0.0f;
    if (run.outlineSize > 0.0f) {
        outlineWidth = run.outlineSize;
        draw.SetSlotColor(255, run.outlineColour, drawing.alpha);
    }
    if (run.bold) {
        const float stroke = static_cast<float>(run.size) * drawing.scale * 0.0125f;
        if (run.outlineSize > 0.0f) {
            boldWidth = stroke;
            draw.SetSlotColor(254, colour, drawing.alpha);
            outlineWidth += boldWidth;
        } else {
            outlineWidth = stroke;
            draw.SetSlotColor(255, colour, drawing.alpha);
        }
    }
    if (drawing.hosted) {
        outlineWidth *= drawing.hostScale;
        boldWidth *= drawing.hostScale;
    }
    draw.SetStrokeWidths(outlineWidth, boldWidth);
}

// Between an upright and an italic run the pen moves by a third of the font's descent
// (into italic) or ascent (out of it), so that the slanted glyphs keep their distance.
void TTextLayout::ShiftForItalic(const TTextRun& run, float scale, TPen& pen) const
{
    if (run.italic == pen.italic)
        return;
    const float shift =
        run.scale * scale / 3.0f * (pen.italic ? run.font->GetAscent() : run.font->GetDescent());
    pen.x += shift * mHorizontalScale * mCosine;
    pen.y += shift * mHorizontalScale * mSine;
    pen.italic = run.italic;
}

// Draws the run's characters from the pen on, moving it past each; answers the sum of
// their advances in font units.
float TTextLayout::DrawGlyphs(const TTextRun& run, float unit, TPen& pen) const
{
    THvMiniVecDraw& draw = THvMiniVecDraw::Get();
    const TVecFont& font = *run.font;
    const char* text = mText.CStr();
    const int length = mText.Length();
    const float h = mHorizontalScale;
    float advanceSum = 0.0f;
    for (int at = run.first; at >= 0 && at <= run.last && at < length; ++at) {
        bool escaped = false;
        const uint32_t code = ReadCharacter(text, length, at, escaped);
        const int glyph = unit > 0.0f ? font.FindGlyph(code) : -1;
        if (glyph < 0)
            continue;
        draw.SetScale(unit * h, unit * font.GetGlyphScale(glyph));
        draw.DrawGlyph(font.GetGlyphData(glyph), font.GetGlyphDataSize(glyph), RoundHalfAway(pen.x),
                       Trunc(pen.y));
        const float advance = font.GetAdvance(glyph);
        pen.x += advance * unit * h * mCosine;
        pen.y += advance * unit * h * mSine;
        advanceSum += advance;
    }
    return advanceSum;
}

// A bar three quarter pixels wide from the ascent down to the descent, at the pen.
void TTextLayout::DrawCaret(const TVecFont& font, float unit, const TPen& pen) const
{
    TOutlineBuilder caret;
    caret.FillSlot(1)
        .Rectangle(0, -128 * RoundHalfAway(font.GetAscent()), 3 * 128,
                   128 * RoundHalfAway(font.GetDescent()))
        .End();
    THvMiniVecDraw& draw = THvMiniVecDraw::Get();
    draw.SetScale(mHorizontalScale, unit);
    draw.DrawGlyph(caret.Bytes().data(), caret.Bytes().size(), RoundHalfAway(pen.x), Trunc(pen.y));
}

// A bar under the run's characters (width in font units times their scale) from where
// the run started, quarter pixels 8 to 11 below the baseline, neither slanted nor stroked.
void TTextLayout::DrawUnderline(float width, const TPen& runStart) const
{
    TOutlineBuilder bar;
    bar.FillSlot(1).Rectangle(0, 8 * 128, 128, 11 * 128).End();
    THvMiniVecDraw& draw = THvMiniVecDraw::Get();
    draw.SetItalic(false);
    draw.SetStrokeWidths(0.0f, 0.0f);
    draw.SetScale(width * mHorizontalScale, 1.0f);
    draw.DrawGlyph(bar.Bytes().data(), bar.Bytes().size(), RoundHalfAway(runStart.x),
                   Trunc(runStart.y));
}
