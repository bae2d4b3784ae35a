// scriptlist: compiles script files and prints their instruction listings.
//   scriptlist file.lua [...]
// Exit status 0 when every file compiled, 1 otherwise (the error goes to stderr).

#include "engine/script/lua/compiler/LChunkCompiler.h"
#include "engine/script/lua/compiler/LDisassembler.h"
#include "engine/script/lua/runtime/LState.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

bool ListFile(lua_State* L, const char* path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "scriptlist: cannot open %s\n", path);
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string chunkName = std::string("@") + path;
    const LCompileResult result = luaY_compilebuffer(L, text.data(), text.size(), chunkName.c_str());
    if (result.mStatus != 0) {
        std::fprintf(stderr, "scriptlist: %s\n", result.mMessage.c_str());
        return false;
    }
    std::fputs(DisassembleProto(result.mProto).c_str(), stdout);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: scriptlist file.lua [...]\n");
        return 2;
    }
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
