#include "engine/script/TScript.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TFile.h"
#include "engine/script/LuaBinder.h"
#include "engine/script/LuaHooks.h"
#include "engine/script/LuaStackGuard.h"
#include "engine/script/TEmbeddedScript.h"
#include "engine/script/TLuaFunction.h"
#include "engine/script/TLuaStateRecord.h"
#include "engine/script/TLuaTable.h"
#include "engine/script/TLuaThread.h"
#include "engine/script/TScriptBudget.h"
#include "engine/script/TScriptCode.h"
#include "engine/script/lua/LuaAux.h"
#include "engine/script/lua/LuaLib.h"

#include <unordered_map>

// The DumpTable helpers, from DumpTable.lua.
extern const TEmbeddedScript kDumpTableScript;

namespace {

constexpr const char* kGetClosureText =
    "function GetClosure( f, ... ) return function() return f( arg[1], arg[2], arg[3], "
    "arg[4], arg[5], arg[6] ); end; end";

// Every live script by the thread it runs on (its state, and its coroutine while it
// has one).
std::unordered_map<lua_State*, TScript*>& Scripts()
{
    static std::unordered_map<lua_State*, TScript*> scripts;
    return scripts;
}

std::function<void(const TString&)>& DebugOutHook()
{
    static std::function<void(const TString&)> hook;
    return hook;
}

void DebugOutText(TString text)
{
    if (DebugOutHook())
        DebugOutHook()(text);
}

void PushGlobal(lua_State* L, const char* name)
{
    lua_pushstring(L, name);
    lua_gettable(L, LUA_GLOBALSINDEX);
}

// An error value as text: strings and numbers as they are, wide strings as UTF-8, and a
// placeholder for anything else (error({}) must not reach a "%s" as null).
TString ErrorText(lua_State* L, int index)
{
    if (lua_type(L, index) == LUA_TWSTRING) {
        const lua_WChar* wide = lua_towstring(L, index);
        size_t length = lua_strlen(L, index);
        TString text;
        for (size_t i = 0; i < length; i++)
            text += TString::FromCodepoint(wide[i]);
        return text;
    }
    const char* text = lua_tostring(L, index);
    if (text != nullptr)
        return TString(text, static_cast<int>(lua_strlen(L, index)));
    return TString::Printf("(error object is a %s value)", lua_typename(L, lua_type(L, index)));
}

// "_ALERT": the error handler of every call the engine makes into a script.
int Alert(lua_State* L)
{
    TraceLog("Lua error: %s", ErrorText(L, 1).CStr());
    return 0;
}

void SetScriptGlobal(lua_State* L, TScript* script)
{
    lua_pushstring(L, "_SCRIPT");
    if (script != nullptr)
        lua_pushlightuserdata(L, script);
    else
        lua_pushnil(L);
    lua_settable(L, LUA_GLOBALSINDEX);
}

// The name of the function at index: its chunk, and the line it was defined on.
TString DescribeFunction(lua_State* L, int index)
{
    lua_Debug ar;
    lua_pushvalue(L, index);
    if (lua_getinfo(L, ">S", &ar) == 0)
        return "(unknown script)";
    if (ar.linedefined > 0)
        return TString::Printf("%s:%d", ar.short_src, ar.linedefined);
    return ar.short_src;
}

// A memory error reaches no error handler: its one log line names the script and, for a
// state with a budget, why the block was refused.
void ReportOutOfMemory(const TString& script, lua_State* L)
{
    TScriptBudget* budget = TScriptBudget::Of(L);
    const TString why = budget != nullptr ? budget->DescribeRefusal() : TString();
    if (why.Length() > 0)
        TraceLog("script: %s: out of memory (%s)", script.CStr(), why.CStr());
    else
        TraceLog("script: %s: out of memory", script.CStr());
}

// Calls the function below its nargs arguments with "_ALERT" as handler; the handler
// sits below the function only for the call, with a copy of the function to name in the
// report of a memory error.
int CallWithAlert(lua_State* L, int nargs, int nresults)
{
    int function = lua_gettop(L) - nargs;
    PushGlobal(L, "_ALERT");
    lua_insert(L, function);
    lua_pushvalue(L, function + 1);
    lua_insert(L, function + 1);
    int status = lua_pcall(L, nargs, nresults, function);
    TScriptBudget::CollectAfterRefusal(L);
    if (status == LUA_ERRMEM)
        ReportOutOfMemory(DescribeFunction(L, function + 1), L);
    lua_remove(L, function + 1);
    lua_remove(L, function);
    return status;
}

// The DoLuaString report of a failure whose error value is on top: one log line, and the
// script's own "LuaErrorMessage" when it defines one. The stack is left as it was.
void ReportDoLuaStringError(lua_State* L, const TString& text, const char* phase)
{
    LuaStackGuard guard(L);
    if (!lua_isstring(L, -1))
        return;
    TString message = TString::Printf("Lua Error: %s\n\twhen %s", ErrorText(L, -1).CStr(), phase);
    TraceLog("DoLuaString %s %s", message.CStr(), text.CStr());
    PushGlobal(L, "LuaErrorMessage");
    if (lua_isnil(L, -1))
        return;
    LuaPushString(L, message);
    CallWithAlert(L, 1, 0);
}

// Counts the calls into a script that are under way.
class TRunScope
{
public:
    explicit TRunScope(int& depth) : mDepth(depth) { ++mDepth; }
    ~TRunScope() { --mDepth; }
    TRunScope(const TRunScope&) = delete;
    TRunScope& operator=(const TRunScope&) = delete;

private:
    int& mDepth;
};

} // namespace

