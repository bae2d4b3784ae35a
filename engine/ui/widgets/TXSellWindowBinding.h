#pragma once

class TLifeline;
class TXSellWindow;

// Log lines of the published functions (the function's name): the page is gone; the
// entry is no number.
inline constexpr const char* kXSellWindowGoneLog =
    "ui: xsell: %s: the cross-promotion window no longer exists; nothing done";
inline constexpr const char* kXSellEntryNotANumberLog =
    "ui: xsell: %s: the entry is not a number; nothing opened";

// Publishes "SetupXSell" () and "LaunchGameLink" (entry number) into the window manager's
// script, bound to window: a later window rebinds them. While lifeline lives they call
// the window; afterwards they do nothing but log, so a script that calls them after the
// page has gone goes on (an error would end its dialog). LaunchGameLink ignores a
// non-number. Nothing without a window manager or script. Scripts use these names: change
// them together with the scripts.
void PublishXSellWindow(TXSellWindow& window, const TLifeline& lifeline);
