#pragma once
// Verification of one compiled function before it may run (precompiled chunks are
// checked with it when they are loaded). It checks operand ranges, the shape of test
// and jump sequences and the closure pseudo-instructions; it is a sanity check of code
// we produced ourselves, not a safety boundary against crafted code.

struct LProto;

// 1 when the function's code passes, 0 otherwise. Nested functions are checked on
// their own.
int luaG_checkcode(const LProto* f);
