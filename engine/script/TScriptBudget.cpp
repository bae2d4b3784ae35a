#include "engine/script/TScriptBudget.h"

#include "engine/script/lua/LuaApi.h"

#include <cstdlib>

namespace {

TScriptLimits& CurrentLimits()
{
    static TScriptLimits limits = TScriptBudget::DefaultLimits();
    return limits;
}

std::function<bool()>& QuitCheck()
{
    static std::function<bool()> check;
    return check;
}

// Where L runs: "scripts/mainloop.lua:12", or the chunk's short name alone.
TString DescribePosition(lua_State* L)
{
    lua_Debug ar;
    if (lua_getstack(L, 0, &ar) == 0 || lua_getinfo(L, "Sl", &ar) == 0)
        return "(unknown script)";
    if (ar.currentline > 0)
        return TString::Printf("%s:%d", ar.short_src, ar.currentline);
    return ar.short_src;
}

long long Milliseconds(std::chrono::milliseconds span)
{
    return static_cast<long long>(span.count());
}

} // namespace

TScriptLimits TScriptBudget::DefaultLimits()
{
    TScriptLimits limits;
    limits.callTime = kCallTimeLimit;
    limits.grace = kStopGrace;
    limits.memory = kMemoryLimit;
    return limits;
}

void TScriptBudget::SetLimits(const TScriptLimits& limits)
{
    CurrentLimits() = limits;
}

const TScriptLimits& TScriptBudget::GetLimits()
{
    return CurrentLimits();
}

void TScriptBudget::SetQuitCheck(std::function<bool()> check)
{
    QuitCheck() = std::move(check);
}

lua_State* TScriptBudget::OpenState()
{
    auto* budget = new TScriptBudget();
    lua_State* L = lua_newstate(&Allocate, budget);
    if (L == nullptr) {
        delete budget;
        return nullptr;
    }
    budget->mState = L;
    lua_sethook(L, &Hook, LUA_MASKCOUNT, kCheckInterval);
    return L;
}

void TScriptBudget::CloseState(lua_State* L)
{
    TScriptBudget* budget = Of(L);
    lua_close(L);
    delete budget; // after the state: closing frees its blocks through the budget
}

TScriptBudget* TScriptBudget::Of(lua_State* L)
{
    void* ud = nullptr;
    if (L == nullptr || lua_getallocf(L, &ud) != &Allocate)
        return nullptr;
    return static_cast<TScriptBudget*>(ud);
}

TString TScriptBudget::DescribeRefusal() const
{
    switch (mRefusal) {
    case TRefusal::None:
        return TString();
    case TRefusal::Limit:
        return TString::Printf("a block of %zu bytes would pass the state's limit of %zu MB",
                               mRefusedSize, GetLimits().memory >> 20);
    case TRefusal::Total:
        return TString::Printf("the state has been handed its %zu MB",
                               GetLimits().allocationTotal >> 20);
    case TRefusal::System:
        break;
    }
    return TString::Printf("the system refused a block of %zu bytes", mRefusedSize);
}

void TScriptBudget::CollectAfterRefusal(lua_State* L)
{
    TScriptBudget* budget = Of(L);
    if (budget == nullptr || !budget->mCollectDue || lua_entrydepth(L) > 0)
        return;
    budget->mCollectDue = false;
    lua_setgcthreshold(L, 0);
}

// ---- memory ----

void* TScriptBudget::Allocate(void* ud, void* block, std::size_t oldSize, std::size_t newSize, int,
                              int)
{
    return static_cast<TScriptBudget*>(ud)->Resize(block, oldSize, newSize);
}

void* TScriptBudget::Resize(void* block, std::size_t oldSize, std::size_t newSize)
{
    if (newSize == 0) {
        std::free(block);
        mInUse -= oldSize;
        return nullptr;
    }
    if (newSize > oldSize && mState != nullptr && lua_entrydepth(mState) > 0) {
        if (GetLimits().memory > 0 && mInUse + (newSize - oldSize) > GetLimits().memory)
            return Refuse(TRefusal::Limit, newSize);
        if (GetLimits().allocationTotal > 0 && mAllocated + newSize > GetLimits().allocationTotal)
            return Refuse(TRefusal::Total, newSize);
    }
    void* resized = std::realloc(block, newSize);
    if (resized == nullptr)
        return Refuse(TRefusal::System, newSize);
    mInUse = mInUse - oldSize + newSize;
    if (newSize > oldSize)
        mAllocated += newSize;
    return resized;
}

