#pragma once
// A script state for fuzz targets that run what they load: the base and coroutine
// libraries are open, and the state runs under the engine's script budget
// (TScriptBudget) with fixed limits in place of its timed ones: a call is stopped after a
// fixed number of instructions (in every coroutine; past it every further instruction
// raises, so a pcall loop cannot go on either), and the allocator refuses to go past a
// fixed total in use, and past a fixed sum of all blocks it ever handed out (a string
// grown by concatenation in a loop allocates far more than it keeps, and the sanitizer's
// allocator holds on to freed blocks). Any input must then end in a result or an error
// status: no crash, no hang and no unbounded allocation, whatever the machine's speed.

#include "engine/script/TScriptBudget.h"

struct lua_State;

class LimitedScriptState
{
public:
    static constexpr unsigned long kMemoryLimit = 16ul << 20;
    static constexpr unsigned long kAllocationBudget = 64ul << 20;
    static constexpr int kInstructionBudget = 200000;

    // Every state the engine opens (TScript) while this object exists gets the same
    // limits (one object at a time).
    LimitedScriptState();
    ~LimitedScriptState();
    LimitedScriptState(const LimitedScriptState&) = delete;
    LimitedScriptState& operator=(const LimitedScriptState&) = delete;

    // Null when even the state could not be made within the limit.
    lua_State* L() const { return mState; }

private:
    TScriptLimits mOldLimits;
    lua_State* mState = nullptr;
};
