#pragma once

// What Enter in a dialog asks of a button: whether it is the dialog's default button,
// and to press it. A window class that can be a default button (TButton) derives from
// this as well as from its window base.
class TDefaultButton
{
public:
    virtual ~TDefaultButton() = default;

    // The style gave the button the default mark.
    virtual bool IsDefaultButton() const = 0;
    // Runs the button's command as a press does. False when the button is no longer in
    // the window tree afterwards (its command closed the dialog).
    virtual bool DoCommand() = 0;
};
