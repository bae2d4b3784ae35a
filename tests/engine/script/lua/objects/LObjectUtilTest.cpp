#include "engine/script/lua/objects/LObjectUtil.h"

#include "engine/script/lua/objects/LLimits.h"
#include "engine/script/lua/objects/LMetaEvents.h"
#include "engine/script/lua/objects/LTextBuffer.h"
#include "engine/script/lua/objects/LUserdata.h"
#include "tests/engine/script/lua/LuaTestState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct LNarrowCase
{
    const char* mText;
    bool mIsNumber;
    double mValue;
};

TEST(LObjectUtilTest, NarrowTextIsDecimalOnly)
{
    const LNarrowCase cases[] = {
        {"12", true, 12},       {" 12 ", true, 12}, {"\t-1.5e2\n", true, -150},
        {"+.5", true, 0.5},     {"5.", true, 5},    {"1e400", true, HUGE_VAL},
        {"0x10", false, 0},     {"inf", false, 0},  {"nan", false, 0},
        {"infinity", false, 0}, {"12a", false, 0},  {"", false, 0},
        {" ", false, 0},        {".", false, 0},    {"1e", false, 0},
        {"- 1", false, 0},      {"1 2", false, 0},  {"1,5", false, 0},
    };
    for (const LNarrowCase& c : cases) {
        double value = -7;
        EXPECT_EQ(luaO_str2d(c.mText, &value), c.mIsNumber ? 1 : 0) << c.mText;
        if (c.mIsNumber) {
            EXPECT_EQ(value, c.mValue) << c.mText;
        }
    }
    double value = 0;
    EXPECT_EQ(luaO_str2dn("12\0", 3, &value), 0); // a zero byte is not white space
}

struct LWideCase
{
    const char16_t* mText;
    bool mIsNumber;
    double mValue;
};

TEST(LObjectUtilTest, WideTextTakesHexadecimalToo)
{
    const LWideCase cases[] = {
        {u"0x10", true, 16},     {u"0X1f", true, 31},  {u"0x1.8", true, 1.5},
        {u"0x1.p4", true, 16},   {u"0x.8", true, 0.5}, {u"0x1.8p-1", true, 0.75},
        {u"-1.5e2", true, -150}, {u"12 ", true, 12},   {u"12\t\r\n", true, 12},
        {u"3", true, 3},         {u".5", true, 0.5},   {u"0x1p4", false, 0},
        {u"12a", false, 0},      {u" 12", false, 0},   {u"0x", false, 0},
        {u"-", false, 0},        {u".", false, 0},     {u"e5", false, 0},
        {u"-0x10", false, 0},    {u"0x1.p", false, 0}, {u"12\u00a0", false, 0},
        {u"\uff11", false, 0},   {u"", false, 0},
    };
    for (const LWideCase& c : cases) {
        const std::u16string text(c.mText);
        double value = -7;
        EXPECT_EQ(luaO_wstr2d(text.data(), text.size(), &value), c.mIsNumber ? 1 : 0)
            << std::string(text.begin(), text.end());
        if (c.mIsNumber) {
            EXPECT_EQ(value, c.mValue) << std::string(text.begin(), text.end());
        }
    }
}

std::string ChunkId(const std::string& source, int length)
{
    char out[128];
    luaO_chunkid(out, source.c_str(), length);
    return out;
}

TEST(LObjectUtilTest, ChunkIdentifiers)
{
    EXPECT_EQ(ChunkId("=stdin", kChunkIdSize), "stdin");
    EXPECT_EQ(ChunkId("=" + std::string(100, 'n'), kChunkIdSize), std::string(59, 'n'));
    EXPECT_EQ(ChunkId("@scripts/a.lua", kChunkIdSize), "scripts/a.lua");
    std::string longName = "@";
    for (int i = 0; i < 99; ++i)
        longName += static_cast<char>('a' + i % 26);
    EXPECT_EQ(ChunkId(longName, kChunkIdSize), "..." + longName.substr(longName.size() - 52));
    EXPECT_EQ(ChunkId("x = 1", kChunkIdSize), "[string \"x = 1\"]");
    EXPECT_EQ(ChunkId("x = 1\ny = 2", kChunkIdSize), "[string \"x = 1...\"]");
    EXPECT_EQ(ChunkId(std::string(100, 'c'), kLexerChunkIdSize),
              "[string \"" + std::string(63, 'c') + "...\"]");
}

