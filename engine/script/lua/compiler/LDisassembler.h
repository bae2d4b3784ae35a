#pragma once
// Readable listings of compiled functions, for tests and the scriptlist tool.
//
//   function <[string "return x & 255"]:0> 0 params, 0 upvalues, 2 slots
//      1 [1] GETGLOBAL 0 k0 ; k0 = "x"
//      2 [1] AND 0 0 k1 ; k1 = 255
//
// Instructions are numbered from 1; jump operands show their target ("=> 5"); RK and
// constant operands show as kN with the constant in the comment. Nested functions follow
// their parent, depth first.

#include <string>

struct LProto;

std::string DisassembleProto(const LProto* f);
// One instruction of f (0-based pc), without the pc and line columns.
std::string DisassembleInstruction(const LProto* f, int pc);
