#pragma once
// Compiling a text chunk under protection, outside any running function: for tools,
// tests and the fuzz target. A text starting with the bytes FF FE is read as 16-bit
// source. The prototype stays owned by the state (freed at lua_close or by the
// collector once unreachable).

#include <cstddef>
#include <string>

struct LProto;
struct lua_State;

struct LCompileResult
{
    int mStatus;          // 0, LUA_ERRSYNTAX or LUA_ERRMEM (or LUA_ERRRUN for a size limit)
    LProto* mProto;       // the main function when mStatus is 0
    std::string mMessage; // the error message otherwise
};

// The stack is left as it was. chunkName follows the chunk-name conventions ("=name",
// "@file", or the text itself).
LCompileResult luaY_compilebuffer(lua_State* L, const char* text, std::size_t size,
                                  const char* chunkName);
