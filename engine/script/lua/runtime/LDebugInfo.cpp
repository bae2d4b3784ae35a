#include "engine/script/lua/runtime/LDebugInfo.h"

#include "engine/script/lua/LuaApi.h"
#include "engine/script/lua/compiler/LOpcodes.h"
#include "engine/script/lua/objects/LLimits.h"
#include "engine/script/lua/objects/LMetaEvents.h"
#include "engine/script/lua/objects/LObjectUtil.h"
#include "engine/script/lua/runtime/LCall.h"
#include "engine/script/lua/runtime/LErrorUnwind.h"
#include "engine/script/lua/runtime/LRunError.h"
#include "engine/script/lua/runtime/LStack.h"
#include "engine/script/lua/runtime/LVirtualMachine.h"

#include <cstring>

namespace {

bool IsLuaFrame(const LCallInfo* ci)
{
    return (ci->mState & kCallIsC) == 0;
}

LClosure* FrameFunction(const LCallInfo* ci)
{
    return (ci->mBase - 1)->AsClosure();
}

// Index of the instruction the frame is executing (the one before the saved pc).
int CurrentPc(const LCallInfo* ci)
{
    if (!IsLuaFrame(ci) || ci->mSavedPc == nullptr) {
        return -1;
    }
    const LProto* p = AsLuaClosure(FrameFunction(ci))->mProto;
    return static_cast<int>(ci->mSavedPc - p->mCode) - 1;
}

// Does instruction `op' write register A (as a single register)?
bool SetsRegisterA(OpCode op)
{
    switch (op) {
    case OP_MOVE:
    case OP_LOADK:
    case OP_LOADBOOL:
    case OP_GETUPVAL:
    case OP_GETGLOBAL:
    case OP_GETTABLE:
    case OP_NEWTABLE:
    case OP_ADD:
    case OP_SUB:
    case OP_MUL:
    case OP_DIV:
    case OP_AND:
    case OP_OR:
    case OP_SHL:
    case OP_SHR:
    case OP_POW:
    case OP_UNM:
    case OP_NOT:
    case OP_CONCAT:
    case OP_TEST:
    case OP_CLOSURE:
        return true;
    default:
        return false;
    }
}

// The last instruction before lastPc that wrote register reg, following forward jumps
// that stay before lastPc. Defaults to the final return, which names nothing.
Instruction FindSetter(const LProto* p, int lastPc, int reg)
{
    int last = p->mSizeCode - 1;
    for (int pc = 0; pc < lastPc && pc < p->mSizeCode; pc++) {
        Instruction i = p->mCode[pc];
        OpCode op = GET_OPCODE(i);
        int a = GETARG_A(i);
        bool sets = false;
        switch (op) {
        case OP_LOADNIL:
            sets = a <= reg && reg <= GETARG_B(i);
            break;
        case OP_SELF:
            sets = reg == a || reg == a + 1;
            break;
        case OP_CALL:
        case OP_TAILCALL:
            sets = reg >= a;
            break;
        case OP_TFORLOOP:
            sets = reg >= a + 2;
            break;
        case OP_JMP: {
            int dest = pc + 1 + GETARG_sBx(i);
            if (pc < dest && dest <= lastPc) {
                pc = dest - 1;
            }
            break;
        }
        case OP_CLOSURE:
            sets = reg == a;
            if (GETARG_Bx(i) < p->mSizeProtos) {
                pc += p->mProtos[GETARG_Bx(i)]->mNumUpvalues; // skip the capture words
            }
            break;
        default:
            sets = SetsRegisterA(op) && reg == a;
            break;
        }
        if (sets) {
            last = pc;
        }
    }
    return p->mCode[last];
}

// Name of an RK operand that is a string constant, else "?".
const char* ConstantName(const LProto* p, int rk)
{
    if (rk >= kMaxStack) {
        const LValue* k = &p->mConstants[rk - kMaxStack];
        if (k->IsString()) {
            return k->AsString()->Text();
        }
    }
    return "?";
}

// The kind ("local", "global", "field", "method") and name of the value in register
// stackPos of the Lua frame ci, or null.
const char* GetObjName(LCallInfo* ci, int stackPos, const char** name)
{
    if (!IsLuaFrame(ci)) {
        return nullptr;
    }
    const LProto* p = AsLuaClosure(FrameFunction(ci))->mProto;
    int pc = CurrentPc(ci);
    if (pc < 0) {
        return nullptr;
    }
    *name = luaF_getlocalname(p, stackPos + 1, pc);
    if (*name != nullptr) {
        return "local";
    }
    Instruction i = FindSetter(p, pc, stackPos);
    switch (GET_OPCODE(i)) {
    case OP_GETGLOBAL: {
        int g = GETARG_Bx(i);
        if (g < p->mSizeConstants && p->mConstants[g].IsString()) {
            *name = p->mConstants[g].AsString()->Text();
            return "global";
        }
        break;
    }
    case OP_MOVE: {
        int a = GETARG_A(i);
        int b = GETARG_B(i);
        if (b < a) {
            return GetObjName(ci, b, name); // the value came from a named register
        }
        break;
    }
    case OP_GETTABLE:
        *name = ConstantName(p, GETARG_C(i));
        return "field";
    case OP_SELF:
        *name = ConstantName(p, GETARG_C(i));
        return "method";
    default:
        break;
    }
    return nullptr;
}

// The name under which the function of frame ci was called, from its caller's call
// instruction.
const char* GetFuncName(LCallInfo* ci, const char** name)
{
    if ((IsLuaFrame(ci) && ci->mTailCalls > 0) || !IsLuaFrame(ci - 1)) {
        return nullptr;
    }
    LCallInfo* caller = ci - 1;
    int pc = CurrentPc(caller);
    if (pc < 0) {
        return nullptr;
    }
    Instruction i = AsLuaClosure(FrameFunction(caller))->mProto->mCode[pc];
    if (GET_OPCODE(i) == OP_CALL || GET_OPCODE(i) == OP_TAILCALL) {
        return GetObjName(caller, GETARG_A(i), name);
    }
    return nullptr;
}

bool IsInStack(lua_State* L, const LValue* o)
{
    for (const LValue* p = L->mCi->mBase; p < L->mTop; p++) {
        if (o == p) {
            return true;
        }
    }
    return false;
}

void FuncInfo(lua_Debug* ar, const LValue* func)
{
    if (func == nullptr || !func->IsFunction()) {
        ar->source = "=(tail call)";
        ar->linedefined = -1;
        ar->what = "tail";
    } else if (func->AsClosure()->mIsC) {
        ar->source = "=[C]";
        ar->linedefined = -1;
        ar->what = "C";
    } else {
        const LProto* p = AsLuaClosure(func->AsClosure())->mProto;
        ar->source = p->mSource != nullptr ? p->mSource->Text() : "=?";
        ar->linedefined = p->mLineDefined;
        ar->what = ar->linedefined == 0 ? "main" : "Lua";
    }
    luaO_chunkid(ar->short_src, ar->source, LUA_IDSIZE);
}

int GetInfo(lua_State* L, const char* what, lua_Debug* ar, const LValue* f, LCallInfo* ci)
{
    int status = 1;
    for (; *what; what++) {
        switch (*what) {
        case 'S':
            FuncInfo(ar, f);
            break;
        case 'l':
            ar->currentline = ci != nullptr ? luaG_currentline(L, ci) : -1;
            break;
        case 'u':
            ar->nups = f != nullptr && f->IsFunction() ? f->AsClosure()->mNumUpvalues : 0;
            break;
        case 'n':
            ar->namewhat = ci != nullptr ? GetFuncName(ci, &ar->name) : nullptr;
            if (ar->namewhat == nullptr) {
                ar->namewhat = "";
                ar->name = nullptr;
            }
            break;
        case 'f':
            if (f == nullptr) {
                L->mTop->SetNil();
            } else {
                *L->mTop = *f;
            }
            luaD_incrtop(L);
            break;
        default:
            status = 0; // invalid option
        }
    }
    return status;
}

// The frame of a lua_Debug record filled by lua_getstack, or null for a tail call.
LCallInfo* DebugFrame(lua_State* L, const lua_Debug* ar)
{
    return ar->i_ci != 0 ? L->mBaseCi + ar->i_ci : nullptr;
}

const char* FindLocal(LCallInfo* ci, int n)
{
    if (ci == nullptr || !IsLuaFrame(ci)) {
        return nullptr;
    }
    const LProto* p = AsLuaClosure(FrameFunction(ci))->mProto;
    return luaF_getlocalname(p, n, CurrentPc(ci));
}

} // namespace

