#pragma once

// Where a script stands, for log lines about what it asked for.

#include "engine/foundation/core/TString.h"

struct lua_State;

// "<file>:<line>" of the innermost function on L's call stack that was loaded from a
// script file (a chunk named "@<path>", or a chunk named after a ".lua" path), so that
// the window library's own functions and code run from strings are passed over; "" when
// no such function runs, or for a null L.
TString FindScriptFilePosition(lua_State* L);
