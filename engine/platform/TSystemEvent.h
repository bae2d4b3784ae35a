#pragma once

#include <string>

// One window-system event, already free of backend types: key identifiers are the
// engine's key codes (TKeyCode.h), text is UTF-8, positions are window pixels.
struct TSystemEvent
{
    enum class TKind
    {
        None,
        Quit,          // the process was asked to end (signal, session end)
        WindowClose,   // the user asked to close the main window
        WindowExposed, // part of the window needs drawing again
        WindowMinimized,
        WindowRestored, // restored from minimised (or maximised)
        WindowShown,
        FocusGained,
        FocusLost,
        MouseEntered,
        MouseLeft,
        DisplayChanged, // desktop mode or monitor set changed
        KeyDown,
        KeyUp,
        Text,
        MouseMove,
        ButtonDown,
        ButtonUp,
        Wheel,
    };

    // Modifier bits, the same values the engine's event flags use.
    static constexpr int kShift = 1;
    static constexpr int kControl = 2;
    static constexpr int kAlt = 4;

    // Mouse buttons.
    static constexpr int kButtonLeft = 1;
    static constexpr int kButtonMiddle = 2;
    static constexpr int kButtonRight = 3;
    static constexpr int kButtonX1 = 4;
    static constexpr int kButtonX2 = 5;

    TKind kind = TKind::None;
    int key = 0;           // KeyDown/KeyUp: engine key code, 0 when the key has none
    bool extended = false; // KeyDown/KeyUp: the key is one of the "extended" keys
    int modifiers = 0;     // Key, button and wheel events: kShift | kControl | kAlt
    std::string text;      // Text: UTF-8 as typed (may hold several characters)
    int x = 0;             // mouse events: position in window pixels
    int y = 0;
    int button = 0; // ButtonDown/ButtonUp: kButton...
    int wheel = 0;  // Wheel: positive when turned away from the user
};
