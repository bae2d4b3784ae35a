#pragma once
// Verification of one compiled function before it may run (precompiled chunks are
// checked with it when they are loaded). It checks operand ranges, the shape of test
// and jump sequences, that open results are taken by the next instruction from at or
// below where they start, and the closure pseudo-instructions. Precompiled chunks may
// be crafted: what it proves here the interpreter loop relies on; what it cannot prove
// (the type of a value in a register) the instruction checks where it runs.

struct LProto;

// 1 when the function's code passes, 0 otherwise. Nested functions are checked on
// their own.
int luaG_checkcode(const LProto* f);
