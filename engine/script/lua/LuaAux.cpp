#include "engine/script/lua/LuaAux.h"

#include <cctype>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kFreeListRef = 1;   // registry slot of the free list of references
constexpr int kArraySizeRef = 2;  // registry slot of the weak table of explicit sizes
constexpr int kBufferLevels = 10; // pieces kept on the stack before merging

int AbsIndex(lua_State* L, int i)
{
    return (i > 0 || i <= LUA_REGISTRYINDEX) ? i : lua_gettop(L) + i + 1;
}

void TagError(lua_State* L, int narg, int tag)
{
    luaL_typerror(L, narg, lua_typename(L, tag));
}

} // namespace

// ---------------------------------------------------------------------------------
// Errors and argument checks
// ---------------------------------------------------------------------------------

int luaL_argerror(lua_State* L, int narg, const char* extramsg)
{
    lua_Debug ar;
    lua_getstack(L, 0, &ar);
    lua_getinfo(L, "n", &ar);
    if (ar.namewhat != nullptr && std::strcmp(ar.namewhat, "method") == 0) {
        narg--;
        if (narg == 0) {
            return luaL_error(L, "calling `%s' on bad self (%s)", ar.name ? ar.name : "?",
                              extramsg);
        }
    }
    if (ar.name == nullptr) {
        ar.name = "?";
    }
    return luaL_error(L, "bad argument #%d to `%s' (%s)", narg, ar.name, extramsg);
}

int luaL_typerror(lua_State* L, int narg, const char* tname)
{
    const char* msg =
        lua_pushfstring(L, "%s expected, got %s", tname, lua_typename(L, lua_type(L, narg)));
    return luaL_argerror(L, narg, msg);
}

void luaL_where(lua_State* L, int level)
{
    lua_Debug ar;
    if (lua_getstack(L, level, &ar)) {
        lua_getinfo(L, "Snl", &ar);
        if (ar.currentline > 0) {
            lua_pushfstring(L, "%s:%d: ", ar.short_src, ar.currentline);
            return;
        }
    }
    lua_pushstring(L, "");
}

int luaL_error(lua_State* L, const char* fmt, ...)
{
    va_list argp;
    va_start(argp, fmt);
    luaL_where(L, 1);
    lua_pushvfstring(L, fmt, argp);
    va_end(argp);
    lua_concat(L, 2);
    return lua_error(L);
}

int luaL_findstring(const char* name, const char* const list[])
{
    for (int i = 0; list[i] != nullptr; i++) {
        if (std::strcmp(list[i], name) == 0) {
            return i;
        }
    }
    return -1;
}

void luaL_checkstack(lua_State* L, int space, const char* mes)
{
    if (!lua_checkstack(L, space)) {
        luaL_error(L, "stack overflow (%s)", mes);
    }
}

void luaL_checktype(lua_State* L, int narg, int t)
{
    if (lua_type(L, narg) != t) {
        TagError(L, narg, t);
    }
}

void luaL_checkany(lua_State* L, int narg)
{
    if (lua_type(L, narg) == LUA_TNONE) {
        luaL_argerror(L, narg, "value expected");
    }
}

const char* luaL_checklstring(lua_State* L, int narg, size_t* len)
{
    // A wstring passes lua_isstring but has no 8-bit text, so it is refused here.
    const char* s = lua_tostring(L, narg);
    if (s == nullptr) {
        TagError(L, narg, LUA_TSTRING);
    }
    if (len != nullptr) {
        *len = lua_strlen(L, narg);
    }
    return s;
}

const char* luaL_optlstring(lua_State* L, int narg, const char* def, size_t* len)
{
    if (lua_isnoneornil(L, narg)) {
        if (len != nullptr) {
            *len = def ? std::strlen(def) : 0;
        }
        return def;
    }
    return luaL_checklstring(L, narg, len);
}

const lua_WChar* luaL_checklwstring(lua_State* L, int narg, int* len)
{
    const lua_WChar* s = lua_towstring(L, narg);
    if (s == nullptr) {
        TagError(L, narg, LUA_TWSTRING);
    }
    if (len != nullptr) {
        *len = static_cast<int>(lua_strlen(L, narg));
    }
    return s;
}

