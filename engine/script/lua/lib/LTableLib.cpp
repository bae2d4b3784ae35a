#include "engine/script/lua/LuaAux.h"
#include "engine/script/lua/LuaLib.h"
#include "engine/script/lua/lib/LLibSupport.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Stack slots that sort reserves for its comparisons.
constexpr int kSortStackSlots = 40;

int TableSize(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    return luaL_getn(L, 1);
}

int TableConcat(lua_State* L)
{
    size_t separatorLength = 0;
    const char* separator = luaL_optlstring(L, 2, "", &separatorLength);
    luaL_checktype(L, 1, LUA_TTABLE);
    int64_t i = LLibSupport::ToInt32(luaL_optnumber(L, 3, 1));
    const int64_t last =
        lua_isnoneornil(L, 4) ? luaL_getn(L, 1) : LLibSupport::ToInt32(luaL_checknumber(L, 4));
    luaL_Buffer buffer;
    luaL_buffinit(L, &buffer);
    for (; i <= last; ++i) {
        lua_rawgeti(L, 1, static_cast<int>(i));
        luaL_argcheck(L, LLibSupport::AddNarrowValue(&buffer, L), 1, "table contains non-strings");
        if (i != last)
            luaL_addlstring(&buffer, separator, separatorLength);
    }
    luaL_pushresult(&buffer);
    return 1;
}

int TableForeach(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_checktype(L, 2, LUA_TFUNCTION);
    lua_settop(L, 2);
    lua_pushnil(L);
    while (lua_next(L, 1)) {
        lua_pushvalue(L, 2);
        lua_pushvalue(L, -3);
        lua_pushvalue(L, -3);
        lua_call(L, 2, 1);
        if (!lua_isnil(L, -1))
            return 1;
        lua_pop(L, 2);
    }
    return 0;
}

int TableForeachi(lua_State* L)
{
    const int n = TableSize(L);
    luaL_checktype(L, 2, LUA_TFUNCTION);
    lua_settop(L, 2);
    for (int i = 1; i <= n; ++i) {
        lua_pushvalue(L, 2);
        lua_pushnumber(L, i);
        lua_rawgeti(L, 1, i);
        lua_call(L, 2, 1);
        if (!lua_isnil(L, -1))
            return 1;
        lua_pop(L, 1);
    }
    return 0;
}

int TableGetn(lua_State* L)
{
    lua_pushnumber(L, TableSize(L));
    return 1;
}

int TableSetn(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_setn(L, 1, LLibSupport::ToInt32(luaL_checknumber(L, 2)));
    return 0;
}

int TableInsert(lua_State* L)
{
    int64_t n = static_cast<int64_t>(TableSize(L)) + 1;
    int valueArg = lua_gettop(L);
    int64_t position = n;
    if (valueArg != 2) {
        position = LLibSupport::ToInt32(luaL_checknumber(L, 2));
        if (position > n)
            n = position;
        valueArg = 3;
    }
    luaL_setn(L, 1, static_cast<int>(n));
    for (int64_t i = n; i > position; --i) {
        lua_rawgeti(L, 1, static_cast<int>(i - 1));
        lua_rawseti(L, 1, static_cast<int>(i));
    }
    lua_pushvalue(L, valueArg);
    lua_rawseti(L, 1, static_cast<int>(position));
    return 0;
}

int TableRemove(lua_State* L)
{
    const int64_t n = TableSize(L);
    int64_t position = lua_isnoneornil(L, 2) ? n : LLibSupport::ToInt32(luaL_checknumber(L, 2));
    if (n <= 0)
        return 0;
    luaL_setn(L, 1, static_cast<int>(n - 1));
    lua_rawgeti(L, 1, static_cast<int>(position));
    for (; position < n; ++position) {
        lua_rawgeti(L, 1, static_cast<int>(position + 1));
        lua_rawseti(L, 1, static_cast<int>(position));
    }
    lua_pushnil(L);
    lua_rawseti(L, 1, static_cast<int>(n));
    return 1;
}

// Quicksort over t[lo..hi] (the table at index 1, the comparator or nil at index 2)
// with median-of-three pivots. Elements are fetched once per comparison and stored
// back from the stack when they swap places. An order function that is not a strict
// weak order can drive a scan to the end of the range; that raises "invalid order
// function for sorting" before anything outside the range is read.
class TSorter
{
public:
    explicit TSorter(lua_State* L) : mL(L) {}

