#include "engine/script/lua/LTableLib.h"

#include "engine/script/lua/LLibSupport.h"
#include "engine/script/lua/LuaAux.h"

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
    const int64_t last = lua_isnoneornil(L, 4) ? luaL_getn(L, 1)
                                               : LLibSupport::ToInt32(luaL_checknumber(L, 4));
    luaL_Buffer buffer;
    luaL_buffinit(L, &buffer);
    for (; i <= last; ++i) {
        lua_rawgeti(L, 1, static_cast<int>(i));
        luaL_argcheck(L, LLibSupport::AddNarrowValue(&buffer, L), 1,
                      "table contains non-strings");
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
// with median-of-three pivots. An order function that is not a strict weak order can
// drive a scan past the range; that raises "invalid order function for sorting" before
// anything outside the range is read.
class TSorter {
public:
    explicit TSorter(lua_State* L) : mL(L) {}

    void Sort(int lo, int hi)
    {
        while (lo < hi) {
            OrderPair(lo, hi);
            if (hi - lo == 1)
                return;
            const int middle = lo + (hi - lo) / 2;
            if (Less(middle, lo))
                Swap(middle, lo);
            else if (Less(hi, middle))
                Swap(middle, hi);
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
    // Puts the pivot at hi - 1 and partitions lo+1 .. hi-2 around it; returns the
    // pivot's final place.
    int Partition(int lo, int hi, int middle)
    {
        Swap(middle, hi - 1);
        lua_rawgeti(mL, 1, hi - 1);  // the pivot stays on the stack
        const int pivot = lua_gettop(mL);
        int i = lo;
        int j = hi - 1;
        for (;;) {
            while (LessThanPivot(++i, pivot, true)) {
                if (i >= hi)
                    luaL_error(mL, "invalid order function for sorting");
            }
            while (LessThanPivot(--j, pivot, false)) {
                if (j <= lo)
                    luaL_error(mL, "invalid order function for sorting");
            }
            if (j < i)
                break;
            Swap(i, j);
        }
        lua_pop(mL, 1);
        Swap(hi - 1, i);
        return i;
    }

    // t[index] < pivot (elementFirst) or pivot < t[index].
    bool LessThanPivot(int index, int pivot, bool elementFirst)
    {
        lua_rawgeti(mL, 1, index);
        const int element = lua_gettop(mL);
        const bool result = elementFirst ? Compare(element, pivot) : Compare(pivot, element);
        lua_pop(mL, 1);
        return result;
    }

    void OrderPair(int lo, int hi)
    {
        if (Less(hi, lo))
            Swap(lo, hi);
    }

    bool Less(int a, int b)
    {
        lua_rawgeti(mL, 1, a);
        lua_rawgeti(mL, 1, b);
        const int top = lua_gettop(mL);
        const bool result = Compare(top - 1, top);
        lua_pop(mL, 2);
        return result;
    }

    // Compares two absolute stack slots with the order function or `<`.
    bool Compare(int a, int b)
    {
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

    void Swap(int a, int b)
    {
        lua_rawgeti(mL, 1, a);
        lua_rawgeti(mL, 1, b);
        lua_rawseti(mL, 1, a);
        lua_rawseti(mL, 1, b);
    }

    lua_State* mL;
};

int TableSort(lua_State* L)
{
    const int n = TableSize(L);
    luaL_checkstack(L, kSortStackSlots, "");
    if (!lua_isnoneornil(L, 2))
        luaL_checktype(L, 2, LUA_TFUNCTION);
    lua_settop(L, 2);
    TSorter(L).Sort(1, n);
    return 0;
}

const luaL_reg kTableFunctions[] = {
    {"concat", TableConcat},
    {"foreach", TableForeach},
    {"foreachi", TableForeachi},
    {"getn", TableGetn},
    {"setn", TableSetn},
    {"sort", TableSort},
    {"insert", TableInsert},
    {"remove", TableRemove},
    {nullptr, nullptr},
};

} // namespace

int luaopen_table(lua_State* L)
{
    luaL_openlib(L, "table", kTableFunctions, 0);
    return 1;
}