int luaG_currentline(lua_State*, LCallInfo* ci)
{
    int pc = CurrentPc(ci);
    if (pc < 0) {
        return -1;
    }
    const LProto* p = AsLuaClosure(FrameFunction(ci))->mProto;
    return pc < p->mSizeLineInfo ? p->mLineInfo[pc] : -1;
}

void luaG_addposition(lua_State* L)
{
    LCallInfo* ci = L->mCi;
    if (IsLuaFrame(ci) && (L->mTop - 1)->IsString()) {
        char buff[kChunkIdSize];
        const LProto* p = AsLuaClosure(FrameFunction(ci))->mProto;
        luaO_chunkid(buff, p->mSource != nullptr ? p->mSource->Text() : "=?", kChunkIdSize);
        luaO_pushfstring(L, "%s:%d: %s", buff, luaG_currentline(L, ci),
                         (L->mTop - 1)->AsString()->Text());
        *(L->mTop - 2) = *(L->mTop - 1);
        L->mTop--;
    }
}

void luaG_errormsg(lua_State* L)
{
    if (L->mErrFunc != 0) {
        LValue* errFunc = luaD_restorestack(L, L->mErrFunc);
        if (!errFunc->IsFunction()) {
            luaD_throw(L, LUA_ERRERR);
        }
        *L->mTop = *(L->mTop - 1); // the message becomes the handler's argument
        *(L->mTop - 1) = *errFunc;
        luaD_incrtop(L);
        luaD_call(L, L->mTop - 2, 1);
    }
    luaD_throw(L, LUA_ERRRUN);
}

