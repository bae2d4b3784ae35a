#pragma once

// One styled stretch of characters of a laid-out line: bytes first..last of the text
// (last inclusive), drawn in one font with one set of styles.

#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TColor.h"

class TTextStyleStack;
class TVecFont;

struct TTextRun
{
    // A run in the style in force. With fallback set the run is drawn with defaultFont
    // and remembers the font the style asks for.
    TTextRun(const TTextStyleStack& style, int start, bool fallback, TVecFont* defaultFont);

    // Height and baseline of a run with content; both 0 without.
    void Close(bool hasContent);

    TVecFont* font = nullptr;        // the font the run is drawn with
    TVecFont* fallbackFor = nullptr; // the font asked for, when the default font stands in
    float scale = 0.0f;              // font units to quarter pixels; 0 for an empty font
    int size = 0;                    // the font size, pixels
    int height = 0;                  // pixels
    int baseline = 0;                // quarter pixels below the line's top
    TColor fontColour;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool caret = false;
    int first = -2;
    int last = -2;
    int startX = 0; // pixels
    int endX = 0;
    TString link;
    TColor linkColour;
    float outlineSize = 0.0f; // pixels
    TColor outlineColour;
    int tab = 0; // quarter pixels the pen moves to after the run; 0 for none
};
