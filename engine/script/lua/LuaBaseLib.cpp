// The base library: the global functions every script state starts with, and the
// coroutine library.

#include "engine/script/lua/LuaAux.h"
#include "engine/script/lua/LuaLib.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// ---------------------------------------------------------------------------------
// Text helpers
// ---------------------------------------------------------------------------------

// Pushes the wstring made of the bytes of s, each zero-extended.
void PushWidened(lua_State* L, const char* s, size_t len)
{
    std::u16string wide(len, u'\0');
    for (size_t i = 0; i < len; i++) {
        wide[i] = static_cast<unsigned char>(s[i]);
    }
    lua_pushlwstring(L, wide.data(), len);
}

// "table: 0x...", "function: ...", "userdata: ..." (light ones too) or "thread: ..." for
// the value at index, written into buff; false for a value of any other type.
bool FormatAddress(lua_State* L, int index, char* buff, size_t size)
{
    const char* kind = nullptr;
    const void* address = nullptr;
    switch (lua_type(L, index)) {
    case LUA_TTABLE:
        kind = "table";
        address = lua_topointer(L, index);
        break;
    case LUA_TFUNCTION:
        kind = "function";
        address = lua_topointer(L, index);
        break;
    case LUA_TUSERDATA:
    case LUA_TLIGHTUSERDATA:
        kind = "userdata";
        address = lua_touserdata(L, index);
        break;
    case LUA_TTHREAD:
        kind = "thread";
        address = lua_tothread(L, index);
        break;
    default:
        return false;
    }
    std::snprintf(buff, size, "%s: %p", kind, const_cast<void*>(address));
    return true;
}

// The strtoul of a 32-bit unsigned long: leading space, an optional sign, "0x" for base
// 16, saturation at 4294967295, negation modulo 2^32. Returns the end of the digits, or
// s itself when there were none.
const char* ParseUnsigned32(const char* s, int base, uint32_t* out)
{
    const char* p = s;
    while (std::isspace(static_cast<unsigned char>(*p))) {
        p++;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        p++;
    }
    if (base == 16 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
        std::isxdigit(static_cast<unsigned char>(p[2]))) {
        p += 2;
    }
    uint64_t value = 0;
    bool overflow = false;
    const char* digits = p;
    for (;; p++) {
        int c = static_cast<unsigned char>(*p);
        int d;
        if (std::isdigit(c)) {
            d = c - '0';
        } else if (std::isalpha(c)) {
            d = std::tolower(c) - 'a' + 10;
        } else {
            break;
        }
        if (d >= base) {
            break;
        }
        value = value * base + d;
        if (value > 0xFFFFFFFFu) {
            overflow = true;
            value = 0xFFFFFFFFu;
        }
    }
    if (p == digits) {
        return s;
    }
    if (overflow) {
        *out = 0xFFFFFFFFu;
    } else {
        *out = negative ? static_cast<uint32_t>(0u - static_cast<uint32_t>(value))
                        : static_cast<uint32_t>(value);
    }
    return p;
}

// ---------------------------------------------------------------------------------
// Base functions
// ---------------------------------------------------------------------------------

// Writes wide text in pieces of at most kPrintPiece characters. A pair of surrogates
// never ends a piece half-way (each piece is converted on its own), so the output does
// not depend on where a piece ends.
void WriteWidePieces(const lua_WChar* text, size_t count)
{
    constexpr size_t kPrintPiece = 1022;
    for (size_t done = 0; done < count;) {
        size_t piece = count - done < kPrintPiece ? count - done : kPrintPiece;
        const lua_WChar last = text[done + piece - 1];
        if (piece < count - done && last >= 0xD800 && last <= 0xDBFF) {
            piece--;
        }
        LuaWriteWide(stdout, text + done, piece);
        done += piece;
    }
}

