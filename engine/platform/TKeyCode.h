#pragma once

// The engine's numeric key codes, the values key events carry and scripts compare
// against. Backends map their own key identifiers onto these.
struct TKeyCode
{
    static constexpr int kBackspace = 8;
    static constexpr int kTab = 9;
    static constexpr int kReturn = 13;
    static constexpr int kShift = 16;
    static constexpr int kControl = 17;
    static constexpr int kAlt = 18;
    static constexpr int kPause = 19;
    static constexpr int kCapsLock = 20;
    static constexpr int kEscape = 27;
    static constexpr int kSpace = 32;
    static constexpr int kPageUp = 33;
    static constexpr int kPageDown = 34;
    static constexpr int kEnd = 35;
    static constexpr int kHome = 36;
    static constexpr int kLeft = 37;
    static constexpr int kUp = 38;
    static constexpr int kRight = 39;
    static constexpr int kDown = 40;
    static constexpr int kPrintScreen = 44;
    static constexpr int kInsert = 45;
    static constexpr int kDelete = 46;
    static constexpr int kDigit0 = 48;  // '0'..'9' are 48..57
    static constexpr int kLetterA = 65; // 'A'..'Z' are 65..90
    static constexpr int kLeftSystem = 91;
    static constexpr int kRightSystem = 92;
    static constexpr int kApplication = 93;
    static constexpr int kNumpad0 = 96; // keypad digits are 96..105
    static constexpr int kMultiply = 106;
    static constexpr int kAdd = 107;
    static constexpr int kSubtract = 109;
    static constexpr int kDecimal = 110;
    static constexpr int kDivide = 111;
    static constexpr int kF1 = 112; // F1..F24 are 112..135
    static constexpr int kNumLock = 144;
    static constexpr int kScrollLock = 145;
    static constexpr int kSemicolon = 186;
    static constexpr int kEquals = 187;
    static constexpr int kComma = 188;
    static constexpr int kMinus = 189;
    static constexpr int kPeriod = 190;
    static constexpr int kSlash = 191;
    static constexpr int kBackquote = 192;
    static constexpr int kLeftBracket = 219;
    static constexpr int kBackslash = 220;
    static constexpr int kRightBracket = 221;
    static constexpr int kQuote = 222;
};
