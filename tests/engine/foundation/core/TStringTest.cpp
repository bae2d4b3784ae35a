#include "engine/foundation/core/TString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

TString Repeat(char c, int n)
{
    return TString(std::string(static_cast<size_t>(n), c).c_str());
}

TEST(TString, NullStringReadsAsEmpty)
{
    TString s;
    EXPECT_STREQ(s.CStr(), "");
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.CharAt(0), 0);
    EXPECT_EQ(s.ToInt(), 0);
    EXPECT_EQ(s.FindChar('a'), -1);
    EXPECT_EQ(s.Find(""), -1);
    EXPECT_EQ(s.Compare(TString("")), 0);
    EXPECT_TRUE(s == TString(nullptr));
    EXPECT_STREQ(s.Substr(0).CStr(), "");
}

TEST(TString, CompareOrdersUnsignedBytes)
{
    struct Case
    {
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        {"\xE9", "z", 1},  {"z", "\xE9", -1}, {"abc", "abc", 0},
        {"ab", "abc", -1}, {"", "a", -1},     {"b", "a", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        EXPECT_EQ(TString(c.a).Compare(TString(c.b)), c.expected);
        EXPECT_EQ(TString(c.a) < TString(c.b), c.expected < 0);
        EXPECT_EQ(TString(c.a) == TString(c.b), c.expected == 0);
    }
}

TEST(TString, Searches)
{
    struct Case
    {
        const char* text;
        const char* sub; // null: FindChar of ch
        char ch;
        int flags;
        int start;
        int expected;
    };
    const int back = TString::kBackwards;
    const int noCase = TString::kNoCase;
    const Case cases[] = {
        {"hello", "lo", 0, back, 0, 3},
        {"hello", "lo", 0, back, 1, -1},
        {"hello", "l", 0, 0, 0, 2},
        {"hello", "l", 0, 0, 3, 3},
        {"hello", "LL", 0, noCase, 0, 2},
        {"hello", "LL", 0, 0, 0, -1},
        {"hello", "", 0, 0, 2, 2},
        {"hello", "", 0, back, 0, 5 - 0},
        {"hello", "hello!", 0, 0, 0, -1},
        {"hello", "lo", 0, 0, 5, -1},
        {"hello", "he", 0, 0, -1, -1},
        {"hello", "he", 0, back, -3, -1},
        {"hello", nullptr, 'o', back, 0, 4},
        {"hello", nullptr, 'h', back, 0, 0},
        {"hello", nullptr, 'o', back, 1, -1},
        {"hello", nullptr, 'l', 0, 3, 3},
        {"hello", nullptr, 'L', noCase, 0, 2},
        {"hello", nullptr, 'h', 0, -1, -1},
        {"hello", nullptr, 'h', back, -2, -1},
        {"hello", nullptr, 'z', 0, 0, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " sub=" << (c.sub ? c.sub : "(char)") << " ch="
                                        << c.ch << " flags=" << c.flags << " start=" << c.start);
        TString s(c.text);
        int got = c.sub ? s.Find(c.sub, c.flags, c.start) : s.FindChar(c.ch, c.flags, c.start);
        EXPECT_EQ(got, c.expected);
    }
}

TEST(TString, Substr)
{
    struct Case
    {
        int pos;
        int len;
        const char* expected;
    };
    const Case cases[] = {
        {2, -1, "llo"}, {5, 1, ""},  {0, 5, "hello"}, {1, 3, "ell"}, {3, 100, "lo"},
        {0, 0, ""},     {-1, 2, ""}, {-5, -1, ""},    {2, -2, ""},   {4, 0x7fffffff, "o"},
    };
    const TString s("hello");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "pos=" << c.pos << " len=" << c.len);
        EXPECT_STREQ(s.Substr(c.pos, c.len).CStr(), c.expected);
    }
}

TEST(TString, ConstructionFromBytes)
{
    EXPECT_STREQ(TString("abcdef", 3).CStr(), "abc");
    EXPECT_STREQ(TString("abc", -1).CStr(), "");
    EXPECT_STREQ(TString("abc", -100).CStr(), "");
    EXPECT_STREQ(TString(nullptr, 5).CStr(), "");
    EXPECT_EQ(TString("a\0b", 3).Length(), 1);
}

