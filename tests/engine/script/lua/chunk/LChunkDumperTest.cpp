#include "engine/script/lua/chunk/LChunkDumper.h"

#include "engine/script/lua/chunk/LChunkFormat.h"
#include "engine/script/lua/compiler/LChunkCompiler.h"
#include "engine/script/lua/runtime/LState.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int Collect(lua_State*, const void* bytes, size_t size, void* data)
{
    static_cast<std::string*>(data)->append(static_cast<const char*>(bytes), size);
    return 0;
}

class LChunkDumperTest : public ::testing::Test
{
protected:
    void SetUp() override { mL = lua_open(); }
    void TearDown() override { lua_close(mL); }

    // Compiles source and dumps it; fails the test when either step fails.
    std::string DumpSource(const std::string& source)
    {
        const LCompileResult compiled =
            luaY_compilebuffer(mL, source.data(), source.size(), "=dumped");
        EXPECT_EQ(compiled.mStatus, 0) << compiled.mMessage;
        std::string chunk;
        if (compiled.mStatus == 0) {
            EXPECT_EQ(luaU_dump(mL, compiled.mProto, Collect, &chunk), 0);
        }
        return chunk;
    }

    lua_State* mL = nullptr;
};

TEST_F(LChunkDumperTest, HeaderIsFixed)
{
    const std::string chunk = DumpSource("return 1");
    const unsigned char expected[] = {0x1b, 'L',  'u',  'a',  0x50, 0x01, 4,    4,
                                      4,    6,    8,    9,    9,    8,    0xb6, 0x09,
                                      0x93, 0x68, 0xe7, 0xf5, 0x7d, 0x41};
    ASSERT_GE(chunk.size(), sizeof expected);
    EXPECT_EQ(chunk.substr(0, sizeof expected),
              std::string(reinterpret_cast<const char*>(expected), sizeof expected));
    EXPECT_EQ(luaU_endianness(), 1);
}

TEST_F(LChunkDumperTest, ConstantsOfEveryType)
{
    const std::string chunk = DumpSource("local a, b = nil, 0.5 return 'text', a, b");
    const std::string number("\x03\x00\x00\x00\x00\x00\x00\xe0\x3f", 9);
    const std::string text("\x04\x05\x00\x00\x00text\x00", 10);
    EXPECT_NE(chunk.find(number), std::string::npos);
    EXPECT_NE(chunk.find(text), std::string::npos);
}

TEST_F(LChunkDumperTest, WideConstantLayout)
{
    const std::string chunk = DumpSource("return L\"\\x263AA\"");
    const std::string expected("\x09\x03\x00\x00\x00\x3a\x26\x41\x00\x00\x00", 11);
    EXPECT_NE(chunk.find(expected), std::string::npos);
}

TEST_F(LChunkDumperTest, NestedFunctionsShareTheSourceOnce)
{
    const std::string chunk = DumpSource("local function f() return 1 end return f");
    size_t count = 0;
    for (size_t at = chunk.find("=dumped"); at != std::string::npos;
         at = chunk.find("=dumped", at + 1))
        ++count;
    EXPECT_EQ(count, 1u);
}

TEST_F(LChunkDumperTest, WriterStatusStopsTheDump)
{
    const LCompileResult compiled = luaY_compilebuffer(mL, "return 1", 8, "=x");
    ASSERT_EQ(compiled.mStatus, 0);
    int calls = 0;
    auto stopAtOnce = [](lua_State*, const void*, size_t, void* data) -> int {
        ++*static_cast<int*>(data);
        return 7;
    };
    EXPECT_EQ(luaU_dump(mL, compiled.mProto, stopAtOnce, &calls), 7);
    EXPECT_EQ(calls, 1);
}

} // namespace
