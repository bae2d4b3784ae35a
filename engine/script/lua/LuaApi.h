#pragma once

// The C-level interface of the script interpreter: every interpreter state and every
// coroutine has a stack of values; pseudo-indices reach the registry, the globals and
// the upvalues of the running C closure. Errors raised inside the interpreter unwind to
// the nearest protected call (lua_pcall, lua_resume, lua_load); they never leave the
// interpreter through any other entry point except as the panic exit.
//
// As with any interpreter API of this kind, arguments are not checked: an index must be
// valid for the operation. Every push grows the stack when needed, so a C function
// need not call lua_checkstack before pushing.

#include <cstdarg>
#include <cstddef>

struct lua_State;

using lua_Number = double;
using lua_WChar = char16_t;

using lua_CFunction = int (*)(lua_State* L);
// Returns the next piece of a chunk and its size; null or size 0 ends the chunk.
using lua_Chunkreader = const char* (*)(lua_State* L, void* data, size_t* size);
// Receives one piece of a dumped chunk; a non-zero result stops the dump.
using lua_Chunkwriter = int (*)(lua_State* L, const void* p, std::size_t size, void* ud);

inline constexpr const char* kLuaVersion = "Lua 5.0.2";

// Value type tags, as lua_type answers them.
inline constexpr int LUA_TNONE = -1; // an index without a value
inline constexpr int LUA_TNIL = 0;
inline constexpr int LUA_TBOOLEAN = 1;
inline constexpr int LUA_TLIGHTUSERDATA = 2;
inline constexpr int LUA_TNUMBER = 3;
inline constexpr int LUA_TSTRING = 4; // 8-bit string
inline constexpr int LUA_TTABLE = 5;
inline constexpr int LUA_TFUNCTION = 6;
inline constexpr int LUA_TUSERDATA = 7; // full userdata
inline constexpr int LUA_TTHREAD = 8;
inline constexpr int LUA_TWSTRING = 9; // 16-bit string

// Error status codes of protected calls and loads.
inline constexpr int LUA_ERRRUN = 1;    // run-time error
inline constexpr int LUA_ERRFILE = 2;   // file could not be read (auxiliary loader)
inline constexpr int LUA_ERRSYNTAX = 3; // syntax error while compiling
inline constexpr int LUA_ERRMEM = 4;    // allocation failed
inline constexpr int LUA_ERRERR = 5;    // error while running the error handler

// "All results" for calls and returns.
inline constexpr int LUA_MULTRET = -1;

// Pseudo-indices.
inline constexpr int LUA_REGISTRYINDEX = -10000;
inline constexpr int LUA_GLOBALSINDEX = -10001;
inline constexpr int lua_upvalueindex(int i)
{
    return LUA_GLOBALSINDEX - i;
}
// Indices below this one read registry[kLuaRegistryShortcut - index] (read-only).
inline constexpr int kLuaRegistryShortcut = -40000;

// Slots a C function is guaranteed at entry, and the most lua_checkstack grants.
inline constexpr int LUA_MINSTACK = 20;
inline constexpr int kLuaMaxCStack = 2048;

// Allocation function of a state: (opaque pointer, block, old size, new size, flags,
// tag). A new size of 0 frees the block and returns null; otherwise it returns the
// resized block, or null to refuse (the old block then stays valid and the interpreter
// raises its memory error, LUA_ERRMEM). Flags is always 0; tag is 1 while a growable
// text buffer is resized, else 0.
using lua_Alloc = void* (*)(void* ud, void* block, size_t oldSize, size_t newSize, int flags,
                            int tag);

// State manipulation.
lua_State* lua_open();
// A state whose every block goes through alloc with ud; null alloc means the default
// allocator that lua_open uses. Null when the memory for it cannot be had.
lua_State* lua_newstate(lua_Alloc alloc, void* ud);
// The allocation function of L's state; ud, when given, receives its opaque pointer.
lua_Alloc lua_getallocf(lua_State* L, void** ud);
// Counts the calls into L's state that began while none of its threads ran (the calls
// from outside, through lua_call, lua_pcall, lua_cpcall or lua_resume); a call nested in
// a running one keeps the count. A hook tells one outside call from the next by it.
unsigned lua_callserial(lua_State* L);
// How many of those calls are under way in L's state (0 while none of its threads runs).
unsigned lua_entrydepth(lua_State* L);
void lua_close(lua_State* L);
lua_State* lua_newthread(lua_State* L);
// The state's main thread (the one lua_open made), from any of its threads.
lua_State* lua_mainthread(lua_State* L);
// Installs the function called on an unprotected error before the process ends.
lua_CFunction lua_atpanic(lua_State* L, lua_CFunction panicf);
// Receives the one-line text of an unprotected error ("unprotected error in call to Lua
// API: ...", cut at 1023 bytes), after the state's panic function has returned and before
// the process ends with exit code 1. Process-wide; the default writes the line to stderr.
using lua_PanicWriter = void (*)(const char* text);
// Installs writer; null restores the default.
void lua_setpanicwriter(lua_PanicWriter writer);