lua_Number luaL_checknumber(lua_State* L, int narg)
{
    lua_Number d = lua_tonumber(L, narg);
    if (d == 0 && !lua_isnumber(L, narg)) {
        TagError(L, narg, LUA_TNUMBER);
    }
    return d;
}

lua_Number luaL_optnumber(lua_State* L, int narg, lua_Number def)
{
    return lua_isnoneornil(L, narg) ? def : luaL_checknumber(L, narg);
}

int luaL_checkint(lua_State* L, int n)
{
    return static_cast<int>(luaL_checknumber(L, n));
}

long luaL_checklong(lua_State* L, int n)
{
    return static_cast<long>(luaL_checknumber(L, n));
}

int luaL_optint(lua_State* L, int n, int d)
{
    return static_cast<int>(luaL_optnumber(L, n, d));
}

long luaL_optlong(lua_State* L, int n, long d)
{
    return static_cast<long>(luaL_optnumber(L, n, static_cast<lua_Number>(d)));
}

// ---------------------------------------------------------------------------------
// Metatables
// ---------------------------------------------------------------------------------

int luaL_getmetafield(lua_State* L, int obj, const char* event)
{
    if (!lua_getmetatable(L, obj)) {
        return 0;
    }
    lua_pushstring(L, event);
    lua_rawget(L, -2);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 2);
        return 0;
    }
    lua_remove(L, -2);
    return 1;
}

int luaL_callmeta(lua_State* L, int obj, const char* event)
{
    obj = AbsIndex(L, obj);
    if (!luaL_getmetafield(L, obj, event)) {
        return 0;
    }
    lua_pushvalue(L, obj);
    lua_call(L, 1, 1);
    return 1;
}

int luaL_newmetatable(lua_State* L, const char* tname)
{
    lua_pushstring(L, tname);
    lua_rawget(L, LUA_REGISTRYINDEX);
    if (!lua_isnil(L, -1)) {
        return 0;
    }
    lua_pop(L, 1);
    lua_newtable(L);
    lua_pushstring(L, tname);
    lua_pushvalue(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
    lua_pushvalue(L, -1);
    lua_pushstring(L, tname);
    lua_rawset(L, LUA_REGISTRYINDEX);
    return 1;
}

void luaL_getmetatable(lua_State* L, const char* tname)
{
    lua_pushstring(L, tname);
    lua_rawget(L, LUA_REGISTRYINDEX);
}

void* luaL_checkudata(lua_State* L, int ud, const char* tname)
{
    if (lua_type(L, ud) != LUA_TUSERDATA || !lua_getmetatable(L, ud)) {
        return nullptr;
    }
    lua_rawget(L, LUA_REGISTRYINDEX); // name of the metatable, if registered
    const char* tn = lua_tostring(L, -1);
    bool match = tn != nullptr && std::strcmp(tn, tname) == 0;
    lua_pop(L, 1);
    return match ? lua_touserdata(L, ud) : nullptr;
}

// ---------------------------------------------------------------------------------
// Library registration
// ---------------------------------------------------------------------------------

void luaL_openlib(lua_State* L, const char* libname, const luaL_reg* l, int nup)
{
    if (libname != nullptr) {
        lua_pushstring(L, libname);
        lua_gettable(L, LUA_GLOBALSINDEX);
        if (lua_isnil(L, -1)) {
            lua_pop(L, 1);
            lua_newtable(L);
            lua_pushstring(L, libname);
            lua_pushvalue(L, -2);
            lua_settable(L, LUA_GLOBALSINDEX);
        }
        lua_insert(L, -(nup + 1));
    }
    for (; l->name != nullptr; l++) {
        lua_pushstring(L, l->name);
        for (int i = 0; i < nup; i++) {
            lua_pushvalue(L, -(nup + 1));
        }
        lua_pushcclosure(L, l->func, nup);
        lua_settable(L, -(nup + 3));
    }
    lua_pop(L, nup);
}

// ---------------------------------------------------------------------------------
// Table sizes
// ---------------------------------------------------------------------------------

namespace {

int CheckInt(lua_State* L, int topop)
{
    int n = lua_isnumber(L, -1) ? static_cast<int>(lua_tonumber(L, -1)) : -1;
    lua_pop(L, topop);
    return n;
}

void GetSizes(lua_State* L)
{
    lua_rawgeti(L, LUA_REGISTRYINDEX, kArraySizeRef);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        lua_newtable(L);
        lua_pushvalue(L, -1);
        lua_setmetatable(L, -2); // a weak-keyed table that is its own metatable
        lua_pushstring(L, "__mode");
        lua_pushstring(L, "k");
        lua_rawset(L, -3);
        lua_pushvalue(L, -1);
        lua_rawseti(L, LUA_REGISTRYINDEX, kArraySizeRef);
    }
}

} // namespace

