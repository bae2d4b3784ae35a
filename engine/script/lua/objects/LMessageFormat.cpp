// Messages: the small printf of the interpreter and short chunk names.

#include "engine/script/lua/objects/LObjectUtil.h"
#include "engine/script/lua/objects/LString.h"
#include "engine/script/lua/runtime/LStack.h"
#include "engine/script/lua/runtime/LState.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void AppendNumber(std::string& out, double n)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.14g", n);
    out += text;
}

} // namespace

const char* luaO_pushvfstring(lua_State* L, const char* format, va_list args)
{
    std::string out;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%' || p[1] == '\0') {
            out += *p;
            continue;
        }
        ++p;
        switch (*p) {
        case 's': {
            const char* text = va_arg(args, const char*);
            out += text != nullptr ? text : "(null)";
            break;
        }
        case 'c':
            out += static_cast<char>(va_arg(args, int));
            break;
        case 'd':
            AppendNumber(out, va_arg(args, int));
            break;
        case 'f':
            AppendNumber(out, va_arg(args, double));
            break;
        case '%':
            out += '%';
            break;
        default:
            out += '%';
            out += *p;
            break;
        }
    }
    LString* s = luaS_newlstr(L, out.data(), out.size());
    L->mTop->SetString(s);
    luaD_incrtop(L);
    return s->Text();
}

const char* luaO_pushfstring(lua_State* L, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const char* text = luaO_pushvfstring(L, format, args);
    va_end(args);
    return text;
}

void luaO_chunkid(char* out, const char* source, int bufferLength)
{
    const std::size_t n = static_cast<std::size_t>(bufferLength);
    if (*source == '=') {
        std::snprintf(out, n, "%s", source + 1);
        return;
    }
    if (*source == '@') {
        const char* name = source + 1;
        const std::size_t length = std::strlen(name);
        const std::size_t room = n - 8;
        if (length > room)
            std::snprintf(out, n, "...%s", name + (length - room));
        else
            std::snprintf(out, n, "%s", name);
        return;
    }
    const std::size_t room = n - 17;
    std::size_t length = std::strcspn(source, "\n");
    if (length > room)
        length = room;
    const bool cut = source[length] != '\0';
    std::snprintf(out, n, "[string \"%.*s%s\"]", static_cast<int>(length), source,
                  cut ? "..." : "");
}
