#include "engine/script/lua/runtime/LVirtualMachine.h"

#include "engine/script/lua/LuaApi.h"
#include "engine/script/lua/compiler/LOpcodes.h"
#include "engine/script/lua/objects/LLimits.h"
#include "engine/script/lua/objects/LMetaEvents.h"
#include "engine/script/lua/objects/LObjectUtil.h"
#include "engine/script/lua/objects/LUserdata.h"
#include "engine/script/lua/runtime/LCall.h"
#include "engine/script/lua/runtime/LCollector.h"
#include "engine/script/lua/runtime/LDebugInfo.h"
#include "engine/script/lua/runtime/LRunError.h"
#include "engine/script/lua/runtime/LStack.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kMaxTagLoop = 100; // handler steps of one indexing or assignment
constexpr double kMaxConcatLength = 4294967293.0;

// ---------------------------------------------------------------------------------
// Handler calls
// ---------------------------------------------------------------------------------

// Calls f(p1, p2) and stores its first result in the stack slot at offset res.
void CallTMRes(lua_State* L, const LValue* f, const LValue* p1, const LValue* p2,
               std::ptrdiff_t res)
{
    L->mTop[0] = *f; // the spare slots above the frame always have room for three
    L->mTop[1] = *p1;
    L->mTop[2] = *p2;
    luaD_checkstack(L, 3);
    L->mTop += 3;
    luaD_call(L, L->mTop - 3, 1);
    LValue* dest = luaD_restorestack(L, res);
    L->mTop--;
    *dest = *L->mTop;
}

// Calls f(p1, p2) and returns whether its first result is true.
bool CallTMTruth(lua_State* L, const LValue* f, const LValue* p1, const LValue* p2)
{
    L->mTop[0] = *f;
    L->mTop[1] = *p1;
    L->mTop[2] = *p2;
    luaD_checkstack(L, 3);
    L->mTop += 3;
    luaD_call(L, L->mTop - 3, 1);
    L->mTop--;
    return !L->mTop->IsFalse();
}

// Calls f(p1, p2, p3) for no results.
void CallTM(lua_State* L, const LValue* f, const LValue* p1, const LValue* p2, const LValue* p3)
{
    L->mTop[0] = *f;
    L->mTop[1] = *p1;
    L->mTop[2] = *p2;
    L->mTop[3] = *p3;
    luaD_checkstack(L, 4);
    L->mTop += 4;
    luaD_call(L, L->mTop - 4, 0);
}

// The binary handler of an operation: the left operand's, and when that is not a
// function, the right operand's. (A number or string on the left finds its per-type
// table, so the right operand's handler must still be asked.)
const LValue* BinaryHandler(lua_State* L, const LValue* p1, const LValue* p2, LTagMethod event)
{
    const LValue* tm = luaT_gettmbyobj(L, p1, event);
    if (!tm->IsFunction()) {
        tm = luaT_gettmbyobj(L, p2, event);
    }
    return tm;
}

bool CallBinTM(lua_State* L, const LValue* p1, const LValue* p2, LValue* res, LTagMethod event)
{
    std::ptrdiff_t resOffset = luaD_savestack(L, res);
    const LValue* tm = BinaryHandler(L, p1, p2, event);
    if (!tm->IsFunction()) {
        return false;
    }
    CallTMRes(L, tm, p1, p2, resOffset);
    return true;
}

// The "__eq" handler both metatables agree on, or null.
const LValue* GetCompTM(lua_State* L, LTable* mt1, LTable* mt2, LTagMethod event)
{
    const LValue* tm1 = luaT_fasttm(L, mt1, event);
    if (tm1 == nullptr || tm1->IsNil()) {
        return nullptr;
    }
    if (mt1 == mt2) {
        return tm1;
    }
    const LValue* tm2 = luaT_fasttm(L, mt2, event);
    if (tm2 == nullptr || tm2->IsNil()) {
        return nullptr;
    }
    return luaO_rawequalObj(tm1, tm2) ? tm1 : nullptr;
}

// 1 or 0 from the order handler pair of the two operands, or -1 when there is none.
int CallOrderTM(lua_State* L, const LValue* p1, const LValue* p2, LTagMethod event)
{
    const LValue* tm1 = luaT_gettmbyobj(L, p1, event);
    if (!tm1->IsFunction()) {
        return -1; // no handler (a per-type table is not one)
    }
    const LValue* tm2 = luaT_gettmbyobj(L, p2, event);
    if (!luaO_rawequalObj(tm1, tm2)) {
        return -1;
    }
    LValue f = *tm1;
    return CallTMTruth(L, &f, p1, p2) ? 1 : 0;
}

// Locale collation of two 8-bit strings, segment by segment around embedded zeros.
int StringCompare(const LString* ls, const LString* rs)
{
    const char* l = ls->Text();
    size_t ll = ls->mLength;
    const char* r = rs->Text();
    size_t lr = rs->mLength;
    for (;;) {
        int temp = std::strcoll(l, r);
        if (temp != 0) {
            return temp;
        }
        size_t len = std::strlen(l); // both segments are equal up to here
        if (len == lr) {
            return len == ll ? 0 : 1;
        }
        if (len == ll) {
            return -1;
        }
        len++;
        l += len;
        ll -= len;
        r += len;
        lr -= len;
    }
}

