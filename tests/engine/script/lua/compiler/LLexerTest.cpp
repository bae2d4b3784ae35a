#include "engine/script/lua/compiler/LLexer.h"

#include "engine/script/lua/objects/LString.h"
#include "engine/script/lua/runtime/LErrorUnwind.h"
#include "tests/engine/script/lua/LuaTestState.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string DescribeString(const LString* s)
{
    std::string out = "\"";
    for (uint32_t i = 0; i < s->mLength; ++i) {
        const unsigned char c = static_cast<unsigned char>(s->Text()[i]);
        if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            out += "\\" + std::to_string(c);
        }
    }
    return out + "\"";
}

std::string DescribeWide(const LString* s)
{
    std::string out = "L[";
    for (uint32_t i = 0; i < s->mLength; ++i)
        out += (i > 0 ? " " : "") + std::to_string(static_cast<unsigned>(s->WideText()[i]));
    return out + "]";
}

std::string DescribeToken(LexState* ls, int token, const LTokenValue& value)
{
    char number[64];
    switch (token) {
    case TK_NAME:
        return "name:" + std::string(value.mString->Text());
    case TK_NUMBER:
        std::snprintf(number, sizeof number, "%.14g", value.mNumber);
        return number;
    case TK_STRING:
        return DescribeString(value.mString);
    case TK_WSTRING:
        return DescribeWide(value.mString);
    default:
        return luaX_token2str(ls, token);
    }
}

struct LLexJob
{
    const std::string* mSource;
    std::vector<std::string> mTokens;
    std::vector<int> mLines;
};

void LexAll(lua_State* L, void* ud)
{
    LLexJob* job = static_cast<LLexJob*>(ud);
    LBlockReaderData block{job->mSource->data(), job->mSource->size()};
    LInputStream z;
    luaZ_init(&z, &luaZ_blockreader, &block, "=test");
    luaZ_detectwide(&z);
    LTextBuffer buffer{nullptr, 0};
    LexState ls;
    try {
        luaX_setinput(L, &ls, &z, &buffer, "=test");
        for (;;) {
            LTokenValue value;
            const int token = luaX_lex(&ls, &value);
            if (token == TK_EOS)
                break;
            job->mTokens.push_back(DescribeToken(&ls, token, value));
            job->mLines.push_back(ls.mLineNumber);
        }
    } catch (...) {
        luaZ_freebuffer(L, &buffer);
        throw;
    }
    luaZ_freebuffer(L, &buffer);
}

// Tokens joined by " | ", or "error: <message>".
std::string Lex(const std::string& source, std::vector<int>* lines = nullptr)
{
    LuaTestState state;
    lua_State* L = state.L();
    LLexJob job{&source, {}, {}};
    LValue* top = L->mTop;
    const int status = luaD_rawrunprotected(L, &LexAll, &job);
    if (status != 0) {
        std::string message = (L->mTop - 1)->IsString() ? (L->mTop - 1)->AsString()->Text() : "?";
        L->mTop = top;
        return "error: " + message;
    }
    if (lines != nullptr)
        *lines = job.mLines;
    std::string out;
    for (const std::string& token : job.mTokens)
        out += (out.empty() ? "" : " | ") + token;
    return out;
}

struct LLexCase
{
    std::string mSource;
    std::string mExpected;
};

TEST(LLexerTest, TokensOfEveryDialectChange)
{
    const LLexCase cases[] = {
        {"continue and while", "continue | and | while"},
        {"a << b >> c <= d >= e < f > g", "name:a | << | name:b | >> | name:c | <= | name:d | >= | "
                                          "name:e | < | name:f | > | name:g"},
        {"a & b | c ^ d ~= e", "name:a | & | name:b | | | name:c | ^ | name:d | ~= | name:e"},
        {"~ x", "~ | name:x"},
        {"0xFF 0xffffffff 0x0", "255 | 4294967295 | 0"},
        {"0x123456789 0xfffffffff", "305419896 | 9 | 4294967295 | name:f"},
        {"0X10", "0 | name:X10"},
        {"3 3.5 .5 1e2 2E-1", "3 | 3.5 | 0.5 | 100 | 0.2"},
        {"\"\\x41\\x4a\"", "\"AJ\""},
        {"\"\\xg\"", "\"xg\""},
        {"\"\\x4\" '\\x'", "\"\\4\" | \"x\""},
        {"\"a\\tb\\65\\n\"", "\"a\\9bA\\10\""},
        {"\"a\\\nb\"", "\"a\\10b\""},
        {"L\"\\x263A\"", "L[9786]"},
        {"L\"a\\tb\"", "L[97 9 98]"},
        {"L\"\\xFFFFF\"", "L[65535 70]"},
        {"L\"\\255\"", "L[255]"},
        {"L'a'", "name:L | \"a\""},
        {"La Lb L", "name:La | name:Lb | name:L"},
        {"[[a[[b]]c]]", "\"a[[b]]c\""},
        {"[[\nx]]", "\"x\""},
        {"--[[ a [[ b ]] c ]] x", "name:x"},
        {"-- comment\ny", "name:y"},
        {"a..b...", "name:a | .. | name:b | ..."},
        {"x\xc8y", "name:x | \xc8 | name:y"},
        {"#!/bin/script\nx", "name:x"},
        {"\"caf\xc3\xa9\"", "\"caf\\195\\169\""},
    };
    for (const LLexCase& c : cases)
        EXPECT_EQ(Lex(c.mSource), c.mExpected) << c.mSource;
}

