#include "engine/graphics/particles/TParticleCompiler.h"

#include "engine/graphics/particles/nodes/functions/F2dRotation.h"
#include "engine/graphics/particles/nodes/functions/FAge.h"
#include "engine/graphics/particles/nodes/functions/FAlpha.h"
#include "engine/graphics/particles/nodes/functions/FClosedCycle.h"
#include "engine/graphics/particles/nodes/functions/FDebug.h"
#include "engine/graphics/particles/nodes/functions/FDistance.h"
#include "engine/graphics/particles/nodes/functions/FExpire.h"
#include "engine/graphics/particles/nodes/functions/FFade.h"
#include "engine/graphics/particles/nodes/functions/FOpenCycle.h"
#include "engine/graphics/particles/nodes/functions/FTimeScale.h"
#include "engine/graphics/particles/nodes/functions/FVec.h"
#include "engine/graphics/particles/nodes/operators/FAdd.h"
#include "engine/graphics/particles/nodes/operators/FAssign.h"
#include "engine/graphics/particles/nodes/operators/FDiv.h"
#include "engine/graphics/particles/nodes/operators/FIndex.h"
#include "engine/graphics/particles/nodes/operators/FLe.h"
#include "engine/graphics/particles/nodes/operators/FLt.h"
#include "engine/graphics/particles/nodes/operators/FMul.h"
#include "engine/graphics/particles/nodes/operators/FNewIndex.h"
#include "engine/graphics/particles/nodes/operators/FSub.h"
#include "engine/graphics/particles/nodes/operators/FUnm.h"
#include "engine/graphics/particles/nodes/sources/F2dRadius.h"
#include "engine/graphics/particles/nodes/sources/FGetParticleParam.h"
#include "engine/graphics/particles/nodes/sources/FPick.h"
#include "engine/graphics/particles/nodes/sources/FPush.h"
#include "engine/graphics/particles/nodes/sources/FRange.h"
#include "engine/script/LuaStackGuard.h"
#include "engine/script/lua/LuaApi.h"
#include "engine/script/lua/LuaAux.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <utility>

namespace {

constexpr TParticleCompiler::TCommand kCommands[] = {
    {"assign", &FAssign::Create, false},
    {"lt", &FLt::Create, false},
    {"le", &FLe::Create, false},
    {"add", &FAdd::Create, false},
    {"unm", &FUnm::Create, false},
    {"mul", &FMul::Create, false},
    {"div", &FDiv::Create, false},
    {"sub", &FSub::Create, false},
    {"index", &FIndex::Create, false},
    {"newindex", &FNewIndex::Create, false},
    {"fTimeScale", &FTimeScale::Create, true},
    {"fAge", &FAge::Create, true},
    {"fPick", &FPick::Create, true},
    {"fFade", &FFade::Create, true},
    {"fOpenCycle", &FOpenCycle::Create, true},
    {"fClosedCycle", &FClosedCycle::Create, true},
    {"fAlpha", &FAlpha::Create, true},
    {"fDebug", &FDebug::Create, true},
    {"fDistance", &FDistance::Create, true},
    {"f2dRadius", &F2dRadius::Create, true},
    {"f2dRotation", &F2dRotation::Create, true},
    {"fVec", &FVec::Create, true},
    {"fRange", &FRange::Create, true},
    {"fExpire", &FExpire::Create, true},
    {"fLess", &FLt::Create, true},
    {"fLessEqual", &FLe::Create, true},
};

template <class T> std::shared_ptr<TParticleFunction> MakePush(const float* values)
{
    return std::make_shared<FPush<T>>(values);
}

// Reports a command without a node the way the script's own errors are reported.
void AlertTypeNotFound(lua_State* L, const char* command)
{
    LuaStackGuard guard(L);
    lua_pushstring(L, "_ALERT");
    lua_gettable(L, LUA_GLOBALSINDEX);
    if (!lua_isfunction(L, -1))
        return;
    lua_pushfstring(L, "Type not found: %s", command);
    lua_pcall(L, 1, 0, 0);
}

} // namespace

// Keeps the pending list to whole expressions: an expression left by a script error
// (which unwinds through here) loses the nodes compiled for it, and so does an outermost
// expression in which a command had no node.
class TParticleCompiler::TExpressionScope
{
public:
    explicit TExpressionScope(TParticleCompiler& compiler)
        : mCompiler(compiler), mMark(compiler.mPending.size()),
          mExceptions(std::uncaught_exceptions())
    {
        ++mCompiler.mDepth;
    }
    ~TExpressionScope()
    {
        const bool outermost = --mCompiler.mDepth == 0;
        const bool unwinding = std::uncaught_exceptions() > mExceptions;
        if (unwinding || (outermost && mCompiler.mRefused))
            mCompiler.mPending.erase(mCompiler.mPending.begin() + static_cast<long>(mMark),
                                     mCompiler.mPending.end());
        if (outermost)
            mCompiler.mRefused = false;
    }
    TExpressionScope(const TExpressionScope&) = delete;
    TExpressionScope& operator=(const TExpressionScope&) = delete;

private:
    TParticleCompiler& mCompiler;
    size_t mMark;
    int mExceptions;
};

std::span<const TParticleCompiler::TCommand> TParticleCompiler::Commands()
{
    return kCommands;
}

