#include "engine/script/lua/chunk/LChunkLoader.h"

#include "engine/script/lua/LuaAux.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// Instruction words in the interpreter's numbering (opcode bits 0-5, C 6-14, B 15-23,
// A 24-31, Bx 6-23).
constexpr uint32_t kOpLoadK = 1;
constexpr uint32_t kOpLoadBool = 2;
constexpr uint32_t kOpGetUpval = 4;
constexpr uint32_t kOpCall = 29;
constexpr uint32_t kOpReturn = 31;
constexpr uint32_t kOpSetList = 35;
constexpr uint32_t kOpSetListO = 36;
constexpr uint32_t kOpClosure = 38;

uint32_t Abc(uint32_t op, uint32_t a, uint32_t b, uint32_t c)
{
    return op | (c << 6) | (b << 15) | (a << 24);
}
uint32_t ABx(uint32_t op, uint32_t a, uint32_t bx)
{
    return op | (bx << 6) | (a << 24);
}
uint32_t LoadK(uint32_t a, uint32_t bx)
{
    return ABx(kOpLoadK, a, bx);
}
uint32_t Return(uint32_t a, uint32_t b)
{
    return Abc(kOpReturn, a, b, 0);
}

// A function record as the chunk format lays it out, written by hand so that tests can
// make any variant, in either byte order.
struct TRecord
{
    struct TConstant
    {
        uint8_t mType;
        double mNumber;
        std::string mText;
        std::u16string mWide;
        bool mAbsent;
    };
    bool mHasSource = true;
    std::string mSource = "=test";
    int32_t mLineDefined = 0;
    uint8_t mNumUpvalues = 0;
    uint8_t mNumParams = 0;
    uint8_t mIsVararg = 0;
    uint8_t mMaxStackSize = 2;
    std::vector<int32_t> mLineInfo;
    std::vector<std::string> mUpvalueNames;
    int32_t mUpvalueNameCount = -1; // -1: the size of mUpvalueNames
    std::vector<TConstant> mConstants;
    std::vector<TRecord> mProtos;
    std::vector<uint32_t> mCode = {Return(0, 1)};
};

class TChunkBuilder
{
public:
    explicit TChunkBuilder(bool littleEndian = true) : mLittle(littleEndian) {}

    std::string Build(const TRecord& main)
    {
        mOut.assign("\x1bLua", 4);
        Byte(0x50);
        Byte(mLittle ? 1 : 0);
        for (uint8_t size : {4, 4, 4, 6, 8, 9, 9, 8})
            Byte(size);
        Number(31415926.535897933);
        Function(main);
        return mOut;
    }

private:
    void Byte(uint8_t b) { mOut.push_back(static_cast<char>(b)); }
    void Unsigned(uint64_t value, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            Byte(static_cast<uint8_t>(value >> (8 * (mLittle ? i : bytes - 1 - i))));
    }
    void Int(int32_t value) { Unsigned(static_cast<uint32_t>(value), 4); }
    void Number(double value)
    {
        uint64_t bits;
        std::memcpy(&bits, &value, 8);
        Unsigned(bits, 8);
    }
    void String(const std::string& s, bool present = true)
    {
        if (!present) {
            Int(0);
            return;
        }
        Int(static_cast<int32_t>(s.size() + 1));
        mOut.append(s);
        Byte(0);
    }
    void Function(const TRecord& f)
    {
        String(f.mSource, f.mHasSource);
        Int(f.mLineDefined);
        Byte(f.mNumUpvalues);
        Byte(f.mNumParams);
        Byte(f.mIsVararg);
        Byte(f.mMaxStackSize);
        Int(static_cast<int32_t>(f.mLineInfo.size()));
        for (int32_t line : f.mLineInfo)
            Int(line);
        Int(0); // locals
        Int(f.mUpvalueNameCount >= 0 ? f.mUpvalueNameCount
                                     : static_cast<int32_t>(f.mUpvalueNames.size()));
        for (const std::string& name : f.mUpvalueNames)
            String(name);
        Int(static_cast<int32_t>(f.mConstants.size()));
        for (const TRecord::TConstant& k : f.mConstants) {
            Byte(k.mType);
            if (k.mType == 3)
                Number(k.mNumber);
            else if (k.mType == 4)
                String(k.mText, !k.mAbsent);
            else if (k.mType == 9) {
                Int(k.mAbsent ? 0 : static_cast<int32_t>(k.mWide.size() + 1));
                if (!k.mAbsent) {
                    for (char16_t c : k.mWide)
                        Unsigned(c, 2);
                    Unsigned(0, 2);
                }
            }
        }
        Int(static_cast<int32_t>(f.mProtos.size()));
        for (const TRecord& p : f.mProtos)
            Function(p);
        Int(static_cast<int32_t>(f.mCode.size()));
        for (uint32_t word : f.mCode)
            Unsigned(word, 4);
    }

