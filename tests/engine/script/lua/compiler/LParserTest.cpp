#include "engine/script/lua/compiler/LParser.h"

#include "engine/script/lua/compiler/LChunkCompiler.h"
#include "engine/script/lua/compiler/LCodeCheck.h"
#include "engine/script/lua/compiler/LDisassembler.h"
#include "engine/script/lua/objects/LFunction.h"
#include "tests/engine/script/lua/LuaTestState.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool PassesVerifier(const LProto* f)
{
    for (int i = 0; i < f->mSizeProtos; ++i) {
        if (!PassesVerifier(f->mProtos[i]))
            return false;
    }
    return luaG_checkcode(f) == 1;
}

// The listing of a chunk named "=t", or "error: <message>". Compiled code must pass
// the verifier.
std::string Listing(const std::string& source)
{
    LuaTestState state;
    const LCompileResult result = luaY_compilebuffer(state.L(), source.data(), source.size(), "=t");
    if (result.mStatus != 0)
        return "error: " + result.mMessage;
    if (!PassesVerifier(result.mProto))
        return "refused by the verifier:\n" + DisassembleProto(result.mProto);
    return DisassembleProto(result.mProto);
}

struct LListingCase
{
    const char* mSource;
    const char* mListing;
};

TEST(LParserTest, BitwiseOperatorsTakeConstantOperands)
{
    const LListingCase cases[] = {
        {"return x & 255", "function <t:0> 0 params, 0 upvalues, 2 slots\n"
                           "   1 [1] GETGLOBAL 0 k0 ; k0 = \"x\"\n"
                           "   2 [1] AND 0 0 k1 ; k1 = 255\n"
                           "   3 [1] RETURN 0 2\n"
                           "   4 [1] RETURN 0 1\n"},
        {"return 1 << n", "function <t:0> 0 params, 0 upvalues, 2 slots\n"
                          "   1 [1] GETGLOBAL 0 k1 ; k1 = \"n\"\n"
                          "   2 [1] SHL 0 k0 0 ; k0 = 1\n"
                          "   3 [1] RETURN 0 2\n"
                          "   4 [1] RETURN 0 1\n"},
        {"return a | b >> 3, a ^ 2", "function <t:0> 0 params, 0 upvalues, 2 slots\n"
                                     "   1 [1] GETGLOBAL 0 k0 ; k0 = \"a\"\n"
                                     "   2 [1] GETGLOBAL 1 k1 ; k1 = \"b\"\n"
                                     "   3 [1] OR 0 0 1\n"
                                     "   4 [1] SHR 0 0 k2 ; k2 = 3\n"
                                     "   5 [1] GETGLOBAL 1 k0 ; k0 = \"a\"\n"
                                     "   6 [1] POW 1 1 k3 ; k3 = 2\n"
                                     "   7 [1] RETURN 0 3\n"
                                     "   8 [1] RETURN 0 1\n"},
    };
    for (const LListingCase& c : cases)
        EXPECT_EQ(Listing(c.mSource), c.mListing) << c.mSource;
}

TEST(LParserTest, OnlyUnaryMinusOfANumberIsFolded)
{
    EXPECT_EQ(Listing("return -5, -(2^3), 1 + 2"), "function <t:0> 0 params, 0 upvalues, 3 slots\n"
                                                   "   1 [1] LOADK 0 k1 ; k1 = -5\n"
                                                   "   2 [1] POW 1 k2 k3 ; k2 = 2, k3 = 3\n"
                                                   "   3 [1] UNM 1 1\n"
                                                   "   4 [1] ADD 2 k4 k2 ; k4 = 1, k2 = 2\n"
                                                   "   5 [1] RETURN 0 4\n"
                                                   "   6 [1] RETURN 0 1\n");
}

TEST(LParserTest, WideAndNarrowLiteralsAreDifferentConstants)
{
    EXPECT_EQ(Listing("f(L\"a\", \"a\") f L\"b\" t = {[L\"a\"] = 1}"),
              "function <t:0> 0 params, 0 upvalues, 3 slots\n"
              "   1 [1] GETGLOBAL 0 k0 ; k0 = \"f\"\n"
              "   2 [1] LOADK 1 k1 ; k1 = L\"a\"\n"
              "   3 [1] LOADK 2 k2 ; k2 = \"a\"\n"
              "   4 [1] CALL 0 3 1\n"
              "   5 [1] GETGLOBAL 0 k0 ; k0 = \"f\"\n"
              "   6 [1] LOADK 1 k3 ; k3 = L\"b\"\n"
              "   7 [1] CALL 0 2 1\n"
              "   8 [1] NEWTABLE 0 0 1 ; array 0, hash 2\n"
              "   9 [1] SETTABLE 0 k1 k5 ; k1 = L\"a\", k5 = 1\n"
              "  10 [1] SETGLOBAL 0 k4 ; k4 = \"t\"\n"
              "  11 [1] RETURN 0 1\n");
}

