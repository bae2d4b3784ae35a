#pragma once

class TLifeline;
class TXSellWindow;

// Publishes "SetupXSell" () and "LaunchGameLink" (entry number) into the window manager's
// script, bound to window: a later window rebinds them. While lifeline lives they call
// the window; afterwards they do nothing but log, so a script that calls them after the
// page has gone goes on (an error would end its dialog). LaunchGameLink ignores a
// non-number. Nothing without a window manager or script. Scripts use these names: change
// them together with the scripts.
void PublishXSellWindow(TXSellWindow& window, const TLifeline& lifeline);
