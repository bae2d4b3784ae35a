#pragma once

// The auxiliary layer over the script API: argument checks with their messages,
// growable string buffers (8-bit or wide), error helpers, references, table sizes and
// the chunk loaders. Every check that fails raises a script error through lua_error.

#include "engine/script/lua/LuaApi.h"

struct luaL_reg
{
    const char* name;
    lua_CFunction func;
};

// Registers the functions of l (terminated by a null name) into the global table
// libname (created when absent), or into the table on top when libname is null. The
// nup values below the table become upvalues of every function.
void luaL_openlib(lua_State* L, const char* libname, const luaL_reg* l, int nup);
// Pushes field e of the metatable of obj and returns 1; 0 and nothing pushed otherwise.
int luaL_getmetafield(lua_State* L, int obj, const char* e);
// Calls metafield e of obj with obj as its argument, leaving one result; 0 when absent.
int luaL_callmeta(lua_State* L, int obj, const char* e);
int luaL_typerror(lua_State* L, int narg, const char* tname);
int luaL_argerror(lua_State* L, int numarg, const char* extramsg);
const char* luaL_checklstring(lua_State* L, int numArg, size_t* l);
const char* luaL_optlstring(lua_State* L, int numArg, const char* def, size_t* l);
// The argument's characters through lua_towstring; "wstring expected" otherwise.
const lua_WChar* luaL_checklwstring(lua_State* L, int numArg, int* l);
lua_Number luaL_checknumber(lua_State* L, int numArg);
lua_Number luaL_optnumber(lua_State* L, int nArg, lua_Number def);
void luaL_checkstack(lua_State* L, int sz, const char* msg);
void luaL_checktype(lua_State* L, int narg, int t);
void luaL_checkany(lua_State* L, int narg);

int luaL_newmetatable(lua_State* L, const char* tname);
void luaL_getmetatable(lua_State* L, const char* tname);
void* luaL_checkudata(lua_State* L, int ud, const char* tname);

// Pushes "chunk:line: " for the function at the given level, or "".
void luaL_where(lua_State* L, int lvl);
// Raises the formatted message with the position prefix of the calling function.
int luaL_error(lua_State* L, const char* fmt, ...);
int luaL_findstring(const char* st, const char* const lst[]);

int luaL_ref(lua_State* L, int t);
void luaL_unref(lua_State* L, int t, int ref);
inline constexpr int LUA_NOREF = -2;
inline constexpr int LUA_REFNIL = -1;

// Table sizes: the "n" field, else an explicit size kept in a weak table, else the
// count of non-nil entries from 1.
int luaL_getn(lua_State* L, int t);
void luaL_setn(lua_State* L, int t, int n);

// Loads a script file through the installed file reader; status 2 with
// "cannot read %s: %s" when it cannot be opened or read.
int luaL_loadfile(lua_State* L, const char* filename);

// The files luaL_loadfile (and so loadfile, dofile and require) reads. By default the C
// library's: a name is a path, and text and binary reads give the same bytes. An
// embedding whose files live elsewhere installs its own reader. Process-wide; install it
// before states load files, from the thread that uses them.
struct luaL_FileReader
{
    // Opens name for reading, as text or as bytes; null when it cannot, with errno
    // telling why where that is known (no errno means the file is not there).
    void* (*open)(const char* name, bool binary);
    // Reads up to size bytes; fewer only at the end of the file or after a read error.
    size_t (*read)(void* file, char* buffer, size_t size);
    // True when a read failed, as opposed to reaching the end.
    bool (*failed)(void* file);
    void (*close)(void* file);
};
// Installs a copy of reader, whose four functions must all be set; null restores the C
// library's files.
void luaL_setfilereader(const luaL_FileReader* reader);
int luaL_loadbuffer(lua_State* L, const char* buff, size_t sz, const char* name);

// Loads and runs; a failure goes to the global "_ALERT" (or stderr). Never raises.
int lua_dofile(lua_State* L, const char* filename);
int lua_dostring(lua_State* L, const char* str);
int lua_dobuffer(lua_State* L, const char* buff, size_t sz, const char* n);

inline void luaL_argcheck(lua_State* L, bool cond, int numarg, const char* extramsg)
{
    if (!cond) {
        luaL_argerror(L, numarg, extramsg);
    }
}
inline const char* luaL_checkstring(lua_State* L, int n)
{
    return luaL_checklstring(L, n, nullptr);
}
inline const char* luaL_optstring(lua_State* L, int n, const char* d)
{
    return luaL_optlstring(L, n, d, nullptr);
}
int luaL_checkint(lua_State* L, int n);
long luaL_checklong(lua_State* L, int n);
int luaL_optint(lua_State* L, int n, int d);
long luaL_optlong(lua_State* L, int n, long d);

// String buffer. Pieces are pushed on the stack as the block fills; with the wide flag
// set every piece is a wstring and the block holds 16-bit characters.
inline constexpr int LUAL_BUFFERSIZE = 512;

struct luaL_Buffer
{
    char* p; // current position in buffer
    int lvl; // number of pieces on the stack
    int wide;
    lua_State* L;
    char buffer[LUAL_BUFFERSIZE];
};

void luaL_buffinit(lua_State* L, luaL_Buffer* B);
void luaL_wbuffinit(lua_State* L, luaL_Buffer* B);
char* luaL_prepbuffer(luaL_Buffer* B);
void luaL_addlstring(luaL_Buffer* B, const char* s, size_t l);
void luaL_addstring(luaL_Buffer* B, const char* s);
void luaL_addlwstring(luaL_Buffer* B, const lua_WChar* s, size_t l);
// Adds the string (or wstring, in a wide buffer) on top of the stack and pops it.
void luaL_addvalue(luaL_Buffer* B);
void luaL_pushresult(luaL_Buffer* B);

inline void luaL_putchar(luaL_Buffer* B, char c)
{
    if (B->p >= B->buffer + LUAL_BUFFERSIZE) {
        luaL_prepbuffer(B);
    }
    *B->p++ = c;
}
inline void luaL_addchar(luaL_Buffer* B, char c)
{
    luaL_putchar(B, c);
}
inline void luaL_addsize(luaL_Buffer* B, size_t n)
{
    B->p += n;
}