    bool mLittle;
    std::string mOut;
};

// A record returning its one constant.
TRecord ReturnsConstant(TRecord::TConstant constant)
{
    TRecord f;
    f.mConstants = {constant};
    f.mCode = {LoadK(0, 0), Return(0, 2)};
    return f;
}

class LChunkLoaderTest : public ::testing::Test
{
protected:
    void SetUp() override { mL = lua_open(); }
    void TearDown() override { lua_close(mL); }

    // Loads a chunk named "=test"; "" on success, else the error message.
    std::string Load(const std::string& chunk)
    {
        const int status = luaL_loadbuffer(mL, chunk.data(), chunk.size(), "=test");
        std::string message;
        if (status != 0) {
            const char* text = lua_tostring(mL, -1);
            message = text ? text : "(no message)";
        }
        lua_settop(mL, 0);
        return message;
    }

    lua_State* mL = nullptr;
};

TEST_F(LChunkLoaderTest, LoadsHandBuiltChunksInBothByteOrders)
{
    for (bool little : {true, false}) {
        SCOPED_TRACE(little ? "little-endian" : "big-endian");
        TRecord f = ReturnsConstant({9, 0, "",
                                     u"\x263A"
                                     u"A",
                                     false});
        const std::string chunk = TChunkBuilder(little).Build(f);
        ASSERT_EQ(luaL_loadbuffer(mL, chunk.data(), chunk.size(), "=test"), 0)
            << lua_tostring(mL, -1);
        ASSERT_EQ(lua_pcall(mL, 0, 1, 0), 0);
        ASSERT_EQ(lua_type(mL, -1), LUA_TWSTRING);
        ASSERT_EQ(lua_strlen(mL, -1), 2u);
        const char16_t* text = lua_towstring(mL, -1);
        EXPECT_EQ(text[0], 0x263A);
        EXPECT_EQ(text[1], u'A');
        lua_settop(mL, 0);

        f = ReturnsConstant({3, 2.5, "", u"", false});
        const std::string numberChunk = TChunkBuilder(little).Build(f);
        ASSERT_EQ(luaL_loadbuffer(mL, numberChunk.data(), numberChunk.size(), "=test"), 0);
        ASSERT_EQ(lua_pcall(mL, 0, 1, 0), 0);
        EXPECT_EQ(lua_tonumber(mL, -1), 2.5);
        lua_settop(mL, 0);
    }
}

TEST_F(LChunkLoaderTest, RefusesDamagedHeaders)
{
    const std::string good = TChunkBuilder().Build(TRecord());
    ASSERT_EQ(Load(good), "");
    struct TCase
    {
        size_t mOffset;
        uint8_t mByte;
        const char* mMessage;
    };
    const TCase cases[] = {
        {1, 'X', "bad signature in test"},
        {0 + 3, 'A', "bad signature in test"},
        {4, 0x51, "test too new: read version 5.1; expected at most 5.0"},
        {4, 0x40, "test too old: read version 4.0; expected at least 5.0"},
        {6, 8, "virtual machine mismatch in test: size of int is 4 but read 8"},
        {7, 8, "virtual machine mismatch in test: size of size_t is 4 but read 8"},
        {8, 2, "virtual machine mismatch in test: size of Instruction is 4 but read 2"},
        {9, 7, "virtual machine mismatch in test: size of OP is 6 but read 7"},
        {10, 9, "virtual machine mismatch in test: size of A is 8 but read 9"},
        {11, 8, "virtual machine mismatch in test: size of B is 9 but read 8"},
        {12, 10, "virtual machine mismatch in test: size of C is 9 but read 10"},
        {13, 4, "virtual machine mismatch in test: size of number is 8 but read 4"},
        {21, 0x42, "unknown number format in test"},
    };
    for (const TCase& c : cases) {
        std::string bad = good;
        bad[c.mOffset] = static_cast<char>(c.mByte);
        EXPECT_EQ(Load(bad), c.mMessage) << "offset " << c.mOffset;
    }
}

