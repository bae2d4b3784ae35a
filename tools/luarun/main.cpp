// luarun: runs a script file in a fresh interpreter state with the base and coroutine
// libraries (and the string, table and math libraries where they are built in), so
// the language can be tested from scripts.
//
// usage: luarun [--gc-stress] script.lua [args...]
//   --gc-stress   collect garbage at every collector check
// The script's arguments are in the global table "arg" (arg[0] is the script name).
// Exit status 0 on success, 1 when the script fails (the message goes to stderr).
// Files (the script, and what it loads with dofile, loadfile and require) are read
// straight from disk; names are paths, relative ones from the current folder.

#include "engine/script/lua/LuaAux.h"
#include "engine/script/lua/LuaLib.h"
#include "engine/script/lua/runtime/LCollector.h"
#include "tools/support/InputLimits.h"
#include "tools/support/ToolFiles.h"
#include "tools/support/ToolMain.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const TToolHelp kHelp{
    "luarun", "[--gc-stress] script.lua [args...]",
    "Runs a script in the engine's Lua dialect (base, coroutine, string, table, math).",
    "  --gc-stress         collect garbage at every collector check\n"
    "  args                the script's arguments, in the global table arg (arg[0] is the "
    "script)\n",
    true};

// Adds a traceback-free "chunk:line:" message; the error value is kept as it is.
int ReportError(lua_State* L, int status)
{
    if (status == 0) {
        return 0;
    }
    const char* msg = lua_tostring(L, -1);
    std::fprintf(stderr, "luarun: %s\n", msg != nullptr ? msg : "(error object is not a string)");
    lua_pop(L, 1);
    return 1;
}

void OpenLibraries(lua_State* L)
{
    luaopen_base(L);
    luaopen_string(L);
    luaopen_table(L);
    luaopen_math(L);
    lua_settop(L, 0);
}

int Run(int argc, char** argv)
{
    int first = 1;
    while (first < argc && argv[first][0] == '-' && argv[first][1] != '\0') {
        if (std::strcmp(argv[first], "--gc-stress") == 0) {
            luaC_setstress(true);
        } else {
            std::fprintf(stderr, "luarun: unknown option %s\n", argv[first]);
            return UsageError(kHelp);
        }
        first++;
    }
    if (first >= argc)
        return UsageError(kHelp);
    // The script is read whole, so that its size is checked before the interpreter sees it.
    std::string script;
    if (!ReadInputFile("luarun", argv[first], kMaxScriptBytes, script))
        return 1;
    lua_State* L = lua_open();
    if (L == nullptr) {
        std::fprintf(stderr, "luarun: cannot open an interpreter state\n");
        return 1;
    }
    OpenLibraries(L);
    lua_newtable(L);
    for (int i = first; i < argc; i++) {
        lua_pushstring(L, argv[i]);
        lua_rawseti(L, -2, i - first);
    }
    lua_pushstring(L, "arg");
    lua_insert(L, -2);
    lua_settable(L, LUA_GLOBALSINDEX);
    const std::string chunkName = std::string("@") + argv[first];
    int status = luaL_loadbuffer(L, script.data(), script.size(), chunkName.c_str());
    if (status == 0) {
        status = lua_pcall(L, 0, 0, 0);
    }
    int result = ReportError(L, status);
    std::fflush(stdout);
    lua_close(L);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    return RunTool(kHelp, argc, argv, &Run);
}