TScript::TScript(lua_State* L)
{
    Stop();
    mState = L != nullptr ? L : TScriptBudget::OpenState();
    if (mState == nullptr)
        return;
    Init();
}

TScript::TScript(std::unique_ptr<TLuaThread> thread) : mThread(std::move(thread))
{
    Stop();
    mState = mThread->GetThreadState();
    Init();
}

void TScript::Init()
{
    InstallLuaHooks();
    mRecord = TLuaStateRecord::Of(mState);
    lua_State* L = mState;
    LuaStackGuard guard(L);
    luaopen_base(L);
    luaopen_string(L);
    luaopen_table(L);
    lua_settop(L, guard.Top());
    lua_register(L, "_ALERT", Alert);
    PublishFunction(L, "DebugOut", &DebugOutText);
    kDumpTableScript.Run(L);
    lua_settop(L, guard.Top());
    SetScriptGlobal(L, this);
    Scripts()[L] = this;
}

TScript::~TScript()
{
    ReleaseAutoTables();
    if (mState == nullptr)
        return;
    bool open = IsValid();
    ForgetThreads(this);
    mCoroutine.reset();
    if (mThread) {
        if (open)
            HandBackScriptGlobal();
        mThread.reset();
    } else if (open) {
        // Scripts on coroutines of this state outlive it as invalid objects: forget their
        // threads now, before the addresses can be reused.
        std::vector<TScript*> others;
        for (auto& entry : Scripts())
            if (entry.second->mRecord == mRecord)
                others.push_back(entry.second);
        for (TScript* other : others)
            ForgetThreads(other);
        TScriptBudget::CloseState(mState);
    }
}

bool TScript::IsValid() const
{
    return mState != nullptr && mRecord && !mRecord->mClosed;
}

void TScript::ForgetThreads(TScript* script)
{
    for (auto it = Scripts().begin(); it != Scripts().end();) {
        if (it->second == script)
            it = Scripts().erase(it);
        else
            ++it;
    }
}

void TScript::HandBackScriptGlobal()
{
    PushGlobal(mState, "_SCRIPT");
    bool namesThis = lua_touserdata(mState, -1) == this;
    lua_pop(mState, 1);
    if (!namesThis)
        return;
    auto owner = Scripts().find(mRecord->mMainThread);
    SetScriptGlobal(mState, owner != Scripts().end() ? owner->second : nullptr);
}

TScript* TScript::ForState(lua_State* L)
{
    if (L == nullptr)
        return nullptr;
    auto found = Scripts().find(L);
    if (found == Scripts().end())
        found = Scripts().find(lua_mainthread(L));
    return found != Scripts().end() ? found->second : nullptr;
}

void TScript::SetDebugOutHook(std::function<void(const TString&)> hook)
{
    DebugOutHook() = std::move(hook);
}

void TScript::AddAutoRelease(TLuaTable* table)
{
    if (table != nullptr)
        mAutoRelease.push_back(table);
}

void TScript::ReleaseIdleAutoTables()
{
    // A bound function that took a table may call into the script again; its table
    // must outlive that nested call, so only the outermost call releases.
    if (mRunDepth == 0)
        ReleaseAutoTables();
}

void TScript::ReleaseAutoTables()
{
    std::vector<TLuaTable*> tables;
    tables.swap(mAutoRelease);
    for (TLuaTable* table : tables)
        delete table;
}

lua_State* TScript::GetCoroutine() const
{
    return mCoroutine ? mCoroutine->GetThreadState() : nullptr;
}

bool TScript::IsSuspended() const
{
    lua_State* co = IsValid() ? GetCoroutine() : nullptr;
    return co != nullptr && lua_isyielded(co) != 0;
}