TEST(LLexerTest, ErrorsNameTheTextReadSoFar)
{
    const LLexCase cases[] = {
        {"x = 0x", "error: test:1: malformed number near `0x'"},
        {"x = 0x}", "error: test:1: malformed number near `0x'"},
        {"x = 1..2",
         "error: test:1: ambiguous syntax (decimal point x string concatenation) near `1..'"},
        {"x = 1e", "error: test:1: malformed number near `1e'"},
        {"x = 2.5e+", "error: test:1: malformed number near `2.5e+'"},
        {"x = \"abc", "error: test:1: unfinished string near `<eof>'"},
        {"x = \"abc\ny\"", "error: test:1: unfinished string near `\"abc'"},
        {"x = L\"abc\n\"", "error: test:1: unfinished string near `L\"abc'"},
        {"x = L\"abc", "error: test:1: unfinished string near `<eof>'"},
        {"x = [[abc", "error: test:1: unfinished long string near `<eof>'"},
        {"--[[ abc\n", "error: test:2: unfinished long comment near `<eof>'"},
        {"x = \"\\300\"", "error: test:1: escape sequence too large near `\"'"},
        {"x = L\"\\256\"", "error: test:1: escape sequence too large near `L\"'"},
        {std::string("x = 1 \x01"), "error: test:1: invalid control char near `char(1)'"},
        {std::string("x = \x7f"), "error: test:1: invalid control char near `char(127)'"},
        {std::string("x = \xff"), "error: test:1: invalid wide char near `char(255)'"},
    };
    for (const LLexCase& c : cases)
        EXPECT_EQ(Lex(c.mSource), c.mExpected) << c.mSource;
}

TEST(LLexerTest, SkippedFirstLineStillCounts)
{
    std::vector<int> lines;
    EXPECT_EQ(Lex("# first line\nx\n\ny", &lines), "name:x | name:y");
    EXPECT_EQ(lines, (std::vector<int>{2, 4}));
}

// 16-bit little-endian source, the FF FE mark first.
std::string Utf16Source(const std::u16string& text)
{
    std::string bytes = "\xff\xfe";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xff);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

TEST(LLexerTest, WideSourceKeepsWideLiteralsAndLowBytesOfNarrowOnes)
{
    const std::u16string text =
        u"-- \u263a in a comment\nw = L\"\u263a\u00e9\" s = \"\u0141x\" t = [[\u0142]]";
    EXPECT_EQ(Lex(Utf16Source(text)),
              "name:w | = | L[9786 233] | name:s | = | \"Ax\" | name:t | = | \"B\"");
}

TEST(LLexerTest, WideSourceRejectsWideCharactersOutsideLiterals)
{
    EXPECT_EQ(Lex(Utf16Source(u"x = \u263a")),
              "error: test:1: invalid wide char near `char(9786)'");
    EXPECT_EQ(Lex(Utf16Source(u"x = \u00c8")), "name:x | = | \xc8");
}

TEST(LLexerTest, WideMarkSplitAcrossPiecesOrAbsent)
{
    // A lone FF that is not followed by FE stays a character of 8-bit source.
    EXPECT_EQ(Lex("\xff"), "error: test:1: invalid wide char near `char(255)'");
    EXPECT_EQ(Lex(std::string("\xff\xfe", 2)), "");
    EXPECT_EQ(Lex(std::string("\xff\xfe"
                              "x",
                              3)),
              ""); // half a character is the end
}

} // namespace