    void Sort(int lo, int hi)
    {
        while (lo < hi) {
            lua_rawgeti(mL, 1, lo);
            lua_rawgeti(mL, 1, hi);
            if (Less(-1, -2)) // t[hi] < t[lo]
                Store(lo, hi);
            else
                lua_pop(mL, 2);
            if (hi - lo == 1)
                return;
            const int middle = lo + (hi - lo) / 2;
            lua_rawgeti(mL, 1, middle);
            lua_rawgeti(mL, 1, lo);
            if (Less(-2, -1)) { // t[middle] < t[lo]
                Store(middle, lo);
            } else {
                lua_pop(mL, 1);
                lua_rawgeti(mL, 1, hi);
                if (Less(-1, -2)) // t[hi] < t[middle]
                    Store(middle, hi);
                else
                    lua_pop(mL, 2);
            }
            if (hi - lo == 2)
                return;
            const int split = Partition(lo, hi, middle);
            // Recurse into the smaller side, loop over the larger one.
            if (split - lo < hi - split) {
                Sort(lo, split - 1);
                lo = split + 1;
            } else {
                Sort(split + 1, hi);
                hi = split - 1;
            }
        }
    }

private:
    // Moves the pivot to hi - 1, partitions lo+1 .. hi-2 around it and returns the
    // pivot's final place.
    int Partition(int lo, int hi, int middle)
    {
        lua_rawgeti(mL, 1, middle);
        lua_pushvalue(mL, -1);
        lua_rawgeti(mL, 1, hi - 1);
        Store(middle, hi - 1); // the pivot copy stays on the stack
        int i = lo;
        int j = hi - 1;
        for (;;) {
            for (lua_rawgeti(mL, 1, ++i); Less(-1, -2); lua_rawgeti(mL, 1, ++i)) {
                if (i >= hi)
                    luaL_error(mL, "invalid order function for sorting");
                lua_pop(mL, 1);
            }
            for (lua_rawgeti(mL, 1, --j); Less(-3, -1); lua_rawgeti(mL, 1, --j)) {
                if (j <= lo)
                    luaL_error(mL, "invalid order function for sorting");
                lua_pop(mL, 1);
            }
            if (j < i) {
                lua_pop(mL, 3); // t[i], t[j] and the pivot
                break;
            }
            Store(i, j);
        }
        lua_rawgeti(mL, 1, hi - 1);
        lua_rawgeti(mL, 1, i);
        Store(hi - 1, i);
        return i;
    }

    // Pops the top two values: the top one into t[a], the one below into t[b].
    void Store(int a, int b)
    {
        lua_rawseti(mL, 1, a);
        lua_rawseti(mL, 1, b);
    }

    // value(a) < value(b) for two stack slots, by the order function or `<'.
    bool Less(int a, int b)
    {
        const int top = lua_gettop(mL);
        a = a < 0 ? top + a + 1 : a;
        b = b < 0 ? top + b + 1 : b;
        if (lua_isnil(mL, 2))
            return lua_lessthan(mL, a, b) != 0;
        lua_pushvalue(mL, 2);
        lua_pushvalue(mL, a);
        lua_pushvalue(mL, b);
        lua_call(mL, 2, 1);
        const bool result = lua_toboolean(mL, -1) != 0;
        lua_pop(mL, 1);
        return result;
    }

    lua_State* mL;
};

// Sorts t[1..n] when every element is a number other than NaN and -0 and no order
// function is given: numbers in a strict weak order that tells every two values apart,
// so the result is the one any correct sort gives, only faster than comparing through
// the stack. Returns false, having changed nothing, for any other content.
bool SortPlainNumbers(lua_State* L, int n)
{
    std::vector<double> values;
    for (int i = 1; i <= n; ++i) {
        lua_rawgeti(L, 1, i);
        const bool isNumber = lua_type(L, -1) == LUA_TNUMBER;
        const double value = isNumber ? lua_tonumber(L, -1) : 0;
        lua_pop(L, 1);
        if (!isNumber || value != value || (value == 0 && std::signbit(value)))
            return false;
        values.push_back(value);
    }
    std::sort(values.begin(), values.end());
    for (int i = 1; i <= n; ++i) {
        lua_pushnumber(L, values[static_cast<size_t>(i - 1)]);
        lua_rawseti(L, 1, i);
    }
    return true;
}

int TableSort(lua_State* L)
{
    const int n = TableSize(L);
    luaL_checkstack(L, kSortStackSlots, "");
    if (!lua_isnoneornil(L, 2))
        luaL_checktype(L, 2, LUA_TFUNCTION);
    lua_settop(L, 2);
    if (lua_isnil(L, 2) && SortPlainNumbers(L, n))
        return 0;
    TSorter(L).Sort(1, n);
    return 0;
}

const luaL_reg kTableFunctions[] = {
    {"concat", TableConcat}, {"foreach", TableForeach}, {"foreachi", TableForeachi},
    {"getn", TableGetn},     {"setn", TableSetn},       {"sort", TableSort},
    {"insert", TableInsert}, {"remove", TableRemove},   {nullptr, nullptr},
};

} // namespace

int luaopen_table(lua_State* L)
{
    luaL_openlib(L, "table", kTableFunctions, 0);
    return 1;
}