// ---------------------------------------------------------------------------------
// Arithmetic
// ---------------------------------------------------------------------------------

// An operand of the bitwise instructions: truncated toward zero to 64 bits (the top
// bit alone when out of range or NaN), then the low 32 bits.
uint32_t ToWord(double d)
{
    int64_t v;
    if (std::isnan(d) || d >= 9223372036854775808.0 || d < -9223372036854775808.0) {
        v = INT64_MIN;
    } else {
        v = static_cast<int64_t>(d);
    }
    return static_cast<uint32_t>(static_cast<uint64_t>(v));
}

double Bitwise(OpCode op, double a, double b)
{
    uint32_t x = ToWord(a);
    uint32_t y = ToWord(b);
    uint32_t r = 0;
    switch (op) {
    case OP_AND:
        r = x & y;
        break;
    case OP_OR:
        r = x | y;
        break;
    case OP_SHL:
        r = x << (y & 31);
        break;
    case OP_SHR:
        r = x >> (y & 31);
        break;
    default: // OP_POW between numbers: exclusive or
        r = x ^ y;
        break;
    }
    return static_cast<double>(r);
}

// Arithmetic on operands that are not both numbers: converted numbers, else handlers.
void Arith(lua_State* L, LValue* ra, const LValue* rb, const LValue* rc, LTagMethod op)
{
    LValue tempb, tempc;
    const LValue* b = luaV_tonumber(rb, &tempb);
    const LValue* c = b != nullptr ? luaV_tonumber(rc, &tempc) : nullptr;
    if (b != nullptr && c != nullptr) {
        double x = b->AsNumber();
        double y = c->AsNumber();
        switch (op) {
        case TM_ADD:
            ra->SetNumber(x + y);
            break;
        case TM_SUB:
            ra->SetNumber(x - y);
            break;
        case TM_MUL:
            ra->SetNumber(x * y);
            break;
        case TM_DIV:
            ra->SetNumber(x / y);
            break;
        case TM_POW: {
            // The power of converted operands comes from the raw global "__pow".
            LTable* globals = L->mGlobals.AsTable();
            const LValue* f = luaH_getstr(globals, luaS_new(L, "__pow"));
            if (!f->IsFunction()) {
                luaG_runerror(L, "`__pow' (`^' operator) is not a function");
            }
            LValue fn = *f;
            LValue bx = *b;
            LValue cx = *c;
            CallTMRes(L, &fn, &bx, &cx, luaD_savestack(L, ra));
            break;
        }
        default:
            break;
        }
        return;
    }
    if (!CallBinTM(L, rb, rc, ra, op)) {
        luaG_aritherror(L, rb, rc);
    }
}

// The bitwise error names the first operand that is not a number.
[[noreturn]] void BitwiseError(lua_State* L, const LValue* rb, const LValue* rc)
{
    luaG_typeerror(L, rb->IsNumber() ? rc : rb, "perform arithmetic on");
}

// Converts an operand of a concatenation in place when it is a number; whether it can
// be joined in the given mode.
bool Joinable(lua_State* L, LValue* o, bool wide)
{
    if (wide) {
        return o->IsWString() || luaV_towstring(L, o);
    }
    return o->IsString() || luaV_tostring(L, o);
}

// ---------------------------------------------------------------------------------
// Fast paths of the interpreter loop
// ---------------------------------------------------------------------------------

// t[key] = value unless the key is absent and the metatable has a "__newindex"
// handler; false then (the general assignment must run). Raises the key errors of
// luaH_set.
inline bool StoreWithoutHandler(lua_State* L, LTable* t, const LValue* key, const LValue* value)
{
    LValue* slot = luaH_arrayslot(t, key);
    const bool inArray = slot != nullptr;
    if (!inArray) {
        slot = const_cast<LValue*>(luaH_get(t, key));
    }
    if (slot->IsNil()) {
        const LValue* tm = luaT_fasttm(L, t->mMetatable, TM_NEWINDEX);
        if (tm != nullptr && !tm->IsNil()) {
            return false;
        }
        if (!inArray) {
            slot = luaH_setlooked(L, t, key, slot);
        }
    }
    *slot = *value;
    return true;
}

// The checks and conversions of a numeric for loop whose control values are not all
// numbers: raises the loop's errors or converts a string limit or step in place.
void CheckForValues(lua_State* L, LValue* ra)
{
    if (!ra->IsNumber()) {
        luaG_runerror(L, "`for' initial value must be a number");
    }
    if (luaV_tonumber(ra + 1, ra + 1) == nullptr) {
        luaG_runerror(L, "`for' limit must be a number");
    }
    if (luaV_tonumber(ra + 2, ra + 2) == nullptr) {
        luaG_runerror(L, "`for' step must be a number");
    }
}

