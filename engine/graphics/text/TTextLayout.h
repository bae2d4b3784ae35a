#pragma once

// A block of marked-up text (UTF-8, markup of TTextStyleStack) laid out in vector fonts:
// wrapped at spaces (or inside a word too long for the box), aligned line by line (the
// layout's flags, or alignment tags), placed in the box vertically, and drawn through
// THvMiniVecDraw onto the screen or into a texture. Measuring is in quarter pixels.
//
// Every setter lays the whole text out again when its value changes; drawing walks the
// prepared lines. The owner moves the scroll position (the first line drawn; its fraction
// scrolls smoothly) and asks for bounds and for the link under the mouse.
//
// A horizontal text scale (SetHorizontalScale) stretches or narrows everything drawn,
// hit-tested and bounded along x only; the window toolkit sets it to the screen-fit scale.
//
// Settings read: "textspriterender" (at creation: the second vertical mode) and the
// "legacylinewrap" flag (at each layout). Main thread only.

#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TColor.h"
#include "engine/foundation/math/TRect.h"
#include "engine/foundation/math/TVec2.h"
#include "engine/graphics/text/TTextLine.h"
#include "engine/graphics/text/TTextStyleStack.h"

#include <climits>
#include <memory>
#include <vector>

class TTexture;
class TVecFont;

class TTextLayout
{
public:
    // Flags.
    enum : int
    {
        kCenter = 1,         // lines centred in the box
        kRight = 2,          // lines right-aligned
        kCenterVertical = 4, // the block centred in the box
        kBottom = 8,         // the block at the box's bottom
    };

    TTextLayout();

    void SetText(const TString& text);
    // Null or "" selects the built-in font.
    void SetFont(const char* name);
    void SetLineHeight(unsigned int fontSize);
    void SetSize(int width, int height);
    void SetColor(const TColor& colour);
    // Rotates the drawing by degrees about (originX, originY); lays out again.
    void SetRotation(float degrees, int originX, int originY);
    // Glyphs replace the target's pixels (copy) or blend over them (blend).
    void SetCopyMode();
    void SetBlendMode();
    void SetHorizontalScale(float scale) { mHorizontalScale = scale; }
    float GetHorizontalScale() const { return mHorizontalScale; }

    TString GetText() const { return mText; }
    int GetLineCount() const { return static_cast<int>(mLines.size()); }
    const std::vector<std::shared_ptr<TTextLine>>& GetLines() const { return mLines; }
    float GetRotationCosine() const { return mCosine; }
    float GetRotationSine() const { return mSine; }
    int GetTotalHeight() const { return mTotalHeight; }

    float GetScrollPosition() const { return mScroll; }
    void SetScrollPosition(float position) { mScroll = position; }

    // From the last line upwards, the first line from which the end of the text fits
    // the box at scale with extra pixels between lines; 0 when everything fits.
    int CountLinesThatFit(float scale, int extraSpacing) const;
    // The rectangle the lines from the scroll position on cover at scale.
    void GetBounds(TRect& bounds, float scale) const;
    // The link id under point (box pixels), or "".
    TString GetLinkAt(const TVec2& point, int extraSpacing) const;
    // Stores the link under point (none for null) as hovered; true when that changed.
    bool UpdateHoverLink(const TVec2* point, int extraSpacing);
    const TString& GetHoverLink() const { return mHoverLink; }

    // Draws at position (box pixels; onto the screen the viewport's corner is added) the
    // lines whose bottom lies in 0..heightLimit, at scale with extra pixels between lines
    // and alpha, into target or onto the screen (null, in the 2D state).
    void Draw(const TVec2& position, unsigned int heightLimit, float scale, int extraSpacing,
              float alpha, const std::shared_ptr<TTexture>& target = nullptr);
    void DrawInRect(const TRect& rect, float scale, int extraSpacing, float alpha,
                    const std::shared_ptr<TTexture>& target = nullptr);

private:
    friend std::unique_ptr<TTextLayout> CreateTextLayout(const TString&, int, int, int, const char*,
                                                         unsigned int, const TColor&);
    class TLayoutPass;

    void Layout();
    // The index of the first line drawn and hit-tested; the line count when none is.
    size_t FirstLine() const;
    // Drawing a line, step by step: where it starts, then each run with its strokes, the
    // italic shift, its glyphs, a caret and an underline.
    struct TLineDrawing;
    struct TPen;
    void DrawLine(const TTextLine& line, float y, const TLineDrawing& drawing);
    TVec2 LineOrigin(const TTextLine& line, float y, const TLineDrawing& drawing) const;
    void DrawRun(const TTextRun& run, const TVec2& origin, const TLineDrawing& drawing,
                 TPen& pen) const;
    void SetRunStrokes(const TTextRun& run, const TColor& colour,
                       const TLineDrawing& drawing) const;
    void ShiftForItalic(const TTextRun& run, float scale, TPen& pen) const;
    float DrawGlyphs(const TTextRun& run, float unit, TPen& pen) const;
    void DrawCaret(const TVecFont& font, float unit, const TPen& pen) const;
    void DrawUnderline(float width, const TPen& runStart) const;

    TString mText;
    TTextStyleStack mStyle;
    int mVerticalAnchor = 0;
    int mTotalHeight = 0;
    int mBoxWidth = 0;
    int mBoxHeight = 0;
    float mCosine = 1.0f;
    float mSine = 0.0f;
    int mRotationX = 0;
    int mRotationY = 0;
    bool mCopyMode = false;
    bool mBlendMode = false;
    std::vector<std::shared_ptr<TTextLine>> mLines;
    TString mFontName;
    unsigned int mFontSize = 16;
    TColor mColour;
    float mScroll = 0.0f;
    float mVerticalOffset = 0.0f;
    TString mHoverLink;
    int mFlags = 0;
    float mHorizontalScale = 1.0f;
    bool mSpriteVerticalMode = false;
};

// A new layout of text in a box, laid out once.
std::unique_ptr<TTextLayout> CreateTextLayout(const TString& text, int boxWidth, int boxHeight,
                                              int flags, const char* fontName,
                                              unsigned int fontSize, const TColor& colour);