void luaL_setn(lua_State* L, int t, int n)
{
    t = AbsIndex(L, t);
    lua_pushstring(L, "n");
    lua_rawget(L, t);
    if (CheckInt(L, 1) >= 0) {
        lua_pushstring(L, "n");
        lua_pushnumber(L, n);
        lua_rawset(L, t);
    } else {
        GetSizes(L);
        lua_pushvalue(L, t);
        lua_pushnumber(L, n);
        lua_rawset(L, -3);
        lua_pop(L, 1);
    }
}

int luaL_getn(lua_State* L, int t)
{
    t = AbsIndex(L, t);
    lua_pushstring(L, "n");
    lua_rawget(L, t);
    int n = CheckInt(L, 1);
    if (n >= 0) {
        return n;
    }
    GetSizes(L);
    lua_pushvalue(L, t);
    lua_rawget(L, -2);
    n = CheckInt(L, 2);
    if (n >= 0) {
        return n;
    }
    for (n = 1;; n++) {
        lua_rawgeti(L, t, n);
        if (lua_isnil(L, -1)) {
            break;
        }
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
    return n - 1;
}

// ---------------------------------------------------------------------------------
// References
// ---------------------------------------------------------------------------------

int luaL_ref(lua_State* L, int t)
{
    t = AbsIndex(L, t);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        return LUA_REFNIL;
    }
    lua_rawgeti(L, t, kFreeListRef);
    int ref = static_cast<int>(lua_tonumber(L, -1));
    lua_pop(L, 1);
    if (ref != 0) {
        lua_rawgeti(L, t, ref);
        lua_rawseti(L, t, kFreeListRef);
    } else {
        ref = luaL_getn(L, t);
        if (ref < kArraySizeRef) {
            ref = kArraySizeRef;
        }
        ref++;
        luaL_setn(L, t, ref);
    }
    lua_rawseti(L, t, ref);
    return ref;
}

void luaL_unref(lua_State* L, int t, int ref)
{
    if (ref >= 0) {
        t = AbsIndex(L, t);
        lua_rawgeti(L, t, kFreeListRef);
        lua_rawseti(L, t, ref);
        lua_pushnumber(L, ref);
        lua_rawseti(L, t, kFreeListRef);
    }
}

// ---------------------------------------------------------------------------------
// String buffers
// ---------------------------------------------------------------------------------

namespace {

size_t BufferLength(const luaL_Buffer* B)
{
    return static_cast<size_t>(B->p - B->buffer);
}

size_t BufferFree(const luaL_Buffer* B)
{
    return LUAL_BUFFERSIZE - BufferLength(B);
}

void PushBlock(lua_State* L, const char* bytes, size_t l, bool wide)
{
    if (wide) {
        lua_WChar chars[LUAL_BUFFERSIZE / 2];
        std::memcpy(chars, bytes, l & ~size_t(1));
        lua_pushlwstring(L, chars, l / 2);
    } else {
        lua_pushlstring(L, bytes, l);
    }
}

bool EmptyBuffer(luaL_Buffer* B)
{
    size_t l = BufferLength(B);
    if (l == 0) {
        return false;
    }
    PushBlock(B->L, B->buffer, l, B->wide != 0);
    B->p = B->buffer;
    B->lvl++;
    return true;
}

void AdjustStack(luaL_Buffer* B)
{
    if (B->lvl <= 1) {
        return;
    }
    lua_State* L = B->L;
    int toget = 1; // number of levels to concatenate
    size_t toplen = lua_strlen(L, -1);
    do {
        size_t l = lua_strlen(L, -(toget + 1));
        if (B->lvl - toget + 1 >= kBufferLevels || toplen > l) {
            toplen += l;
            toget++;
        } else {
            break;
        }
    } while (toget < B->lvl);
    lua_concat(L, toget);
    B->lvl = B->lvl - toget + 1;
}

} // namespace