void luaG_typeerror(lua_State* L, const LValue* o, const char* op)
{
    const char* name = nullptr;
    const char* t = luaT_typenames[o->Tag()];
    const char* kind =
        IsInStack(L, o) ? GetObjName(L->mCi, static_cast<int>(o - L->mBase), &name) : nullptr;
    if (kind != nullptr) {
        luaG_runerror(L, "attempt to %s %s `%s' (a %s value)", op, kind, name, t);
    }
    luaG_runerror(L, "attempt to %s a %s value", op, t);
}

void luaG_concaterror(lua_State* L, const LValue* p1, const LValue* p2, bool wide)
{
    // Blame the right operand when the left one could have been joined.
    if (p1->IsString() || (wide && p1->IsWString())) {
        p1 = p2;
    }
    luaG_typeerror(L, p1, "concatenate");
}

void luaG_aritherror(lua_State* L, const LValue* p1, const LValue* p2)
{
    LValue temp;
    if (luaV_tonumber(p1, &temp) == nullptr) {
        p2 = p1; // the first operand is wrong
    }
    luaG_typeerror(L, p2, "perform arithmetic on");
}

void luaG_ordererror(lua_State* L, const LValue* p1, const LValue* p2)
{
    const char* t1 = luaT_typenames[p1->Tag()];
    const char* t2 = luaT_typenames[p2->Tag()];
    if (std::strcmp(t1, t2) == 0) {
        luaG_runerror(L, "attempt to compare two %s values", t1);
    }
    luaG_runerror(L, "attempt to compare %s with %s", t1, t2);
}

// ---------------------------------------------------------------------------------
// Debug API
// ---------------------------------------------------------------------------------

int lua_getstack(lua_State* L, int level, lua_Debug* ar)
{
    LCallInfo* ci;
    for (ci = L->mCi; level > 0 && ci > L->mBaseCi; ci--) {
        level--;
        if (IsLuaFrame(ci)) {
            level -= ci->mTailCalls; // frames lost to tail calls
        }
    }
    if (level == 0 && ci > L->mBaseCi) {
        ar->i_ci = static_cast<int>(ci - L->mBaseCi);
        return 1;
    }
    if (level < 0) {
        ar->i_ci = 0; // a level lost to a tail call
        return 1;
    }
    return 0;
}

int lua_getinfo(lua_State* L, const char* what, lua_Debug* ar)
{
    if (*what == '>') {
        LValue f = *(L->mTop - 1);
        if (!f.IsFunction()) {
            luaG_runerror(L, "value for `lua_getinfo' is not a function");
        }
        L->mTop--;
        return GetInfo(L, what + 1, ar, &f, nullptr);
    }
    LCallInfo* ci = DebugFrame(L, ar);
    const LValue* f = ci != nullptr ? ci->mBase - 1 : nullptr;
    return GetInfo(L, what, ar, f, ci);
}

const char* lua_getlocal(lua_State* L, const lua_Debug* ar, int n)
{
    LCallInfo* ci = DebugFrame(L, ar);
    const char* name = FindLocal(ci, n);
    if (name != nullptr) {
        *L->mTop = ci->mBase[n - 1];
        luaD_incrtop(L);
    }
    return name;
}

const char* lua_setlocal(lua_State* L, const lua_Debug* ar, int n)
{
    LCallInfo* ci = DebugFrame(L, ar);
    const char* name = FindLocal(ci, n);
    L->mTop--;
    if (name != nullptr) {
        ci->mBase[n - 1] = *L->mTop;
    }
    return name;
}

int lua_sethook(lua_State* L, lua_Hook func, int mask, int count)
{
    if (func == nullptr || mask == 0) {
        mask = 0;
        func = nullptr;
    }
    L->mHook = func;
    L->mBaseHookCount = count;
    L->mHookCount = count;
    L->mHookMask = static_cast<uint8_t>(mask);
    L->mHookInit = 0;
    return 1;
}

lua_Hook lua_gethook(lua_State* L)
{
    return L->mHook;
}

int lua_gethookmask(lua_State* L)
{
    return L->mHookMask;
}

int lua_gethookcount(lua_State* L)
{
    return L->mBaseHookCount;
}
