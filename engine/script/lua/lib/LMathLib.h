#pragma once

struct lua_State;

// The math library in the global table "math" (abs sin cos tan asin acos atan atan2
// ceil floor mod frexp ldexp sqrt min max log log10 exp deg pow rad random randomseed,
// and pi), and the global "__pow" that the `^` operator calls when an operand is not a
// number. Angles are in radians.
//
// math.random draws from a 15-bit linear congruential generator of the state's own
// (x = x * 214013 + 2531011, output (x >> 16) & 0x7fff, seed 1 until math.randomseed),
// so sequences are the same on every machine and every state starts alike.
// Leaves the library table on the stack and returns 1.
int luaopen_math(lua_State* L);