void* TScriptBudget::Refuse(TRefusal refusal, std::size_t size)
{
    mCollectDue = true;
    mRefusal = refusal;
    mRefusedSize = size;
    return nullptr;
}

// ---- time ----

void TScriptBudget::Hook(lua_State* L, lua_Debug*)
{
    if (TScriptBudget* budget = Of(L))
        budget->Check(L);
}

void TScriptBudget::Check(lua_State* L)
{
    const TClock::time_point now = TClock::now();
    const unsigned serial = lua_callserial(L);
    if (serial != mSerial)
        StartCall(serial, now);
    if (mStop == TStop::Halted || (mStop == TStop::Final && L == mStoppedThread))
        Raise(L, mStop, TString());
    mInstructions += kCheckInterval;
    KeepCollectorBelowLimit(L);
    if (IsQuitAsked(now))
        Raise(L, TStop::Halted, "the program is closing");
    if (GetLimits().instructions > 0 && mInstructions > GetLimits().instructions)
        Raise(L, TStop::Halted,
              TString::Printf("ran past %ld instructions", GetLimits().instructions));
    if (GetLimits().callTime.count() > 0 && now >= mDeadline) {
        const TString late = TString::Printf("still running %lld ms after it was stopped",
                                             Milliseconds(GetLimits().grace));
        mDeadline = now + GetLimits().grace;
        switch (mStop) {
        case TStop::None:
            Raise(L, TStop::Warned,
                  TString::Printf("one call ran longer than %lld ms",
                                  Milliseconds(GetLimits().callTime)));
            break;
        case TStop::Warned:
            mStoppedThread = L;
            Raise(L, TStop::Final, late);
            break;
        default:
            Raise(L, TStop::Halted, late);
            break;
        }
    }
    // A thread that raised at every instruction in an earlier call counts normally again.
    if (lua_gethookcount(L) != kCheckInterval)
        lua_sethook(L, &Hook, LUA_MASKCOUNT, kCheckInterval);
}

void TScriptBudget::StartCall(unsigned serial, TClock::time_point now)
{
    mSerial = serial;
    mStop = TStop::None;
    mStoppedThread = nullptr;
    mStopMessage = TString();
    mInstructions = 0;
    mDeadline = now + GetLimits().callTime;
    mNextQuitPoll = now + kQuitPollAfter;
}

// The collector runs when the bytes in use pass its threshold, which it sets to twice
// what survived the last collection: a state keeping more than half its limit alive would
// reach the limit before collecting its garbage.
void TScriptBudget::KeepCollectorBelowLimit(lua_State* L)
{
    const int ceiling = static_cast<int>(GetLimits().memory / 1024 / 8 * 7);
    if (GetLimits().memory > 0 && lua_getgcthreshold(L) > ceiling)
        lua_setgcthreshold(L, ceiling);
}

bool TScriptBudget::IsQuitAsked(TClock::time_point now)
{
    if (!QuitCheck() || now < mNextQuitPoll)
        return false;
    mNextQuitPoll = now + kQuitPollInterval;
    return QuitCheck()();
}

// A stop for good makes every further instruction of this thread come back here.
void TScriptBudget::Raise(lua_State* L, TStop stop, const TString& reason)
{
    if (reason.Length() > 0 || mStopMessage.Length() == 0)
        mStopMessage = TString::Printf("%s: stopped: %s", DescribePosition(L).CStr(),
                                       reason.Length() > 0 ? reason.CStr() : "over its budget");
    mStop = stop;
    if (stop == TStop::Final || stop == TStop::Halted)
        lua_sethook(L, &Hook, LUA_MASKCOUNT, 1);
    lua_pushlstring(L, mStopMessage.CStr(), static_cast<size_t>(mStopMessage.Length()));
    lua_error(L);
}
