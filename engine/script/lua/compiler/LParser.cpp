#include "engine/script/lua/compiler/LParser.h"

#include "engine/script/lua/compiler/LCodeGen.h"
#include "engine/script/lua/compiler/LLexer.h"
#include "engine/script/lua/objects/LObjectUtil.h"
#include "engine/script/lua/objects/LString.h"
#include "engine/script/lua/objects/LTable.h"
#include "engine/script/lua/runtime/LState.h"

#include <cmath>

namespace {

struct LPriority
{
    uint8_t mLeft;
    uint8_t mRight;
};

// By BinOpr: a higher number binds tighter.
const LPriority kPriorities[] = {
    {6, 6},  {6, 6}, {7, 7}, {7, 7},                 // + - * /
    {8, 8},  {8, 8}, {8, 8}, {8, 8},                 // & | << >>
    {10, 9},                                         // ^ (right associative)
    {5, 4},                                          // .. (right associative)
    {3, 3},  {3, 3}, {3, 3}, {3, 3}, {3, 3}, {3, 3}, // ~= == < <= > >=
    {2, 2},  {1, 1},                                 // and or
};

constexpr int kUnaryPriority = 8;

// Assignment targets, chained from the last to the first.
struct LAssignTarget
{
    LAssignTarget* mPrevious;
    LExpDesc mVar;
};

// State of a table constructor.
struct LConstructor
{
    LExpDesc mPendingItem; // last list item read, not yet stored
    LExpDesc* mTable;
    int mHashCount;  // record items
    int mArrayCount; // list items
    int mToStore;    // list items waiting for a SETLIST
};

class LParser
{
public:
    explicit LParser(LexState* ls) : mLex(ls) {}

    LProto* ParseMainChunk(LFuncState* fs);

private:
    LexState* mLex;

    LFuncState* Fs() const { return mLex->mFuncState; }
    int Token() const { return mLex->mToken.mToken; }

    // Tokens.
    void Next();
    void Lookahead();
    [[noreturn]] void Error(const char* message) { luaX_syntaxerror(mLex, message); }
    [[noreturn]] void ErrorExpected(int token);
    bool TestNext(int token);
    void Check(int token);
    void CheckNext(int token);
    void CheckCondition(bool condition, const char* message);
    void CheckMatch(int what, int who, int where);
    LString* StrCheckName();
    void CheckName(LExpDesc* e);
    void CodeString(LExpDesc* e, LString* s);
    void EnterLevel();
    void LeaveLevel() { --mLex->mNestLevel; }
    bool BlockFollow() const;

    // Functions and scopes.
    void OpenFunction(LFuncState* fs);
    void CloseFunction();
    void EnterBlock(LBlockCnt* bl, bool isLoop);
    void LeaveBlock();
    int RegisterLocalVar(LString* name);
    void NewLocalVar(LString* name, int n);
    void NewLocalVarLiteral(const char* name, int n);
    void AdjustLocalVars(int nvars);
    void RemoveVars(int toLevel);
    LLocVar& LocalVar(LFuncState* fs, int i) { return fs->mProto->mLocVars[fs->mActiveVars[i]]; }
    int IndexUpvalue(LFuncState* fs, LString* name, const LExpDesc* v);
    void SingleVarAux(LFuncState* fs, LString* name, LExpDesc* var, bool base);
    void SingleVar(LExpDesc* var, bool base);
    void AdjustAssign(int nvars, int nexps, LExpDesc* e);
    void PushClosure(LFuncState* func, LExpDesc* v);
    void Body(LExpDesc* e, bool needSelf, int line);
    void ParameterList();

    // Expressions.
    int ExpList1(LExpDesc* v);
    void FuncArgs(LExpDesc* f);
    void PrefixExp(LExpDesc* v);
    void PrimaryExp(LExpDesc* v);
    void SimpleExp(LExpDesc* v);
    BinOpr SubExpr(LExpDesc* v, int limit);
    void Expr(LExpDesc* v) { SubExpr(v, 0); }
    void Field(LExpDesc* v);
    void Index(LExpDesc* v);
    int SizeHint();
    void Constructor(LExpDesc* t);
    void RecordField(LConstructor* cc);
    void ListField(LConstructor* cc);
    void CloseListField(LConstructor* cc);
    void LastListField(LConstructor* cc);
    int Exp1();
    int Cond();

