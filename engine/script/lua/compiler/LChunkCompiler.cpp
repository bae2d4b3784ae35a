#include "engine/script/lua/compiler/LChunkCompiler.h"

#include "engine/script/lua/compiler/LParser.h"
#include "engine/script/lua/objects/LInputStream.h"
#include "engine/script/lua/objects/LLimits.h"
#include "engine/script/lua/objects/LString.h"
#include "engine/script/lua/runtime/LErrorUnwind.h"
#include "engine/script/lua/runtime/LState.h"

namespace {

struct LCompileJob
{
    LInputStream* mStream;
    LTextBuffer mBuffer;
    LProto* mProto;
};

void CompileProtected(lua_State* L, void* ud)
{
    LCompileJob* job = static_cast<LCompileJob*>(ud);
    luaZ_detectwide(job->mStream);
    job->mProto = luaY_parser(L, job->mStream, &job->mBuffer);
}

std::string ErrorText(lua_State* L, int status, LValue* oldTop)
{
    if (status == LUA_ERRMEM)
        return "not enough memory";
    if (L->mTop > oldTop && (L->mTop - 1)->IsString())
        return (L->mTop - 1)->AsString()->Text();
    return "?";
}

} // namespace

LCompileResult luaY_compilebuffer(lua_State* L, const char* text, std::size_t size,
                                  const char* chunkName)
{
    LBlockReaderData block{text, size};
    LInputStream stream;
    luaZ_init(&stream, &luaZ_blockreader, &block, chunkName);
    LCompileJob job{&stream, {nullptr, 0}, nullptr};
    const std::ptrdiff_t oldTop = L->mTop - L->mStack;
    const int status = luaD_rawrunprotected(L, &CompileProtected, &job);
    LCompileResult result{status, status == 0 ? job.mProto : nullptr, {}};
    if (status != 0)
        result.mMessage = ErrorText(L, status, L->mStack + oldTop);
    L->mTop = L->mStack + oldTop;
    luaZ_freebuffer(L, &job.mBuffer);
    return result;
}
