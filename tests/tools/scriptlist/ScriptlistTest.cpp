// scriptlist as its users meet it: a precompiled chunk is listed like its source.

#include "engine/script/lua/LuaAux.h"
#include "tests/tools/ToolTest.h"

#include <string>

namespace {

using ScriptlistTest = ToolTest;

int Collect(lua_State*, const void* bytes, size_t size, void* data)
{
    static_cast<std::string*>(data)->append(static_cast<const char*>(bytes), size);
    return 0;
}

TEST_F(ScriptlistTest, APrecompiledChunkIsListedLikeItsSource)
{
    const std::string source = "local function f(a) return a & 255 end\nreturn f(x), L\"w\"\n";
    Write("script.lua", source);
    lua_State* L = lua_open();
    ASSERT_EQ(luaL_loadbuffer(L, source.data(), source.size(), "@script.lua"), 0);
    std::string chunk;
    ASSERT_EQ(lua_dump(L, Collect, &chunk), 1);
    lua_close(L);
    Write("script.luc", chunk);

    const TToolResult fromSource = Run("scriptlist", {"script.lua"});
    const TToolResult fromChunk = Run("scriptlist", {"script.luc"});
    ASSERT_EQ(fromSource.mStatus, 0) << fromSource.mErr;
    ASSERT_EQ(fromChunk.mStatus, 0) << fromChunk.mErr;
    EXPECT_NE(fromChunk.mOut.find("RETURN"), std::string::npos) << fromChunk.mOut;
    EXPECT_EQ(fromChunk.mOut, fromSource.mOut);

    Write("damaged.luc", chunk.substr(0, chunk.size() / 2));
    const TToolResult damaged = Run("scriptlist", {"damaged.luc"});
    EXPECT_EQ(damaged.mStatus, 1);
    EXPECT_EQ(damaged.mErr, "scriptlist: unexpected end of file in damaged.luc\n");
}

} // namespace