TEST(LParserTest, ConstantsBeyondTheRKRangeAreLoadedFirst)
{
    std::string source = "local t = {";
    for (int i = 0; i < 262; ++i)
        source += std::to_string(i + 1000) + ",";
    source += "} return t[1] + 5";
    const std::string listing = Listing(source);
    // Constants 262 and 263 no longer fit an RK operand: both go through a register.
    const std::string tail = listing.substr(listing.find(" 273 [1]"));
    EXPECT_EQ(tail, " 273 [1] LOADK 1 k262 ; k262 = 1\n"
                    " 274 [1] GETTABLE 1 0 1\n"
                    " 275 [1] LOADK 2 k263 ; k263 = 5\n"
                    " 276 [1] ADD 1 1 2\n"
                    " 277 [1] RETURN 1 2\n"
                    " 278 [1] RETURN 0 1\n");
}

TEST(LParserTest, SizeHintsSetNewTableOperands)
{
    const LListingCase cases[] = {
        {"t = {&100}", "NEWTABLE 0 0 7 ; array 0, hash 128"},
        {"t = {&0 &64}", "NEWTABLE 0 36 0 ; array 64, hash 0"},
        {"t = {&3 &2; 1, 2, 3}", "NEWTABLE 0 3 2 ; array 3, hash 4"},
        {"t = {&1e300 &1e300}", "NEWTABLE 0 180 24 ; array 16777216, hash 16777216"},
        {"t = {x = 1, y = 2, 3}", "NEWTABLE 0 1 2 ; array 1, hash 4"},
    };
    for (const LListingCase& c : cases)
        EXPECT_NE(Listing(c.mSource).find(c.mListing), std::string::npos) << c.mSource << "\n"
                                                                          << Listing(c.mSource);
}

TEST(LParserTest, PrioritiesOfTheBitwiseOperators)
{
    // 1 + 2 & 3 is 1 + (2 & 3); a * b & c is a * (b & c); -a & b is (-a) & b;
    // a & b ^ c is a & (b ^ c); a & b & c is (a & b) & c.
    const LListingCase cases[] = {
        {"return 1 + 2 & 3", "   1 [1] AND 0 k1 k2 ; k1 = 2, k2 = 3\n"
                             "   2 [1] ADD 0 k0 0 ; k0 = 1\n"},
        {"return a * b & c", "   2 [1] GETGLOBAL 1 k1 ; k1 = \"b\"\n"
                             "   3 [1] GETGLOBAL 2 k2 ; k2 = \"c\"\n"
                             "   4 [1] AND 1 1 2\n"
                             "   5 [1] MUL 0 0 1\n"},
        {"return -a & b", "   2 [1] UNM 0 0\n"
                          "   3 [1] GETGLOBAL 1 k1 ; k1 = \"b\"\n"
                          "   4 [1] AND 0 0 1\n"},
        {"return a & b ^ c", "   4 [1] POW 1 1 2\n"
                             "   5 [1] AND 0 0 1\n"},
        {"return a & b & c", "   3 [1] AND 0 0 1\n"
                             "   4 [1] GETGLOBAL 1 k2 ; k2 = \"c\"\n"
                             "   5 [1] AND 0 0 1\n"},
        {"return a .. b & c", "   4 [1] AND 1 1 2\n"
                              "   5 [1] CONCAT 0 0 1\n"},
    };
    for (const LListingCase& c : cases)
        EXPECT_NE(Listing(c.mSource).find(c.mListing), std::string::npos) << c.mSource << "\n"
                                                                          << Listing(c.mSource);
}