// One step of a numeric for loop (index, limit, step at ra); whether the loop goes on.
inline bool ForLoopStep(lua_State* L, LValue* ra)
{
    if (!ra[0].IsNumber() || !ra[1].IsNumber() || !ra[2].IsNumber()) [[unlikely]] {
        CheckForValues(L, ra);
    }
    const double step = ra[2].AsNumber();
    const double index = ra[0].AsNumber() + step;
    const double limit = ra[1].AsNumber();
    if (step > 0 ? index <= limit : index >= limit) {
        ra->SetNumber(index);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------
// Number text
// ---------------------------------------------------------------------------------

// "%.14g" prints a nonzero whole number below 10^14 in magnitude as its plain digits;
// writes those without the formatter. False for any other number (zero included, for
// the sign of -0) or when out is too small.
bool WholeNumberText(double n, char* out, std::size_t size)
{
    constexpr double kPlainLimit = 1e14;
    if (!(n > -kPlainLimit && n < kPlainLimit) || n == 0 || size < 17) {
        return false;
    }
    const int64_t whole = static_cast<int64_t>(n);
    if (static_cast<double>(whole) != n) {
        return false;
    }
    char digits[16];
    int count = 0;
    for (uint64_t rest = whole < 0 ? static_cast<uint64_t>(-whole) : static_cast<uint64_t>(whole);
         rest != 0; rest /= 10) {
        digits[count++] = static_cast<char>('0' + rest % 10);
    }
    if (whole < 0) {
        *out++ = '-';
    }
    while (count > 0) {
        *out++ = digits[--count];
    }
    *out = '\0';
    return true;
}

// ---------------------------------------------------------------------------------
// Hooks
// ---------------------------------------------------------------------------------

// Runs the hooks due before an instruction. With a count hook alone the dispatch has
// already counted the instruction and calls this only when the count has run out.
void TraceExec(lua_State* L, const Instruction* pc, const Instruction** lastTraced)
{
    uint8_t mask = L->mHookMask;
    if (mask & LUA_MASKCOUNT) {
        if (!(mask & LUA_MASKLINE) || --L->mHookCount <= 0) {
            L->mHookCount = L->mBaseHookCount;
            luaD_callhook(L, LUA_HOOKCOUNT, -1);
        }
    }
    if (mask & LUA_MASKLINE) {
        LCallInfo* ci = L->mCi;
        const LProto* p = AsLuaClosure((ci->mBase - 1)->AsClosure())->mProto;
        int npc = static_cast<int>(pc - p->mCode) - 1;
        int newLine = npc < p->mSizeLineInfo ? p->mLineInfo[npc] : -1;
        const Instruction* old = *lastTraced;
        bool changed = old == nullptr || npc == 0 || pc <= old;
        if (!changed) {
            int oldPc = static_cast<int>(old - p->mCode) - 1;
            changed = oldPc < 0 || oldPc >= p->mSizeLineInfo || p->mLineInfo[oldPc] != newLine;
        }
        if (changed) {
            luaD_callhook(L, LUA_HOOKLINE, newLine);
        }
        *lastTraced = pc;
    }
}

} // namespace

// ---------------------------------------------------------------------------------
// Conversions
// ---------------------------------------------------------------------------------

void luaV_numbertext(double n, char* out, std::size_t size)
{
    if (!WholeNumberText(n, out, size)) {
        std::snprintf(out, size, "%.14g", n);
    }
}

const LValue* luaV_tonumber(const LValue* obj, LValue* n)
{
    double num;
    if (obj->IsNumber()) {
        return obj;
    }
    if (obj->IsString()) {
        const LString* s = obj->AsString();
        if (luaO_str2dn(s->Text(), s->mLength, &num)) {
            n->SetNumber(num);
            return n;
        }
    } else if (obj->IsWString()) {
        const LString* s = obj->AsString();
        if (luaO_wstr2d(s->WideText(), s->mLength, &num)) {
            n->SetNumber(num);
            return n;
        }
    }
    return nullptr;
}

int luaV_tostring(lua_State* L, LValue* obj)
{
    if (!obj->IsNumber()) {
        return 0;
    }
    char s[64];
    luaV_numbertext(obj->AsNumber(), s, sizeof(s));
    obj->SetString(luaS_new(L, s));
    return 1;
}

int luaV_towstring(lua_State* L, LValue* obj)
{
    if (!obj->IsNumber()) {
        return 0;
    }
    char s[64];
    luaV_numbertext(obj->AsNumber(), s, sizeof(s));
    char16_t w[64];
    size_t n = std::strlen(s);
    for (size_t i = 0; i < n; i++) {
        w[i] = static_cast<unsigned char>(s[i]);
    }
    obj->SetWString(luaS_newlwstr(L, w, n));
    return 1;
}

// ---------------------------------------------------------------------------------
// Indexing
// ---------------------------------------------------------------------------------

void luaV_gettable(lua_State* L, const LValue* t, const LValue* key, LValue* val)
{
    std::ptrdiff_t valOffset = luaD_savestack(L, val);
    LValue holder; // a table reached other than through a slot
    for (int loop = 0; loop < kMaxTagLoop; loop++) {
        const LValue* tm;
        if (t->IsTable()) {
            LTable* h = t->AsTable();
            const LValue* v = luaH_get(h, key);
            if (!v->IsNil()) {
                *luaD_restorestack(L, valOffset) = *v;
                return;
            }
            tm = luaT_fasttm(L, h->mMetatable, TM_INDEX);
            if (tm == nullptr || tm->IsNil()) {
                luaD_restorestack(L, valOffset)->SetNil();
                return;
            }
        } else if (t->IsUserdata()) {
            LTable* mt = t->AsUserdata()->mMetatable;
            tm = luaT_fasttm(L, mt, TM_INDEX);
            if (tm == nullptr || tm->IsNil()) {
                // Without "__index" a userdata is indexed through its metatable itself.
                holder.SetTable(mt);
                t = &holder;
                continue;
            }
        } else if (t->IsNil()) {
            luaG_typeerror(L, t, "index");
        } else {
            // Any other value is indexed through its type's table.
            const LValue* typeTable = &G(L)->mTypeTables[t->Tag()];
            if (!typeTable->IsTable()) {
                luaD_restorestack(L, valOffset)->SetNil();
                return;
            }
            t = typeTable;
            continue;
        }
        if (tm->IsFunction()) {
            LValue f = *tm;
            LValue obj = *t;
            CallTMRes(L, &f, &obj, key, valOffset);
            return;
        }
        t = tm; // index the handler value in turn
    }
    luaG_runerror(L, "loop in gettable");
}

void luaV_settable(lua_State* L, const LValue* t, const LValue* key, const LValue* val)
{
    for (int loop = 0; loop < kMaxTagLoop; loop++) {
        const LValue* tm;
        if (t->IsTable()) {
            LTable* h = t->AsTable();
            LValue* slot = const_cast<LValue*>(luaH_get(h, key));
            if (!slot->IsNil()) {
                *slot = *val;
                return;
            }
            tm = luaT_fasttm(L, h->mMetatable, TM_NEWINDEX);
            if (tm == nullptr || tm->IsNil()) {
                *luaH_setlooked(L, h, key, slot) = *val;
                return;
            }
        } else if (t->IsUserdata()) {
            tm = luaT_fasttm(L, t->AsUserdata()->mMetatable, TM_NEWINDEX);
            if (tm == nullptr || tm->IsNil()) {
                luaG_typeerror(L, t, "index");
            }
        } else if (t->IsNil()) {
            luaG_typeerror(L, t, "index");
        } else {
            const LValue* typeTable = &G(L)->mTypeTables[t->Tag()];
            if (!typeTable->IsTable()) {
                luaG_typeerror(L, t, "index");
            }
            t = typeTable; // shared by every value of the type
            continue;
        }
        if (tm->IsFunction()) {
            LValue f = *tm;
            LValue obj = *t;
            LValue k = *key;
            LValue v = *val;
            CallTM(L, &f, &obj, &k, &v);
            return;
        }
        t = tm;
    }
    luaG_runerror(L, "loop in settable");
}

// ---------------------------------------------------------------------------------
// Comparisons
// ---------------------------------------------------------------------------------

int luaV_equalObj(lua_State* L, const LValue* t1, const LValue* t2)
{
    if (t1->Tag() != t2->Tag()) {
        return 0;
    }
    const LValue* tm = nullptr;
    switch (t1->Tag()) {
    case LUA_TNIL:
        return 1;
    case LUA_TNUMBER:
        return t1->AsNumber() == t2->AsNumber();
    case LUA_TBOOLEAN:
        return t1->AsBoolean() == t2->AsBoolean();
    case LUA_TLIGHTUSERDATA:
        return t1->AsLightUserdata() == t2->AsLightUserdata();
    case LUA_TUSERDATA:
        if (t1->AsUserdata() == t2->AsUserdata()) {
            return 1;
        }
        tm = GetCompTM(L, t1->AsUserdata()->mMetatable, t2->AsUserdata()->mMetatable, TM_EQ);
        break;
    case LUA_TTABLE:
        if (t1->AsTable() == t2->AsTable()) {
            return 1;
        }
        tm = GetCompTM(L, t1->AsTable()->mMetatable, t2->AsTable()->mMetatable, TM_EQ);
        break;
    default:
        return t1->AsGc() == t2->AsGc();
    }
    if (tm == nullptr) {
        return 0;
    }
    LValue f = *tm;
    LValue a = *t1;
    LValue b = *t2;
    return CallTMTruth(L, &f, &a, &b) ? 1 : 0;
}

int luaV_lessthan(lua_State* L, const LValue* l, const LValue* r)
{
    if (l->Tag() != r->Tag()) {
        luaG_ordererror(L, l, r);
    }
    if (l->IsNumber()) {
        return l->AsNumber() < r->AsNumber();
    }
    if (l->IsString()) {
        return StringCompare(l->AsString(), r->AsString()) < 0;
    }
    LValue a = *l;
    LValue b = *r;
    int res = CallOrderTM(L, &a, &b, TM_LT);
    if (res == -1) {
        luaG_ordererror(L, l, r);
    }
    return res;
}

int luaV_lessequal(lua_State* L, const LValue* l, const LValue* r)
{
    if (l->Tag() != r->Tag()) {
        luaG_ordererror(L, l, r);
    }
    if (l->IsNumber()) {
        return l->AsNumber() <= r->AsNumber();
    }
    if (l->IsString()) {
        return StringCompare(l->AsString(), r->AsString()) <= 0;
    }
    LValue a = *l;
    LValue b = *r;
    int res = CallOrderTM(L, &a, &b, TM_LE);
    if (res != -1) {
        return res;
    }
    res = CallOrderTM(L, &b, &a, TM_LT); // a <= b is not (b < a)
    if (res == -1) {
        luaG_ordererror(L, l, r);
    }
    return !res;
}

// ---------------------------------------------------------------------------------
// Concatenation
// ---------------------------------------------------------------------------------

void luaV_concat(lua_State* L, int total, int last)
{
    // The rightmost string or wstring decides the mode of the whole concatenation.
    bool wide = false;
    for (int i = 0; i < total; i++) {
        const LValue* o = L->mBase + last - i;
        if (o->IsString()) {
            break;
        }
        if (o->IsWString()) {
            wide = true;
            break;
        }
    }
    do {
        LValue* top = L->mBase + last + 1;
        int n = 2; // values joined in this step
        if (!Joinable(L, top - 2, wide) || !Joinable(L, top - 1, wide)) {
            if (!CallBinTM(L, top - 2, top - 1, top - 2, TM_CONCAT)) {
                luaG_concaterror(L, top - 2, top - 1, wide);
            }
        } else if ((top - 1)->AsString()->mLength > 0) {
            double total_length = (top - 1)->AsString()->mLength;
            for (n = 1; n < total && Joinable(L, top - n - 1, wide); n++) {
                total_length += (top - n - 1)->AsString()->mLength;
                if (total_length > kMaxConcatLength) {
                    luaG_runerror(L, "string size overflow");
                }
            }
            size_t units = static_cast<size_t>(total_length);
            size_t unitSize = wide ? sizeof(char16_t) : 1;
            char* buffer = luaZ_openspace(L, &G(L)->mBuffer, units * unitSize);
            size_t used = 0;
            for (int i = n; i > 0; i--) {
                const LString* s = (top - i)->AsString();
                size_t bytes = static_cast<size_t>(s->mLength) * unitSize;
                std::memcpy(buffer + used,
                            wide ? static_cast<const void*>(s->WideText()) : s->Text(), bytes);
                used += bytes;
            }
            if (wide) {
                char16_t* w = reinterpret_cast<char16_t*>(buffer);
                (top - n)->SetWString(luaS_newlwstr(L, w, units));
            } else {
                (top - n)->SetString(luaS_newlstr(L, buffer, units));
            }
        }
        // (an empty topmost operand leaves the converted one below it as the result)
        total -= n - 1;
        last -= n - 1;
    } while (total > 1);
}

// ---------------------------------------------------------------------------------
// The interpreter loop
// ---------------------------------------------------------------------------------

LValue* luaV_execute(lua_State* L)
{
    const Instruction* lastTraced = nullptr;
reentry: // entered a new frame (a call, a tail call or a return to an inline caller)
    LCallInfo* ci = L->mCi;
    LLuaClosure* cl = AsLuaClosure((ci->mBase - 1)->AsClosure());
    const LValue* k = cl->mProto->mConstants;
    const Instruction* pc = ci->mSavedPc;
    LValue* base = L->mBase;
    ci->mState |= kCallSavedPc;

    auto refresh = [&]() {
        base = L->mBase;
        ci = L->mCi;
    };
    auto rkOperand = [&](int x) -> const LValue* {
        const unsigned index = static_cast<unsigned>(x);
        return index < kMaxStack ? base + index : k + (index - kMaxStack);
    };
    // An arithmetic instruction: numbers inline, anything else through Arith.
    auto arith = [&](LValue* ra, Instruction i, LTagMethod event, auto operation) {
        const LValue* rb = rkOperand(GETARG_B(i));
        const LValue* rc = rkOperand(GETARG_C(i));
        if (rb->IsNumber() && rc->IsNumber()) [[likely]] {
            ra->SetNumber(operation(rb->AsNumber(), rc->AsNumber()));
        } else {
            Arith(L, ra, rb, rc, event);
            refresh();
        }
    };
    // A comparison instruction followed by its jump: numbers inline, anything else
    // through compare (which may call handlers).
    auto compare = [&](Instruction i, auto numbers, auto compareValues) {
        const LValue* rb = rkOperand(GETARG_B(i));
        const LValue* rc = rkOperand(GETARG_C(i));
        int res;
        if (rb->IsNumber() && rc->IsNumber()) [[likely]] {
            res = numbers(rb->AsNumber(), rc->AsNumber()) ? 1 : 0;
        } else {
            res = compareValues(L, rb, rc);
            refresh();
        }
        if (res != GETARG_A(i)) {
            pc++;
        } else {
            pc += GETARG_sBx(*pc) + 1;
        }
    };

    // Threaded dispatch: every instruction body ends by fetching the next instruction
    // and jumping straight to its body through this table, indexed by the whole 6-bit
    // opcode field (numbers past the last opcode do nothing).
    static_assert(kNumOpcodes == 39 && kSizeOp == 6,
                  "the dispatch table lists every opcode in order");
    static const void* const kDispatch[1 << kSizeOp] = {
        &&L_OP_MOVE,      &&L_OP_LOADK,    &&L_OP_LOADBOOL,  &&L_OP_LOADNIL,  &&L_OP_GETUPVAL,
        &&L_OP_GETGLOBAL, &&L_OP_GETTABLE, &&L_OP_SETGLOBAL, &&L_OP_SETUPVAL, &&L_OP_SETTABLE,
        &&L_OP_NEWTABLE,  &&L_OP_SELF,     &&L_OP_ADD,       &&L_OP_SUB,      &&L_OP_MUL,
        &&L_OP_DIV,       &&L_OP_AND,      &&L_OP_OR,        &&L_OP_SHL,      &&L_OP_SHR,
        &&L_OP_POW,       &&L_OP_UNM,      &&L_OP_NOT,       &&L_OP_CONCAT,   &&L_OP_JMP,
        &&L_OP_EQ,        &&L_OP_LT,       &&L_OP_LE,        &&L_OP_TEST,     &&L_OP_CALL,
        &&L_OP_TAILCALL,  &&L_OP_RETURN,   &&L_OP_FORLOOP,   &&L_OP_TFORLOOP, &&L_OP_TFORPREP,
        &&L_OP_SETLIST,   &&L_OP_SETLISTO, &&L_OP_CLOSE,     &&L_OP_CLOSURE,  &&L_unknown,
        &&L_unknown,      &&L_unknown,     &&L_unknown,      &&L_unknown,     &&L_unknown,
        &&L_unknown,      &&L_unknown,     &&L_unknown,      &&L_unknown,     &&L_unknown,
        &&L_unknown,      &&L_unknown,     &&L_unknown,      &&L_unknown,     &&L_unknown,
        &&L_unknown,      &&L_unknown,     &&L_unknown,      &&L_unknown,     &&L_unknown,
        &&L_unknown,      &&L_unknown,     &&L_unknown,      &&L_unknown};
    Instruction i;
    LValue* ra;
#define vmcase(o) L_##o:
#define vmbreak                                                                                    \
    do {                                                                                           \
        i = *pc++;                                                                                 \
        ci->mSavedPc = pc;                                                                         \
        if (L->mHookMask & (LUA_MASKLINE | LUA_MASKCOUNT)) [[unlikely]] {                          \
            if ((L->mHookMask & LUA_MASKLINE) || --L->mHookCount <= 0) {                           \
                TraceExec(L, pc, &lastTraced);                                                     \
                refresh();                                                                         \
            }                                                                                      \
        }                                                                                          \
        ra = base + GETARG_A(i);                                                                   \
        goto* kDispatch[GET_OPCODE(i)];                                                            \
    } while (0)

    vmbreak; // the first instruction
    vmcase(OP_MOVE)* ra = base[GETARG_B(i)];
    vmbreak;
    vmcase(OP_LOADK)* ra = k[GETARG_Bx(i)];
    vmbreak;
    vmcase(OP_LOADBOOL) ra->SetBoolean(GETARG_B(i) != 0);
    if (GETARG_C(i)) {
        pc++;
    }
    vmbreak;
    vmcase(OP_LOADNIL)
    {
        LValue* rb = base + GETARG_B(i);
        do {
            (rb--)->SetNil();
        } while (rb >= ra);
        vmbreak;
    }
    vmcase(OP_GETUPVAL)* ra = *cl->Upvalues()[GETARG_B(i)]->mValuePtr;
    vmbreak;
    vmcase(OP_GETGLOBAL)
    {
        const LValue* key = k + GETARG_Bx(i);
        if (cl->mGlobals.IsTable()) {
            const LValue* v = luaH_getstr(cl->mGlobals.AsTable(), key->AsString());
            if (!v->IsNil()) {
                *ra = *v; // present: no handler can be involved
                vmbreak;
            }
        }
        luaV_gettable(L, &cl->mGlobals, key, ra);
        refresh();
        vmbreak;
    }
    vmcase(OP_GETTABLE)
    {
        const LValue* rb = base + GETARG_B(i);
        const LValue* key = rkOperand(GETARG_C(i));
        if (rb->IsTable()) {
            const LValue* v = luaH_fastget(rb->AsTable(), key);
            if (!v->IsNil()) {
                *ra = *v;
                vmbreak;
            }
        }
        luaV_gettable(L, rb, key, ra);
        refresh();
        vmbreak;
    }
    vmcase(OP_SETGLOBAL) luaV_settable(L, &cl->mGlobals, k + GETARG_Bx(i), ra);
    refresh();
    vmbreak;
    vmcase(OP_SETUPVAL) * cl->Upvalues()[GETARG_B(i)]->mValuePtr = *ra;
    vmbreak;
    vmcase(OP_SETTABLE)
    {
        const LValue* key = rkOperand(GETARG_B(i));
        const LValue* value = rkOperand(GETARG_C(i));
        if (ra->IsTable() && StoreWithoutHandler(L, ra->AsTable(), key, value)) {
            vmbreak;
        }
        luaV_settable(L, ra, key, value);
        refresh();
        vmbreak;
    }
    vmcase(OP_NEWTABLE) ra->SetTable(luaH_new(L, luaO_fb2int(GETARG_B(i)), GETARG_C(i)));
    luaC_checkGC(L);
    refresh();
    vmbreak;
    vmcase(OP_SELF)
    {
        LValue object = base[GETARG_B(i)];
        ra[1] = object;
        luaV_gettable(L, &ra[1], rkOperand(GETARG_C(i)), ra);
        refresh();
        vmbreak;
    }
    vmcase(OP_ADD) arith(ra, i, TM_ADD, [](double x, double y) { return x + y; });
    vmbreak;
    vmcase(OP_SUB) arith(ra, i, TM_SUB, [](double x, double y) { return x - y; });
    vmbreak;
    vmcase(OP_MUL) arith(ra, i, TM_MUL, [](double x, double y) { return x * y; });
    vmbreak;
    vmcase(OP_DIV) arith(ra, i, TM_DIV, [](double x, double y) { return x / y; });
    vmbreak;
    vmcase(OP_AND) vmcase(OP_OR) vmcase(OP_SHL) vmcase(OP_SHR)
    {
        const OpCode op = GET_OPCODE(i);
        const LValue* rb = rkOperand(GETARG_B(i));
        const LValue* rc = rkOperand(GETARG_C(i));
        if (!rb->IsNumber() || !rc->IsNumber()) {
            BitwiseError(L, rb, rc);
        }
        ra->SetNumber(Bitwise(op, rb->AsNumber(), rc->AsNumber()));
        vmbreak;
    }
    vmcase(OP_POW)
    {
        const LValue* rb = rkOperand(GETARG_B(i));
        const LValue* rc = rkOperand(GETARG_C(i));
        if (rb->IsNumber() && rc->IsNumber()) {
            ra->SetNumber(Bitwise(OP_POW, rb->AsNumber(), rc->AsNumber()));
        } else {
            Arith(L, ra, rb, rc, TM_POW);
            refresh();
        }
        vmbreak;
    }
    vmcase(OP_UNM)
    {
        const LValue* rb = base + GETARG_B(i);
        LValue temp;
        const LValue* n = luaV_tonumber(rb, &temp);
        if (n != nullptr) {
            ra->SetNumber(-n->AsNumber());
        } else {
            LValue operand = *rb;
            if (!CallBinTM(L, &operand, &operand, ra, TM_UNM)) {
                luaG_aritherror(L, rb, rb);
            }
            refresh();
        }
        vmbreak;
    }
    vmcase(OP_NOT) ra->SetBoolean(base[GETARG_B(i)].IsFalse());
    vmbreak;
    vmcase(OP_CONCAT)
    {
        int b = GETARG_B(i);
        int c = GETARG_C(i);
        luaV_concat(L, c - b + 1, c);
        refresh();
        base[GETARG_A(i)] = base[b];
        luaC_checkGC(L);
        refresh();
        vmbreak;
    }
    vmcase(OP_JMP) pc += GETARG_sBx(i);
    vmbreak;
    vmcase(OP_EQ) compare(
        i, [](double x, double y) { return x == y; }, luaV_equalObj);
    vmbreak;
    vmcase(OP_LT) compare(
        i, [](double x, double y) { return x < y; }, luaV_lessthan);
    vmbreak;
    vmcase(OP_LE) compare(
        i, [](double x, double y) { return x <= y; }, luaV_lessequal);
    vmbreak;
    vmcase(OP_TEST)
    {
        const LValue* rb = base + GETARG_B(i);
        if (static_cast<int>(rb->IsFalse()) == GETARG_C(i)) {
            pc++;
        } else {
            *ra = *rb;
            pc += GETARG_sBx(*pc) + 1;
        }
        vmbreak;
    }
    vmcase(OP_CALL)
    {
        int b = GETARG_B(i);
        int nresults = GETARG_C(i) - 1;
        if (b != 0) {
            L->mTop = ra + b; // else the previous instruction set the top
        }
        if (luaD_precallplain(L, ra)) {
            (L->mCi - 1)->mState |= kCallCalling; // continue with the callee in this loop
            goto reentry;
        }
        switch (luaD_precall(L, ra, nresults)) {
        case LPrecall::kLua:
            (L->mCi - 1)->mState |= kCallCalling; // continue with the callee in this loop
            goto reentry;
        case LPrecall::kC:
            refresh();
            if (nresults >= 0) {
                L->mTop = ci->mTop;
            }
            break;
        case LPrecall::kYield:
            return nullptr;
        }
        vmbreak;
    }
    vmcase(OP_TAILCALL)
    {
        int b = GETARG_B(i);
        if (b != 0) {
            L->mTop = ra + b;
        }
        std::ptrdiff_t raOffset = luaD_savestack(L, ra);
        switch (luaD_precall(L, ra, LUA_MULTRET)) {
        case LPrecall::kLua: {
            // Move the new frame down over the current one.
            LCallInfo* newCi = L->mCi;
            LCallInfo* oldCi = newCi - 1;
            ra = luaD_restorestack(L, raOffset);
            LValue* oldFunc = oldCi->mBase - 1;
            if (luaF_hasopen(L, oldCi->mBase)) {
                luaF_close(L, oldCi->mBase);
            }
            LValue* newBase = L->mBase;
            int aux = 0;
            for (; ra + aux < L->mTop; aux++) {
                oldFunc[aux] = ra[aux];
            }
            oldCi->mBase = L->mBase = oldFunc + (newBase - ra);
            oldCi->mTop = L->mTop = oldFunc + aux;
            oldCi->mSavedPc = newCi->mSavedPc;
            oldCi->mState = newCi->mState;
            oldCi->mTailCalls++;
            L->mCi = oldCi;
            goto reentry;
        }
        case LPrecall::kC:
            refresh(); // the results run up to the top, for the return that follows
            vmbreak;
        case LPrecall::kYield:
            return nullptr;
        }
        vmbreak;
    }
    vmcase(OP_RETURN)
    {
        int b = GETARG_B(i);
        if (b != 0) {
            L->mTop = ra + b - 1;
        }
        if (luaF_hasopen(L, base)) {
            luaF_close(L, base);
        }
        LCallInfo* caller = ci - 1;
        if (!(caller->mState & kCallCalling)) {
            return ra; // back to whoever entered this loop
        }
        caller->mState &= ~kCallCalling;
        int wanted = GETARG_C(*(caller->mSavedPc - 1)) - 1;
        luaD_poscall(L, wanted, ra);
        if (wanted >= 0) {
            L->mTop = L->mCi->mTop;
        }
        goto reentry;
    }
    vmcase(OP_FORLOOP) if (ForLoopStep(L, ra)) [[likely]]
    {
        pc += GETARG_sBx(i);
    }
    vmbreak;
    vmcase(OP_TFORLOOP)
    {
        int nvar = GETARG_C(i) + 1;
        LValue* cb = ra + 3; // the call: function, state, control
        cb[2] = ra[2];
        cb[1] = ra[1];
        cb[0] = ra[0];
        L->mTop = cb + 3;
        luaD_call(L, cb, nvar);
        refresh();
        L->mTop = ci->mTop;
        ra = base + GETARG_A(i);
        for (int v = 0; v < nvar; v++) {
            ra[2 + v] = ra[3 + v];
        }
        if (ra[2].IsNil()) {
            pc++;
        } else {
            pc += GETARG_sBx(*pc) + 1;
        }
        vmbreak;
    }
    vmcase(OP_TFORPREP) if (ra->IsTable())
    {
        ra[1] = *ra;
        *ra = *luaH_getstr(L->mGlobals.AsTable(), luaS_new(L, "next"));
    }
    pc += GETARG_sBx(i);
    vmbreak;
    vmcase(OP_SETLIST) vmcase(OP_SETLISTO)
    {
        const OpCode op = GET_OPCODE(i);
        int bc = GETARG_Bx(i);
        int n;
        if (op == OP_SETLISTO) {
            n = static_cast<int>(L->mTop - ra) - 1;
            L->mTop = ci->mTop;
        } else {
            n = (bc & (kFieldsPerFlush - 1)) + 1;
        }
        bc &= ~(kFieldsPerFlush - 1);
        if (!ra->IsTable()) [[unlikely]] {
            // Only crafted code gets here: compiled code fills the table it just made.
            luaG_typeerror(L, ra, "index");
        }
        LTable* h = ra->AsTable();
        for (; n > 0; n--) {
            *luaH_setnum(L, h, bc + n) = ra[n];
        }
        vmbreak;
    }
    vmcase(OP_CLOSE) luaF_close(L, ra);
    vmbreak;
    vmcase(OP_CLOSURE)
    {
        LProto* p = cl->mProto->mProtos[GETARG_Bx(i)];
        int nup = p->mNumUpvalues;
        LLuaClosure* ncl = luaF_newLclosure(L, nup, &cl->mGlobals);
        ncl->mProto = p;
        for (int j = 0; j < nup; j++, pc++) {
            if (GET_OPCODE(*pc) == OP_GETUPVAL) {
                ncl->Upvalues()[j] = cl->Upvalues()[GETARG_B(*pc)];
            } else {
                ncl->Upvalues()[j] = luaF_findupval(L, base + GETARG_B(*pc));
            }
        }
        ci->mSavedPc = pc;
        ra->SetClosure(ncl);
        luaC_checkGC(L);
        refresh();
        vmbreak;
    }
L_unknown:
    vmbreak; // an unknown instruction word does nothing
#undef vmbreak
#undef vmcase
}
