#pragma once

// One event record of the event pump (TPlatform::GetEvent): what happened, with a
// parameter, a mouse position in the display's logical coordinates (sign-extended from
// 16 bits) and modifier flags. The caller owns it; the pump fills every field.
struct TEvent
{
    // Event types.
    static constexpr int kIdle = 1;    // no input was waiting
    static constexpr int kNothing = 2; // input that yields no event, or was dropped
    static constexpr int kClose = 3;   // the user asked to close the window
    static constexpr int kQuit = 4;    // end the event loop
    static constexpr int kLeftDown = 5;
    static constexpr int kMouseButton = 6; // other buttons and the wheel, see param
    static constexpr int kLeftUp = 7;
    static constexpr int kMouseMove = 8;
    static constexpr int kMouseLeave = 9; // left the window, or lost the capture
    static constexpr int kMouseHover = 10;
    static constexpr int kKeyDown = 11; // param: key code
    static constexpr int kKeyUp = 12;
    static constexpr int kChar = 13;     // param: 8-bit character
    static constexpr int kWideChar = 14; // param: Unicode code point
    static constexpr int kRedraw = 15;
    static constexpr int kDisplayModeSet = 17;
    static constexpr int kActivation = 18;        // param: 1 active, 0 inactive
    static constexpr int kFullScreenToggled = 19; // param: full screen afterwards

    // Parameters of kMouseButton.
    static constexpr int kRightUp = 0;
    static constexpr int kRightDown = 1;
    static constexpr int kMiddleUp = 2;
    static constexpr int kMiddleDown = 3;
    static constexpr int kX1Down = 4;
    static constexpr int kX2Down = 5;
    static constexpr int kWheelAway = 6;
    static constexpr int kWheelToward = 7;

    // Flag bits.
    static constexpr int kShift = 1;
    static constexpr int kControl = 2;
    static constexpr int kAlt = 4;
    static constexpr int kExtended = 8;

    int type = 0;
    int param = 0;
    int x = 0;
    int y = 0;
    int flags = 0;
};