TEST(LParserTest, BreakAndContinueTargets)
{
    // continue 2 from the inner loop goes to the outer loop's test (11); break 2 leaves
    // both (14). The if's false exit is threaded through the break jump straight to 14.
    EXPECT_EQ(Listing("while a do while b do if c then continue 2 end break 2 end end"),
              "function <t:0> 0 params, 0 upvalues, 2 slots\n"
              "   1 [1] JMP => 11\n"
              "   2 [1] JMP => 8\n"
              "   3 [1] GETGLOBAL 0 k2 ; k2 = \"c\"\n"
              "   4 [1] TEST 0 0 0\n"
              "   5 [1] JMP => 14\n"
              "   6 [1] JMP => 11\n"
              "   7 [1] JMP => 14\n"
              "   8 [1] GETGLOBAL 0 k1 ; k1 = \"b\"\n"
              "   9 [1] TEST 0 0 1\n"
              "  10 [1] JMP => 3\n"
              "  11 [1] GETGLOBAL 0 k0 ; k0 = \"a\"\n"
              "  12 [1] TEST 0 0 1\n"
              "  13 [1] JMP => 2\n"
              "  14 [1] RETURN 0 1\n");
}

struct LErrorCase
{
    std::string mSource;
    std::string mError;
};

std::string Repeat(const std::string& piece, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += piece;
    return out;
}

TEST(LParserTest, SyntaxErrors)
{
    const LErrorCase cases[] = {
        {"while a do while b do break 3 end end", "t:1: no loop to break near `end'"},
        {"break", "t:1: no loop to break near `<eof>'"},
        {"continue", "t:1: no loop to continue near `<eof>'"},
        {"while a do f = function() continue end end", "t:1: no loop to continue near `end'"},
        {"while a do break 0 end", "t:1: loop block number out of range near `0'"},
        {"while a do continue 101 end", "t:1: loop block number out of range near `101'"},
        {"while a do break 1.5 end", "t:1: loop block number must be integer near `1.5'"},
        {"while a do break x = 1 end", "t:1: `end' expected near `x'"},
        {"while a do continue; x = 1 end", "t:1: `end' expected near `x'"},
        {"local continue = 1", "t:1: <name> expected near `continue'"},
        {"continue = 1", "t:1: no loop to continue near `='"},
        {"t = {&x}", "t:1: size expected following & (line 1) near `x'"},
        {"t = {\n&1 &\n}", "t:3: size expected following & (line 3) near `}'"},
        {"t = {&10, a = 1}", "t:1: unexpected symbol near `,'"},
        {"x = 1 +", "t:1: unexpected symbol near `<eof>'"},
        {"x = = 1", "t:1: unexpected symbol near `='"},
        {"f()\n(g)()", "t:2: ambiguous syntax (function call x new statement) near `('"},
        {"x.y:z = 1", "t:1: function arguments expected near `='"},
        {"for i x do end", "t:1: `=' or `in' expected near `x'"},
        {"for i, j = 1 do end", "t:1: `in' expected near `='"},
        {"if x then", "t:1: `end' expected near `<eof>'"},
        {"if x then\n\nelse", "t:3: `end' expected (to close `if' at line 1) near `<eof>'"},
        {"function f(a, 1) end", "t:1: <name> or `...' expected near `1'"},
        {"return 1 2", "t:1: <eof> expected near `2'"},
        {"x, y() = 1", "t:1: syntax error near `='"},
        {"local " + Repeat("a,", 200) + "a",
         "t:1: too many local variables (limit=200) near `<eof>'"},
        {"function f(" + Repeat("a,", 100) + "a) end",
         "t:1: too many parameters (limit=100) near `)'"},
        {Repeat("local a; ", 1) + "x = " + Repeat("(", 300) + "1" + Repeat(")", 300),
         "t:1: too many syntax levels near `('"},
        {Repeat("do ", 250) + Repeat("end ", 250), "t:1: too many syntax levels near `do'"},
        {"x = " + Repeat("- ", 300) + "1", "t:1: too many syntax levels near `-'"},
        {"f(" + Repeat("1,", 260) + "1)", "t:1: function or expression too complex near `1'"},
        {"while " + Repeat("a and ", 60) + "a do end",
         "t:1: `while' condition too complex near `do'"},
    };
    for (const LErrorCase& c : cases)
        EXPECT_EQ(Listing(c.mSource), "error: " + c.mError) << c.mSource.substr(0, 80);
}

TEST(LParserTest, UpvalueLimit)
{
    std::string source;
    for (int i = 0; i <= 32; ++i)
        source += "local v" + std::to_string(i) + " ";
    source += "f = function() return ";
    for (int i = 0; i <= 32; ++i)
        source += "v" + std::to_string(i) + (i < 32 ? "," : "");
    source += " end";
    EXPECT_EQ(Listing(source), "error: t:1: too many upvalues (limit=32) near `end'");
}