TEST_F(LChunkLoaderTest, RefusesDamagedFunctionRecords)
{
    struct TCase
    {
        const char* mName;
        std::function<void(TRecord&)> mDamage;
        const char* mMessage;
    };
    const TCase cases[] = {
        {"negative line", [](TRecord& f) { f.mLineDefined = -1; }, "bad integer in test"},
        {"negative line entry", [](TRecord& f) { f.mLineInfo = {-5}; }, "bad integer in test"},
        {"upvalue names",
         [](TRecord& f) {
             f.mNumUpvalues = 1;
             f.mUpvalueNames = {"a", "b"};
         },
         "bad nupvalues in test: read 2; expected 1"},
        {"constant type 5",
         [](TRecord& f) {
             f.mConstants = {{5, 0, "", u"", false}};
         },
         "bad constant type (5) in test"},
        {"absent string constant",
         [](TRecord& f) {
             f.mConstants = {{4, 0, "", u"", true}};
         },
         "bad code in test"},
        {"absent wide constant",
         [](TRecord& f) {
             f.mConstants = {{9, 0, "", u"", true}};
         },
         "bad code in test"},
        {"no return at the end", [](TRecord& f) { f.mCode = {LoadK(0, 0)}; }, "bad code in test"},
        {"constant index out of range",
         [](TRecord& f) {
             f.mCode = {LoadK(0, 3), Return(0, 1)};
         },
         "bad code in test"},
        {"register out of range",
         [](TRecord& f) {
             f.mCode = {LoadK(5, 0), Return(0, 1)};
         },
         "bad code in test"},
        {"stack too big", [](TRecord& f) { f.mMaxStackSize = 251; }, "bad code in test"},
        {"parameters beyond the stack", [](TRecord& f) { f.mNumParams = 3; }, "bad code in test"},
        {"empty code", [](TRecord& f) { f.mCode.clear(); }, "bad code in test"},
        {"lines do not match code",
         [](TRecord& f) {
             f.mLineInfo = {1, 2, 3};
         },
         "bad code in test"},
        {"bad nested function",
         [](TRecord& f) {
             TRecord child;
             child.mCode = {LoadK(0, 0)};
             f.mProtos = {child};
         },
         "bad code in test"},
        // The chunk's closure has no upvalues to read.
        {"main function with an upvalue",
         [](TRecord& f) {
             f.mNumUpvalues = 1;
             f.mCode = {Abc(kOpGetUpval, 0, 0, 0), Return(0, 2)};
         },
         "bad code in test"},
        // The first call returns nothing, so the top is at R0; the second call's
        // function lies above it and its open argument list would start past the top.
        {"open results taken from above them",
         [](TRecord& f) {
             f.mMaxStackSize = 3;
             f.mProtos = {TRecord()};
             f.mCode = {ABx(kOpClosure, 0, 0), ABx(kOpClosure, 1, 0), Abc(kOpCall, 0, 1, 0),
                        Abc(kOpCall, 1, 0, 1), Return(0, 1)};
         },
         "bad code in test"},
    };
    for (const TCase& c : cases) {
        TRecord f = ReturnsConstant({3, 1, "", u"", false});
        c.mDamage(f);
        EXPECT_EQ(Load(TChunkBuilder().Build(f)), c.mMessage) << c.mName;
    }
}

// Code the verifier passes may still meet values of types it cannot know: the
// instruction refuses them with a script error when it runs.
TEST_F(LChunkLoaderTest, LoadedCodeRaisesOnValuesOfTheWrongType)
{
    struct TCase
    {
        const char* mName;
        std::vector<uint32_t> mCode;
    };
    const TCase cases[] = {
        {"list fill of a boolean",
         {Abc(kOpLoadBool, 0, 1, 0), ABx(kOpSetList, 0, 0), Return(0, 1)}},
        {"open list fill of a number", {LoadK(0, 0), ABx(kOpSetListO, 0, 0), Return(0, 1)}},
    };
    for (const TCase& c : cases) {
        TRecord f = ReturnsConstant({3, 1, "", u"", false});
        f.mCode = c.mCode;
        const std::string chunk = TChunkBuilder().Build(f);
        ASSERT_EQ(luaL_loadbuffer(mL, chunk.data(), chunk.size(), "=test"), 0) << c.mName;
        ASSERT_NE(lua_pcall(mL, 0, 0, 0), 0) << c.mName;
        EXPECT_NE(std::string(lua_tostring(mL, -1)).find("attempt to index"), std::string::npos)
            << c.mName << ": " << lua_tostring(mL, -1);
        lua_settop(mL, 0);
    }
}

TEST_F(LChunkLoaderTest, HugeCountsWithoutDataEndTheFileInsteadOfAllocating)
{
    const std::string good = TChunkBuilder().Build(TRecord());
    // The main record: source size and text ("=test"), line, four bytes, then the
    // line-info count at offset 22 + 4 + 6 + 4 + 4.
    const size_t countOffsets[] = {22, 40};
    for (size_t offset : countOffsets) {
        std::string bad = good;
        bad[offset] = '\xff';
        bad[offset + 1] = '\xff';
        bad[offset + 2] = '\xff';
        bad[offset + 3] = '\x7f';
        EXPECT_EQ(Load(bad), "unexpected end of file in test") << offset;
    }
    std::string hugeString = good;
    hugeString[22] = '\xff';
    hugeString[25] = '\xff'; // source size 0xff0000ff... as an unsigned size
    EXPECT_EQ(Load(hugeString), "unexpected end of file in test");
}