int Print(lua_State* L)
{
    int n = lua_gettop(L);
    lua_pushstring(L, "towstring");
    lua_gettable(L, LUA_GLOBALSINDEX);
    lua_pushstring(L, "tostring");
    lua_gettable(L, LUA_GLOBALSINDEX);
    int towstringIndex = n + 1;
    int tostringIndex = n + 2;
    for (int i = 1; i <= n; i++) {
        bool wide = lua_type(L, i) == LUA_TWSTRING;
        lua_pushvalue(L, wide ? towstringIndex : tostringIndex);
        lua_pushvalue(L, i);
        lua_call(L, 1, 1);
        if (i > 1) {
            std::fputc('\t', stdout);
        }
        if (wide) {
            const lua_WChar* w = lua_type(L, -1) == LUA_TWSTRING ? lua_towstring(L, -1) : nullptr;
            if (w == nullptr) {
                return luaL_error(L, "`tostring' must return a string to `print'");
            }
            WriteWidePieces(w, lua_strlen(L, -1));
        } else {
            const char* s = lua_type(L, -1) == LUA_TSTRING || lua_type(L, -1) == LUA_TNUMBER
                                ? lua_tostring(L, -1)
                                : nullptr;
            if (s == nullptr) {
                return luaL_error(L, "`tostring' must return a string to `print'");
            }
            std::fwrite(s, 1, lua_strlen(L, -1), stdout);
        }
        lua_pop(L, 1);
    }
    std::fputc('\n', stdout);
    return 0;
}

int ToNumber(lua_State* L)
{
    int base = luaL_optint(L, 2, 10);
    if (base == 10) {
        luaL_checkany(L, 1);
        if (lua_isnumber(L, 1)) {
            lua_pushnumber(L, lua_tonumber(L, 1));
            return 1;
        }
    } else {
        std::string narrow;
        const char* s1;
        if (lua_type(L, 1) == LUA_TWSTRING) {
            size_t count = lua_strlen(L, 1);
            if (count >= 100) {
                lua_pushnil(L);
                return 1;
            }
            const lua_WChar* w = lua_towstring(L, 1);
            for (size_t i = 0; i < count; i++) {
                narrow.push_back(static_cast<char>(w[i] & 0xFF));
            }
            s1 = narrow.c_str();
        } else {
            s1 = luaL_checkstring(L, 1);
        }
        luaL_argcheck(L, 2 <= base && base <= 36, 2, "base out of range");
        uint32_t n = 0;
        const char* s2 = ParseUnsigned32(s1, base, &n);
        if (s2 != s1) {
            while (std::isspace(static_cast<unsigned char>(*s2))) {
                s2++;
            }
            if (*s2 == '\0') {
                lua_pushnumber(L, static_cast<lua_Number>(n));
                return 1;
            }
        }
    }
    lua_pushnil(L);
    return 1;
}

int Error(lua_State* L)
{
    int level = luaL_optint(L, 2, 1);
    lua_settop(L, 1);
    int type = lua_type(L, 1);
    if (level > 0 && (type == LUA_TSTRING || type == LUA_TNUMBER)) {
        luaL_where(L, level);
        lua_pushvalue(L, 1);
        lua_concat(L, 2);
    } else if (level > 0 && type == LUA_TWSTRING) {
        // The position prefix is widened, so the message stays a wstring.
        luaL_where(L, level);
        PushWidened(L, lua_tostring(L, -1), lua_strlen(L, -1));
        lua_remove(L, -2);
        lua_pushvalue(L, 1);
        lua_concat(L, 2);
    }
    return lua_error(L);
}

int GetMetatable(lua_State* L)
{
    luaL_checkany(L, 1);
    if (!lua_getmetatable(L, 1)) {
        lua_pushnil(L);
        return 1;
    }
    luaL_getmetafield(L, 1, "__metatable");
    return 1; // the "__metatable" field when present, otherwise the metatable
}

int SetMetatable(lua_State* L)
{
    int t = lua_type(L, 2);
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_argcheck(L, t == LUA_TNIL || t == LUA_TTABLE, 2, "nil or table expected");
    if (luaL_getmetafield(L, 1, "__metatable")) {
        luaL_error(L, "cannot change a protected metatable");
    }
    lua_settop(L, 2);
    lua_setmetatable(L, 1);
    return 1;
}

// Pushes the function named by argument 1: a function itself, or a stack level.
void GetFunction(lua_State* L)
{
    if (lua_isfunction(L, 1)) {
        lua_pushvalue(L, 1);
        return;
    }
    lua_Debug ar;
    int level = luaL_optint(L, 1, 1);
    luaL_argcheck(L, level >= 0, 1, "level must be non-negative");
    if (lua_getstack(L, level, &ar) == 0) {
        luaL_argerror(L, 1, "invalid level");
    }
    lua_getinfo(L, "f", &ar);
    if (lua_isnil(L, -1)) {
        luaL_error(L, "no function environment for tail call at level %d", level);
    }
}

// Pushes field "__fenv" of the table on top when it has one; returns whether it did.
bool AuxGetFenvField(lua_State* L)
{
    lua_pushstring(L, "__fenv");
    lua_rawget(L, -2);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        return false;
    }
    return true;
}

