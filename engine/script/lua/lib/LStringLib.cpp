#include "engine/script/lua/LuaAux.h"
#include "engine/script/lua/LuaLib.h"
#include "engine/script/lua/lib/LLibSupport.h"
#include "engine/script/lua/lib/LPatternMatcher.h"
#include "engine/script/lua/lib/LStringFormat.h"

#include <cctype>
#include <cstring>
#include <string>

namespace {

// string.rep refuses results beyond this many bytes instead of building them.
constexpr uint64_t kMaxRepeatResult = uint64_t(1) << 31;

int StringLen(lua_State* L)
{
    size_t length = 0;
    luaL_checklstring(L, 1, &length);
    lua_pushnumber(L, static_cast<double>(length));
    return 1;
}

int StringSub(lua_State* L)
{
    size_t length = 0;
    const char* text = luaL_checklstring(L, 1, &length);
    int64_t start = LLibSupport::RelativePosition(LLibSupport::CheckInteger(L, 2), length);
    int64_t end = LLibSupport::RelativePosition(LLibSupport::OptInteger(L, 3, -1), length);
    if (start < 1)
        start = 1;
    if (end > static_cast<int64_t>(length))
        end = static_cast<int64_t>(length);
    if (start <= end)
        lua_pushlstring(L, text + start - 1, static_cast<size_t>(end - start + 1));
    else
        lua_pushlstring(L, "", 0);
    return 1;
}

template <int (*Convert)(int)> int MapBytes(lua_State* L)
{
    size_t length = 0;
    const char* text = luaL_checklstring(L, 1, &length);
    std::string result(text, length);
    for (char& c : result)
        c = static_cast<char>(Convert(static_cast<unsigned char>(c)));
    lua_pushlstring(L, result.data(), result.size());
    return 1;
}

int ToLower(int c)
{
    return std::tolower(c);
}
int ToUpper(int c)
{
    return std::toupper(c);
}

int StringChar(lua_State* L)
{
    const int count = lua_gettop(L);
    std::string result;
    result.reserve(static_cast<size_t>(count));
    for (int arg = 1; arg <= count; ++arg) {
        const int32_t code = LLibSupport::ToInt32(luaL_checknumber(L, arg));
        luaL_argcheck(L, code >= 0 && code <= 255, arg, "invalid value");
        result.push_back(static_cast<char>(code));
    }
    lua_pushlstring(L, result.data(), result.size());
    return 1;
}

int StringRep(lua_State* L)
{
    size_t length = 0;
    const char* text = luaL_checklstring(L, 1, &length);
    const int64_t count = LLibSupport::CheckInteger(L, 2);
    if (count <= 0 || length == 0) {
        lua_pushlstring(L, "", 0);
        return 1;
    }
    if (static_cast<uint64_t>(count) > kMaxRepeatResult / length)
        luaL_error(L, "resulting string too large");
    std::string result;
    result.reserve(length * static_cast<size_t>(count));
    for (int64_t i = 0; i < count; ++i)
        result.append(text, length);
    lua_pushlstring(L, result.data(), result.size());
    return 1;
}

int StringByte(lua_State* L)
{
    size_t length = 0;
    const char* text = luaL_checklstring(L, 1, &length);
    const int64_t position =
        LLibSupport::RelativePosition(LLibSupport::OptInteger(L, 2, 1), length);
    if (position <= 0 || position > static_cast<int64_t>(length))
        return 0;
    lua_pushnumber(L, static_cast<unsigned char>(text[position - 1]));
    return 1;
}

int CollectChunk(lua_State*, const void* bytes, size_t size, void* data)
{
    static_cast<std::string*>(data)->append(static_cast<const char*>(bytes), size);
    return 0;
}

int StringDump(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TFUNCTION);
    lua_settop(L, 1);
    std::string chunk;
    if (!lua_dump(L, CollectChunk, &chunk))
        luaL_error(L, "unable to dump given function");
    lua_pushlstring(L, chunk.data(), chunk.size());
    return 1;
}

// The first occurrence of needle in haystack, or null; an empty needle is found at once.
const char* FindPlain(const char* haystack, size_t haystackLength, const char* needle,
                      size_t needleLength)
{
    if (needleLength == 0)
        return haystack;
    if (needleLength > haystackLength)
        return nullptr;
    const char* last = haystack + (haystackLength - needleLength);
    for (const char* p = haystack; p <= last; ++p) {
        p = static_cast<const char*>(std::memchr(p, needle[0], static_cast<size_t>(last - p) + 1));
        if (!p)
            return nullptr;
        if (std::memcmp(p + 1, needle + 1, needleLength - 1) == 0)
            return p;
    }
    return nullptr;
}