char* luaL_prepbuffer(luaL_Buffer* B)
{
    if (EmptyBuffer(B)) {
        AdjustStack(B);
    }
    return B->buffer;
}

void luaL_addlstring(luaL_Buffer* B, const char* s, size_t l)
{
    while (l--) {
        luaL_putchar(B, *s++);
    }
}

void luaL_addstring(luaL_Buffer* B, const char* s)
{
    luaL_addlstring(B, s, std::strlen(s));
}

void luaL_addlwstring(luaL_Buffer* B, const lua_WChar* s, size_t l)
{
    for (size_t i = 0; i < l; i++) {
        if (BufferFree(B) < sizeof(lua_WChar)) {
            luaL_prepbuffer(B);
        }
        std::memcpy(B->p, &s[i], sizeof(lua_WChar));
        B->p += sizeof(lua_WChar);
    }
}

void luaL_pushresult(luaL_Buffer* B)
{
    EmptyBuffer(B);
    if (B->lvl == 0 && B->wide) {
        lua_pushlwstring(B->L, u"", 0);
    } else {
        lua_concat(B->L, B->lvl);
    }
    B->lvl = 1;
}

void luaL_addvalue(luaL_Buffer* B)
{
    lua_State* L = B->L;
    size_t vl = lua_strlen(L, -1);
    size_t bytes = B->wide ? vl * sizeof(lua_WChar) : vl;
    if (bytes <= BufferFree(B)) {
        if (B->wide) {
            const lua_WChar* w = lua_towstring(L, -1);
            if (w != nullptr) {
                std::memcpy(B->p, w, bytes);
            }
        } else {
            const char* s = lua_tostring(L, -1);
            if (s != nullptr) {
                std::memcpy(B->p, s, bytes);
            }
        }
        B->p += bytes;
        lua_pop(L, 1);
    } else {
        if (EmptyBuffer(B)) {
            lua_insert(L, -2); // put the buffer's piece before the new value
        }
        B->lvl++;
        AdjustStack(B);
    }
}

void luaL_buffinit(lua_State* L, luaL_Buffer* B)
{
    B->L = L;
    B->p = B->buffer;
    B->lvl = 0;
    B->wide = 0;
}

void luaL_wbuffinit(lua_State* L, luaL_Buffer* B)
{
    luaL_buffinit(L, B);
    B->wide = 1;
}

// ---------------------------------------------------------------------------------
// Chunk loading
// ---------------------------------------------------------------------------------

namespace {

void* OpenCFile(const char* name, bool)
{
    return std::fopen(name, "rb");
}

size_t ReadCFile(void* file, char* buffer, size_t size)
{
    return std::fread(buffer, 1, size, static_cast<std::FILE*>(file));
}

bool CFileFailed(void* file)
{
    return std::ferror(static_cast<std::FILE*>(file)) != 0;
}

void CloseCFile(void* file)
{
    std::fclose(static_cast<std::FILE*>(file));
}

const luaL_FileReader kCFiles{&OpenCFile, &ReadCFile, &CFileFailed, &CloseCFile};
luaL_FileReader sFiles = kCFiles;

struct FileReader
{
    const luaL_FileReader* files;
    void* file;
    size_t pending; // bytes of the first piece, read ahead to tell text from bytes
    char buffer[LUAL_BUFFERSIZE];
};

const char* ReadFilePiece(lua_State*, void* ud, size_t* size)
{
    auto* lf = static_cast<FileReader*>(ud);
    if (lf->pending > 0) {
        *size = lf->pending;
        lf->pending = 0;
        return lf->buffer;
    }
    *size = lf->files->read(lf->file, lf->buffer, sizeof(lf->buffer));
    return *size > 0 ? lf->buffer : nullptr;
}

int CannotRead(lua_State* L, const char* filename, int fnameindex)
{
    // A path the file layer cannot resolve sets no error number: it is not there.
    const char* reason = std::strerror(errno != 0 ? errno : ENOENT);
    lua_pushfstring(L, "cannot read %s: %s", filename ? filename : "(no name)", reason);
    lua_remove(L, fnameindex);
    return LUA_ERRFILE;
}

struct StringReader
{
    const char* s;
    size_t size;
};

const char* ReadString(lua_State*, void* ud, size_t* size)
{
    auto* ls = static_cast<StringReader*>(ud);
    if (ls->size == 0) {
        return nullptr;
    }
    *size = ls->size;
    ls->size = 0;
    return ls->s;
}

} // namespace