std::shared_ptr<TParticleFunction> TParticleCompiler::CreateNode(const char* command)
{
    for (const TCommand& entry : kCommands)
        if (std::strcmp(entry.name, command) == 0)
            return entry.factory();
    return nullptr;
}

int TParticleCompiler::CompileParam(lua_State* L)
{
    TExpressionScope scope(*this);
    const int dimension = Compile(L, 1);
    lua_pushnumber(L, dimension);
    return 1;
}

std::vector<TParticleStreamEntry> TParticleCompiler::TakePending()
{
    return std::exchange(mPending, {});
}

void TParticleCompiler::Clear()
{
    mPending.clear();
    mRefused = false;
}

void TParticleCompiler::Append(std::shared_ptr<TParticleFunction> node, int operandCount,
                               const uint8_t* operandDimensions)
{
    TParticleStreamEntry entry;
    entry.node = std::move(node);
    entry.operandCount = static_cast<uint8_t>(operandCount);
    std::copy_n(operandDimensions, operandCount, entry.operandDimensions);
    mPending.push_back(std::move(entry));
}

int TParticleCompiler::Compile(lua_State* L, int index)
{
    switch (lua_type(L, index)) {
    case LUA_TNUMBER: {
        const float value = static_cast<float>(lua_tonumber(L, index));
        Append(MakePush<float>(&value), 0, nullptr);
        return 1;
    }
    case LUA_TUSERDATA: {
        if (!lua_isboxedpointer(L, index))
            break;
        const TParticleMemberHandle handle =
            TParticleMemberHandle::Unpack(reinterpret_cast<uintptr_t>(lua_touserdata(L, index)));
        Append(std::make_shared<FGetParticleParam>(handle), 0, nullptr);
        return handle.dimension;
    }
    case LUA_TTABLE: {
        LuaStackGuard guard(L);
        lua_pushstring(L, "cmd");
        lua_rawget(L, index);
        if (lua_isnil(L, -1)) {
            const int count = lua_tablelength(L, index);
            bool numbers = true;
            for (int i = 1; i <= count && numbers; ++i) {
                lua_rawgeti(L, index, i);
                numbers = lua_type(L, -1) == LUA_TNUMBER;
                lua_pop(L, 1);
            }
            if (numbers)
                return CompileConstant(L, index, count);
            return CompileCommand(L, "fVec", index);
        }
        if (lua_type(L, -1) != LUA_TSTRING)
            return luaL_error(L, "CompileParam: the cmd of an expression must be a string");
        if (lua_strlen(L, -1) == 0)
            return CompileCommand(L, "fVec", index);
        const int command = lua_gettop(L);
        lua_pushstring(L, "params");
        lua_rawget(L, index);
        if (!lua_istable(L, -1))
            return luaL_error(L, "CompileParam: expression %s has no params table",
                              lua_tostring(L, command));
        return CompileCommand(L, lua_tostring(L, command), lua_gettop(L));
    }
    default:
        break;
    }
    return luaL_error(L, "CompileParam: cannot compile a %s value",
                      lua_typename(L, lua_type(L, index)));
}

int TParticleCompiler::CompileConstant(lua_State* L, int index, int count)
{
    if (count < 1 || count > 4)
        return luaL_error(L, "CompileParam: a constant has 1 to 4 numbers, not %d", count);
    float values[4];
    for (int i = 0; i < count; ++i) {
        lua_rawgeti(L, index, i + 1);
        values[i] = static_cast<float>(lua_tonumber(L, -1));
        lua_pop(L, 1);
    }
    static constexpr std::shared_ptr<TParticleFunction> (*kMake[4])(const float*) = {
        &MakePush<float>, &MakePush<TVec2>, &MakePush<TVec3>, &MakePush<TVec4>};
    Append(kMake[count - 1](values), 0, nullptr);
    return count;
}

int TParticleCompiler::CompileCommand(lua_State* L, const char* command, int operands)
{
    const int count = std::max(0, lua_tablelength(L, operands));
    if (count > TParticleStreamEntry::kMaxOperands)
        return luaL_error(L, "CompileParam: %s has %d operands, at most %d are allowed", command,
                          count, TParticleStreamEntry::kMaxOperands);
    lua_pushstring(L, "CompileParameters");
    lua_gettable(L, LUA_GLOBALSINDEX);
    lua_pushvalue(L, operands);
    lua_call(L, 1, 1);
    // Every operand must have been compiled (a nil among them ends the script's loop),
    // or the node would take operands that are not there.
    uint8_t dimensions[TParticleStreamEntry::kMaxOperands] = {};
    for (int i = 0; i < count; ++i) {
        if (lua_istable(L, -1))
            lua_rawgeti(L, -1, i + 1);
        else
            lua_pushnil(L);
        if (lua_type(L, -1) != LUA_TNUMBER)
            return luaL_error(L, "CompileParam: operand %d of %s cannot be compiled", i + 1,
                              command);
        const double dimension = lua_tonumber(L, -1);
        dimensions[i] = dimension >= 1 && dimension <= 4 ? static_cast<uint8_t>(dimension) : 0;
        lua_pop(L, 1);
    }
    std::shared_ptr<TParticleFunction> node = CreateNode(command);
    if (!node) {
        AlertTypeNotFound(L, command);
        mRefused = true;
        return 0;
    }
    const int dimension = std::clamp(node->GetResultDimension(count, dimensions), 0, 255);
    Append(std::move(node), count, dimensions);
    return dimension;
}
