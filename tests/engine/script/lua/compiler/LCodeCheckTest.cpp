#include "engine/script/lua/compiler/LCodeCheck.h"

#include "engine/script/lua/compiler/LChunkCompiler.h"
#include "engine/script/lua/compiler/LOpcodes.h"
#include "tests/engine/script/lua/LuaTestState.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

// Index of the first instruction with that opcode.
int Find(const LProto* f, OpCode op)
{
    for (int pc = 0; pc < f->mSizeCode; ++pc) {
        if (GET_OPCODE(f->mCode[pc]) == op)
            return pc;
    }
    ADD_FAILURE() << "no " << luaP_opnames[op];
    return 0;
}

// Sets the A operand of the instruction after the first call (which takes that call's
// open results) to the call's A plus offset.
void MoveOpenResultsTaker(LProto* f, int offset)
{
    const int call = Find(f, OP_CALL);
    SETARG_A(&f->mCode[call + 1], GETARG_A(f->mCode[call]) + offset);
}

struct LRefusalCase
{
    const char* mWhat;
    const char* mSource;
    std::function<void(LProto*)> mDamage;
};

TEST(LCodeCheckTest, DamagedCodeIsRefused)
{
    const LRefusalCase cases[] = {
        {"last instruction not RETURN", "local a = 1",
         [](LProto* f) { f->mCode[f->mSizeCode - 1] = CREATE_ABC(OP_MOVE, 0, 0, 0); }},
        {"test not followed by JMP", "local a, b = 1, 2 if a == b then a = b end",
         [](LProto* f) { f->mCode[Find(f, OP_EQ) + 1] = CREATE_ABC(OP_MOVE, 0, 0, 0); }},
        {"register out of range", "local a, b = 1, 2 a = b",
         [](LProto* f) { SETARG_B(&f->mCode[Find(f, OP_MOVE)], 200); }},
        {"bad constant index", "local a = 1",
         [](LProto* f) { SETARG_Bx(&f->mCode[Find(f, OP_LOADK)], f->mSizeConstants); }},
        {"bad constant in an RK operand", "local a = 1 a = a + 2",
         [](LProto* f) { SETARG_C(&f->mCode[Find(f, OP_ADD)], kMaxStack + f->mSizeConstants); }},
        {"global named by a number", "x = 1",
         [](LProto* f) { SETARG_Bx(&f->mCode[Find(f, OP_SETGLOBAL)], 1); }},
        {"closure without its upvalue words", "local a f = function() return a end",
         [](LProto* f) { f->mCode[Find(f, OP_CLOSURE) + 1] = CREATE_ABC(OP_LOADNIL, 0, 0, 0); }},
        {"CONCAT with B >= C", "local a, b = 'x', 'y' local c = a .. b",
         [](LProto* f) {
             SETARG_B(&f->mCode[Find(f, OP_CONCAT)], GETARG_C(f->mCode[Find(f, OP_CONCAT)]));
         }},
        {"open call results not taken", "f(g())",
         [](LProto* f) { f->mCode[Find(f, OP_CALL) + 1] = CREATE_ABC(OP_MOVE, 0, 0, 0); }},
        {"open call results taken by a call above them", "f(g())",
         [](LProto* f) { MoveOpenResultsTaker(f, 0); }},
        {"open call results returned from above them", "return 1, g()",
         [](LProto* f) {
             f->mMaxStackSize = 3;
             MoveOpenResultsTaker(f, 1);
         }},
        {"open call results filled into a list above them", "local t = {g()}",
         [](LProto* f) { MoveOpenResultsTaker(f, 0); }},
        {"tail call with a result count and no return after it", "return g()",
         [](LProto* f) {
             const int at = Find(f, OP_TAILCALL);
             SETARG_C(&f->mCode[at], 1);
             f->mCode[at + 1] = CREATE_ABC(OP_MOVE, 0, 0, 0);
         }},
        {"jump outside the code", "while x do end",
         [](LProto* f) { SETARG_sBx(&f->mCode[Find(f, OP_JMP)], 1000); }},
        {"upvalue index out of range", "local a f = function() return a end",
         [](LProto* f) { SETARG_B(&f->mProtos[0]->mCode[0], 5); }},
        {"opcode 39", "local a = 1",
         [](LProto* f) { SET_OPCODE(&f->mCode[0], static_cast<OpCode>(kNumOpcodes)); }},
        {"opcode 63", "local a = 1",
         [](LProto* f) { SET_OPCODE(&f->mCode[0], static_cast<OpCode>(63)); }},
        {"line list of the wrong size", "local a = 1", [](LProto* f) { f->mSizeLineInfo = 1; }},
        {"stack larger than 250", "local a = 1", [](LProto* f) { f->mMaxStackSize = 251; }},
    };
    for (const LRefusalCase& c : cases) {
        LuaTestState state;
        const LCompileResult result =
            luaY_compilebuffer(state.L(), c.mSource, std::strlen(c.mSource), "=t");
        ASSERT_EQ(result.mStatus, 0) << c.mWhat;
        LProto* f = result.mProto;
        const bool isNested = std::string(c.mWhat) == "upvalue index out of range";
        LProto* checked = isNested ? f->mProtos[0] : f;
        ASSERT_EQ(luaG_checkcode(checked), 1) << c.mWhat << ": the undamaged code passes";
        c.mDamage(f);
        EXPECT_EQ(luaG_checkcode(checked), 0) << c.mWhat;
    }
}

} // namespace
