#pragma once
// The parser: recursive descent over the lexer's tokens, driving the code generator to
// build one prototype per function of a chunk. Errors raise syntax errors (status 3)
// through the lexer. It never starts a collection.

#include "engine/script/lua/objects/LInputStream.h"
#include "engine/script/lua/objects/LTextBuffer.h"

struct LProto;
struct lua_State;

// Compiles a whole chunk as its main function (no parameters, not vararg), named by the
// stream's chunk name. The stream's wide flag must already be set when it is 16-bit.
LProto* luaY_parser(lua_State* L, LInputStream* z, LTextBuffer* buffer);