int TScript::RunFunction(int nargs, int nresults)
{
    if (!IsValid())
        return LUA_ERRRUN;
    ReleaseIdleAutoTables();
    TRunScope scope(mRunDepth);
    if (IsSuspended() && nresults <= 1) {
        int status = 0;
        if (OfferAsClosure(nargs, status)) {
            if (nresults == 1)
                PushYieldedValue(status == 0);
            return status;
        }
        nargs = 0; // the closure itself is called below
    }
    int status = CallWithAlert(mState, nargs, nresults);
    if (status != 0) {
        if (nresults > 1)
            TraceLog("TScript::RunFunction failure. Too many return results? (%d, FAILURE CODE %d)",
                     nresults, status);
        return status;
    }
    if (nresults == 1 && !IsSuspended() && lua_isfunction(mState, -1))
        StartCoroutine();
    return 0;
}

bool TScript::OfferAsClosure(int nargs, int& status)
{
    lua_State* L = mState;
    int function = lua_gettop(L) - nargs;
    PushGlobal(L, "GetClosure");
    if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        lua_dostring(L, kGetClosureText);
        PushGlobal(L, "GetClosure");
    }
    lua_insert(L, function);
    status = CallWithAlert(L, nargs + 1, 1);
    if (status != 0) {
        lua_pop(L, 1);
        return true;
    }
    TLuaFunction closure(L);
    closure.Push(L);
    if (DeliverClosure())
        return true;
    closure.Push(L);
    return false;
}

void TScript::PushYieldedValue(bool succeeded)
{
    lua_State* co = succeeded ? GetCoroutine() : nullptr;
    if (co != nullptr && lua_isyielded(co) != 0 && lua_gettop(co) > 0) {
        lua_pushvalue(co, -1);
        lua_xmove(co, mState, 1);
    } else {
        lua_pushnil(mState);
    }
}

bool TScript::DeliverClosure()
{
    lua_pop(mState, 1);
    return false;
}

void TScript::StartCoroutine()
{
    // The function runs on a coroutine of its own, so the state's stack keeps its
    // discipline while the coroutine waits in a yield.
    if (mCoroutine)
        Scripts().erase(mCoroutine->GetThreadState());
    mCoroutine = std::make_unique<TLuaThread>(mState);
    lua_State* co = mCoroutine->GetThreadState();
    Scripts()[co] = this;
    mCoroutineName = DescribeFunction(mState, -1);
    lua_pushvalue(mState, -1); // the function stays the call's result
    lua_xmove(mState, co, 1);
    if (TimeSinceDue() == -1)
        Start(0, true, true, false);
    TRunScope scope(mRunDepth);
    const int status = lua_resume(co, 0);
    TScriptBudget::CollectAfterRefusal(co);
    if (status == LUA_ERRMEM)
        ReportOutOfMemory(mCoroutineName, co);
    else if (status != 0)
        TraceLog("lua_resume error: %s", ErrorText(co, -1).CStr());
    if (status != 0)
        lua_settop(co, 0);
}

int TScript::Resume(int nargs)
{
    if (!IsValid())
        return LUA_ERRRUN;
    ReleaseIdleAutoTables();
    TRunScope scope(mRunDepth);
    lua_State* co = GetCoroutine();
    if (co == nullptr) {
        lua_pop(mState, nargs);
        TraceLog("lua_resume ERROR: %s", "cannot resume dead coroutine");
        return LUA_ERRRUN;
    }
    lua_xmove(mState, co, nargs);
    int status = lua_resume(co, nargs);
    TScriptBudget::CollectAfterRefusal(co);
    if (status == LUA_ERRMEM)
        ReportOutOfMemory(mCoroutineName, co);
    else if (status != 0)
        TraceLog("lua_resume ERROR: %s", ErrorText(co, -1).CStr());
    if (status != 0)
        lua_pop(co, 1);
    return status;
}

bool TScript::Animate()
{
    // A coroutine that finished in its last step is done, not resumed into an error.
    if (!IsSuspended() || Resume(0) != 0 || !IsSuspended())
        Stop();
    return true;
}

void TScript::DoLuaString(const TString& text, int length, int nresults)
{
    if (!IsValid())
        return;
    lua_State* L = mState;
    if (length < 0 || length > text.Length())
        length = text.Length();
    const char* phase = "parsing";
    int status = luaL_loadbuffer(L, text.CStr(), static_cast<size_t>(length), text.CStr());
    if (status == 0) {
        phase = "running";
        status = RunFunction(0, nresults == 0 ? 1 : nresults);
        if (status == 0) {
            if (nresults == 0)
                lua_pop(L, 1);
            return;
        }
    }
    ReportDoLuaStringError(L, text, phase);
}

