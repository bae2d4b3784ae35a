// Feeds arbitrary bytes to the script compiler (lexer, parser, code generator) as a
// chunk. Any input must end in a prototype or a syntax error: no crash, no hang, no
// unbounded allocation, and every compiled function passes the verifier. Inputs starting with FF FE
// exercise the 16-bit source path.

#include "engine/script/lua/compiler/LChunkCompiler.h"
#include "engine/script/lua/compiler/LCodeCheck.h"
#include "engine/script/lua/compiler/LDisassembler.h"
#include "engine/script/lua/objects/LFunction.h"
#include "engine/script/lua/runtime/LState.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Everything the code generator produces must pass the verifier.
void CheckAll(const LProto* f)
{
    if (!luaG_checkcode(f))
        std::abort();
    for (int i = 0; i < f->mSizeProtos; ++i)
        CheckAll(f->mProtos[i]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    lua_State* L = lua_open();
    if (L == nullptr)
        return 0;
    const LCompileResult result =
        luaY_compilebuffer(L, reinterpret_cast<const char*>(data), size, "=fuzz");
    if (result.mStatus == 0) {
        CheckAll(result.mProto);
        DisassembleProto(result.mProto); // walks every instruction and constant
    }
    lua_close(L);
    return 0;
}
