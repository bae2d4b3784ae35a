// luarun: runs a script file in a fresh interpreter state with the base and coroutine
// libraries (and the string, table and math libraries where they are built in), so
// the language can be tested from scripts.
//
// usage: luarun [--gc-stress] script.lua [args...]
//   --gc-stress   collect garbage at every collector check
// The script's arguments are in the global table "arg" (arg[0] is the script name).
// Exit status 0 on success, 1 when the script fails (the message goes to stderr).

#include "engine/foundation/files/TPathMap.h"
#include "engine/script/lua/runtime/LCollector.h"
#include "engine/script/lua/lib/LMathLib.h"
#include "engine/script/lua/lib/LStringLib.h"
#include "engine/script/lua/lib/LTableLib.h"
#include "engine/script/lua/LuaAux.h"
#include "engine/script/lua/LuaLib.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

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

// Scripts are read through the engine's file layer: the files of the script's own
// folder are registered under the names they have relative to the current folder, so
// a script can load its neighbours with dofile, loadfile and require.
void RegisterFiles(const char* script)
{
    std::filesystem::path folder = std::filesystem::path(script).parent_path();
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder.empty() ? "." : folder, error)) {
        if (!entry.is_regular_file(error)) {
            continue;
        }
        std::string name = (folder / entry.path().filename()).string();
        std::string key = name;
        for (char& c : key) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        TPathMap::Get().Set(key.c_str(), name.c_str());
    }
}

void OpenLibraries(lua_State* L)
{
    luaopen_base(L);
    luaopen_string(L);
    luaopen_table(L);
    luaopen_math(L);
    lua_settop(L, 0);
}

}  // namespace

int main(int argc, char** argv)
{
    int first = 1;
    while (first < argc && argv[first][0] == '-' && argv[first][1] == '-') {
        if (std::strcmp(argv[first], "--gc-stress") == 0) {
            luaC_setstress(true);
        } else {
            std::fprintf(stderr, "luarun: unknown option %s\n", argv[first]);
            return 2;
        }
        first++;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: luarun [--gc-stress] script.lua [args...]\n");
        return 2;
    }
    RegisterFiles(argv[first]);
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
    int status = luaL_loadfile(L, argv[first]);
    if (status == 0) {
        status = lua_pcall(L, 0, 0, 0);
    }
    int result = ReportError(L, status);
    std::fflush(stdout);
    lua_close(L);
    return result;
}