TEST(TString, Concatenation)
{
    TString a("abc");
    EXPECT_STREQ((a + TString("def")).CStr(), "abcdef");
    EXPECT_STREQ((a + 'x').CStr(), "abcx");
    EXPECT_STREQ((TString() + TString()).CStr(), "");
    TString long1 = Repeat('a', 20);
    EXPECT_EQ((long1 + long1).Length(), 40);
    EXPECT_EQ((long1 + 'b').CharAt(20), 'b');

    TString s;
    s += TString("one");
    s += TString(" two");
    EXPECT_STREQ(s.CStr(), "one two");
    s += s;
    EXPECT_STREQ(s.CStr(), "one twoone two");
    for (int i = 0; i < 100; ++i)
        s += TString("x");
    EXPECT_EQ(s.Length(), 114);
}

TEST(TString, Replace)
{
    struct Case
    {
        const char* text;
        const char* from;
        const char* to;
        int flags;
        int start;
        const char* expected;
    };
    const int all = TString::kAll;
    const Case cases[] = {
        {"aXa", "a", "bb", all, 0, "bbXbb"},
        {"aXa", "a", "bb", 0, 0, "bbXa"},
        {"aXa", "a", "bb", 0, 1, "aXbb"},
        {"aaaa", "aa", "a", all, 0, "aa"},
        {"abcabc", "abc", "", all, 0, ""},
        {"hello", "xyz", "q", all, 0, "hello"},
        {"Hello", "h", "J", TString::kNoCase, 0, "Jello"},
        {"a.b.c", ".", "..", all, 0, "a..b..c"},
        {"aXa", "a", "b", TString::kBackwards, 0, "aXb"},
        {"aXa", "a", "bb", TString::kBackwards | all, 0, "bbXbb"},
        {"ax", "a", "aa", TString::kBackwards | all, 0, "aax"},
        {"abc", "", "-", all, 0, "abc"},
        {"abc", "", "", all, 0, "abc"},
        {"abc", "b", "x", all, -1, "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << ": " << c.from << " -> " << c.to
                                        << " flags=" << c.flags << " start=" << c.start);
        TString s(c.text);
        s.Replace(c.from, c.to, c.flags, c.start);
        EXPECT_STREQ(s.CStr(), c.expected);
    }
}

TEST(TString, ReplaceWithOwnText)
{
    TString s("ab");
    s.Replace("a", s.CStr(), TString::kAll);
    EXPECT_STREQ(s.CStr(), "abb");
}

TEST(TString, Erase)
{
    struct Case
    {
        int pos;
        int len;
        const char* expected;
    };
    const Case cases[] = {
        {0, 2, "llo"},    {2, -1, "he"},    {3, 2, "hel"},   {1, 100, "h"}, {5, 1, "hello"},
        {-1, 2, "hello"}, {1, -5, "hello"}, {1, 0, "hello"}, {1, 2, "hlo"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "pos=" << c.pos << " len=" << c.len);
        TString s("hello");
        s.Erase(c.pos, c.len);
        EXPECT_STREQ(s.CStr(), c.expected);
    }
}

TEST(TString, WriteAt)
{
    TString s;
    EXPECT_EQ(s.WriteAt(-1, "abc", 3, true), 3);
    EXPECT_EQ(s.WriteAt(-1, "def", 3, true), 6);
    EXPECT_STREQ(s.CStr(), "abcdef");
    EXPECT_EQ(s.WriteAt(1, "XY", 2, false), 3);
    EXPECT_STREQ(s.CStr(), "aXYdef");
    EXPECT_EQ(s.WriteAt(1, "Z", 1, true), 2);
    EXPECT_STREQ(s.CStr(), "aZ");

    // Rejected arguments leave the string alone.
    EXPECT_EQ(s.WriteAt(-2, "q", 1, true), -1);
    EXPECT_EQ(s.WriteAt(0, "q", -1, true), -1);
    EXPECT_EQ(s.WriteAt(0, nullptr, 1, true), -1);
    EXPECT_STREQ(s.CStr(), "aZ");

    // A gap past the end reads as NUL bytes: the text stays "aZ".
    EXPECT_EQ(s.WriteAt(10, "tail", 4, true), 14);
    EXPECT_STREQ(s.CStr(), "aZ");
    EXPECT_EQ(s.CharAt(5), 0);

    // Unterminated appends that grow the buffer keep a terminator behind them.
    TString t;
    for (int i = 0; i < 1000; ++i)
        t.WriteAt(-1, "0123456789", 10, false);
    EXPECT_EQ(t.Length(), 10000);
    EXPECT_EQ(t.CharAt(9999), '9');

    // Writing a string's own text into itself, with growth.
    TString u("abcdefghijklmn");
    u.WriteAt(-1, u.CStr(), u.Length(), true);
    EXPECT_STREQ(u.CStr(), "abcdefghijklmnabcdefghijklmn");
}

