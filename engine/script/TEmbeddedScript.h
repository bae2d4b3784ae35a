#pragma once

// A Lua source built into the executable under a chunk name (the name error messages
// show). Sources live as .lua files beside the code that runs them; the build turns each
// into a constant with velmora_embed_lua (cmake/VelmoraTargets.cmake), declared where it
// is used as
//     extern const TEmbeddedScript kDumpTableScript;

#include <cstddef>

struct lua_State;

struct TEmbeddedScript
{
    const char* mChunkName;
    const char* mText;
    size_t mLength;

    // Compiles the source and pushes the chunk (luaL_loadbuffer): 0, or the status with
    // the message pushed instead.
    int Load(lua_State* L) const;
    // Compiles and runs it, keeping its results (lua_dobuffer: failures go to "_ALERT").
    int Run(lua_State* L) const;
};