int StringFind(lua_State* L)
{
    size_t length = 0;
    size_t patternLength = 0;
    const char* text = luaL_checklstring(L, 1, &length);
    const char* pattern = luaL_checklstring(L, 2, &patternLength);
    int64_t init = LLibSupport::RelativePosition(LLibSupport::OptInteger(L, 3, 1), length) - 1;
    if (init < 0)
        init = 0;
    else if (init > static_cast<int64_t>(length))
        init = static_cast<int64_t>(length);
    const size_t start = static_cast<size_t>(init);

    if (lua_toboolean(L, 4) || LPatternMatcher::IsPlain(pattern, patternLength)) {
        const char* found = FindPlain(text + start, length - start, pattern, patternLength);
        if (!found) {
            lua_pushnil(L);
            return 1;
        }
        lua_pushnumber(L, static_cast<double>(found - text + 1));
        lua_pushnumber(L, static_cast<double>(found - text) + static_cast<double>(patternLength));
        return 2;
    }

    LPatternMatcher matcher(L, text, length, pattern, patternLength);
    size_t at = start;
    do {
        const long end = matcher.MatchAt(at);
        if (end >= 0) {
            lua_pushnumber(L, static_cast<double>(at + 1));
            lua_pushnumber(L, static_cast<double>(end));
            return matcher.PushCaptures(at, static_cast<size_t>(end), false) + 2;
        }
    } while (at++ < length && !matcher.IsAnchored());
    lua_pushnil(L);
    return 1;
}

int GfindStep(lua_State* L)
{
    size_t length = 0;
    size_t patternLength = 0;
    const char* text = lua_tostring(L, lua_upvalueindex(1));
    length = lua_strlen(L, lua_upvalueindex(1));
    const char* pattern = lua_tostring(L, lua_upvalueindex(2));
    patternLength = lua_strlen(L, lua_upvalueindex(2));
    const double resumeAt = lua_tonumber(L, lua_upvalueindex(3));
    LPatternMatcher matcher(L, text, length, pattern, patternLength, false);
    for (size_t at = static_cast<size_t>(resumeAt); at <= length; ++at) {
        const long end = matcher.MatchAt(at);
        if (end < 0)
            continue;
        // An empty match steps one byte further, so the iteration always advances.
        const size_t next = static_cast<size_t>(end) == at ? at + 1 : static_cast<size_t>(end);
        lua_pushnumber(L, static_cast<double>(next));
        lua_replace(L, lua_upvalueindex(3));
        return matcher.PushCaptures(at, static_cast<size_t>(end), true);
    }
    lua_pushnumber(L, static_cast<double>(length) + 1);
    lua_replace(L, lua_upvalueindex(3));
    return 0;
}

int StringGfind(lua_State* L)
{
    luaL_checkstring(L, 1);
    luaL_checkstring(L, 2);
    lua_settop(L, 2);
    lua_pushnumber(L, 0);
    lua_pushcclosure(L, GfindStep, 3);
    return 1;
}

// Appends the replacement string for one match: "%d" inserts capture d (1 to 9; "%0",
// or any digit without its capture, is an invalid capture index), a percent sign
// before anything else inserts that character.
void AddReplacementText(luaL_Buffer* buffer, LPatternMatcher& matcher, const char* replacement,
                        size_t replacementLength, size_t start, size_t end)
{
    for (size_t i = 0; i < replacementLength; ++i) {
        const char c = replacement[i];
        if (c != '%' || i + 1 == replacementLength) {
            luaL_addlstring(buffer, &c, 1);
            continue;
        }
        const char next = replacement[++i];
        if (!std::isdigit(static_cast<unsigned char>(next))) {
            luaL_addlstring(buffer, &next, 1);
            continue;
        }
        matcher.PushCapture(matcher.CheckedCaptureIndex(next), start, end);
        luaL_addvalue(buffer);
    }
}

// Calls the replacement function with the match's captures. A result that is not
// text deletes the match.
void AddReplacementCall(lua_State* L, luaL_Buffer* buffer, LPatternMatcher& matcher, size_t start,
                        size_t end)
{
    lua_pushvalue(L, 3);
    const int count = matcher.PushCaptures(start, end, true);
    lua_call(L, count, 1);
    if (!LLibSupport::AddNarrowValue(buffer, L))
        lua_pop(L, 1);
}