    // Statements.
    void Chunk();
    void Block();
    bool Statement();
    void IfStatement(int line);
    int TestThenBlock();
    void WhileStatement(int line);
    void RepeatStatement(int line);
    void ForStatement(int line);
    void ForNumeric(LString* varName, int line);
    void ForList(LString* firstName);
    void ForBody(int base, int line, int nvars, bool isNumeric);
    void FunctionStatement(int line);
    bool FunctionName(LExpDesc* v);
    void LocalFunction();
    void LocalStatement();
    void ExpressionStatement();
    void Assignment(LAssignTarget* lh, int nvars);
    void CheckConflict(LAssignTarget* lh, const LExpDesc* v);
    void ReturnStatement();
    void LoopJump(bool isBreak);
};

BinOpr BinaryOperator(int token)
{
    switch (token) {
    case '+':
        return OPR_ADD;
    case '-':
        return OPR_SUB;
    case '*':
        return OPR_MULT;
    case '/':
        return OPR_DIV;
    case '&':
        return OPR_BAND;
    case '|':
        return OPR_BOR;
    case TK_SHL:
        return OPR_SHL;
    case TK_SHR:
        return OPR_SHR;
    case '^':
        return OPR_POW;
    case TK_CONCAT:
        return OPR_CONCAT;
    case TK_NE:
        return OPR_NE;
    case TK_EQ:
        return OPR_EQ;
    case '<':
        return OPR_LT;
    case TK_LE:
        return OPR_LE;
    case '>':
        return OPR_GT;
    case TK_GE:
        return OPR_GE;
    case TK_AND:
        return OPR_AND;
    case TK_OR:
        return OPR_OR;
    default:
        return OPR_NOBINOPR;
    }
}

UnOpr UnaryOperator(int token)
{
    switch (token) {
    case TK_NOT:
        return OPR_NOT;
    case '-':
        return OPR_MINUS;
    default:
        return OPR_NOUNOPR;
    }
}

bool HasMultipleResults(LExpKind k)
{
    return k == VCALL;
}

// ---- tokens ----

void LParser::Next()
{
    mLex->mLastLine = mLex->mLineNumber;
    if (mLex->mLookahead.mToken != TK_EOS) {
        mLex->mToken = mLex->mLookahead;
        mLex->mLookahead.mToken = TK_EOS;
    } else {
        mLex->mToken.mToken = luaX_lex(mLex, &mLex->mToken.mValue);
    }
}

void LParser::Lookahead()
{
    mLex->mLookahead.mToken = luaX_lex(mLex, &mLex->mLookahead.mValue);
}

void LParser::ErrorExpected(int token)
{
    Error(luaO_pushfstring(mLex->mState, "`%s' expected", luaX_token2str(mLex, token)));
}

bool LParser::TestNext(int token)
{
    if (Token() != token)
        return false;
    Next();
    return true;
}

void LParser::Check(int token)
{
    if (Token() != token)
        ErrorExpected(token);
}

void LParser::CheckNext(int token)
{
    Check(token);
    Next();
}

void LParser::CheckCondition(bool condition, const char* message)
{
    if (!condition)
        Error(message);
}

void LParser::CheckMatch(int what, int who, int where)
{
    if (TestNext(what))
        return;
    if (where == mLex->mLineNumber)
        ErrorExpected(what);
    Error(luaO_pushfstring(mLex->mState, "`%s' expected (to close `%s' at line %d)",
                           luaX_token2str(mLex, what), luaX_token2str(mLex, who), where));
}

LString* LParser::StrCheckName()
{
    CheckCondition(Token() == TK_NAME, "<name> expected");
    LString* name = mLex->mToken.mValue.mString;
    Next();
    return name;
}

void LParser::CodeString(LExpDesc* e, LString* s)
{
    init_exp(e, VK, luaK_stringK(Fs(), s));
}

void LParser::CheckName(LExpDesc* e)
{
    CodeString(e, StrCheckName());
}

void LParser::EnterLevel()
{
    if (++mLex->mNestLevel > kMaxParseLevel)
        Error("too many syntax levels");
}

bool LParser::BlockFollow() const
{
    switch (Token()) {
    case TK_ELSE:
    case TK_ELSEIF:
    case TK_END:
    case TK_UNTIL:
    case TK_EOS:
        return true;
    default:
        return false;
    }
}

// ---- functions and scopes ----

void LParser::OpenFunction(LFuncState* fs)
{
    lua_State* L = mLex->mState;
    fs->mProto = nullptr;
    fs->mPrevious = mLex->mFuncState;
    fs->mLex = mLex;
    fs->mState = L;
    fs->mBlock = nullptr;
    fs->mPc = 0;
    fs->mLastTarget = 0;
    fs->mPendingJumps = kNoJump;
    fs->mFreeReg = 0;
    fs->mNumConstants = 0;
    fs->mNumProtos = 0;
    fs->mNumLocVars = 0;
    fs->mNumActiveVars = 0;
    fs->mConstantMap = luaH_new(L, 0, 0);
    fs->mProto = luaF_newproto(L);
    fs->mProto->mSource = luaS_new(L, mLex->mSource);
    fs->mProto->mMaxStackSize = 2; // registers 0 and 1 are always valid
    mLex->mFuncState = fs;
}

// Shrinks every vector to its use, so that the prototype's sizes are exact.
template <typename T> void ShrinkVector(lua_State* L, T*& block, int& size, int used)
{
    block = luaM_reallocvector(L, block, static_cast<std::size_t>(size),
                               static_cast<std::size_t>(used));
    size = used;
}

void LParser::CloseFunction()
{
    lua_State* L = mLex->mState;
    LFuncState* fs = Fs();
    LProto* f = fs->mProto;
    RemoveVars(0);
    luaK_codeABC(fs, OP_RETURN, 0, 1, 0); // final return
    ShrinkVector(L, f->mCode, f->mSizeCode, fs->mPc);
    ShrinkVector(L, f->mLineInfo, f->mSizeLineInfo, fs->mPc);
    ShrinkVector(L, f->mConstants, f->mSizeConstants, fs->mNumConstants);
    ShrinkVector(L, f->mProtos, f->mSizeProtos, fs->mNumProtos);
    ShrinkVector(L, f->mLocVars, f->mSizeLocVars, fs->mNumLocVars);
    ShrinkVector(L, f->mUpvalueNames, f->mSizeUpvalueNames, f->mNumUpvalues);
    mLex->mFuncState = fs->mPrevious;
}

void LParser::EnterBlock(LBlockCnt* bl, bool isLoop)
{
    LFuncState* fs = Fs();
    bl->mBreakList = kNoJump;
    bl->mContinueList = kNoJump;
    bl->mIsLoop = isLoop;
    bl->mNumActiveVars = fs->mNumActiveVars;
    bl->mHasUpvalue = false;
    bl->mPrevious = fs->mBlock;
    fs->mBlock = bl;
}

void LParser::LeaveBlock()
{
    LFuncState* fs = Fs();
    LBlockCnt* bl = fs->mBlock;
    fs->mBlock = bl->mPrevious;
    RemoveVars(bl->mNumActiveVars);
    if (bl->mHasUpvalue)
        luaK_codeABC(fs, OP_CLOSE, bl->mNumActiveVars, 0, 0);
    fs->mFreeReg = fs->mNumActiveVars;
    luaK_patchtohere(fs, bl->mBreakList);
}

int LParser::RegisterLocalVar(LString* name)
{
    LFuncState* fs = Fs();
    LProto* f = fs->mProto;
    f->mLocVars = luaK_grow(fs, f->mLocVars, fs->mNumLocVars, &f->mSizeLocVars, kMaxIntVector,
                            "too many local variables");
    f->mLocVars[fs->mNumLocVars].mName = name;
    return fs->mNumLocVars++;
}

void LParser::NewLocalVar(LString* name, int n)
{
    LFuncState* fs = Fs();
    luaX_checklimit(mLex, fs->mNumActiveVars + n + 1, kMaxVars, "local variables");
    fs->mActiveVars[fs->mNumActiveVars + n] = RegisterLocalVar(name);
}

void LParser::NewLocalVarLiteral(const char* name, int n)
{
    NewLocalVar(luaS_new(mLex->mState, name), n);
}

void LParser::AdjustLocalVars(int nvars)
{
    LFuncState* fs = Fs();
    fs->mNumActiveVars += nvars;
    for (; nvars > 0; --nvars)
        LocalVar(fs, fs->mNumActiveVars - nvars).mStartPc = fs->mPc;
}

void LParser::RemoveVars(int toLevel)
{
    LFuncState* fs = Fs();
    while (fs->mNumActiveVars > toLevel)
        LocalVar(fs, --fs->mNumActiveVars).mEndPc = fs->mPc;
}

int LParser::IndexUpvalue(LFuncState* fs, LString* name, const LExpDesc* v)
{
    LProto* f = fs->mProto;
    for (int i = 0; i < f->mNumUpvalues; ++i) {
        if (fs->mUpvalues[i].mKind == v->mKind && fs->mUpvalues[i].mInfo == v->mInfo)
            return i;
    }
    luaX_checklimit(mLex, f->mNumUpvalues + 1, kMaxUpvalues, "upvalues");
    f->mUpvalueNames = luaK_grow(fs, f->mUpvalueNames, f->mNumUpvalues, &f->mSizeUpvalueNames,
                                 kMaxUpvalues, "upvalues");
    f->mUpvalueNames[f->mNumUpvalues] = name;
    fs->mUpvalues[f->mNumUpvalues] = *v;
    return f->mNumUpvalues++;
}

int SearchVar(LFuncState* fs, LString* name)
{
    for (int i = fs->mNumActiveVars - 1; i >= 0; --i) {
        if (fs->mProto->mLocVars[fs->mActiveVars[i]].mName == name)
            return i;
    }
    return -1;
}

// Marks the block that declared local `level' as having a captured local.
void MarkUpvalue(LFuncState* fs, int level)
{
    LBlockCnt* bl = fs->mBlock;
    while (bl != nullptr && bl->mNumActiveVars > level)
        bl = bl->mPrevious;
    if (bl != nullptr)
        bl->mHasUpvalue = true;
}

void LParser::SingleVarAux(LFuncState* fs, LString* name, LExpDesc* var, bool base)
{
    if (fs == nullptr) {
        init_exp(var, VGLOBAL, kNoReg);
        return;
    }
    const int v = SearchVar(fs, name);
    if (v >= 0) {
        init_exp(var, VLOCAL, v);
        if (!base)
            MarkUpvalue(fs, v); // used by an inner function
        return;
    }
    SingleVarAux(fs->mPrevious, name, var, false);
    if (var->mKind == VGLOBAL) {
        if (base)
            var->mInfo = luaK_stringK(fs, name);
        return;
    }
    var->mInfo = IndexUpvalue(fs, name, var);
    var->mKind = VUPVAL;
}

void LParser::SingleVar(LExpDesc* var, bool base)
{
    SingleVarAux(Fs(), StrCheckName(), var, base);
}

void LParser::AdjustAssign(int nvars, int nexps, LExpDesc* e)
{
    LFuncState* fs = Fs();
    int extra = nvars - nexps;
    if (HasMultipleResults(e->mKind)) {
        ++extra; // the call itself counts
        if (extra < 0)
            extra = 0;
        luaK_setcallreturns(fs, e, extra);
        if (extra > 1)
            luaK_reserveregs(fs, extra - 1);
        return;
    }
    if (e->mKind != VVOID)
        luaK_exp2nextreg(fs, e);
    if (extra > 0) {
        const int reg = fs->mFreeReg;
        luaK_reserveregs(fs, extra);
        luaK_nil(fs, reg, extra);
    }
}

void LParser::PushClosure(LFuncState* func, LExpDesc* v)
{
    LFuncState* fs = Fs();
    LProto* f = fs->mProto;
    f->mProtos = luaK_grow(fs, f->mProtos, fs->mNumProtos, &f->mSizeProtos, kMaxArgBx,
                           "constant table overflow");
    f->mProtos[fs->mNumProtos++] = func->mProto;
    init_exp(v, VRELOCABLE, luaK_codeABx(fs, OP_CLOSURE, 0, fs->mNumProtos - 1));
    for (int i = 0; i < func->mProto->mNumUpvalues; ++i) {
        const OpCode o = func->mUpvalues[i].mKind == VLOCAL ? OP_MOVE : OP_GETUPVAL;
        luaK_codeABC(fs, o, 0, func->mUpvalues[i].mInfo, 0);
    }
}

void LParser::ParameterList()
{
    LFuncState* fs = Fs();
    int numParams = 0;
    bool isVararg = false;
    if (Token() != ')') {
        do {
            if (Token() == TK_NAME) {
                NewLocalVar(StrCheckName(), numParams++);
            } else if (Token() == TK_DOTS) {
                Next();
                isVararg = true;
            } else {
                Error("<name> or `...' expected");
            }
        } while (!isVararg && TestNext(','));
    }
    AdjustLocalVars(numParams);
    luaX_checklimit(mLex, fs->mNumActiveVars, kMaxParams, "parameters");
    fs->mProto->mNumParams = static_cast<uint8_t>(fs->mNumActiveVars);
    fs->mProto->mIsVararg = isVararg ? 1 : 0;
    if (isVararg) {
        NewLocalVarLiteral("arg", 0);
        AdjustLocalVars(1);
    }
    luaK_reserveregs(fs, fs->mNumActiveVars);
}

void LParser::Body(LExpDesc* e, bool needSelf, int line)
{
    LFuncState newFs;
    OpenFunction(&newFs);
    newFs.mProto->mLineDefined = line;
    CheckNext('(');
    if (needSelf) {
        NewLocalVarLiteral("self", 0);
        AdjustLocalVars(1);
    }
    ParameterList();
    CheckNext(')');
    Chunk();
    CheckMatch(TK_END, TK_FUNCTION, line);
    CloseFunction();
    PushClosure(&newFs, e);
}

LProto* LParser::ParseMainChunk(LFuncState* fs)
{
    OpenFunction(fs);
    Next();
    Chunk();
    CheckCondition(Token() == TK_EOS, "<eof> expected");
    CloseFunction();
    return fs->mProto;
}

// ---- expressions ----

int LParser::ExpList1(LExpDesc* v)
{
    int n = 1;
    Expr(v);
    while (TestNext(',')) {
        luaK_exp2nextreg(Fs(), v);
        Expr(v);
        ++n;
    }
    return n;
}

void LParser::FuncArgs(LExpDesc* f)
{
    LFuncState* fs = Fs();
    LExpDesc args;
    const int line = mLex->mLineNumber;
    switch (Token()) {
    case '(':
        if (line != mLex->mLastLine)
            Error("ambiguous syntax (function call x new statement)");
        Next();
        if (Token() == ')') {
            init_exp(&args, VVOID, 0);
        } else {
            ExpList1(&args);
            luaK_setcallreturns(fs, &args, LUA_MULTRET);
        }
        CheckMatch(')', '(', line);
        break;
    case '{':
        Constructor(&args);
        break;
    case TK_STRING:
        CodeString(&args, mLex->mToken.mValue.mString);
        Next();
        break;
    case TK_WSTRING:
        init_exp(&args, VK, luaK_wstringK(fs, mLex->mToken.mValue.mString));
        Next();
        break;
    default:
        Error("function arguments expected");
    }
    const int base = f->mInfo; // the function's register
    int numParams;
    if (args.mKind == VCALL) {
        numParams = LUA_MULTRET; // up to the top
    } else {
        if (args.mKind != VVOID)
            luaK_exp2nextreg(fs, &args);
        numParams = fs->mFreeReg - (base + 1);
    }
    init_exp(f, VCALL, luaK_codeABC(fs, OP_CALL, base, numParams + 1, 2));
    luaK_fixline(fs, line);
    fs->mFreeReg = base + 1; // the call leaves one result by default
}

void LParser::PrefixExp(LExpDesc* v)
{
    switch (Token()) {
    case '(': {
        const int line = mLex->mLineNumber;
        Next();
        Expr(v);
        CheckMatch(')', '(', line);
        luaK_dischargevars(Fs(), v);
        return;
    }
    case TK_NAME:
        SingleVar(v, true);
        return;
    default:
        Error("unexpected symbol");
    }
}

void LParser::PrimaryExp(LExpDesc* v)
{
    LFuncState* fs = Fs();
    PrefixExp(v);
    for (;;) {
        switch (Token()) {
        case '.':
            Field(v);
            break;
        case '[': {
            LExpDesc key;
            luaK_exp2anyreg(fs, v);
            Index(&key);
            luaK_indexed(fs, v, &key);
            break;
        }
        case ':': {
            LExpDesc key;
            Next();
            CheckName(&key);
            luaK_self(fs, v, &key);
            FuncArgs(v);
            break;
        }
        case '(':
        case TK_STRING:
        case TK_WSTRING:
        case '{':
            luaK_exp2nextreg(fs, v);
            FuncArgs(v);
            break;
        default:
            return;
        }
    }
}

void LParser::SimpleExp(LExpDesc* v)
{
    switch (Token()) {
    case TK_NUMBER:
        init_exp(v, VK, luaK_numberK(Fs(), mLex->mToken.mValue.mNumber));
        break;
    case TK_STRING:
        CodeString(v, mLex->mToken.mValue.mString);
        break;
    case TK_WSTRING:
        init_exp(v, VK, luaK_wstringK(Fs(), mLex->mToken.mValue.mString));
        break;
    case TK_NIL:
        init_exp(v, VNIL, 0);
        break;
    case TK_TRUE:
        init_exp(v, VTRUE, 0);
        break;
    case TK_FALSE:
        init_exp(v, VFALSE, 0);
        break;
    case '{':
        Constructor(v);
        return;
    case TK_FUNCTION: {
        const int line = mLex->mLineNumber;
        Next();
        Body(v, false, line);
        return;
    }
    default:
        PrimaryExp(v);
        return;
    }
    Next();
}

BinOpr LParser::SubExpr(LExpDesc* v, int limit)
{
    EnterLevel();
    const UnOpr uop = UnaryOperator(Token());
    if (uop != OPR_NOUNOPR) {
        Next();
        SubExpr(v, kUnaryPriority);
        luaK_prefix(Fs(), uop, v);
    } else {
        SimpleExp(v);
    }
    BinOpr op = BinaryOperator(Token());
    while (op != OPR_NOBINOPR && kPriorities[op].mLeft > limit) {
        LExpDesc v2;
        Next();
        luaK_infix(Fs(), op, v);
        const BinOpr nextOp = SubExpr(&v2, kPriorities[op].mRight);
        luaK_posfix(Fs(), op, v, &v2);
        op = nextOp;
    }
    LeaveLevel();
    return op;
}

void LParser::Field(LExpDesc* v)
{
    LExpDesc key;
    luaK_exp2anyreg(Fs(), v);
    Next(); // the dot or colon
    CheckName(&key);
    luaK_indexed(Fs(), v, &key);
}

void LParser::Index(LExpDesc* v)
{
    Next(); // '['
    Expr(v);
    luaK_exp2val(Fs(), v);
    CheckNext(']');
}

// A size hint after '&': a number literal, truncated and capped at the table limit.
int LParser::SizeHint()
{
    if (Token() != TK_NUMBER)
        Error(luaO_pushfstring(mLex->mState, "size expected following & (line %d)",
                               mLex->mLineNumber));
    const double n = mLex->mToken.mValue.mNumber;
    Next();
    if (!(n >= 1))
        return 0;
    if (n >= static_cast<double>(kMaxArraySize))
        return static_cast<int>(kMaxArraySize);
    return static_cast<int>(n);
}

void LParser::RecordField(LConstructor* cc)
{
    LFuncState* fs = Fs();
    const int reg = fs->mFreeReg;
    LExpDesc key;
    LExpDesc value;
    if (Token() == TK_NAME)
        CheckName(&key);
    else
        Index(&key);
    ++cc->mHashCount;
    CheckNext('=');
    const int keyRK = luaK_exp2RK(fs, &key);
    Expr(&value);
    luaK_codeABC(fs, OP_SETTABLE, cc->mTable->mInfo, keyRK, luaK_exp2RK(fs, &value));
    fs->mFreeReg = reg;
}

void LParser::ListField(LConstructor* cc)
{
    Expr(&cc->mPendingItem);
    luaX_checklimit(mLex, cc->mArrayCount, kMaxArgBx, "items in a constructor");
    ++cc->mArrayCount;
    ++cc->mToStore;
}

void LParser::CloseListField(LConstructor* cc)
{
    LFuncState* fs = Fs();
    if (cc->mPendingItem.mKind == VVOID)
        return;
    luaK_exp2nextreg(fs, &cc->mPendingItem);
    cc->mPendingItem.mKind = VVOID;
    if (cc->mToStore == kFieldsPerFlush) {
        luaK_codeABx(fs, OP_SETLIST, cc->mTable->mInfo, cc->mArrayCount - 1);
        cc->mToStore = 0;
        fs->mFreeReg = cc->mTable->mInfo + 1;
    }
}

void LParser::LastListField(LConstructor* cc)
{
    LFuncState* fs = Fs();
    if (cc->mToStore == 0)
        return;
    if (cc->mPendingItem.mKind == VCALL) {
        luaK_setcallreturns(fs, &cc->mPendingItem, LUA_MULTRET);
        luaK_codeABx(fs, OP_SETLISTO, cc->mTable->mInfo, cc->mArrayCount - 1);
    } else {
        if (cc->mPendingItem.mKind != VVOID)
            luaK_exp2nextreg(fs, &cc->mPendingItem);
        luaK_codeABx(fs, OP_SETLIST, cc->mTable->mInfo, cc->mArrayCount - 1);
    }
    fs->mFreeReg = cc->mTable->mInfo + 1;
}

void LParser::Constructor(LExpDesc* t)
{
    LFuncState* fs = Fs();
    const int line = mLex->mLineNumber;
    const int pc = luaK_codeABC(fs, OP_NEWTABLE, 0, 0, 0);
    LConstructor cc{};
    cc.mTable = t;
    init_exp(t, VRELOCABLE, pc);
    init_exp(&cc.mPendingItem, VVOID, 0);
    luaK_exp2nextreg(fs, t);
    CheckNext('{');
    int hashHint = 0;
    int arrayHint = 0;
    if (TestNext('&')) {
        hashHint = SizeHint();
        if (TestNext('&'))
            arrayHint = SizeHint();
    }
    do {
        TestNext(';');
        if (Token() == '}')
            break;
        CloseListField(&cc);
        switch (Token()) {
        case TK_NAME:
            Lookahead();
            if (mLex->mLookahead.mToken != '=')
                ListField(&cc);
            else
                RecordField(&cc);
            break;
        case '[':
            RecordField(&cc);
            break;
        default:
            ListField(&cc);
            break;
        }
    } while (TestNext(',') || TestNext(';'));
    CheckMatch('}', '{', line);
    LastListField(&cc);
    const int arraySize = cc.mArrayCount > arrayHint ? cc.mArrayCount : arrayHint;
    const int hashSize = cc.mHashCount > hashHint ? cc.mHashCount : hashHint;
    int logHash = hashSize > 0 ? luaO_log2(static_cast<unsigned>(hashSize)) + 1 : 0;
    if (logHash > kMaxArrayBits)
        logHash = kMaxArrayBits;
    SETARG_B(&fs->mProto->mCode[pc],
             arraySize > 0 ? luaO_int2fb(static_cast<unsigned>(arraySize)) : 0);
    SETARG_C(&fs->mProto->mCode[pc], logHash);
}

int LParser::Exp1()
{
    LExpDesc e;
    Expr(&e);
    const int k = e.mKind;
    luaK_exp2nextreg(Fs(), &e);
    return k;
}

// A condition: returns its false list (the true case falls through).
int LParser::Cond()
{
    LExpDesc v;
    Expr(&v);
    if (v.mKind == VNIL)
        v.mKind = VFALSE; // `falses' are all equal here
    luaK_goiftrue(Fs(), &v);
    return v.mFalseList;
}

// ---- statements ----

void LParser::Chunk()
{
    EnterLevel();
    bool isLast = false;
    while (!isLast && !BlockFollow()) {
        isLast = Statement();
        TestNext(';');
        Fs()->mFreeReg = Fs()->mNumActiveVars; // free the statement's registers
    }
    LeaveLevel();
}

void LParser::Block()
{
    LBlockCnt bl;
    EnterBlock(&bl, false);
    Chunk();
    LeaveBlock();
}

int LParser::TestThenBlock()
{
    Next(); // IF or ELSEIF
    const int falseList = Cond();
    CheckNext(TK_THEN);
    Block();
    return falseList;
}

void LParser::IfStatement(int line)
{
    LFuncState* fs = Fs();
    int escapeList = kNoJump;
    int falseList = TestThenBlock();
    while (Token() == TK_ELSEIF) {
        luaK_prependjump(fs, &escapeList, luaK_jump(fs));
        luaK_patchtohere(fs, falseList);
        falseList = TestThenBlock();
    }
    if (Token() == TK_ELSE) {
        luaK_prependjump(fs, &escapeList, luaK_jump(fs));
        luaK_patchtohere(fs, falseList);
        Next();
        Block();
    } else {
        luaK_concat(fs, &escapeList, falseList);
    }
    luaK_patchtohere(fs, escapeList);
    CheckMatch(TK_END, TK_IF, line);
}

// The condition is compiled first, then moved after the body:
//   JMP cond; body: ...; cond: (jumps back to body while true)
void LParser::WhileStatement(int line)
{
    LFuncState* fs = Fs();
    LProto* f = fs->mProto;
    Next();
    const int whileInit = luaK_jump(fs);
    const int conditionStart = luaK_getlabel(fs);
    LExpDesc v;
    Expr(&v);
    if (v.mKind == VK)
        v.mKind = VTRUE; // `trues' are all equal here
    luaK_goiffalse(fs, &v);
    luaK_concat(fs, &v.mFalseList, fs->mPendingJumps);
    fs->mPendingJumps = kNoJump;
    const int conditionSize = fs->mPc - conditionStart;
    if (conditionSize > kMaxWhileCondition)
        Error("`while' condition too complex");
    Instruction savedCode[kMaxWhileCondition];
    int savedLines[kMaxWhileCondition];
    for (int i = 0; i < conditionSize; ++i) {
        savedCode[i] = f->mCode[conditionStart + i];
        savedLines[i] = f->mLineInfo[conditionStart + i];
    }
    fs->mPc = conditionStart; // drop the condition's code for now
    LBlockCnt bl;
    EnterBlock(&bl, true);
    CheckNext(TK_DO);
    const int blockInit = luaK_getlabel(fs);
    Block();
    luaK_patchtohere(fs, whileInit); // the first test and every `continue' land here
    luaK_patchtohere(fs, bl.mContinueList);
    const int shift = fs->mPc - conditionStart;
    if (v.mTrueList != kNoJump)
        v.mTrueList += shift;
    if (v.mFalseList != kNoJump)
        v.mFalseList += shift;
    for (int i = 0; i < conditionSize; ++i)
        luaK_code(fs, savedCode[i], savedLines[i]);
    CheckMatch(TK_END, TK_WHILE, line);
    LeaveBlock();
    luaK_patchlist(fs, v.mTrueList, blockInit); // true conditions go back into the loop
    luaK_patchtohere(fs, v.mFalseList);
}

void LParser::RepeatStatement(int line)
{
    LFuncState* fs = Fs();
    const int repeatInit = luaK_getlabel(fs);
    LBlockCnt bl;
    EnterBlock(&bl, true);
    Next();
    Block();
    luaK_patchtohere(fs, bl.mContinueList); // `continue' evaluates the condition
    CheckMatch(TK_UNTIL, TK_REPEAT, line);
    const int falseList = Cond();
    luaK_patchlist(fs, falseList, repeatInit);
    LeaveBlock();
}

// Body of both `for' forms (the control variables are active already):
//   prep jump -> test; body: ...; test: FORLOOP / TFORLOOP + JMP back to body
void LParser::ForBody(int base, int line, int nvars, bool isNumeric)
{
    LFuncState* fs = Fs();
    LBlockCnt bl;
    EnterBlock(&bl, true);
    CheckNext(TK_DO);
    const int bodyStart = luaK_getlabel(fs);
    Block();
    luaK_patchtohere(fs, bodyStart - 1); // the preparing jump
    luaK_patchtohere(fs, bl.mContinueList);
    const int endFor = isNumeric ? luaK_codeAsBx(fs, OP_FORLOOP, base, kNoJump)
                                 : luaK_codeABC(fs, OP_TFORLOOP, base, 0, nvars - 3);
    luaK_fixline(fs, line);
    luaK_patchlist(fs, isNumeric ? endFor : luaK_jump(fs), bodyStart);
    LeaveBlock();
}

void LParser::ForNumeric(LString* varName, int line)
{
    LFuncState* fs = Fs();
    const int base = fs->mFreeReg;
    NewLocalVar(varName, 0);
    NewLocalVarLiteral("(for limit)", 1);
    NewLocalVarLiteral("(for step)", 2);
    CheckNext('=');
    Exp1(); // initial value
    CheckNext(',');
    Exp1(); // limit
    if (TestNext(',')) {
        Exp1(); // step
    } else {
        luaK_codeABx(fs, OP_LOADK, fs->mFreeReg, luaK_numberK(fs, 1));
        luaK_reserveregs(fs, 1);
    }
    // The loop starts by stepping, so take one step back first.
    luaK_codeABC(fs, OP_SUB, fs->mFreeReg - 3, fs->mFreeReg - 3, fs->mFreeReg - 1);
    luaK_jump(fs);
    AdjustLocalVars(3);
    ForBody(base, line, 3, true);
}

void LParser::ForList(LString* firstName)
{
    LFuncState* fs = Fs();
    const int base = fs->mFreeReg;
    int nvars = 0;
    NewLocalVarLiteral("(for generator)", nvars++);
    NewLocalVarLiteral("(for state)", nvars++);
    NewLocalVar(firstName, nvars++);
    while (TestNext(','))
        NewLocalVar(StrCheckName(), nvars++);
    CheckNext(TK_IN);
    const int line = mLex->mLineNumber;
    LExpDesc e;
    AdjustAssign(nvars, ExpList1(&e), &e);
    luaK_checkstack(fs, 3); // room for the iterator call
    luaK_codeAsBx(fs, OP_TFORPREP, base, kNoJump);
    AdjustLocalVars(nvars);
    ForBody(base, line, nvars, false);
}

void LParser::ForStatement(int line)
{
    LBlockCnt bl;
    EnterBlock(&bl, false); // scope of the control variables
    Next();
    LString* varName = StrCheckName();
    switch (Token()) {
    case '=':
        ForNumeric(varName, line);
        break;
    case ',':
    case TK_IN:
        ForList(varName);
        break;
    default:
        Error("`=' or `in' expected");
    }
    CheckMatch(TK_END, TK_FOR, line);
    LeaveBlock();
}

bool LParser::FunctionName(LExpDesc* v)
{
    SingleVar(v, true);
    while (Token() == '.')
        Field(v);
    if (Token() == ':') {
        Field(v);
        return true;
    }
    return false;
}

void LParser::FunctionStatement(int line)
{
    LExpDesc v;
    LExpDesc b;
    Next();
    const bool needSelf = FunctionName(&v);
    Body(&b, needSelf, line);
    luaK_storevar(Fs(), &v, &b);
    luaK_fixline(Fs(), line);
}

void LParser::LocalFunction()
{
    LFuncState* fs = Fs();
    LExpDesc v;
    LExpDesc b;
    NewLocalVar(StrCheckName(), 0);
    init_exp(&v, VLOCAL, fs->mFreeReg);
    luaK_reserveregs(fs, 1);
    AdjustLocalVars(1);
    Body(&b, false, mLex->mLineNumber);
    luaK_storevar(fs, &v, &b);
    LocalVar(fs, fs->mNumActiveVars - 1).mStartPc = fs->mPc; // debug information sees it only now
}

void LParser::LocalStatement()
{
    int nvars = 0;
    do {
        NewLocalVar(StrCheckName(), nvars++);
    } while (TestNext(','));
    LExpDesc e;
    int nexps = 0;
    if (TestNext('='))
        nexps = ExpList1(&e);
    else
        init_exp(&e, VVOID, 0);
    AdjustAssign(nvars, nexps, &e);
    AdjustLocalVars(nvars);
}

// In a multiple assignment, a local assigned before a table that indexes with it
// would be read after it changed: such tables and keys use a copy.
void LParser::CheckConflict(LAssignTarget* lh, const LExpDesc* v)
{
    LFuncState* fs = Fs();
    const int extra = fs->mFreeReg;
    bool conflict = false;
    for (; lh != nullptr; lh = lh->mPrevious) {
        if (lh->mVar.mKind != VINDEXED)
            continue;
        if (lh->mVar.mInfo == v->mInfo) {
            conflict = true;
            lh->mVar.mInfo = extra;
        }
        if (lh->mVar.mAux == v->mInfo) {
            conflict = true;
            lh->mVar.mAux = extra;
        }
    }
    if (conflict) {
        luaK_codeABC(fs, OP_MOVE, fs->mFreeReg, v->mInfo, 0);
        luaK_reserveregs(fs, 1);
    }
}

void LParser::Assignment(LAssignTarget* lh, int nvars)
{
    LFuncState* fs = Fs();
    CheckCondition(lh->mVar.mKind >= VLOCAL && lh->mVar.mKind <= VINDEXED, "syntax error");
    if (TestNext(',')) {
        luaX_checklimit(mLex, nvars, kMaxParseLevel, "variables in assignment");
        LAssignTarget nv;
        nv.mPrevious = lh;
        PrimaryExp(&nv.mVar);
        if (nv.mVar.mKind == VLOCAL)
            CheckConflict(lh, &nv.mVar);
        Assignment(&nv, nvars + 1);
    } else {
        CheckNext('=');
        LExpDesc e;
        const int nexps = ExpList1(&e);
        if (nexps == nvars) {
            luaK_setcallreturns(fs, &e, 1);
            luaK_storevar(fs, &lh->mVar, &e);
            return;
        }
        AdjustAssign(nvars, nexps, &e);
        if (nexps > nvars)
            fs->mFreeReg -= nexps - nvars; // drop the extra values
    }
    LExpDesc e;
    init_exp(&e, VNONRELOC, fs->mFreeReg - 1); // the value for this target
    luaK_storevar(fs, &lh->mVar, &e);
}

void LParser::ExpressionStatement()
{
    LAssignTarget v;
    PrimaryExp(&v.mVar);
    if (v.mVar.mKind == VCALL) {
        luaK_setcallreturns(Fs(), &v.mVar, 0); // a call statement keeps no result
        return;
    }
    v.mPrevious = nullptr;
    Assignment(&v, 1);
}

void LParser::ReturnStatement()
{
    LFuncState* fs = Fs();
    Next();
    int first = 0;
    int nret = 0;
    if (!BlockFollow() && Token() != ';') {
        LExpDesc e;
        nret = ExpList1(&e);
        if (e.mKind == VCALL) {
            luaK_setcallreturns(fs, &e, LUA_MULTRET);
            if (nret == 1)
                SET_OPCODE(&luaK_getcode(fs, &e), OP_TAILCALL);
            first = fs->mNumActiveVars;
            nret = LUA_MULTRET;
        } else if (nret == 1) {
            first = luaK_exp2anyreg(fs, &e);
        } else {
            luaK_exp2nextreg(fs, &e); // values must be in consecutive registers
            first = fs->mNumActiveVars;
        }
    }
    luaK_codeABC(fs, OP_RETURN, first, nret + 1, 0);
}

// `break [n]' and `continue [n]': a jump to the n-th enclosing loop's end or
// continuation point, closing captured locals of the blocks left on the way.
void LParser::LoopJump(bool isBreak)
{
    LFuncState* fs = Fs();
    Next();
    int count = 1;
    if (Token() == TK_NUMBER) {
        const double n = mLex->mToken.mValue.mNumber;
        if (n != std::floor(n))
            Error("loop block number must be integer");
        if (n < 1 || n > kMaxLoopCount)
            Error("loop block number out of range");
        count = static_cast<int>(n);
        Next();
    }
    bool closeNeeded = false;
    LBlockCnt* bl = fs->mBlock;
    for (; bl != nullptr; bl = bl->mPrevious) {
        if (bl->mIsLoop && --count == 0)
            break;
        if (bl->mHasUpvalue)
            closeNeeded = true;
    }
    if (bl == nullptr)
        Error(isBreak ? "no loop to break" : "no loop to continue");
    if (closeNeeded)
        luaK_codeABC(fs, OP_CLOSE, bl->mNumActiveVars, 0, 0);
    luaK_prependjump(fs, isBreak ? &bl->mBreakList : &bl->mContinueList, luaK_jump(fs));
}

// Returns true for the statements that must end their block.
bool LParser::Statement()
{
    const int line = mLex->mLineNumber;
    switch (Token()) {
    case TK_IF:
        IfStatement(line);
        return false;
    case TK_WHILE:
        WhileStatement(line);
        return false;
    case TK_DO:
        Next();
        Block();
        CheckMatch(TK_END, TK_DO, line);
        return false;
    case TK_FOR:
        ForStatement(line);
        return false;
    case TK_REPEAT:
        RepeatStatement(line);
        return false;
    case TK_FUNCTION:
        FunctionStatement(line);
        return false;
    case TK_LOCAL:
        Next();
        if (TestNext(TK_FUNCTION))
            LocalFunction();
        else
            LocalStatement();
        return false;
    case TK_RETURN:
        ReturnStatement();
        return true;
    case TK_BREAK:
        LoopJump(true);
        return true;
    case TK_CONTINUE:
        LoopJump(false);
        return true;
    default:
        ExpressionStatement();
        return false;
    }
}

} // namespace

LProto* luaY_parser(lua_State* L, LInputStream* z, LTextBuffer* buffer)
{
    LexState lex;
    LFuncState fs;
    LString* source = luaS_new(L, z->mName != nullptr ? z->mName : "?");
    luaX_setinput(L, &lex, z, buffer, source->Text());
    LParser parser(&lex);
    return parser.ParseMainChunk(&fs);
}