int GetFenv(lua_State* L)
{
    GetFunction(L);
    lua_getfenv(L, -1);
    AuxGetFenvField(L);
    return 1;
}

int SetFenv(lua_State* L)
{
    luaL_checktype(L, 2, LUA_TTABLE);
    GetFunction(L);
    lua_getfenv(L, -1);
    if (AuxGetFenvField(L)) {
        luaL_error(L, "`setfenv' cannot change a protected environment");
    }
    lua_pop(L, 1); // the environment
    lua_pushvalue(L, 2);
    if (lua_isnumber(L, 1) && lua_tonumber(L, 1) == 0) {
        lua_replace(L, LUA_GLOBALSINDEX); // the running thread's globals
    } else if (lua_iscfunction(L, -2) || lua_setfenv(L, -2) == 0) {
        luaL_error(L, "`setfenv' cannot change environment of given function");
    }
    return 0;
}

int RawEqual(lua_State* L)
{
    luaL_checkany(L, 1);
    luaL_checkany(L, 2);
    lua_pushboolean(L, lua_rawequal(L, 1, 2));
    return 1;
}

int RawGet(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_checkany(L, 2);
    lua_rawget(L, 1);
    return 1;
}

int RawSet(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_checkany(L, 2);
    luaL_checkany(L, 3);
    lua_rawset(L, 1);
    return 1;
}

int GcInfo(lua_State* L)
{
    lua_pushnumber(L, lua_getgccount(L));
    lua_pushnumber(L, lua_getgcthreshold(L));
    return 2;
}

int CollectGarbage(lua_State* L)
{
    lua_setgcthreshold(L, luaL_optint(L, 1, 0));
    return 0;
}

int Type(lua_State* L)
{
    luaL_checkany(L, 1);
    lua_pushstring(L, lua_typename(L, lua_type(L, 1)));
    return 1;
}

int Next(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    lua_settop(L, 2);
    if (lua_next(L, 1)) {
        return 2;
    }
    lua_pushnil(L);
    return 1;
}

int Pairs(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    lua_pushstring(L, "next");
    lua_rawget(L, LUA_GLOBALSINDEX);
    lua_pushvalue(L, 1);
    lua_pushnil(L);
    return 3;
}

int IPairs(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    if (lua_isnone(L, 2)) {
        // The first call returns the iterator: ipairs itself, the table and 0.
        lua_pushstring(L, "ipairs");
        lua_rawget(L, LUA_GLOBALSINDEX);
        lua_pushvalue(L, 1);
        lua_pushnumber(L, 0);
        return 3;
    }
    int i = static_cast<int>(lua_tonumber(L, 2)) + 1;
    lua_pushnumber(L, i);
    lua_rawgeti(L, 1, i);
    return lua_isnil(L, -1) ? 0 : 2;
}

int LoadAux(lua_State* L, int status)
{
    if (status == 0) {
        return 1; // the compiled chunk
    }
    lua_pushnil(L);
    lua_insert(L, -2);
    return 2; // nil and the message
}

int LoadString(lua_State* L)
{
    size_t l;
    const char* s = luaL_checklstring(L, 1, &l);
    const char* chunkname = luaL_optstring(L, 2, s);
    return LoadAux(L, luaL_loadbuffer(L, s, l, chunkname));
}

int LoadFile(lua_State* L)
{
    const char* fname = luaL_optstring(L, 1, nullptr);
    return LoadAux(L, luaL_loadfile(L, fname));
}

int DoFile(lua_State* L)
{
    const char* fname = luaL_optstring(L, 1, nullptr);
    int n = lua_gettop(L);
    if (luaL_loadfile(L, fname) != 0) {
        lua_error(L);
    }
    lua_call(L, 0, LUA_MULTRET);
    return lua_gettop(L) - n;
}

int Assert(lua_State* L)
{
    luaL_checkany(L, 1);
    if (!lua_toboolean(L, 1)) {
        return luaL_error(L, "%s", luaL_optstring(L, 2, "assertion failed!"));
    }
    lua_settop(L, 1);
    return 1;
}

int Unpack(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    int n = luaL_getn(L, 1);
    luaL_checkstack(L, n, "table too big to unpack");
    for (int i = 1; i <= n; i++) {
        lua_rawgeti(L, 1, i);
    }
    return n;
}