TEST(LObjectUtilTest, SizeEncodings)
{
    const unsigned sizes[] = {0, 1, 7, 8, 9, 15, 16, 17, 100, 262, 1u << 24};
    for (unsigned x : sizes) {
        const int fb = luaO_int2fb(x);
        EXPECT_GE(static_cast<unsigned>(luaO_fb2int(fb)), x) << x;
        EXPECT_LT(fb, 1 << 9) << x; // fits the B field
    }
    EXPECT_EQ(luaO_fb2int(luaO_int2fb(64)), 64);
    EXPECT_EQ(luaO_fb2int(511), 2147483647); // any 9-bit operand decodes without overflow
    EXPECT_EQ(luaO_fb2int((27 << 3) | 7), 7 << 27);
    EXPECT_EQ(luaO_log2(0), -1);
    EXPECT_EQ(luaO_log2(1), 0);
    EXPECT_EQ(luaO_log2(100), 6);
    EXPECT_EQ(luaO_log2(0x80000000u), 31);
}

TEST(LObjectUtilTest, FormattedMessages)
{
    LuaTestState state;
    lua_State* L = state.L();
    EXPECT_EQ(RunProtected(L,
                           [](lua_State* L) {
                               LValue* top = L->mTop;
                               EXPECT_STREQ(
                                   luaO_pushfstring(L, "%s:%d: %c %f %% %q", "chunk", 12, 'x', 0.5),
                                   "chunk:12: x 0.5 % %q");
                               EXPECT_EQ(L->mTop, top + 1);
                               EXPECT_TRUE((L->mTop - 1)->IsString());
                               // Pushing past the frame grows the stack.
                               for (int i = 0; i < 100; ++i)
                                   luaO_pushfstring(L, "%d", i);
                               EXPECT_STREQ((L->mTop - 1)->AsString()->Text(), "99");
                           }),
              "");
}

TEST(LObjectUtilTest, UserdataLengthIsEvenItsBlockAlignedAndItAwaitsFinalisation)
{
    LuaTestState state;
    lua_State* L = state.L();
    EXPECT_EQ(RunProtected(L,
                           [](lua_State* L) {
                               LUserdata* u = luaS_newudata(L, 3);
                               EXPECT_EQ(u->mLength, 4u);
                               EXPECT_NE(u->mMarked & kNotFinalizedBit, 0);
                               EXPECT_EQ(reinterpret_cast<uintptr_t>(u->Block()) % 8, 0u);
                               EXPECT_EQ(luaS_newudata(L, 0)->mLength, 0u);
                           }),
              "");
}

TEST(LObjectUtilTest, HandlersOfValuesWithoutAMetatableAreTheirTypeTable)
{
    LuaTestState state;
    lua_State* L = state.L();
    LValue number;
    number.SetNumber(1);
    EXPECT_EQ(luaT_gettmbyobj(L, &number, TM_ADD), &G(L)->mTypeTables[LUA_TNUMBER]);
    LValue nil;
    nil.SetNil();
    EXPECT_TRUE(luaT_gettmbyobj(L, &nil, TM_ADD)->IsNil());
}

struct LTagRecorder
{
    int mTagOneCalls;
};

void* RecordingAlloc(void* ud, void* block, std::size_t, std::size_t newSize, int flags, int tag)
{
    EXPECT_EQ(flags, 0);
    if (tag == 1)
        ++static_cast<LTagRecorder*>(ud)->mTagOneCalls;
    if (newSize == 0) {
        std::free(block);
        return nullptr;
    }
    return std::realloc(block, newSize);
}

TEST(LObjectUtilTest, AllocationTagIsOneOnlyWhileABufferIsResized)
{
    LTagRecorder recorder{0};
    luaM_setdefaultallocator(&RecordingAlloc, &recorder);
    lua_State* L = lua_open();
    luaM_setdefaultallocator(nullptr, nullptr);
    ASSERT_NE(L, nullptr);
    EXPECT_EQ(recorder.mTagOneCalls, 0);
    EXPECT_EQ(RunProtected(L,
                           [](lua_State* L) {
                               LTextBuffer buffer{nullptr, 0};
                               luaZ_openspace(L, &buffer, 10);
                               EXPECT_GE(buffer.mSize, 10u);
                               luaZ_openspace(L, &buffer, 100);
                               const size_t grown = buffer.mSize;
                               EXPECT_GE(grown, 100u);
                               luaZ_openspace(L, &buffer, 50);
                               EXPECT_EQ(buffer.mSize, grown) << "never shrinks";
                               EXPECT_EQ(L->mAllocTag, 0);
                               luaZ_freebuffer(L, &buffer);
                           }),
              "");
    EXPECT_EQ(recorder.mTagOneCalls, 3);
    lua_close(L);
}

TEST(LObjectUtilTest, HugeBlocksAreRefused)
{
    LuaTestState state;
    EXPECT_EQ(
        RunProtected(state.L(), [](lua_State* L) { luaM_realloc(L, nullptr, 0, kMaxBlockSize); }),
        "memory allocation error: block too big");
}

} // namespace