void DoLuaString(lua_State* L, const TString& text)
{
    if (TScript* script = TScript::ForState(L)) {
        script->DoLuaString(text);
        return;
    }
    const char* phase = "parsing";
    int status = luaL_loadbuffer(L, text.CStr(), static_cast<size_t>(text.Length()), text.CStr());
    if (status == 0) {
        phase = "running";
        status = CallWithAlert(L, 0, 0);
        if (status == 0)
            return;
    }
    ReportDoLuaStringError(L, text, phase);
}

bool TScript::RunScript(const TString& path, TAssetManager* codeCache)
{
    if (!IsValid() || path.Length() == 0 || !FileExists(path))
        return false;
    lua_State* L = mState;
    LuaStackGuard guard(L);
    TString error;
    std::shared_ptr<TScriptCode> code = GetScriptCode(codeCache, path, gScriptSearchPath, &error);
    int status = LUA_ERRFILE;
    if (code) {
        status = luaL_loadbuffer(L, code->GetBytes(), code->GetLength(), path.CStr());
    }
    if (!code || status != 0) {
        // The compile error goes to "_ALERT", as a run-time error would.
        PushGlobal(L, "_ALERT");
        if (error.Length() > 0) {
            LuaPushString(L, error);
        } else if (code) {
            lua_insert(L, -2);
        } else {
            lua_pushstring(L, "cannot load script");
        }
        if (lua_isfunction(L, -2))
            lua_pcall(L, 1, 0, 0);
        return false;
    }
    status = RunFunction(0, 1);
    if (status != 0) {
        TraceLog("Failed to run script %s: %d", path.CStr(), status);
        return false;
    }
    return true;
}

std::unique_ptr<TScript> TScript::NewThread()
{
    if (!IsValid())
        return nullptr;
    return std::unique_ptr<TScript>(new TScript(std::make_unique<TLuaThread>(mState)));
}

double TScript::PopNumber()
{
    if (!IsValid())
        return 0;
    double value = lua_tonumber(mState, -1);
    lua_pop(mState, 1);
    return value;
}

TString TScript::PopString()
{
    if (!IsValid())
        return TString();
    TString value = GetLuaStringArg(mState, -1);
    lua_pop(mState, 1);
    return value;
}

TColor TScript::PopColor()
{
    if (!IsValid())
        return TColor();
    lua_State* L = mState;
    TColor color;
    if (lua_istable(L, -1)) {
        float* channels[] = {&color.r, &color.g, &color.b, &color.a};
        for (int i = 0; i < 4; i++) {
            lua_rawgeti(L, -1, i + 1);
            *channels[i] = static_cast<float>(lua_tonumber(L, -1));
            lua_pop(L, 1);
        }
    }
    lua_pop(L, 1);
    return color;
}

bool TScript::PopBool()
{
    if (!IsValid())
        return false;
    lua_State* L = mState;
    bool value = false;
    switch (lua_type(L, -1)) {
    case LUA_TNIL:
        break;
    case LUA_TBOOLEAN:
        value = lua_toboolean(L, -1) != 0;
        break;
    case LUA_TNUMBER:
        value = lua_tonumber(L, -1) != 0;
        break;
    case LUA_TSTRING:
        TraceLog("PopBool used on lua string %s", lua_tostring(L, -1));
        break;
    default:
        TraceLog("PopBool used on a type that isn't a number, a boolean, or nil. (type: %d)",
                 lua_type(L, -1));
        break;
    }
    lua_pop(L, 1);
    return value;
}

void TScript::SetGlobalString(const TString& name, const TString& value)
{
    if (!IsValid())
        return;
    LuaPushString(mState, name);
    LuaPushString(mState, value);
    lua_settable(mState, LUA_GLOBALSINDEX);
}

std::unique_ptr<TLuaTable> TScript::GetGlobalTable(const TString& name)
{
    if (!IsValid())
        return nullptr;
    LuaStackGuard guard(mState);
    LuaPushString(mState, name);
    lua_gettable(mState, LUA_GLOBALSINDEX);
    if (!lua_istable(mState, -1))
        return nullptr;
    return std::make_unique<TLuaTable>(mState);
}

double TScript::GetGlobalNumber(const TString& name)
{
    if (!IsValid())
        return 0;
    LuaStackGuard guard(mState);
    LuaPushString(mState, name);
    lua_gettable(mState, LUA_GLOBALSINDEX);
    return lua_tonumber(mState, -1);
}
