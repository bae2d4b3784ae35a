#pragma once

// The limits every engine script state runs under, so that content can neither hang the
// program nor take all its memory: window scripts, animation scripts and particle
// effects each run in a state opened here.
//
// - Time: one call from the engine into a state (a lua_pcall, lua_call or lua_resume made
//   while nothing else runs in that state, with everything it calls in turn) may run
//   for callTime. A count hook looks at a monotonic clock every kCheckInterval
//   instructions; past the limit it raises a script error naming the script and the line
//   it was on ("fx/bad.lua:3: stopped: one call ran longer than 5000 ms", logged once by
//   whoever reports the call's errors), and grants the call grace more for its error
//   handlers (pcall, the dialogs' command protection) to report and go on. Code still
//   running after the grace is stopped for good: every further instruction of its thread
//   raises the error again, while the call's other threads (the coroutine that resumed
//   it, reporting the error) get one more grace; after that every thread raises until
//   the call has returned to the engine. A call thus ends within callTime + 2 x grace.
// - Closing: once a call has run for kQuitPollAfter, the hook asks the quit check
//   (SetQuitCheck) every kQuitPollInterval whether the program has been asked to end; if
//   so, the call is stopped for good at once, so a runaway script never keeps a close
//   request waiting (every thread raises, as after the last grace). The check is injected by the
//   layer that owns the event queue.
// - Memory: while a call runs, the state's allocator refuses to hold more than memory
//   bytes at once (and, when allocationTotal is set, to hand out more than that over the
//   state's life); a refused block is the interpreter's memory error, LUA_ERRMEM, which
//   ends the call. Between calls the engine's own pushes are never refused (an
//   unprotected memory error would end the process). The hook keeps the collector's
//   threshold below the limit, so garbage is collected before the limit refuses.
// - Instructions: when instructions is set, a call is also stopped after that many
//   (fuzz targets, which need runs that do not depend on the machine's speed).
//
// C functions run to their end: a long loop inside one is not cut short. Main thread
// only; the limits are process-wide, and a change holds from each state's next call on.

#include "engine/foundation/core/TString.h"

#include <chrono>
#include <cstddef>
#include <functional>

struct lua_State;
struct lua_Debug;

struct TScriptLimits
{
    std::chrono::milliseconds callTime{0}; // 0: no time limit
    std::chrono::milliseconds grace{0};
    std::size_t memory = 0;          // bytes held at once; 0: no limit
    std::size_t allocationTotal = 0; // bytes handed out over the state's life; 0: no limit
    long instructions = 0;           // per call, counted in whole check intervals; 0: none
};

class TScriptBudget
{
public:
    // The game's limits.
    static constexpr std::chrono::milliseconds kCallTimeLimit{5000};
    static constexpr std::chrono::milliseconds kStopGrace{1000};
    static constexpr std::size_t kMemoryLimit = std::size_t{256} << 20;
    // Instructions between two looks at the clock.
    static constexpr int kCheckInterval = 10000;
    // How long a call runs before the quit check is asked, and how often after that.
    static constexpr std::chrono::milliseconds kQuitPollAfter{100};
    static constexpr std::chrono::milliseconds kQuitPollInterval{100};

    // kCallTimeLimit, kStopGrace and kMemoryLimit.
    static TScriptLimits DefaultLimits();
    // The limits every state runs under from its next call on; tests shorten them.
    static void SetLimits(const TScriptLimits& limits);
    static const TScriptLimits& GetLimits();

    // Answers whether the program has been asked to end; an empty check restores "never".
    static void SetQuitCheck(std::function<bool()> check);

    // A state under the current limits; null when not even the state fits.
    static lua_State* OpenState();
    // Closes a state of any kind; one opened by OpenState takes its budget with it.
    static void CloseState(lua_State* L);
    // The budget of a state that OpenState opened (any of its threads), else null.
    static TScriptBudget* Of(lua_State* L);

    std::size_t GetMemoryInUse() const { return mInUse; }
    // After a call from the engine into L: when a block was refused during it, collects
    // the garbage the failed code left (a memory error caught inside the script, too), so
    // that the next call finds its memory. Cheap otherwise.
    static void CollectAfterRefusal(lua_State* L);

    // Why the last block was refused, for a memory error's log line ("a block of 4096
    // bytes would pass the state's limit of 256 MB"); empty while none was.
    TString DescribeRefusal() const;

    TScriptBudget(const TScriptBudget&) = delete;
    TScriptBudget& operator=(const TScriptBudget&) = delete;

private:
    using TClock = std::chrono::steady_clock;
    enum class TStop
    {
        None,   // running within its limits
        Warned, // stopped once, running its grace
        Final,  // the thread that ignored its stop raises at every instruction; the others
                // (the handlers that report it) run one more grace
        Halted, // every thread raises at every instruction until the call returns
    };

    enum class TRefusal
    {
        None,
        Limit,  // past the memory limit
        Total,  // past the allocation total
        System, // the system had no memory
    };

    TScriptBudget() = default;

    static void* Allocate(void* ud, void* block, std::size_t oldSize, std::size_t newSize,
                          int flags, int tag);
    static void Hook(lua_State* L, lua_Debug* ar);
    void* Resize(void* block, std::size_t oldSize, std::size_t newSize);
    void* Refuse(TRefusal refusal, std::size_t size);
    void Check(lua_State* L);
    void StartCall(unsigned serial, TClock::time_point now);
    bool IsQuitAsked(TClock::time_point now);
    // Raises the stop (a new one with reason, else the last one again) as a script error.
    void Raise(lua_State* L, TStop stop, const TString& reason);

    void KeepCollectorBelowLimit(lua_State* L);

    lua_State* mState = nullptr; // the main thread, once open
    std::size_t mInUse = 0;
    std::size_t mAllocated = 0;
    TRefusal mRefusal = TRefusal::None; // of the last block refused
    std::size_t mRefusedSize = 0;
    bool mCollectDue = false; // a block was refused since the last collection
    unsigned mSerial = 0;     // the call the fields below describe
    TStop mStop = TStop::None;
    lua_State* mStoppedThread = nullptr; // the one stopped for good
    long mInstructions = 0;
    TClock::time_point mDeadline;
    TClock::time_point mNextQuitPoll;
    TString mStopMessage; // what a stop for good raises again
};
