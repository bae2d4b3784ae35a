#include "engine/script/lua/runtime/LErrorUnwind.h"

#include "engine/script/lua/objects/LLimits.h"
#include "engine/script/lua/objects/LString.h"
#include "engine/script/lua/runtime/LState.h"

#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

void WritePanicToStderr(const char* text)
{
    std::fprintf(stderr, "%s\n", text);
}

lua_PanicWriter sPanicWriter = &WritePanicToStderr;

// The panic line is built without allocating (memory may be what ran out); a longer
// message is cut.
constexpr size_t kPanicTextSize = 1024;

// The text of the error value on top, when it is an 8-bit string.
const char* TopMessage(lua_State* L)
{
    if (L->mTop > L->mBase && (L->mTop - 1)->IsString())
        return (L->mTop - 1)->AsString()->Text();
    return "(error object is not a string)";
}

} // namespace

void luaD_throw(lua_State* L, int status)
{
    if (L->mErrorJmp != nullptr) {
        L->mErrorJmp->mStatus = status;
        throw LuaException(status);
    }
    if (G(L)->mPanic != nullptr)
        G(L)->mPanic(L);
    const char* message = status == LUA_ERRMEM ? "not enough memory" : TopMessage(L);
    char text[kPanicTextSize];
    std::snprintf(text, sizeof text, "unprotected error in call to Lua API: %s", message);
    sPanicWriter(text);
    std::exit(1);
}

void lua_setpanicwriter(lua_PanicWriter writer)
{
    sPanicWriter = writer != nullptr ? writer : &WritePanicToStderr;
}

int luaD_rawrunprotected(lua_State* L, LProtectedFunction f, void* ud)
{
    LRecoverPoint point{L->mErrorJmp, 0};
    L->mErrorJmp = &point;
    try {
        f(L, ud);
    } catch (const LuaException& error) {
        point.mStatus = error.Status();
    } catch (const std::bad_alloc&) {
        point.mStatus = LUA_ERRMEM;
    }
    L->mErrorJmp = point.mPrevious;
    return point.mStatus;
}