// Basic stack manipulation.
int lua_gettop(lua_State* L);
void lua_settop(lua_State* L, int idx);
void lua_pushvalue(lua_State* L, int idx);
void lua_remove(lua_State* L, int idx);
void lua_insert(lua_State* L, int idx);
void lua_replace(lua_State* L, int idx);
int lua_checkstack(lua_State* L, int size);
void lua_xmove(lua_State* from, lua_State* to, int n);

// Access functions (stack -> C).
int lua_isnumber(lua_State* L, int idx);
int lua_isstring(lua_State* L, int idx); // numbers, strings and wstrings
int lua_iscfunction(lua_State* L, int idx);
int lua_isuserdata(lua_State* L, int idx);
int lua_type(lua_State* L, int idx);
const char* lua_typename(lua_State* L, int tp);

int lua_equal(lua_State* L, int idx1, int idx2);
int lua_rawequal(lua_State* L, int idx1, int idx2);
int lua_lessthan(lua_State* L, int idx1, int idx2);

lua_Number lua_tonumber(lua_State* L, int idx);
int lua_toboolean(lua_State* L, int idx);
// A string's bytes (a number is converted in place); null for a wstring and others.
const char* lua_tostring(lua_State* L, int idx);
// Bytes of a string, characters of a wstring; 0 for other types.
size_t lua_strlen(lua_State* L, int idx);
// A wstring's characters (a number is converted in place); null for other types.
const lua_WChar* lua_towstring(lua_State* L, int idx);
lua_CFunction lua_tocfunction(lua_State* L, int idx);
// The pointer of a light userdata, the block of a full userdata, or the stored
// pointer of a boxed pointer.
void* lua_touserdata(lua_State* L, int idx);
lua_State* lua_tothread(lua_State* L, int idx);
const void* lua_topointer(lua_State* L, int idx);

// Push functions (C -> stack).
void lua_pushnil(lua_State* L);
void lua_pushnumber(lua_State* L, lua_Number n);
void lua_pushlstring(lua_State* L, const char* s, size_t l);
void lua_pushstring(lua_State* L, const char* s); // null pushes nil
void lua_pushlwstring(lua_State* L, const lua_WChar* s, size_t l);
void lua_pushwstring(lua_State* L, const lua_WChar* s); // null pushes nil
const char* lua_pushvfstring(lua_State* L, const char* fmt, va_list argp);
const char* lua_pushfstring(lua_State* L, const char* fmt, ...);
void lua_pushcclosure(lua_State* L, lua_CFunction fn, int n);
void lua_pushboolean(lua_State* L, int b);
void lua_pushlightuserdata(lua_State* L, void* p);
// A full userdata that lua_touserdata answers with p itself.
void lua_pushboxedpointer(lua_State* L, void* p);
// 1 when the value is a full userdata made by lua_pushboxedpointer, else 0.
int lua_isboxedpointer(lua_State* L, int idx);

// Get functions (Lua -> stack).
void lua_gettable(lua_State* L, int idx);
void lua_rawget(lua_State* L, int idx);
void lua_rawgeti(lua_State* L, int idx, int n);
void lua_newtable(lua_State* L);
void* lua_newuserdata(lua_State* L, size_t sz);
// Pushes the metatable of a table or userdata, or the per-type table of other values;
// returns 0 and pushes nothing for nil and for an index without a value.
int lua_getmetatable(lua_State* L, int objindex);
void lua_getfenv(lua_State* L, int idx);
// Pushes the per-type table of type tag tp (1 to 9).
void lua_gettypemetatable(lua_State* L, int tp);

// Set functions (stack -> Lua).
void lua_settable(lua_State* L, int idx);
void lua_rawset(lua_State* L, int idx);
void lua_rawseti(lua_State* L, int idx, int n);
int lua_setmetatable(lua_State* L, int objindex);
int lua_setfenv(lua_State* L, int idx);
// Pops the top value; a table becomes the per-type table of tag tp, anything else is
// discarded.
void lua_settypemetatable(lua_State* L, int tp);

// The "n" field of the table when it is a number, else its largest positive number
// key, clamped to the int range; 0 for a value that is not a table.
int lua_tablelength(lua_State* L, int idx);

// "do" functions (run Lua code).
void lua_call(lua_State* L, int nargs, int nresults);
int lua_pcall(lua_State* L, int nargs, int nresults, int errfunc);
int lua_cpcall(lua_State* L, lua_CFunction func, void* ud);
int lua_load(lua_State* L, lua_Chunkreader reader, void* dt, const char* chunkname);
int lua_dump(lua_State* L, lua_Chunkwriter writer, void* data);

