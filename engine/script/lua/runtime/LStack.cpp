#include "engine/script/lua/runtime/LStack.h"

#include "engine/script/lua/objects/LLimits.h"
#include "engine/script/lua/objects/LMemory.h"

namespace {

LValue* Relocate(LValue* p, LValue* oldStack, LValue* newStack)
{
    return newStack + (p - oldStack);
}

void CorrectStack(lua_State* L, LValue* oldStack)
{
    L->mTop = Relocate(L->mTop, oldStack, L->mStack);
    L->mBase = Relocate(L->mBase, oldStack, L->mStack);
    for (LGCObject* o = L->mOpenUpval; o != nullptr; o = o->mNext) {
        LUpval* u = static_cast<LUpval*>(o);
        u->mValuePtr = Relocate(u->mValuePtr, oldStack, L->mStack);
    }
    for (LCallInfo* ci = L->mBaseCi; ci <= L->mCi; ++ci) {
        ci->mTop = Relocate(ci->mTop, oldStack, L->mStack);
        ci->mBase = Relocate(ci->mBase, oldStack, L->mStack);
    }
}

} // namespace

void luaD_reallocstack(lua_State* L, int newSize)
{
    const int realSize = newSize + 1 + kExtraStack;
    LValue* oldStack = L->mStack;
    LValue* newStack = luaM_reallocvector(L, L->mStack, static_cast<std::size_t>(L->mStackSize),
                                          static_cast<std::size_t>(realSize));
    for (int i = L->mStackSize; i < realSize; ++i)
        newStack[i].SetNil();
    L->mStack = newStack;
    L->mStackSize = realSize;
    L->mStackLast = newStack + newSize;
    CorrectStack(L, oldStack);
}

void luaD_growstack(lua_State* L, int n)
{
    if (n <= L->mStackSize)
        luaD_reallocstack(L, 2 * L->mStackSize);
    else
        luaD_reallocstack(L, L->mStackSize + n + kExtraStack);
}
