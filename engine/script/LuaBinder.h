#pragma once

// Publishing engine and game operations to scripts. Each published operation is a
// global C closure whose one upvalue is a userdata naming the target: for a member, the
// object, its lifeline number and the member-function pointer (whatever size the
// compiler gives it), followed by the global's name; for a plain function, the function
// pointer. One marshalling thunk serves every target of the same call signature: it
// reads the arguments at stack positions 1, 2, ... in order, calls the target and
// pushes its result.
//
//     Publish<&TSprite::SetFrame>(L, "SetFrame", sprite, sprite.Lifeline());
//     Publish<&TGameWindow::Close>(L, "CloseWindow", window);   // window is a TLifeline
//     Publish<&DebugText>(L, "DebugOut");                         // plain function
//
// Arguments are not validated; a missing one reads as nil:
//   TString (or const TString&)   GetLuaStringArg ("" for anything but a string or number)
//   integers                      lua_tonumber truncated toward zero, clamped to the type
//   float, double                 lua_tonumber
//   bool                          lua_toboolean
//   TLuaTable*                    LuaTableFromStack (auto-released; a wrapped nil when
//                                 missing, which reads as an empty table)
// Results: void (none), TString, const char*, bool, integers, float, double (pushed as
// numbers; unsigned values stay non-negative) and object pointers (pushed as boxed
// pointers, nil for null).
// Raw form: a member or function taking only lua_State* and returning int works on the
// stack itself and returns its result count.
//
// A member's closure raises the script error "<name>: its object no longer exists" once
// the object's lifeline has ended, so a script calling an operation of a destroyed object
// gets an error, never a call into freed memory.

#include "engine/foundation/core/TString.h"
#include "engine/script/LuaMarshal.h"
#include "engine/script/TLifeline.h"
#include "engine/script/lua/LuaApi.h"
#include "engine/script/lua/LuaAux.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>

class TLuaTable;

namespace LuaBinding {

// ---- argument conversions ----

template <class T, class Enable = void> struct TArg;

template <> struct TArg<TString>
{
    static TString Get(lua_State* L, int index) { return GetLuaStringArg(L, index); }
};

template <> struct TArg<bool>
{
    static bool Get(lua_State* L, int index) { return lua_toboolean(L, index) != 0; }
};

template <class T> struct TArg<T, std::enable_if_t<std::is_floating_point_v<T>>>
{
    static T Get(lua_State* L, int index) { return static_cast<T>(lua_tonumber(L, index)); }
};

// Truncates toward zero and clamps to T's range (NaN gives 0), so no script value makes
// an out-of-range conversion.
template <class T> T ToInteger(double value)
{
    if (std::isnan(value))
        return 0;
    using TWide = std::conditional_t<std::is_signed_v<T>, T, int64_t>;
    constexpr double kLow = static_cast<double>(std::numeric_limits<TWide>::min());
    constexpr double kHigh = static_cast<double>(std::numeric_limits<TWide>::max());
    if (value <= kLow)
        return static_cast<T>(std::numeric_limits<TWide>::min());
    if (value >= kHigh)
        return static_cast<T>(std::numeric_limits<TWide>::max());
    return static_cast<T>(static_cast<TWide>(std::trunc(value)));
}

template <class T>
struct TArg<T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>>>
{
    static T Get(lua_State* L, int index) { return ToInteger<T>(lua_tonumber(L, index)); }
};

template <> struct TArg<TLuaTable*>
{
    static TLuaTable* Get(lua_State* L, int index) { return LuaTableFromStack(L, index); }
};

// ---- result conversions ----

template <class R, class Enable = void> struct TResult;

template <> struct TResult<TString>
{
    static void Push(lua_State* L, TString value) { LuaPushString(L, std::move(value)); }
};

template <> struct TResult<const char*>
{
    static void Push(lua_State* L, const char* value) { lua_pushstring(L, value); }
};

template <> struct TResult<bool>
{
    static void Push(lua_State* L, bool value) { lua_pushboolean(L, value ? 1 : 0); }
};

template <class R>
struct TResult<R, std::enable_if_t<std::is_arithmetic_v<R> && !std::is_same_v<R, bool>>>
{
    static void Push(lua_State* L, R value) { lua_pushnumber(L, static_cast<lua_Number>(value)); }
};

template <class R> struct TResult<R*, std::enable_if_t<std::is_class_v<R>>>
{
    static void Push(lua_State* L, R* value)
    {
        if (value == nullptr)
            lua_pushnil(L);
        else
            lua_pushboxedpointer(L, const_cast<std::remove_const_t<R>*>(value));
    }
};

// Calls fn() and pushes what it returns; the result count.
template <class R, class Fn> int CallAndPush(lua_State* L, Fn&& fn)
{
    if constexpr (std::is_void_v<R>) {
        fn();
        return 0;
    } else {
        TResult<std::remove_cv_t<std::remove_reference_t<R>>>::Push(L, fn());
        return 1;
    }
}

template <class A> using TArgOf = TArg<std::remove_cv_t<std::remove_reference_t<A>>>;

// ---- signatures ----

template <class M> struct TMemberTraits;

template <class C, class R, class... A> struct TMemberTraits<R (C::*)(A...)>
{
    using Class = C;
    using Result = R;
    static constexpr bool kRaw =
        std::is_same_v<R, int> && sizeof...(A) == 1 && (std::is_same_v<A, lua_State*> && ...);

    template <class M, size_t... I>
    static int Call(lua_State* L, C* object, M method, std::index_sequence<I...>)
    {
        if constexpr (kRaw) {
            return (object->*method)(L);
        } else {
            return CallAndPush<R>(L, [&]() -> R {
                return (object->*method)(TArgOf<A>::Get(L, static_cast<int>(I) + 1)...);
            });
        }
    }
    template <class M> static int Call(lua_State* L, C* object, M method)
    {
        return Call(L, object, method, std::index_sequence_for<A...>{});
    }
};

template <class C, class R, class... A>
struct TMemberTraits<R (C::*)(A...) const> : TMemberTraits<R (C::*)(A...)>
{
    template <class M> static int Call(lua_State* L, const C* object, M method)
    {
        return TMemberTraits<R (C::*)(A...)>::Call(L, const_cast<C*>(object), method,
                                                   std::index_sequence_for<A...>{});
    }
};

template <class C, class R, class... A>
struct TMemberTraits<R (C::*)(A...) noexcept> : TMemberTraits<R (C::*)(A...)>
{
};

template <class C, class R, class... A>
struct TMemberTraits<R (C::*)(A...) const noexcept> : TMemberTraits<R (C::*)(A...) const>
{
};

template <class F> struct TFunctionTraits;

template <class R, class... A> struct TFunctionTraits<R (*)(A...)>
{
    static constexpr bool kRaw =
        std::is_same_v<R, int> && sizeof...(A) == 1 && (std::is_same_v<A, lua_State*> && ...);

    template <class F, size_t... I>
    static int Call(lua_State* L, F function, std::index_sequence<I...>)
    {
        if constexpr (kRaw) {
            return function(L);
        } else {
            return CallAndPush<R>(
                L, [&]() -> R { return function(TArgOf<A>::Get(L, static_cast<int>(I) + 1)...); });
        }
    }
    template <class F> static int Call(lua_State* L, F function)
    {
        return Call(L, function, std::index_sequence_for<A...>{});
    }
};

template <class R, class... A>
struct TFunctionTraits<R (*)(A...) noexcept> : TFunctionTraits<R (*)(A...)>
{
};

// ---- binding userdata and thunks ----

// The upvalue of a member's closure; the global's name follows it.
template <class M> struct TMemberBlock
{
    void* object;
    uint64_t lifeline;
    M method;

    const char* Name() const { return reinterpret_cast<const char*>(this + 1); }
};

// The upvalue of a plain function's closure.
template <class F> struct TFunctionBlock
{
    F function;
};

template <class M> int MemberThunk(lua_State* L)
{
    auto* block = static_cast<TMemberBlock<M>*>(lua_touserdata(L, lua_upvalueindex(1)));
    if (!TLifeline::IsAlive(block->lifeline))
        return luaL_error(L, "%s: its object no longer exists", block->Name());
    using Traits = TMemberTraits<M>;
    return Traits::Call(L, static_cast<typename Traits::Class*>(block->object), block->method);
}

template <class F> int FunctionThunk(lua_State* L)
{
    auto* block = static_cast<TFunctionBlock<F>*>(lua_touserdata(L, lua_upvalueindex(1)));
    return TFunctionTraits<F>::Call(L, block->function);
}

// Stores the closure on top under globals[name].
inline void SetGlobalClosure(lua_State* L, const char* name)
{
    lua_pushstring(L, name);
    lua_insert(L, -2);
    lua_settable(L, LUA_GLOBALSINDEX);
}

} // namespace LuaBinding