TEST(LParserTest, LongJumpsAreRefused)
{
    // Each statement is two instructions: the loop's backward jump spans over 131071.
    const std::string source = "while x do " + Repeat("a=b ", 70000) + "end";
    EXPECT_EQ(Listing(source), "error: t:1: control structure too long near `end'");
}

TEST(LParserTest, LongJumpListsCompile)
{
    // Chains that build one jump list each (the verifier checks every jump target).
    const std::string sources[] = {
        "x = " + Repeat("a and ", 5000) + "a",
        "x = " + Repeat("a or ", 5000) + "a == b",
        "if a then " + Repeat("elseif a then f() ", 5000) + "else g() end",
        "while x do " + Repeat("if a then break end ", 5000) + "end",
        "repeat " + Repeat("if a then continue end ", 5000) + "until x",
    };
    for (const std::string& source : sources) {
        const std::string listing = Listing(source);
        EXPECT_EQ(listing.rfind("RETURN 0 1\n"), listing.size() - 11)
            << source.substr(0, 40) << "\n"
            << listing.substr(0, 200);
    }
}

TEST(LParserTest, ContinueClosesCapturedLocalsOfTheBody)
{
    EXPECT_EQ(Listing("for i = 1, 3 do local v = i fs[i] = function() return v end if v then "
                      "continue end end"),
              "function <t:0> 0 params, 0 upvalues, 6 slots\n"
              "   1 [1] LOADK 0 k0 ; k0 = 1\n"
              "   2 [1] LOADK 1 k1 ; k1 = 3\n"
              "   3 [1] LOADK 2 k0 ; k0 = 1\n"
              "   4 [1] SUB 0 0 2\n"
              "   5 [1] JMP => 16\n"
              "   6 [1] MOVE 3 0\n"
              "   7 [1] GETGLOBAL 4 k2 ; k2 = \"fs\"\n"
              "   8 [1] CLOSURE 5 0\n"
              "   9 [1] MOVE 0 3\n"
              "  10 [1] SETTABLE 4 0 5\n"
              "  11 [1] TEST 3 3 0\n"
              "  12 [1] JMP => 15\n"
              "  13 [1] CLOSE 3\n" // continue leaves the body: v is closed first
              "  14 [1] JMP => 16\n"
              "  15 [1] CLOSE 3\n" // the body's own end
              "  16 [1] FORLOOP 0 => 6\n"
              "  17 [1] RETURN 0 1\n"
              "function <t:1> 0 params, 1 upvalues, 2 slots\n"
              "   1 [1] GETUPVAL 0 0\n"
              "   2 [1] RETURN 0 2\n"
              "   3 [1] RETURN 0 1\n");
}

TEST(LParserTest, ContinuationPointsOfEachLoop)
{
    // repeat: the until test; generic for: the iterator call.
    const LListingCase cases[] = {
        {"repeat if a then continue end b() until c", "   1 [1] GETGLOBAL 0 k0 ; k0 = \"a\"\n"
                                                      "   2 [1] TEST 0 0 0\n"
                                                      "   3 [1] JMP => 5\n"
                                                      "   4 [1] JMP => 7\n"
                                                      "   5 [1] GETGLOBAL 0 k1 ; k1 = \"b\"\n"
                                                      "   6 [1] CALL 0 1 1\n"
                                                      "   7 [1] GETGLOBAL 0 k2 ; k2 = \"c\"\n"
                                                      "   8 [1] TEST 0 0 0\n"
                                                      "   9 [1] JMP => 1\n"},
        {"for k, v in pairs(t) do if k then continue end f() end",
         "   4 [1] TFORPREP 0 => 10\n"
         "   5 [1] TEST 2 2 0\n"
         "   6 [1] JMP => 8\n"
         "   7 [1] JMP => 10\n"
         "   8 [1] GETGLOBAL 4 k2 ; k2 = \"f\"\n"
         "   9 [1] CALL 4 1 1\n"
         "  10 [1] TFORLOOP 0 1\n"
         "  11 [1] JMP => 5\n"},
    };
    for (const LListingCase& c : cases)
        EXPECT_NE(Listing(c.mSource).find(c.mListing), std::string::npos) << c.mSource << "\n"
                                                                          << Listing(c.mSource);
}

} // namespace
