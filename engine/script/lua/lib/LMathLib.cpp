#include "engine/script/lua/LuaAux.h"
#include "engine/script/lua/LuaLib.h"
#include "engine/script/lua/lib/LLibSupport.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadiansPerDegree = kPi / 180.0;
constexpr int kRandomMax = 32767;

// The generator's state lives in a full userdata shared as upvalue 1 by random and
// randomseed, so each script state has its own sequence.
uint32_t& GeneratorState(lua_State* L)
{
    return *static_cast<uint32_t*>(lua_touserdata(L, lua_upvalueindex(1)));
}

int NextRandom(lua_State* L)
{
    uint32_t& state = GeneratorState(L);
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

template <double (*Function)(double)> int Unary(lua_State* L)
{
    lua_pushnumber(L, Function(luaL_checknumber(L, 1)));
    return 1;
}

template <double (*Function)(double, double)> int Binary(lua_State* L)
{
    lua_pushnumber(L, Function(luaL_checknumber(L, 1), luaL_checknumber(L, 2)));
    return 1;
}

double Abs(double x)
{
    return std::fabs(x);
}
double Sin(double x)
{
    return std::sin(x);
}
double Cos(double x)
{
    return std::cos(x);
}
double Tan(double x)
{
    return std::tan(x);
}
double Asin(double x)
{
    return std::asin(x);
}
double Acos(double x)
{
    return std::acos(x);
}
double Atan(double x)
{
    return std::atan(x);
}
double Atan2(double y, double x)
{
    return std::atan2(y, x);
}
double Ceil(double x)
{
    return std::ceil(x);
}
double Floor(double x)
{
    return std::floor(x);
}
double Mod(double x, double y)
{
    return std::fmod(x, y);
}
double Sqrt(double x)
{
    return std::sqrt(x);
}
double Log(double x)
{
    return std::log(x);
}
double Log10(double x)
{
    return std::log10(x);
}
double Exp(double x)
{
    return std::exp(x);
}
double Deg(double x)
{
    return x / kRadiansPerDegree;
}
double Rad(double x)
{
    return x * kRadiansPerDegree;
}
double Pow(double x, double y)
{
    return std::pow(x, y);
}

int MathFrexp(lua_State* L)
{
    int exponent = 0;
    lua_pushnumber(L, std::frexp(luaL_checknumber(L, 1), &exponent));
    lua_pushnumber(L, exponent);
    return 2;
}

int MathLdexp(lua_State* L)
{
    const double x = luaL_checknumber(L, 1);
    lua_pushnumber(L, std::ldexp(x, LLibSupport::ToInt32(luaL_checknumber(L, 2))));
    return 1;
}

template <bool kWantMax> int Extreme(lua_State* L)
{
    const int count = lua_gettop(L);
    double best = luaL_checknumber(L, 1);
    for (int arg = 2; arg <= count; ++arg) {
        const double value = luaL_checknumber(L, arg);
        if (kWantMax ? value > best : value < best)
            best = value;
    }
    lua_pushnumber(L, best);
    return 1;
}

int MathRandom(lua_State* L)
{
    const double r = static_cast<double>(NextRandom(L) % kRandomMax) / kRandomMax;
    switch (lua_gettop(L)) {
    case 0:
        lua_pushnumber(L, r);
        break;
    case 1: {
        const int32_t upper = LLibSupport::ToInt32(luaL_checknumber(L, 1));
        luaL_argcheck(L, 1 <= upper, 1, "interval is empty");
        lua_pushnumber(L, std::floor(r * upper) + 1);
        break;
    }
    case 2: {
        const int32_t lower = LLibSupport::ToInt32(luaL_checknumber(L, 1));
        const int32_t upper = LLibSupport::ToInt32(luaL_checknumber(L, 2));
        luaL_argcheck(L, lower <= upper, 2, "interval is empty");
        const double span = static_cast<double>(upper) - lower + 1;
        lua_pushnumber(L, std::floor(r * span) + lower);
        break;
    }
    default:
        luaL_error(L, "wrong number of arguments");
    }
    return 1;
}

int MathRandomseed(lua_State* L)
{
    GeneratorState(L) = LLibSupport::ToUInt32(luaL_checknumber(L, 1));
    return 0;
}

const luaL_reg kMathFunctions[] = {
    {"abs", Unary<Abs>},     {"sin", Unary<Sin>},      {"cos", Unary<Cos>},
    {"tan", Unary<Tan>},     {"asin", Unary<Asin>},    {"acos", Unary<Acos>},
    {"atan", Unary<Atan>},   {"atan2", Binary<Atan2>}, {"ceil", Unary<Ceil>},
    {"floor", Unary<Floor>}, {"mod", Binary<Mod>},     {"frexp", MathFrexp},
    {"ldexp", MathLdexp},    {"sqrt", Unary<Sqrt>},    {"min", Extreme<false>},
    {"max", Extreme<true>},  {"log", Unary<Log>},      {"log10", Unary<Log10>},
    {"exp", Unary<Exp>},     {"deg", Unary<Deg>},      {"pow", Binary<Pow>},
    {"rad", Unary<Rad>},     {nullptr, nullptr},
};

const luaL_reg kRandomFunctions[] = {
    {"random", MathRandom},
    {"randomseed", MathRandomseed},
    {nullptr, nullptr},
};

} // namespace

int luaopen_math(lua_State* L)
{
    luaL_openlib(L, "math", kMathFunctions, 0);
    *static_cast<uint32_t*>(lua_newuserdata(L, sizeof(uint32_t))) = 1;
    luaL_openlib(L, "math", kRandomFunctions, 1);
    lua_pop(L, 1); // the second reference to the same table
    lua_pushstring(L, "pi");
    lua_pushnumber(L, kPi);
    lua_settable(L, -3);
    lua_pushstring(L, "__pow");
    lua_pushcfunction(L, Binary<Pow>);
    lua_settable(L, LUA_GLOBALSINDEX);
    return 1;
}
