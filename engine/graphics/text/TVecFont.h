#pragma once

// Text: vector fonts, the font cache and text layout. A TVecFont holds one ".mvec" file
// image (MvecFormat.h) in memory and answers glyph lookups and metrics; FontCache gives
// fonts by name with a fallback chain that always yields one (the built-in font last);
// TTextLayout lays out marked-up text in them and draws it through THvMiniVecDraw.
//
// Metrics are in font units (the file's values / 128), y pointing down. A text cell is
// (ascent + descent) / 0.8 high: 15 % of it above the ascent, 5 % below the descent.
// Glyphs taller than the cell have a cell scale below 1 that squeezes them into it.
//
// A damaged image (wrong magic, a glyph table or outline offset beyond the file, codes
// out of order) gives an empty font: every lookup fails. Outlines are handed out with
// their length, so nothing reads beyond the image. Main thread only.

#include "engine/foundation/core/TString.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class TVecFont
{
public:
    // The log line of a file refused (the name, the cause).
    static constexpr const char* kRefusedLog = "graphics: font: %s: %s";

    // Takes the file image and reads it; name is for the log only.
    explicit TVecFont(std::vector<uint8_t> image, const TString& name = TString());

    bool IsEmpty() const { return mCodes.empty(); }
    int GetGlyphCount() const { return static_cast<int>(mCodes.size()); }

    // The index of code's glyph, or -1.
    int FindGlyph(uint32_t code) const;
    // Glyph metrics; 0 for an index outside the font.
    float GetAdvance(int glyph) const;
    float GetXMin(int glyph) const;
    float GetXMax(int glyph) const;
    // The glyph's outline and its length in bytes (through its end command); null and 0
    // outside the font.
    const uint8_t* GetGlyphData(int glyph) const;
    size_t GetGlyphDataSize(int glyph) const;
    // The glyph's vertical squeeze into the text cell; 1 outside the font.
    float GetGlyphScale(int glyph) const;

    float GetAscent() const { return mAscent; }
    float GetDescent() const { return mDescent; }
    // The share of the text cell the glyphs occupy: 0.8.
    float GetGlyphShare() const { return kGlyphShare; }
    // Padding above (top) or below the glyphs in the text cell, in font units.
    float GetCellPadding(bool top) const;

private:
    static constexpr float kGlyphShare = 0.8f;
    static constexpr float kTopShare = 0.15f;
    static constexpr float kBottomShare = 0.05f;

    bool Read(const TString& name);
    float Metric(int glyph, size_t field) const;
    void ComputeMetrics();

    std::vector<uint8_t> mData;
    std::vector<uint32_t> mCodes;
    // The glyphs of codes 0..255 (-1 for none), looked up directly: text is mostly these,
    // and every character is looked up when laid out and again when drawn.
    std::array<int32_t, 256> mByteGlyphs;
    std::vector<uint32_t> mOutlineOffsets;
    std::vector<uint32_t> mOutlineSizes;
    std::vector<float> mCellScales;
    float mAscent = 0.0f;
    float mDescent = 0.0f;
};
