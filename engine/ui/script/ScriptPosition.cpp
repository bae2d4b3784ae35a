#include "engine/ui/script/ScriptPosition.h"

#include "engine/script/lua/LuaApi.h"

#include <cstring>

namespace {

// The file a chunk's source names, or null when the source is no file's.
const char* FileOfSource(const char* source)
{
    if (source == nullptr)
        return nullptr;
    if (source[0] == '@')
        return source + 1;
    const size_t length = std::strlen(source);
    const bool isPath = length > 4 && std::strcmp(source + length - 4, ".lua") == 0 &&
                        std::strchr(source, '\n') == nullptr;
    return isPath ? source : nullptr;
}

} // namespace

TString FindScriptFilePosition(lua_State* L)
{
    if (L == nullptr)
        return TString();
    lua_Debug frame;
    for (int level = 0; lua_getstack(L, level, &frame) != 0; ++level) {
        if (lua_getinfo(L, "Sl", &frame) == 0)
            continue;
        const char* file = FileOfSource(frame.source);
        if (file != nullptr && frame.currentline > 0)
            return TString::Printf("%s:%d", file, frame.currentline);
    }
    return TString();
}