// Coroutine functions.
int lua_yield(lua_State* L, int nresults);
int lua_resume(lua_State* L, int narg);
// 1 while the thread waits in a yield for lua_resume, else 0.
int lua_isyielded(lua_State* L);
// 1 when the C function now running on L may yield (lua_yield would suspend L instead
// of raising "attempt to yield across metamethod/C-call boundary" or "cannot yield a C
// function"); 0 otherwise, also when no function runs on L.
int lua_canyield(lua_State* L);

// Garbage-collection functions (kilobytes).
int lua_getgcthreshold(lua_State* L);
int lua_getgccount(lua_State* L);
void lua_setgcthreshold(lua_State* L, int newthreshold);

// Miscellaneous functions.
const char* lua_version();
int lua_error(lua_State* L); // raises the value on top; never returns
int lua_next(lua_State* L, int idx);
void lua_concat(lua_State* L, int n);

// Number of characters before the terminating zero character.
int lua_wstrlen(const lua_WChar* s);

// Convenience helpers.
inline void lua_pop(lua_State* L, int n)
{
    lua_settop(L, -(n)-1);
}
inline void lua_register(lua_State* L, const char* n, lua_CFunction f)
{
    lua_pushstring(L, n);
    lua_pushcclosure(L, f, 0);
    lua_settable(L, LUA_GLOBALSINDEX);
}
inline void lua_pushcfunction(lua_State* L, lua_CFunction f)
{
    lua_pushcclosure(L, f, 0);
}
inline bool lua_isfunction(lua_State* L, int n)
{
    return lua_type(L, n) == LUA_TFUNCTION;
}
inline bool lua_istable(lua_State* L, int n)
{
    return lua_type(L, n) == LUA_TTABLE;
}
inline bool lua_islightuserdata(lua_State* L, int n)
{
    return lua_type(L, n) == LUA_TLIGHTUSERDATA;
}
inline bool lua_isnil(lua_State* L, int n)
{
    return lua_type(L, n) == LUA_TNIL;
}
inline bool lua_isboolean(lua_State* L, int n)
{
    return lua_type(L, n) == LUA_TBOOLEAN;
}
inline bool lua_iswstring(lua_State* L, int n)
{
    return lua_type(L, n) == LUA_TWSTRING;
}
inline bool lua_isnone(lua_State* L, int n)
{
    return lua_type(L, n) == LUA_TNONE;
}
inline bool lua_isnoneornil(lua_State* L, int n)
{
    return lua_type(L, n) <= 0;
}
inline void lua_getregistry(lua_State* L)
{
    lua_pushvalue(L, LUA_REGISTRYINDEX);
}

// Debug API.
inline constexpr int LUA_HOOKCALL = 0;
inline constexpr int LUA_HOOKRET = 1;
inline constexpr int LUA_HOOKLINE = 2;
inline constexpr int LUA_HOOKCOUNT = 3;
inline constexpr int LUA_HOOKTAILRET = 4;
inline constexpr int LUA_MASKCALL = 1 << LUA_HOOKCALL;
inline constexpr int LUA_MASKRET = 1 << LUA_HOOKRET;
inline constexpr int LUA_MASKLINE = 1 << LUA_HOOKLINE;
inline constexpr int LUA_MASKCOUNT = 1 << LUA_HOOKCOUNT;
inline constexpr int LUA_IDSIZE = 60;

struct lua_Debug
{
    int event = 0;
    const char* name = nullptr;      // (n)
    const char* namewhat = nullptr;  // (n) "global", "local", "field", "method"
    const char* what = nullptr;      // (S) "Lua", "C", "main", "tail"
    const char* source = nullptr;    // (S)
    int currentline = 0;             // (l)
    int nups = 0;                    // (u) number of upvalues
    int linedefined = 0;             // (S)
    char short_src[LUA_IDSIZE] = {}; // (S)
    // private part
    int i_ci = 0; // active function
};

using lua_Hook = void (*)(lua_State* L, lua_Debug* ar);

int lua_getstack(lua_State* L, int level, lua_Debug* ar);
int lua_getinfo(lua_State* L, const char* what, lua_Debug* ar);
const char* lua_getlocal(lua_State* L, const lua_Debug* ar, int n);
const char* lua_setlocal(lua_State* L, const lua_Debug* ar, int n);
const char* lua_getupvalue(lua_State* L, int funcindex, int n);
const char* lua_setupvalue(lua_State* L, int funcindex, int n);
int lua_sethook(lua_State* L, lua_Hook func, int mask, int count);
lua_Hook lua_gethook(lua_State* L);
int lua_gethookmask(lua_State* L);
int lua_gethookcount(lua_State* L);