int PCall(lua_State* L)
{
    luaL_checkany(L, 1);
    int status = lua_pcall(L, lua_gettop(L) - 1, LUA_MULTRET, 0);
    lua_pushboolean(L, status == 0);
    lua_insert(L, 1);
    return lua_gettop(L);
}

int XPCall(lua_State* L)
{
    luaL_checkany(L, 2);
    lua_settop(L, 2);
    lua_insert(L, 1); // the handler goes below the function
    int status = lua_pcall(L, 0, LUA_MULTRET, 1);
    lua_pushboolean(L, status == 0);
    lua_replace(L, 1);
    return lua_gettop(L);
}

int ToString(lua_State* L)
{
    char buff[64];
    luaL_checkany(L, 1);
    if (luaL_callmeta(L, 1, "__tostring")) {
        return 1;
    }
    switch (lua_type(L, 1)) {
    case LUA_TNUMBER:
        lua_pushvalue(L, 1);
        lua_tostring(L, -1);
        return 1;
    case LUA_TSTRING:
        lua_pushvalue(L, 1);
        return 1;
    case LUA_TWSTRING: {
        size_t count = lua_strlen(L, 1);
        const lua_WChar* w = lua_towstring(L, 1);
        std::string narrow(count, '\0');
        for (size_t i = 0; i < count; i++) {
            narrow[i] = static_cast<char>(w[i] & 0xFF);
        }
        lua_pushlstring(L, narrow.data(), count);
        return 1;
    }
    case LUA_TBOOLEAN:
        lua_pushstring(L, lua_toboolean(L, 1) ? "true" : "false");
        return 1;
    case LUA_TNIL:
        lua_pushstring(L, "nil");
        return 1;
    default:
        lua_pushstring(L, FormatAddress(L, 1, buff, sizeof(buff)) ? buff : "?");
        return 1;
    }
}

int ToWString(lua_State* L)
{
    char buff[64];
    switch (lua_type(L, 1)) {
    case LUA_TNIL:
        lua_pushstring(L, "nil"); // deliberately 8-bit
        return 1;
    case LUA_TNUMBER:
        lua_pushvalue(L, 1);
        lua_towstring(L, -1);
        return 1;
    case LUA_TWSTRING:
        lua_pushvalue(L, 1);
        return 1;
    case LUA_TSTRING: {
        size_t len = lua_strlen(L, 1);
        const char* s = lua_tostring(L, 1);
        std::u16string wide(len, u'\0');
        for (size_t i = 0; i < len; i++) {
            // Each byte is sign-extended: 233 becomes 65513.
            wide[i] = static_cast<lua_WChar>(static_cast<int16_t>(static_cast<signed char>(s[i])));
        }
        lua_pushlwstring(L, wide.data(), len);
        return 1;
    }
    case LUA_TLIGHTUSERDATA:
        return luaL_argerror(L, 1, "value expected"); // unlike tostring
    default:
        if (!FormatAddress(L, 1, buff, sizeof(buff)))
            return luaL_argerror(L, 1, "value expected");
        PushWidened(L, buff, std::strlen(buff));
        return 1;
    }
}

int NewProxy(lua_State* L)
{
    lua_settop(L, 1);
    lua_newuserdata(L, 0);
    if (lua_toboolean(L, 1) == 0) {
        return 1; // no own metatable
    }
    if (lua_isboolean(L, 1)) {
        lua_newtable(L); // a new metatable, remembered as valid
        lua_pushvalue(L, -1);
        lua_pushboolean(L, 1);
        lua_rawset(L, lua_upvalueindex(1));
    } else {
        bool valid = false;
        if (lua_getmetatable(L, 1)) {
            lua_rawget(L, lua_upvalueindex(1));
            valid = lua_toboolean(L, -1) != 0;
            lua_pop(L, 1);
        }
        luaL_argcheck(L, valid, 1, "boolean or proxy expected");
        lua_getmetatable(L, 1); // the metatable of the other proxy
    }
    lua_setmetatable(L, 2);
    return 1;
}

// ---------------------------------------------------------------------------------
// require
// ---------------------------------------------------------------------------------

// The search path: the global LUA_PATH when it is a string, else "?;?.lua". The
// environment is never consulted, so a user's own setup cannot redirect scripts.
const char* GetPath(lua_State* L)
{
    lua_pushstring(L, "LUA_PATH");
    lua_rawget(L, LUA_GLOBALSINDEX);
    const char* path = lua_tostring(L, -1);
    lua_pop(L, 1);
    return path != nullptr ? path : "?;?.lua";
}