int StringGsub(lua_State* L)
{
    size_t length = 0;
    size_t patternLength = 0;
    const char* text = luaL_checklstring(L, 1, &length);
    const char* pattern = luaL_checklstring(L, 2, &patternLength);
    const int replacementType = lua_type(L, 3);
    luaL_argcheck(L,
                  replacementType == LUA_TSTRING || replacementType == LUA_TNUMBER ||
                      replacementType == LUA_TWSTRING || replacementType == LUA_TFUNCTION,
                  3, "string or function expected");
    const int64_t maxCount = LLibSupport::OptInteger(L, 4, static_cast<int64_t>(length) + 1);
    lua_settop(L, 3);
    if (replacementType == LUA_TWSTRING)
        LLibSupport::NarrowTop(L);
    size_t replacementLength = 0;
    const char* replacement = nullptr;
    if (replacementType != LUA_TFUNCTION) {
        replacement = lua_tostring(L, 3);
        replacementLength = lua_strlen(L, 3);
    }

    LPatternMatcher matcher(L, text, length, pattern, patternLength);
    luaL_Buffer buffer;
    luaL_buffinit(L, &buffer);
    size_t at = 0;
    size_t copyFrom = 0; // unmatched text from here up to `at' is still to be added
    int64_t count = 0;
    while (count < maxCount) {
        const long end = matcher.MatchAt(at);
        if (end >= 0) {
            ++count;
            luaL_addlstring(&buffer, text + copyFrom, at - copyFrom);
            if (replacement)
                AddReplacementText(&buffer, matcher, replacement, replacementLength, at,
                                   static_cast<size_t>(end));
            else
                AddReplacementCall(L, &buffer, matcher, at, static_cast<size_t>(end));
            copyFrom = static_cast<size_t>(end);
        }
        if (end >= 0 && static_cast<size_t>(end) > at)
            at = static_cast<size_t>(end);
        else if (at < length)
            ++at;
        else
            break;
        if (matcher.IsAnchored())
            break;
    }
    luaL_addlstring(&buffer, text + copyFrom, length - copyFrom);
    luaL_pushresult(&buffer);
    lua_pushnumber(L, static_cast<double>(count));
    return 2;
}

// The value of a hexadecimal digit, or -1.
int HexValue(int c)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    const char* digit = c ? std::strchr(kDigits, std::tolower(c)) : nullptr;
    return digit ? static_cast<int>(digit - kDigits) : -1;
}

// Appends one decoded character: a byte in narrow mode, a 16-bit little-endian unit in
// wide mode.
void AddDecoded(std::string& out, unsigned value, bool wide)
{
    out.push_back(static_cast<char>(value & 0xFF));
    if (wide)
        out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

int StringLualex(lua_State* L)
{
    size_t length = 0;
    const char* text = luaL_checklstring(L, 1, &length);
    const bool wide = luaL_checknumber(L, 2) != 0;
    static constexpr char kLetters[] = "abfnrtv";
    static constexpr char kCodes[] = {7, 8, 12, 10, 13, 9, 11};
    std::string out;
    out.reserve(wide ? length * 2 : length);
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c != '\\' || i + 1 == length) {
            AddDecoded(out, c, wide);
            continue;
        }
        const unsigned char e = static_cast<unsigned char>(text[++i]);
        if (const char* letter = e ? std::strchr(kLetters, e) : nullptr) {
            AddDecoded(out, static_cast<unsigned char>(kCodes[letter - kLetters]), wide);
        } else if (e == 'x' && i + 1 < length &&
                   HexValue(static_cast<unsigned char>(text[i + 1])) >= 0) {
            const int maxDigits = wide ? 4 : 2;
            unsigned value = 0;
            for (int digits = 0; digits < maxDigits && i + 1 < length; ++digits) {
                const int digit = HexValue(static_cast<unsigned char>(text[i + 1]));
                if (digit < 0)
                    break;
                value = value * 16 + static_cast<unsigned>(digit);
                ++i;
            }
            AddDecoded(out, value, wide);
        } else if (std::isdigit(e)) {
            unsigned value = e - '0';
            for (int digits = 1; digits < 3 && i + 1 < length &&
                                 std::isdigit(static_cast<unsigned char>(text[i + 1]));
                 ++digits)
                value = value * 10 + static_cast<unsigned>(text[++i] - '0');
            AddDecoded(out, value % 256, wide);
        } else {
            AddDecoded(out, e, wide);
        }
    }
    lua_pushlstring(L, out.data(), out.size());
    return 1;
}

const luaL_reg kStringFunctions[] = {
    {"len", StringLen},           {"sub", StringSub},
    {"lower", MapBytes<ToLower>}, {"upper", MapBytes<ToUpper>},
    {"char", StringChar},         {"rep", StringRep},
    {"byte", StringByte},         {"format", LStringFormat::Format},
    {"dump", StringDump},         {"find", StringFind},
    {"gfind", StringGfind},       {"gsub", StringGsub},
    {"lualex", StringLualex},     {nullptr, nullptr},
};

} // namespace

int luaopen_string(lua_State* L)
{
    luaL_openlib(L, "string", kStringFunctions, 0);
    lua_pushvalue(L, -1);
    lua_settypemetatable(L, LUA_TSTRING);
    luaopen_pack(L);
    lua_pop(L, 1); // luaopen_pack's copy of the same table
    return 1;
}
