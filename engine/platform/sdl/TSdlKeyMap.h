#pragma once

#include <SDL.h>

// Maps SDL key symbols onto the engine's key codes (TKeyCode.h) and tells which keys
// count as "extended" (the navigation block, right-hand modifiers, keypad Enter and
// Divide, and the other keys that the engine's key codes mark so).
class TSdlKeyMap
{
public:
    struct TResult
    {
        int code = 0; // 0: the key has no engine code
        bool extended = false;
    };

    static TResult Translate(const SDL_Keysym& keysym);

    // Engine modifier bits (1 Shift, 2 Ctrl, 4 Alt) of an SDL modifier state.
    static int Modifiers(Uint16 mod);
};