// Pushes the next template of the path with the name in place of its '?'; returns the
// rest of the path, or null at its end.
const char* PushNextPath(lua_State* L, const char* path, const char* name)
{
    while (*path == ';') {
        path++;
    }
    if (*path == '\0') {
        return nullptr;
    }
    const char* end = std::strchr(path, ';');
    size_t len = end != nullptr ? static_cast<size_t>(end - path) : std::strlen(path);
    std::string templ(path, len);
    size_t mark = templ.find('?');
    if (mark != std::string::npos) {
        if (templ.find('?', mark + 1) != std::string::npos) {
            luaL_error(L, "too many marks in a path component");
        }
        templ.replace(mark, 1, name);
    }
    lua_pushlstring(L, templ.data(), templ.size());
    return path + len;
}

int Require(lua_State* L)
{
    const char* name = luaL_checkstring(L, 1);
    lua_settop(L, 1);
    lua_pushstring(L, "_LOADED");
    lua_rawget(L, LUA_GLOBALSINDEX); // index 2
    if (!lua_istable(L, 2)) {
        return luaL_error(L, "`_LOADED' is not a table");
    }
    lua_pushvalue(L, 1);
    lua_rawget(L, 2);
    if (lua_toboolean(L, -1)) {
        return 1; // already loaded: its value
    }
    lua_pop(L, 1);
    const char* path = GetPath(L);
    lua_pushstring(L, path); // index 3 keeps the path text alive
    path = lua_tostring(L, 3);
    const char* rest = path;
    int status = LUA_ERRFILE;
    while (status == LUA_ERRFILE && (rest = PushNextPath(L, rest, name)) != nullptr) {
        status = luaL_loadfile(L, lua_tostring(L, -1));
        lua_remove(L, -2); // the file name
        if (status == LUA_ERRFILE) {
            lua_pop(L, 1); // the "cannot read" message: try the next template
        }
    }
    if (status == LUA_ERRFILE) {
        return luaL_error(L, "could not load package `%s' from path `%s'", name, path);
    }
    if (status != 0) {
        return luaL_error(L, "error loading package `%s' (%s)", name, lua_tostring(L, -1));
    }
    // The chunk is on top: run it with _REQUIREDNAME naming the package.
    lua_pushstring(L, "_REQUIREDNAME");
    lua_rawget(L, LUA_GLOBALSINDEX);
    lua_insert(L, -2); // old _REQUIREDNAME below the chunk
    lua_pushstring(L, "_REQUIREDNAME");
    lua_pushvalue(L, 1);
    lua_rawset(L, LUA_GLOBALSINDEX);
    lua_call(L, 0, 1);
    lua_insert(L, -2); // the old _REQUIREDNAME on top
    lua_pushstring(L, "_REQUIREDNAME");
    lua_insert(L, -2);
    lua_rawset(L, LUA_GLOBALSINDEX);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        lua_pushboolean(L, 1); // a package that returns nothing counts as loaded
    }
    lua_pushvalue(L, 1);
    lua_pushvalue(L, -2);
    lua_rawset(L, 2);
    return 1;
}

// ---------------------------------------------------------------------------------
// Coroutines
// ---------------------------------------------------------------------------------

int AuxResume(lua_State* L, lua_State* co, int narg)
{
    if (!lua_checkstack(co, narg)) {
        luaL_error(L, "too many arguments to resume");
    }
    lua_xmove(L, co, narg);
    int status = lua_resume(co, narg);
    if (status == 0) {
        int nres = lua_gettop(co);
        if (!lua_checkstack(L, nres)) {
            luaL_error(L, "too many results to resume");
        }
        lua_xmove(co, L, nres);
        return nres;
    }
    lua_xmove(co, L, 1); // the error message
    return -1;
}

int CoResume(lua_State* L)
{
    lua_State* co = lua_tothread(L, 1);
    luaL_argcheck(L, co != nullptr, 1, "coroutine expected");
    int r = AuxResume(L, co, lua_gettop(L) - 1);
    if (r < 0) {
        lua_pushboolean(L, 0);
        lua_insert(L, -2);
        return 2; // false and the message
    }
    lua_pushboolean(L, 1);
    lua_insert(L, -(r + 1));
    return r + 1;
}

int AuxWrap(lua_State* L)
{
    lua_State* co = lua_tothread(L, lua_upvalueindex(1));
    int r = AuxResume(L, co, lua_gettop(L));
    if (r < 0) {
        if (lua_type(L, -1) == LUA_TSTRING) {
            luaL_where(L, 1);
            lua_insert(L, -2);
            lua_concat(L, 2);
        }
        lua_error(L);
    }
    return r;
}

