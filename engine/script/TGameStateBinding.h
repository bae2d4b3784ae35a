#pragma once

struct lua_State;

// The game-state store as scripts see it: the globals "GetState" (key -> value),
// "_SetState" (key, value), "QueryMuteGame", "QueryRestartMode" and "QueryJumpToMenu"
// (-> boolean). Each call reaches the current store; while there is none (before the
// platform facade exists or after shutdown) it raises a script error. The host bridge
// reaches scripts through these functions: its rewritten reads ("systemmode",
// "restartbutton") and its requests (restart, jump to menu, mute).
//
// The window manager publishes them into the root window script when the store is
// created. Scripts use these names: change them together with the scripts.
void PublishGameState(lua_State* L);
