#include "engine/script/lua/objects/LFunction.h"

#include "engine/script/lua/objects/LMemory.h"
#include "engine/script/lua/objects/LString.h"
#include "engine/script/lua/runtime/LState.h"

#include <cstring>

namespace {

std::size_t CClosureSize(int numUpvalues)
{
    return sizeof(LCClosure) + sizeof(LValue) * numUpvalues;
}

std::size_t LuaClosureSize(int numUpvalues)
{
    return sizeof(LLuaClosure) + sizeof(LUpval*) * numUpvalues;
}

void InitClosureHeader(LClosure* c, bool isC, int numUpvalues, const LValue* globals)
{
    c->mIsC = isC ? 1 : 0;
    c->mNumUpvalues = static_cast<uint8_t>(numUpvalues);
    c->mGcList = nullptr;
    c->mGlobals = *globals;
}

} // namespace

LProto* luaF_newproto(lua_State* L)
{
    LProto* f = luaM_new<LProto>(L);
    std::memset(static_cast<void*>(f), 0, sizeof(LProto)); // null vectors, zero counts
    luaC_link(L, f, LUA_TPROTO);
    return f;
}

LCClosure* luaF_newCclosure(lua_State* L, int numUpvalues, const LValue* globals)
{
    LCClosure* c = static_cast<LCClosure*>(luaM_realloc(L, nullptr, 0, CClosureSize(numUpvalues)));
    InitClosureHeader(c, true, numUpvalues, globals);
    c->mFunction = nullptr;
    for (int i = 0; i < numUpvalues; ++i)
        c->Upvalues()[i].SetNil();
    luaC_link(L, c, LUA_TFUNCTION);
    return c;
}

LLuaClosure* luaF_newLclosure(lua_State* L, int numUpvalues, const LValue* globals)
{
    LLuaClosure* c =
        static_cast<LLuaClosure*>(luaM_realloc(L, nullptr, 0, LuaClosureSize(numUpvalues)));
    InitClosureHeader(c, false, numUpvalues, globals);
    c->mProto = nullptr;
    for (int i = 0; i < numUpvalues; ++i)
        c->Upvalues()[i] = nullptr;
    luaC_link(L, c, LUA_TFUNCTION);
    return c;
}

LUpval* luaF_newupval(lua_State* L)
{
    LUpval* u = luaM_new<LUpval>(L);
    u->mValue.SetNil();
    u->mValuePtr = &u->mValue;
    luaC_link(L, u, LUA_TUPVAL);
    return u;
}

void luaF_freeproto(lua_State* L, LProto* f)
{
    luaM_freevector(L, f->mCode, static_cast<std::size_t>(f->mSizeCode));
    luaM_freevector(L, f->mProtos, static_cast<std::size_t>(f->mSizeProtos));
    luaM_freevector(L, f->mConstants, static_cast<std::size_t>(f->mSizeConstants));
    luaM_freevector(L, f->mLineInfo, static_cast<std::size_t>(f->mSizeLineInfo));
    luaM_freevector(L, f->mLocVars, static_cast<std::size_t>(f->mSizeLocVars));
    luaM_freevector(L, f->mUpvalueNames, static_cast<std::size_t>(f->mSizeUpvalueNames));
    luaM_freeblock(L, f, sizeof(LProto));
}

void luaF_freeclosure(lua_State* L, LClosure* c)
{
    const std::size_t size =
        c->mIsC ? CClosureSize(c->mNumUpvalues) : LuaClosureSize(c->mNumUpvalues);
    luaM_freeblock(L, c, size);
}

void luaF_freeupval(lua_State* L, LUpval* u)
{
    luaM_freeblock(L, u, sizeof(LUpval));
}

const char* luaF_getlocalname(const LProto* f, int localNumber, int pc)
{
    for (int i = 0; i < f->mSizeLocVars && f->mLocVars[i].mStartPc <= pc; ++i) {
        if (pc < f->mLocVars[i].mEndPc) {
            --localNumber;
            if (localNumber == 0)
                return f->mLocVars[i].mName->Text();
        }
    }
    return nullptr;
}