int luaL_loadfile(lua_State* L, const char* filename)
{
    int fnameindex = lua_gettop(L) + 1;
    lua_pushfstring(L, "@%s", filename ? filename : "");
    errno = 0;
    if (filename == nullptr) {
        // There is no standard-input variant: a missing name cannot be read.
        errno = ENOENT;
        return CannotRead(L, filename, fnameindex);
    }
    const luaL_FileReader files = sFiles;
    FileReader lf;
    lf.files = &files;
    lf.file = files.open(filename, false);
    if (lf.file == nullptr) {
        return CannotRead(L, filename, fnameindex);
    }
    lf.pending = files.read(lf.file, lf.buffer, sizeof(lf.buffer));
    int c = lf.pending > 0 ? static_cast<unsigned char>(lf.buffer[0]) : -1;
    if (!(c >= 0 && (std::isspace(c) || std::isprint(c)))) {
        // Not text (a precompiled chunk, a 16-bit source): reopen without translation.
        files.close(lf.file);
        lf.pending = 0;
        lf.file = files.open(filename, true);
        if (lf.file == nullptr) {
            return CannotRead(L, filename, fnameindex);
        }
    }
    int status = lua_load(L, ReadFilePiece, &lf, lua_tostring(L, -1));
    bool failed = files.failed(lf.file);
    files.close(lf.file);
    if (failed) {
        lua_settop(L, fnameindex);
        return CannotRead(L, filename, fnameindex);
    }
    lua_remove(L, fnameindex);
    return status;
}

void luaL_setfilereader(const luaL_FileReader* reader)
{
    sFiles = reader != nullptr ? *reader : kCFiles;
}

int luaL_loadbuffer(lua_State* L, const char* buff, size_t size, const char* name)
{
    StringReader ls{buff, size};
    return lua_load(L, ReadString, &ls, name);
}

// ---------------------------------------------------------------------------------
// Compatibility runners
// ---------------------------------------------------------------------------------

namespace {

void CallAlert(lua_State* L, int status)
{
    if (status == 0) {
        return;
    }
    lua_pushstring(L, "_ALERT");
    lua_gettable(L, LUA_GLOBALSINDEX);
    if (lua_isfunction(L, -1)) {
        lua_insert(L, -2);
        if (lua_pcall(L, 1, 0, 0) != 0) {
            lua_pop(L, 1); // an alert that fails is not reported again
        }
    } else {
        // The error value may be any value: print only what has text.
        const char* msg = lua_tostring(L, -2);
        std::fprintf(stderr, "%s\n", msg != nullptr ? msg : "(error object is not a string)");
        lua_pop(L, 2);
    }
}

int AuxDo(lua_State* L, int status)
{
    if (status == 0) {
        status = lua_pcall(L, 0, LUA_MULTRET, 0);
    }
    CallAlert(L, status);
    return status;
}

} // namespace

int lua_dofile(lua_State* L, const char* filename)
{
    return AuxDo(L, luaL_loadfile(L, filename));
}

int lua_dobuffer(lua_State* L, const char* buff, size_t size, const char* name)
{
    return AuxDo(L, luaL_loadbuffer(L, buff, size, name));
}

int lua_dostring(lua_State* L, const char* str)
{
    return lua_dobuffer(L, str, std::strlen(str), str);
}
