#pragma once

// A script state (or a coroutine of one) packaged as a timed task. It opens the base,
// string and table libraries, installs the error reporter "_ALERT" (which logs
// "Lua error: %s"), "DebugOut", "DumpTable" and "_SCRIPT", runs files, texts and
// functions with the engine's error conventions, and, when a script hands back a
// function, runs that function as a coroutine of the state that the task resumes at each
// step until it finishes.
//
// Every call into the script runs with "_ALERT" as error handler: a run-time error is
// logged once and the call returns its status; the state stays usable. A memory error,
// which reaches no handler, is logged as "script: <script>: out of memory (<why>)".
//
// A state this class opens runs under the script budget (TScriptBudget.h): a call that
// runs too long or a state that grows too large is stopped with a script error.
//
// A script is created stopped; it runs as a task once it has been added to a task list
// and a function handed back by RunFunction has started it. Main thread only.

#include "engine/foundation/core/TAnimTask.h"
#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TColor.h"

#include <functional>
#include <memory>
#include <vector>

struct lua_State;
class TAssetManager;
class TLuaTable;
class TLuaThread;
struct TLuaStateRecord;

class TScript : public TAnimTask
{
public:
    // Runs on the platform timer. With L null a new state is opened; a given main state
    // is taken over and closed with the script. IsValid is false when no state could be
    // opened; every operation then does nothing.
    explicit TScript(lua_State* L = nullptr);
    // Deletes the auto-released tables, then the coroutine (for a script made by
    // NewThread) or the whole state.
    ~TScript() override;
    TScript(const TScript&) = delete;
    TScript& operator=(const TScript&) = delete;

    // False when no state could be opened, or the state has been closed under a script
    // made by NewThread.
    bool IsValid() const;
    lua_State* GetState() const { return mState; }

    // Calls the function lying below its nargs arguments on the stack with nresults
    // results (consumed from the stack as lua_pcall does). 0 on success, else the
    // lua_pcall status (the message has gone to "_ALERT"; a nil stands in for the
    // results). While the state is suspended in a yield and nresults is at most 1, the
    // call (with its first six arguments) is wrapped in a closure and offered to
    // DeliverClosure first; when that takes it, the answer is 0 and the one result (for
    // nresults 1) is the value the coroutine has yielded since (nil when none). When
    // nresults is 1 and the result is a function, it is started as the state's coroutine
    // and the task starts stepping it.
    int RunFunction(int nargs, int nresults);

    // Compiles and runs text (length -1: all of it). A compile error is logged as
    // "DoLuaString %s %s" (with "Lua Error: ...\n\twhen parsing" and the text) and handed
    // to the global "LuaErrorMessage" when there is one; the error value stays on the
    // stack. A run-time error goes to "_ALERT". With nresults 0 a successful run leaves
    // the stack as it was.
    void DoLuaString(const TString& text, int length = -1, int nresults = 0);

    // Runs a script file from its compiled chunk (GetScriptCode through codeCache: the
    // platform's asset manager, or null to compile without caching). False without a log
    // line for an empty path or a missing file; false after "_ALERT" for a compile error
    // and after "Failed to run script %s: %d" for a run-time error. The stack is left as
    // it was.
    bool RunScript(const TString& path, TAssetManager* codeCache);

    // Deletes the auto-released tables and resumes the state's coroutine with nargs
    // arguments; a failure is logged as "lua_resume ERROR: %s".
    int Resume(int nargs);

    // Offered a closure on top of the stack while the state is suspended. True takes it
    // (and pops it). This version pops it and answers false: RunFunction then calls it.
    virtual bool DeliverClosure();

    // True while the state's coroutine waits in a yield.
    bool IsSuspended() const;
    // The thread of the function RunFunction started, while the script keeps it (until
    // the next one starts); null when none.
    lua_State* GetCoroutine() const;

    // A script on a new coroutine of this state, sharing its globals; the new script
    // keeps the coroutine alive. Null when this script is not valid.
    std::unique_ptr<TScript> NewThread();

    // Each pops the top value.
    double PopNumber();
    TString PopString();
    // Entries 1 to 4 of a table as red, green, blue, alpha (missing ones read 0); a
    // value that is not a table gives all zeroes.
    TColor PopColor();
    // nil -> false, a boolean -> itself, a number -> not 0; a string gives false and logs
    // "PopBool used on lua string %s"; any other type gives false and logs its type.
    bool PopBool();

    void SetGlobalString(const TString& name, const TString& value);
    // A new handle when the global is a table, else null.
    std::unique_ptr<TLuaTable> GetGlobalTable(const TString& name);
    // The global as a number; 0 when it is nil or not numeric.
    double GetGlobalNumber(const TString& name);

    // The script deletes table at its next RunFunction or Resume that is not nested in
    // another call into the script (the table's taker may still be running), or when it
    // is destroyed.
    void AddAutoRelease(TLuaTable* table);

    // The script running on thread L, else the one owning L's main thread; null when
    // none.
    static TScript* ForState(lua_State* L);

    // Where "DebugOut" text goes; by default it is discarded. An empty hook restores that.
    static void SetDebugOutHook(std::function<void(const TString&)> hook);

protected:
    // The task step: resumes the coroutine once; stops the task when that failed or the
    // coroutine has finished. Always true.
    bool Animate() override;

private:
    explicit TScript(std::unique_ptr<TLuaThread> thread);
    void Init();
    void ReleaseAutoTables();
    void ReleaseIdleAutoTables();
    // Wraps the pending call in a closure and offers it to DeliverClosure. True when
    // that took it or the wrapping failed (status says which); false leaves the closure
    // on the stack for the caller to call.
    bool OfferAsClosure(int nargs, int& status);
    // Pushes the coroutine's last yielded value after a delivered call (nil when the call
    // failed or nothing was yielded).
    void PushYieldedValue(bool succeeded);
    void StartCoroutine();
    void HandBackScriptGlobal();
    static void ForgetThreads(TScript* script);

    lua_State* mState = nullptr;
    std::shared_ptr<TLuaStateRecord> mRecord;
    std::unique_ptr<TLuaThread> mThread;    // the coroutine this script runs on, if any
    std::unique_ptr<TLuaThread> mCoroutine; // the function handed back, while it runs
    TString mCoroutineName;                 // its script and line, for a memory error
    std::vector<TLuaTable*> mAutoRelease;
    int mRunDepth = 0; // calls into the script under way
};

// DoLuaString on the script running on L; on a state without a script the same
// conventions apply without the closure handling.
void DoLuaString(lua_State* L, const TString& text);