// Publishes method of object as the global function name. The closure works while
// lifeline exists (normally a member or base of object).
template <class M, class C>
void PublishMember(lua_State* L, const char* name, C& object, const TLifeline& lifeline, M method)
{
    using namespace LuaBinding;
    using Block = TMemberBlock<M>;
    using Class = typename TMemberTraits<M>::Class;
    static_assert(std::is_base_of_v<Class, C> || std::is_same_v<Class, C>,
                  "the object must have the member's class");
    size_t nameSize = std::strlen(name) + 1;
    void* memory = lua_newuserdata(L, sizeof(Block) + nameSize);
    auto* block = new (memory) Block{static_cast<Class*>(&object), lifeline.GetId(), method};
    std::memcpy(block + 1, name, nameSize);
    lua_pushcclosure(L, &MemberThunk<M>, 1);
    SetGlobalClosure(L, name);
}

// Publishes a plain function as the global function name.
template <class F> void PublishFunction(lua_State* L, const char* name, F function)
{
    using namespace LuaBinding;
    void* memory = lua_newuserdata(L, sizeof(TFunctionBlock<F>));
    new (memory) TFunctionBlock<F>{function};
    lua_pushcclosure(L, &FunctionThunk<F>, 1);
    SetGlobalClosure(L, name);
}

template <auto Method, class C>
requires std::is_member_function_pointer_v<decltype(Method)>
void Publish(lua_State* L, const char* name, C& object, const TLifeline& lifeline)
{
    PublishMember(L, name, object, lifeline, Method);
}

// The same for an object that is its own lifeline.
template <auto Method, class C>
requires std::is_member_function_pointer_v<decltype(Method)> && std::is_base_of_v<TLifeline, C>
void Publish(lua_State* L, const char* name, C& object)
{
    PublishMember(L, name, object, static_cast<const TLifeline&>(object), Method);
}

template <auto Function>
requires std::is_pointer_v<decltype(Function)> &&
    std::is_function_v<std::remove_pointer_t<decltype(Function)>>
void Publish(lua_State* L, const char* name)
{
    PublishFunction(L, name, Function);
}
