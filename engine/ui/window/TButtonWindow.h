#pragma once

// What window scripts drive on a button (TButton): the script function its press
// runs, and its on state (toggle and radio buttons). A button class derives from this as well as
// from its window base (and from TDefaultButton); the script functions SetCommand, EnableWindow,
// GetButtonToggleState and SetButtonToggleState find it by dynamic_cast.

#include <memory>

class TLuaFunction;

class TButtonWindow
{
public:
    virtual ~TButtonWindow() = default;

    // The button runs function when pressed from now on, in place of its previous
    // command; it owns the handle.
    virtual void SetCommand(std::unique_ptr<TLuaFunction> function) = 0;
    virtual bool GetToggleState() const = 0;
    virtual void SetToggleState(bool on) = 0;
};