TEST_F(LChunkLoaderTest, DeepNestingIsRefused)
{
    TRecord f;
    for (int depth = 0; depth < 300; ++depth) {
        TRecord parent;
        parent.mProtos = {f};
        f = parent;
    }
    EXPECT_EQ(Load(TChunkBuilder().Build(f)), "bad code in test");
}

TEST_F(LChunkLoaderTest, EveryTruncationEndsTheFile)
{
    TRecord f = ReturnsConstant({4, 0, "a string constant", u"", false});
    f.mLineInfo = {1, 2};
    f.mProtos = {ReturnsConstant({9, 0, "", u"wide", false})};
    f.mProtos[0].mHasSource = false;
    const std::string chunk = TChunkBuilder().Build(f);
    ASSERT_EQ(Load(chunk), "");
    for (size_t length = 1; length < chunk.size(); ++length)
        EXPECT_EQ(Load(chunk.substr(0, length)), "unexpected end of file in test") << length;
}

TEST_F(LChunkLoaderTest, ChunkNames)
{
    std::string chunk = TChunkBuilder().Build(TRecord());
    chunk[1] = 'X';
    struct TCase
    {
        const char* mName;
        const char* mMessage;
    };
    const TCase cases[] = {
        {"=shown", "bad signature in shown"},
        {"@file.lua", "bad signature in file.lua"},
        {"plain", "bad signature in plain"},
    };
    for (const TCase& c : cases) {
        ASSERT_NE(luaL_loadbuffer(mL, chunk.data(), chunk.size(), c.mName), 0);
        EXPECT_STREQ(lua_tostring(mL, -1), c.mMessage);
        lua_settop(mL, 0);
    }
    ASSERT_NE(luaL_loadbuffer(mL, chunk.data(), chunk.size(), chunk.c_str()), 0);
    EXPECT_STREQ(lua_tostring(mL, -1), "bad signature in binary string");
}

int Collect(lua_State*, const void* bytes, size_t size, void* data)
{
    static_cast<std::string*>(data)->append(static_cast<const char*>(bytes), size);
    return 0;
}

TEST_F(LChunkLoaderTest, DumpLoadDumpIsStable)
{
    const char* sources[] = {
        "return 1",
        "local t = {1, 2, x = 'y', [L\"w\"] = 0.5} return t",
        "local function f(a, b) local c = a & b return function() return c end end return f(6, "
        "3)()",
        "local s = 0 for i = 1, 10 do s = s + i end while s > 0 do s = s - 7 end return s",
        "local x = nil return x, true, false, -0.25, 'text', L'wide'",
    };
    for (const char* source : sources) {
        SCOPED_TRACE(source);
        ASSERT_EQ(luaL_loadbuffer(mL, source, std::strlen(source), "=dumped"), 0);
        std::string first;
        ASSERT_EQ(lua_dump(mL, Collect, &first), 1);
        ASSERT_EQ(Load(first), "");
        ASSERT_EQ(luaL_loadbuffer(mL, first.data(), first.size(), "=again"), 0);
        std::string second;
        ASSERT_EQ(lua_dump(mL, Collect, &second), 1);
        EXPECT_EQ(first, second);
        lua_settop(mL, 0);
    }
}

TEST_F(LChunkLoaderTest, LoadedChunkRunsLikeTheSource)
{
    const std::string source =
        "local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end "
        "return fib(15), 0xff & 15, L\"\\x263A\" .. 1";
    ASSERT_EQ(luaL_loadbuffer(mL, source.data(), source.size(), "=source"), 0);
    std::string chunk;
    ASSERT_EQ(lua_dump(mL, Collect, &chunk), 1);
    lua_settop(mL, 0);
    ASSERT_EQ(luaL_loadbuffer(mL, chunk.data(), chunk.size(), "=chunk"), 0);
    ASSERT_EQ(lua_pcall(mL, 0, 3, 0), 0) << lua_tostring(mL, -1);
    EXPECT_EQ(lua_tonumber(mL, 1), 610);
    EXPECT_EQ(lua_tonumber(mL, 2), 15);
    ASSERT_EQ(lua_type(mL, 3), LUA_TWSTRING);
    EXPECT_EQ(lua_strlen(mL, 3), 2u);
}

} // namespace