// The length the string keeps is the length of its text up to the first NUL after every
// kind of write, also where a write runs on into bytes left behind an earlier end.
TEST(TString, LengthFollowsEveryWrite)
{
    struct Case
    {
        const char* name;
        void (*write)(TString&);
        const char* expected;
    };
    const Case cases[] = {
        {"append", [](TString& s) { s += TString("!!"); }, "hello!!"},
        {"append own text", [](TString& s) { s += s; }, "hellohello"},
        {"erase to the end, write on",
         [](TString& s) {
             s.Erase(2, -1);
             s.WriteAt(2, "X", 1, false);
         },
         "heXlo"},
        {"erase inside", [](TString& s) { s.Erase(1, 2); }, "hlo"},
        {"write a NUL inside", [](TString& s) { s.WriteAt(1, "a\0b", 3, false); }, "ha"},
        {"write past the end", [](TString& s) { s.WriteAt(8, "xyz", 3, true); }, "hello"},
        {"write over the end, unterminated", [](TString& s) { s.WriteAt(4, "OOPS", 4, false); },
         "hellOOPS"},
        {"write inside, terminated", [](TString& s) { s.WriteAt(1, "EY", 2, true); }, "hEY"},
        {"replace longer", [](TString& s) { s.Replace("l", "LLL", TString::kAll); }, "heLLLLLLo"},
        {"replace shorter", [](TString& s) { s.Replace("ll", ""); }, "heo"},
        {"reallocate shorter", [](TString& s) { s.Reallocate(3); }, "he"},
        {"make lower",
         [](TString& s) {
             s = "HeLLo";
             s.MakeLower();
         },
         "hello"},
        {"plus a NUL character", [](TString& s) { s = s + '\0'; }, "hello"},
        {"format with a NUL", [](TString& s) { s = TString::Printf("%s%c%s", "ab", 0, "cd"); },
         "ab"},
        {"bytes with a NUL", [](TString& s) { s = TString("ab\0cd", 5); }, "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TString s("hello");
        c.write(s);
        EXPECT_STREQ(s.CStr(), c.expected);
        EXPECT_EQ(s.Length(), static_cast<int>(strlen(c.expected)));
        EXPECT_EQ(s.CharAt(s.Length() - 1), c.expected[strlen(c.expected) - 1]);
        EXPECT_EQ(s.CharAt(s.Length()), 0);
    }
}

// Appending one character at a time moves the text only a logarithmic number of times.
TEST(TString, AppendingInALoopGrowsTheBufferByDoubling)
{
    TString s;
    const char* last = nullptr;
    int moves = 0;
    for (int i = 0; i < 4096; ++i) {
        s += TString("x");
        if (s.CStr() != last) {
            ++moves;
            last = s.CStr();
        }
    }
    EXPECT_EQ(s.Length(), 4096);
    EXPECT_LE(moves, 16);
}

TEST(TString, ReallocateKeepsAtMostSizeMinusOneBytes)
{
    struct Case
    {
        int size;
        const char* expected;
    };
    const char* longText = "abcdefghijklmnopqrstuvwxyz0123456789";
    const Case cases[] = {
        {100, "abcdefghijklmnopqrstuvwxyz0123456789"},
        {37, "abcdefghijklmnopqrstuvwxyz0123456789"},
        {36, "abcdefghijklmnopqrstuvwxyz012345678"},
        {20, "abcdefghijklmnopqrs"},
        {5, "abcd"},
        {1, ""},
        {0, ""},
        {-4, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        TString s(longText);
        TString shared = s;
        s.Reallocate(c.size);
        EXPECT_STREQ(s.CStr(), c.expected);
        EXPECT_STREQ(shared.CStr(), longText);
        s += TString("!"); // the new buffer is usable
        EXPECT_EQ(s.Length(), static_cast<int>(strlen(c.expected)) + 1);
    }
}

TEST(TString, WritesLeaveCopiesUnchanged)
{
    struct Case
    {
        const char* name;
        void (*write)(TString&);
    };
    const Case cases[] = {
        {"MakeLower", [](TString& s) { s.MakeLower(); }},
        {"+=", [](TString& s) { s += TString("X"); }},
        {"WriteAt", [](TString& s) { s.WriteAt(0, "zz", 2, false); }},
        {"Replace", [](TString& s) { s.Replace("A", "q", TString::kAll); }},
        {"Erase", [](TString& s) { s.Erase(0, 1); }},
        {"Reallocate", [](TString& s) { s.Reallocate(2); }},
        {"AssignPrintf", [](TString& s) { s.AssignPrintf("%d", 5); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TString original("ABCA");
        TString copy = original;
        c.write(original);
        EXPECT_STREQ(copy.CStr(), "ABCA");
        EXPECT_STRNE(original.CStr(), "ABCA");
    }
}

TEST(TString, MakeLower)
{
    TString s("MiXeD 123 \xC9");
    s.MakeLower();
    EXPECT_STREQ(s.CStr(), "mixed 123 \xC9");
    TString empty;
    empty.MakeLower();
    EXPECT_STREQ(empty.CStr(), "");
}

TEST(TString, AssignmentAndSelfAssignment)
{
    TString a("text");
    TString& alias = a;
    a = alias;
    EXPECT_STREQ(a.CStr(), "text");
    a = a.CStr();
    EXPECT_STREQ(a.CStr(), "text");
    TString b;
    b = a;
    a = "other";
    EXPECT_STREQ(b.CStr(), "text");
    TString moved = std::move(b);
    EXPECT_STREQ(moved.CStr(), "text");
    a = std::move(moved);
    EXPECT_STREQ(a.CStr(), "text");
}

TEST(TString, CharAtAndToInt)
{
    TString s("-42x");
    EXPECT_EQ(s.CharAt(0), '-');
    EXPECT_EQ(s.CharAt(3), 'x');
    EXPECT_EQ(s.CharAt(4), 0);
    EXPECT_EQ(s.CharAt(-1), 0);
    EXPECT_EQ(s.ToInt(), -42);
}

TEST(TString, FormatAroundTheStackBuffer)
{
    for (int len : {0, 1, 4095, 4096, 4097, 5000, 100000}) {
        SCOPED_TRACE(len);
        std::string body(static_cast<size_t>(len), 'q');
        TString s = TString::Printf("%s", body.c_str());
        EXPECT_EQ(s.Length(), len);
        EXPECT_EQ(std::string(s.CStr()), body);
    }
    EXPECT_STREQ(TString::Printf("%d-%s-%.2f", 7, "x", 1.5).CStr(), "7-x-1.50");
    TString assigned;
    assigned.AssignPrintf("%05d", 42);
    EXPECT_STREQ(assigned.CStr(), "00042");
}

TEST(TString, Utf8Encode)
{
    struct Case
    {
        uint32_t codepoint;
        std::string bytes;
    };
    const Case cases[] = {
        {0x41, "A"},
        {0x7F, "\x7F"},
        {0x80, "\xC2\x80"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {0xD800, "\xED\xA0\x80"},
        {0xFEFF, ""},
        {0xFFFE, ""},
        {0xFFFF, ""},
        {0xFFFD, "\xEF\xBF\xBD"},
        {0x10000, "\xF0\x90\x80\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
        {0x110000, ""},
        {0xFFFFFFFF, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.codepoint);
        char out[4] = {};
        int n = Utf8Encode(c.codepoint, out);
        EXPECT_EQ(std::string(out, static_cast<size_t>(n)), c.bytes);
        EXPECT_EQ(std::string(TString::FromCodepoint(c.codepoint).CStr()), c.bytes);
    }
}

TEST(TString, CopiesReleasedOnManyThreads)
{
    const TString shared("shared between threads");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&shared] {
            for (int i = 0; i < 10000; ++i) {
                TString copy = shared;
                TString another(copy);
                (void)another.Length();
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_STREQ(shared.CStr(), "shared between threads");
}

} // namespace
