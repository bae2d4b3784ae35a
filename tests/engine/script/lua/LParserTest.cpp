#include "engine/script/lua/LParser.h"

#include "engine/script/lua/LChunkCompiler.h"
#include "engine/script/lua/LDisassembler.h"
#include "engine/script/lua/LFunction.h"
#include "tests/engine/script/lua/LuaTestState.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The listing of a chunk named "=t", or "error: <message>".
std::string Listing(const std::string& source)
{
    LuaTestState state;
    const LCompileResult result = luaY_compilebuffer(state.L(), source.data(), source.size(), "=t");
    if (result.mStatus != 0)
        return "error: " + result.mMessage;
    return DisassembleProto(result.mProto);
}

struct LListingCase {
    const char* mSource;
    const char* mListing;
};

TEST(LParserTest, BitwiseOperatorsTakeConstantOperands)
{
    const LListingCase cases[] = {
        {"return x & 255",
         "function <t:0> 0 params, 0 upvalues, 2 slots\n"
         "   1 [1] GETGLOBAL 0 k0 ; k0 = \"x\"\n"
         "   2 [1] AND 0 0 k1 ; k1 = 255\n"
         "   3 [1] RETURN 0 2\n"
         "   4 [1] RETURN 0 1\n"},
        {"return 1 << n",
         "function <t:0> 0 params, 0 upvalues, 2 slots\n"
         "   1 [1] GETGLOBAL 0 k1 ; k1 = \"n\"\n"
         "   2 [1] SHL 0 k0 0 ; k0 = 1\n"
         "   3 [1] RETURN 0 2\n"
         "   4 [1] RETURN 0 1\n"},
        {"return a | b >> 3, a ^ 2",
         "function <t:0> 0 params, 0 upvalues, 2 slots\n"
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
    EXPECT_EQ(Listing("return -5, -(2^3), 1 + 2"),
              "function <t:0> 0 params, 0 upvalues, 3 slots\n"
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
    EXPECT_EQ(tail,
              " 273 [1] LOADK 1 k262 ; k262 = 1\n"
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
        EXPECT_NE(Listing(c.mSource).find(c.mListing), std::string::npos) << c.mSource << "\n" << Listing(c.mSource);
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
        EXPECT_NE(Listing(c.mSource).find(c.mListing), std::string::npos) << c.mSource << "\n" << Listing(c.mSource);
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

} // namespace
