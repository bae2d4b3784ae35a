#pragma once

// The markup state of a text layout, and the markup's tags. A tag is "<" up to ">":
//
//   br pad="N"   ends the line, adding N pixels to its height
//   /p           ends the line
//   a id="" color="RRGGBB"   a link (shown in its colour while hovered); /a ends it
//   b, i, u      bold, italic, underline on; /b, /i, /u off
//   cursor       a caret after the text before it
//   center, left, right   the lines that follow aligned so (each ends the line); the
//                closing tags return to the alignment before
//   font size="N" color="RRGGBB[AA]" face="name"   a font on top of the current one;
//                /font returns to it
//   outline color="RRGGBB" size="N"   an outline stroke (2 pixels without a size);
//                /outline ends it
//   tab pos="N"  the pen moves to N pixels from the line's start
//
// Tag names match by prefix in that order (so "bold" is "b", "br" is tested first); an
// unknown tag is consumed without effect. Attribute values must be quoted; colours are
// hexadecimal with an optional "#", and only "font" takes the eight-digit form with
// alpha. Fonts and alignments nest 32 deep; deeper tags are counted but not stored.

#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TColor.h"
#include "engine/graphics/text/TTextFontEntry.h"

#include <array>

class TTextStyleStack
{
public:
    static constexpr int kDepth = 32;
    static constexpr int kTagBuffer = 128;

    // What a tag means to the layout.
    struct TTag
    {
        int length = 0;         // bytes of text it takes
        bool endsLine = false;  // br, /p and the alignment tags
        bool aligns = false;    // an alignment tag
        bool isContent = false; // br, /p and cursor count as content of the run they end
        bool isCursor = false;
        int padding = 0; // br pad, pixels
        int tab = -1;    // tab pos, quarter pixels; -1 without
    };

    // Starts a layout: the outermost font, no styles, the layout's own alignment.
    void Reset(const TString& face, int size, const TColor& colour);

    // Applies the tag at text[index] and describes it in tag; false when there is no tag
    // there (the "<" is then an ordinary character).
    bool ParseTag(const char* text, int length, int index, TTag& tag);

    const TTextFontEntry& GetFont() const
    {
        return mFonts[static_cast<size_t>(Clamped(mFontDepth))];
    }
    // The alignment in force: -1 (the layout's own flags), 0 left, 1 centre, 2 right.
    int GetAlignment() const { return mAlignments[static_cast<size_t>(Clamped(mAlignDepth))]; }
    bool IsBold() const { return mBold; }
    bool IsItalic() const { return mItalic; }
    bool IsUnderline() const { return mUnderline; }
    const TString& GetLink() const { return mLink; }
    const TColor& GetCurrentColour() const { return mCurrentColour; }
    float GetOutlineSize() const { return mOutlineSize; }
    const TColor& GetOutlineColour() const { return mOutlineColour; }
    int GetFontDepth() const { return mFontDepth; }

private:
    static int Clamped(int depth) { return depth < kDepth ? depth : kDepth - 1; }

    // Copies the tag at text[index] into mTag (lower case outside attribute values,
    // spaces outside quotes dropped); its length in bytes, or 0 when there is none.
    int ScanTag(const char* text, int length, int index);
    bool TagIs(const char* name) const;
    // The quoted value after name anywhere in the tag; false without one.
    bool GetAttribute(const char* name, TString& value) const;
    bool GetColour(const char* name, bool withAlpha, TColor& colour) const;
    void Apply(TTag& tag);
    void PushAlignment(int alignment);

    std::array<TTextFontEntry, kDepth> mFonts;
    int mFontDepth = 0;
    bool mBold = false;
    bool mItalic = false;
    bool mUnderline = false;
    std::array<int, kDepth> mAlignments{};
    int mAlignDepth = 0;
    TString mLink;
    TColor mCurrentColour;
    float mOutlineSize = 0.0f;
    TColor mOutlineColour;

    char mTag[kTagBuffer + 1] = {};
    int mTagLength = 0;
};
