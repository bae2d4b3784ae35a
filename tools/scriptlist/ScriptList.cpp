// scriptlist: compiles script files and prints their instruction listings.
//   scriptlist file.lua [...]
// A precompiled chunk (a file starting with byte 27, as string.dump writes) is loaded
// and verified instead, and listed the same way.
// Exit status 0 when every file compiled, 1 otherwise (the error goes to stderr).

#include "engine/script/lua/LuaAux.h"
#include "engine/script/lua/compiler/LChunkCompiler.h"
#include "engine/script/lua/compiler/LDisassembler.h"
#include "engine/script/lua/objects/LFunction.h"
#include "engine/script/lua/runtime/LState.h"
#include "tools/support/InputLimits.h"
#include "tools/support/ToolFiles.h"
#include "tools/support/ToolMain.h"

#include <cstdio>
#include <string>

namespace {

const TToolHelp kHelp{"scriptlist", "FILE...",
                      "Prints the compiled instructions of scripts in the engine's Lua dialect.",
                      "  FILE                a script, or a precompiled chunk (as string.dump "
                      "writes)\n"};

// Loads a precompiled chunk and lists its functions.
bool ListChunk(lua_State* L, const std::string& bytes, const std::string& chunkName)
{
    if (luaL_loadbuffer(L, bytes.data(), bytes.size(), chunkName.c_str()) != 0) {
        std::fprintf(stderr, "scriptlist: %s\n", lua_tostring(L, -1));
        lua_settop(L, 0);
        return false;
    }
    std::fputs(DisassembleProto(AsLuaClosure((L->mTop - 1)->AsClosure())->mProto).c_str(), stdout);
    lua_settop(L, 0);
    return true;
}

bool ListFile(lua_State* L, const char* path)
{
    std::string text;
    if (!ReadInputFile("scriptlist", path, kMaxScriptBytes, text))
        return false;
    const std::string chunkName = std::string("@") + path;
    if (!text.empty() && text[0] == '\x1b')
        return ListChunk(L, text, chunkName);
    const LCompileResult result =
        luaY_compilebuffer(L, text.data(), text.size(), chunkName.c_str());
    if (result.mStatus != 0) {
        std::fprintf(stderr, "scriptlist: %s\n", result.mMessage.c_str());
        return false;
    }
    std::fputs(DisassembleProto(result.mProto).c_str(), stdout);
    return true;
}

int ListFiles(int argc, char** argv)
{
    if (argc < 2)
        return UsageError(kHelp);
    lua_State* L = lua_open();
    if (L == nullptr) {
        std::fprintf(stderr, "scriptlist: cannot open an interpreter state\n");
        return 1;
    }
    bool ok = true;
    for (int i = 1; i < argc; ++i)
        ok = ListFile(L, argv[i]) && ok;
    lua_close(L);
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    return RunTool(kHelp, argc, argv, &ListFiles);
}