int CoCreate(lua_State* L)
{
    luaL_argcheck(L, lua_isfunction(L, 1) && !lua_iscfunction(L, 1), 1, "Lua function expected");
    lua_State* nl = lua_newthread(L);
    lua_pushvalue(L, 1);
    lua_xmove(L, nl, 1);
    return 1;
}

int CoWrap(lua_State* L)
{
    CoCreate(L);
    lua_pushcclosure(L, AuxWrap, 1);
    return 1;
}

int CoYield(lua_State* L)
{
    return lua_yield(L, lua_gettop(L));
}

int CoStatus(lua_State* L)
{
    lua_State* co = lua_tothread(L, 1);
    luaL_argcheck(L, co != nullptr, 1, "coroutine expected");
    if (L == co) {
        lua_pushstring(L, "running");
    } else {
        lua_Debug ar;
        if (lua_getstack(co, 0, &ar) == 0 && lua_gettop(co) == 0) {
            lua_pushstring(L, "dead");
        } else {
            lua_pushstring(L, "suspended");
        }
    }
    return 1;
}

const luaL_reg kBaseFunctions[] = {
    {"error", Error},
    {"getmetatable", GetMetatable},
    {"setmetatable", SetMetatable},
    {"getfenv", GetFenv},
    {"setfenv", SetFenv},
    {"next", Next},
    {"ipairs", IPairs},
    {"pairs", Pairs},
    {"print", Print},
    {"tonumber", ToNumber},
    {"tostring", ToString},
    {"towstring", ToWString},
    {"type", Type},
    {"assert", Assert},
    {"unpack", Unpack},
    {"rawequal", RawEqual},
    {"rawget", RawGet},
    {"rawset", RawSet},
    {"pcall", PCall},
    {"xpcall", XPCall},
    {"collectgarbage", CollectGarbage},
    {"gcinfo", GcInfo},
    {"loadfile", LoadFile},
    {"dofile", DoFile},
    {"loadstring", LoadString},
    {"require", Require},
    {nullptr, nullptr},
};

const luaL_reg kCoroutineFunctions[] = {
    {"create", CoCreate}, {"wrap", CoWrap},     {"resume", CoResume},
    {"yield", CoYield},   {"status", CoStatus}, {nullptr, nullptr},
};

const char* const kTypeTableNames[] = {"_boolean",  "_lightuserdata", "_number",
                                       "_string",   "_table",         "_function",
                                       "_userdata", "_thread",        "_wstring"};

void BaseOpen(lua_State* L)
{
    lua_pushvalue(L, LUA_GLOBALSINDEX);
    luaL_openlib(L, nullptr, kBaseFunctions, 0); // into the globals table
    lua_pushstring(L, "_G");
    lua_pushvalue(L, LUA_GLOBALSINDEX);
    lua_rawset(L, -3);
    lua_pushstring(L, "_VERSION");
    lua_pushstring(L, kLuaVersion);
    lua_rawset(L, -3);
    // newproxy keeps its valid metatables in a weak-keyed table.
    lua_pushstring(L, "newproxy");
    lua_newtable(L);
    lua_pushvalue(L, -1);
    lua_setmetatable(L, -2);
    lua_pushstring(L, "__mode");
    lua_pushstring(L, "k");
    lua_rawset(L, -3);
    lua_pushcclosure(L, NewProxy, 1);
    lua_rawset(L, -3);
    lua_pop(L, 1);
}

} // namespace

void LuaWriteWide(std::FILE* stream, const lua_WChar* text, size_t count)
{
    std::string out;
    out.reserve(count * 3);
    for (size_t i = 0; i < count; i++) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            i++;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    std::fwrite(out.data(), 1, out.size(), stream);
}

int luaopen_base(lua_State* L)
{
    BaseOpen(L);
    luaL_openlib(L, "coroutine", kCoroutineFunctions, 0);
    lua_pop(L, 1);
    lua_pushstring(L, "_LOADED");
    lua_newtable(L);
    lua_settable(L, LUA_GLOBALSINDEX);
    for (int tag = LUA_TBOOLEAN; tag <= LUA_TWSTRING; tag++) {
        lua_pushstring(L, kTypeTableNames[tag - 1]);
        lua_gettypemetatable(L, tag);
        lua_settable(L, LUA_REGISTRYINDEX);
    }
    return 0;
}
