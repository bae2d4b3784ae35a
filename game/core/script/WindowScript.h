#pragma once

// The root window script, whose state every game script runs in unless another is named:
// the game publishes its Lua functions there and runs its data scripts through it.

struct lua_State;
class TScript;

namespace YOLT::Core {

class WindowScript
{
public:
    // The window manager's root script, or null when there is no window manager or its
    // script is no script state.
    static TScript* Get();
    // Get's state, or null.
    static lua_State* GetState();
};

} // namespace YOLT::Core
