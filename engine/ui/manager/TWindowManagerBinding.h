#pragma once

struct lua_State;
class TLifeline;
class TWindowManager;

// The window manager as window scripts see it: the global "SetTopModalOnly" (one
// boolean: draw only the top modal window). Published into the root window script when
// the script is attached; a call after the manager has gone raises a script error.
// Scripts use this name: change it together with the scripts.
void PublishWindowManager(lua_State* L, TWindowManager& manager, const TLifeline& lifeline);
