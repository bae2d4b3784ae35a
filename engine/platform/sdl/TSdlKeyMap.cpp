#include "engine/platform/sdl/TSdlKeyMap.h"

#include "engine/platform/TKeyCode.h"
#include "engine/platform/TSystemEvent.h"

namespace {

struct TEntry
{
    SDL_Keycode sym;
    int code;
    bool extended;
};

// Keys whose engine code is not a plain character.
constexpr TEntry kTable[] = {
    {SDLK_BACKSPACE, TKeyCode::kBackspace, false},
    {SDLK_TAB, TKeyCode::kTab, false},
    {SDLK_RETURN, TKeyCode::kReturn, false},
    {SDLK_RETURN2, TKeyCode::kReturn, false},
    {SDLK_KP_ENTER, TKeyCode::kReturn, true},
    {SDLK_ESCAPE, TKeyCode::kEscape, false},
    {SDLK_SPACE, TKeyCode::kSpace, false},
    {SDLK_LSHIFT, TKeyCode::kShift, false},
    {SDLK_RSHIFT, TKeyCode::kShift, false},
    {SDLK_LCTRL, TKeyCode::kControl, false},
    {SDLK_RCTRL, TKeyCode::kControl, true},
    {SDLK_LALT, TKeyCode::kAlt, false},
    {SDLK_RALT, TKeyCode::kAlt, true},
    {SDLK_LGUI, TKeyCode::kLeftSystem, true},
    {SDLK_RGUI, TKeyCode::kRightSystem, true},
    {SDLK_APPLICATION, TKeyCode::kApplication, true},
    {SDLK_PAUSE, TKeyCode::kPause, false},
    {SDLK_CAPSLOCK, TKeyCode::kCapsLock, false},
    {SDLK_NUMLOCKCLEAR, TKeyCode::kNumLock, true},
    {SDLK_SCROLLLOCK, TKeyCode::kScrollLock, false},
    {SDLK_PRINTSCREEN, TKeyCode::kPrintScreen, true},
    {SDLK_PAGEUP, TKeyCode::kPageUp, true},
    {SDLK_PAGEDOWN, TKeyCode::kPageDown, true},
    {SDLK_END, TKeyCode::kEnd, true},
    {SDLK_HOME, TKeyCode::kHome, true},
    {SDLK_LEFT, TKeyCode::kLeft, true},
    {SDLK_UP, TKeyCode::kUp, true},
    {SDLK_RIGHT, TKeyCode::kRight, true},
    {SDLK_DOWN, TKeyCode::kDown, true},
    {SDLK_INSERT, TKeyCode::kInsert, true},
    {SDLK_DELETE, TKeyCode::kDelete, true},
    {SDLK_KP_MULTIPLY, TKeyCode::kMultiply, false},
    {SDLK_KP_PLUS, TKeyCode::kAdd, false},
    {SDLK_KP_MINUS, TKeyCode::kSubtract, false},
    {SDLK_KP_DIVIDE, TKeyCode::kDivide, true},
    {SDLK_SEMICOLON, TKeyCode::kSemicolon, false},
    {SDLK_EQUALS, TKeyCode::kEquals, false},
    {SDLK_COMMA, TKeyCode::kComma, false},
    {SDLK_MINUS, TKeyCode::kMinus, false},
    {SDLK_PERIOD, TKeyCode::kPeriod, false},
    {SDLK_SLASH, TKeyCode::kSlash, false},
    {SDLK_BACKQUOTE, TKeyCode::kBackquote, false},
    {SDLK_LEFTBRACKET, TKeyCode::kLeftBracket, false},
    {SDLK_BACKSLASH, TKeyCode::kBackslash, false},
    {SDLK_RIGHTBRACKET, TKeyCode::kRightBracket, false},
    {SDLK_QUOTE, TKeyCode::kQuote, false},
};

// Keypad keys: their code with Num Lock on, and the navigation key they are with Num
// Lock off (never extended then).
struct TKeypadEntry
{
    SDL_Keycode sym;
    int numCode;
    int navigationCode;
};

constexpr TKeypadEntry kKeypad[] = {
    {SDLK_KP_0, TKeyCode::kNumpad0 + 0, TKeyCode::kInsert},
    {SDLK_KP_1, TKeyCode::kNumpad0 + 1, TKeyCode::kEnd},
    {SDLK_KP_2, TKeyCode::kNumpad0 + 2, TKeyCode::kDown},
    {SDLK_KP_3, TKeyCode::kNumpad0 + 3, TKeyCode::kPageDown},
    {SDLK_KP_4, TKeyCode::kNumpad0 + 4, TKeyCode::kLeft},
    {SDLK_KP_5, TKeyCode::kNumpad0 + 5, 12}, // 12: the keypad's centre key
    {SDLK_KP_6, TKeyCode::kNumpad0 + 6, TKeyCode::kRight},
    {SDLK_KP_7, TKeyCode::kNumpad0 + 7, TKeyCode::kHome},
    {SDLK_KP_8, TKeyCode::kNumpad0 + 8, TKeyCode::kUp},
    {SDLK_KP_9, TKeyCode::kNumpad0 + 9, TKeyCode::kPageUp},
    {SDLK_KP_PERIOD, TKeyCode::kDecimal, TKeyCode::kDelete},
};

// Letters and digits by their physical key, for layouts whose symbols are not Latin.
int FromScancode(SDL_Scancode scancode)
{
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return TKeyCode::kLetterA + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return TKeyCode::kDigit0 + 1 + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0)
        return TKeyCode::kDigit0;
    return 0;
}

} // namespace

TSdlKeyMap::TResult TSdlKeyMap::Translate(const SDL_Keysym& keysym)
{
    const SDL_Keycode sym = keysym.sym;
    if (sym >= SDLK_a && sym <= SDLK_z)
        return {TKeyCode::kLetterA + (sym - SDLK_a), false};
    if (sym >= SDLK_0 && sym <= SDLK_9)
        return {TKeyCode::kDigit0 + (sym - SDLK_0), false};
    if (sym >= SDLK_F1 && sym <= SDLK_F12)
        return {TKeyCode::kF1 + (sym - SDLK_F1), false};
    if (sym >= SDLK_F13 && sym <= SDLK_F24)
        return {TKeyCode::kF1 + 12 + (sym - SDLK_F13), false};
    for (const TKeypadEntry& entry : kKeypad) {
        if (entry.sym == sym) {
            const bool numLock = (keysym.mod & KMOD_NUM) != 0;
            return {numLock ? entry.numCode : entry.navigationCode, false};
        }
    }
    for (const TEntry& entry : kTable) {
        if (entry.sym == sym)
            return {entry.code, entry.extended};
    }
    return {FromScancode(keysym.scancode), false};
}

int TSdlKeyMap::Modifiers(Uint16 mod)
{
    int bits = 0;
    if (mod & KMOD_SHIFT)
        bits |= TSystemEvent::kShift;
    if (mod & KMOD_CTRL)
        bits |= TSystemEvent::kControl;
    if (mod & KMOD_ALT)
        bits |= TSystemEvent::kAlt;
    return bits;
}
