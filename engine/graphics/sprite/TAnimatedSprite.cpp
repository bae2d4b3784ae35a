#include "engine/graphics/sprite/TAnimatedSprite.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/TTaskList.h"
#include "engine/graphics/TGraphicsHost.h"
#include "engine/graphics/anim/TAnimatedTexture.h"
#include "engine/graphics/sprite/TAnimatedSpriteBinding.h"
#include "engine/graphics/sprite/TScriptReaper.h"
#include "engine/script/LuaBinder.h"
#include "engine/script/LuaMarshal.h"
#include "engine/script/TEmbeddedScript.h"
#include "engine/script/TScript.h"
#include "engine/script/lua/LuaApi.h"

#include <utility>

// The animation library, from AnimationLibrary.lua.
extern const TEmbeddedScript kAnimationLibrary;

namespace {

// Hands back the global named by its upvalue, so that the script starts it as its
// coroutine.
int HandBackGlobal(lua_State* L)
{
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_gettable(L, LUA_GLOBALSINDEX);
    return 1;
}

// Takes script out of the task list and hands it to reaper; a script the list no longer
// holds (a platform that has shut down deleted its tasks) is only forgotten.
void Retire(TScript*& script, TScriptReaper& reaper)
{
    TScript* taken = std::exchange(script, nullptr);
    if (taken == nullptr)
        return;
    std::unique_ptr<TTask> owned = TGraphicsHost::Get().GetAnimationTasks().RemoveTask(taken);
    if (!owned)
        return;
    taken->Stop();
    owned.release(); // the same object, held as the script it is from here on
    reaper.Add(std::unique_ptr<TScript>(taken));
}

void Bury(std::unique_ptr<TScriptReaper> reaper)
{
    if (!reaper->IsEmpty())
        TGraphicsHost::Get().GetAnimationTasks().AddTask(std::move(reaper));
}

} // namespace

TSprite::TClassId TAnimatedSprite::ClassId()
{
    static const char id = 0;
    return &id;
}

std::shared_ptr<TAnimatedSprite> TAnimatedSprite::Create(int layer)
{
    return std::shared_ptr<TAnimatedSprite>(new TAnimatedSprite(layer));
}

TAnimatedSprite::TAnimatedSprite(int layer) : TSprite(layer) {}

TAnimatedSprite::~TAnimatedSprite()
{
    auto reaper = std::make_unique<TScriptReaper>();
    Retire(mThread, *reaper);
    Retire(mScript, *reaper);
    Bury(std::move(reaper));
}

void TAnimatedSprite::SetTexture(std::shared_ptr<TTexture> texture)
{
    mAnimation = AssetCast<TAnimatedTexture>(texture);
    TSprite::SetTexture(std::move(texture));
}

void TAnimatedSprite::SetClock(TClock* clock)
{
    mClock = clock;
    if (mThread != nullptr)
        mThread->SetClock(clock);
}

void TAnimatedSprite::ResetThread()
{
    if (mThread == nullptr)
        return;
    lua_State* coroutine = mThread->GetCoroutine();
    if (coroutine != nullptr && mScript != nullptr && mScript->IsValid()) {
        // A coroutine that gave itself other globals (setfenv(0, ...)) hands them on.
        lua_State* main = mScript->GetState();
        lua_pushstring(coroutine, "_G");
        lua_rawget(coroutine, LUA_GLOBALSINDEX);
        lua_xmove(coroutine, main, 1);
        if (lua_istable(main, -1))
            lua_replace(main, LUA_GLOBALSINDEX);
        else
            lua_pop(main, 1);
    }
    auto reaper = std::make_unique<TScriptReaper>();
    Retire(mThread, *reaper);
    Bury(std::move(reaper));
}

void TAnimatedSprite::DropScript()
{
    auto reaper = std::make_unique<TScriptReaper>();
    Retire(mScript, *reaper);
    Bury(std::move(reaper));
}

void TAnimatedSprite::StopAnimation()
{
    ResetThread();
}

void TAnimatedSprite::Die()
{
    ResetThread();
    DropScript();
}

void TAnimatedSprite::InitScript()
{
    Die();
    auto script = std::make_unique<TScript>();
    if (!script->IsValid()) {
        TraceLog("graphics: animated sprite: no script state could be opened");
        return;
    }
    script->SetClock(mClock);
    mScript = script.get();
    TGraphicsHost::Get().GetAnimationTasks().AddTask(std::move(script));
    // The scripts below may call Die: mScript is asked again after each.
    lua_State* L = mScript->GetState();
    const int top = lua_gettop(L);
    kAnimationLibrary.Run(L);
    lua_settop(L, top);
    PublishAnimatedSprite(L, *this);
    if (mAnimation)
        mScript->DoLuaString(mAnimation->GetScript());
}

void TAnimatedSprite::StartThread()
{
    ResetThread();
    std::unique_ptr<TScript> thread = mScript->NewThread();
    if (!thread)
        return;
    if (mClock != nullptr)
        thread->SetClock(mClock);
    mThread = thread.get();
    TGraphicsHost::Get().GetAnimationTasks().AddTask(std::move(thread));
}

void TAnimatedSprite::RunGlobal(const TString& name)
{
    // The coroutine may call Die while it runs: the thread then waits in a reaper, alive
    // until this call has returned.
    TScript* thread = mThread;
    lua_State* L = thread->GetState();
    const int top = lua_gettop(L);
    LuaPushString(L, name);
    lua_pushcclosure(L, HandBackGlobal, 1);
    if (thread->RunFunction(0, 1) == 0 && !lua_isfunction(L, -1))
        TraceLog(kNotAFunctionLog, name.CStr());
    lua_settop(L, top);
}

void TAnimatedSprite::Play(const TString& name)
{
    if (mScript == nullptr) {
        if (!mAnimation)
            return;
        InitScript();
    }
    if (mScript == nullptr)
        return;
    StartThread();
    if (mThread != nullptr && name.Length() > 0)
        RunGlobal(name);
}

void TAnimatedSprite::Draw(const DrawState& parent, int depth)
{
    if (mAnimation)
        mAnimation->SetCurrentFrame(mCurrentFrame);
    TSprite::Draw(parent, depth);
}

void TAnimatedSprite::Probe(TCoverageProbe& probe, const DrawState& parent, int depth)
{
    if (mAnimation)
        mAnimation->SetCurrentFrame(mCurrentFrame);
    TSprite::Probe(probe, parent, depth);
}

void TAnimatedSprite::GetBounds(TRect& out, const DrawState& parent, int depth)
{
    DrawState& own = GetDrawState();
    const TAnimationFrame* frame =
        mAnimation ? mAnimation->GetAnimation().FindFrame(mCurrentFrame) : nullptr;
    if ((own.flags & DrawState::kUseOrigin) != 0 || frame == nullptr) {
        TSprite::GetBounds(out, parent, depth);
        return;
    }
    own.flags |= DrawState::kUseOrigin;
    own.origin = TVec2(static_cast<float>(frame->regX), static_cast<float>(frame->regY));
    if ((own.flags & DrawState::kMirrorX) != 0)
        own.origin.x = static_cast<float>(mAnimation->GetWidth() - frame->regX);
    if ((own.flags & DrawState::kMirrorY) != 0)
        own.origin.y = static_cast<float>(mAnimation->GetHeight() - frame->regY);
    TSprite::GetBounds(out, parent, depth);
    own.flags &= ~DrawState::kUseOrigin;
}

void TAnimatedSprite::SetCurrentFrame(int frame)
{
    if (frame < -1)
        return;
    mCurrentFrame = frame;
    if (mAnimation && frame < mAnimation->GetFrameCount())
        mAnimation->SetCurrentFrame(frame);
}

int TAnimatedSprite::WaitLuaNextFrame(lua_State* L)
{
    if (mThread != nullptr) {
        if (lua_gettop(L) == 1)
            mThread->Start(LuaBinding::ToInteger<int>(lua_tonumber(L, 1)), true, true, false);
        else
            mThread->Stop();
    }
    return lua_canyield(L) != 0 ? lua_yield(L, 0) : 0;
}

void TAnimatedSprite::Pause(bool pause, int depth)
{
    if (mThread == nullptr)
        return;
    if (mScript != nullptr) {
        if (pause)
            mThread->Stop();
        else
            mThread->Start(1, true, true, false);
    }
    if (depth == 0)
        return;
    for (const std::shared_ptr<TSprite>& child : GetChildren())
        if (std::shared_ptr<TAnimatedSprite> animated = SpriteCast<TAnimatedSprite>(child))
            animated->Pause(pause, depth - 1);
}

bool TAnimatedSprite::IsPlaying(int depth)
{
    if (mThread != nullptr && mThread->IsSuspended())
        return true;
    if (depth == 0)
        return false;
    for (const std::shared_ptr<TSprite>& child : GetChildren()) {
        std::shared_ptr<TAnimatedSprite> animated = SpriteCast<TAnimatedSprite>(child);
        if (animated && animated->IsPlaying(depth - 1))
            return true;
    }
    return false;
}

bool TAnimatedSprite::Load(const TString& file, const TString& image, const TString& mask)
{
    mAnimation = TAnimatedTexture::Get(file, image, mask);
    return mAnimation != nullptr;
}

TString TAnimatedSprite::GetScript() const
{
    return mAnimation ? mAnimation->GetScript() : TString();
}

void TAnimatedSprite::RemoveSprite()
{
    TSprite* parent = GetParent();
    if (parent == nullptr)
        return;
    // Removing may let go of the last reference: this sprite may end with the call.
    std::shared_ptr<TSprite> self = weak_from_this().lock();
    parent->RemoveChild(this);
}

int32_t TAnimatedSprite::Random(int32_t a, int32_t b)
{
    if (b <= a)
        return a;
    const uint32_t range = static_cast<uint32_t>(b) - static_cast<uint32_t>(a);
    return static_cast<int32_t>(static_cast<uint32_t>(a) + TGraphicsHost::Get().Random() % range);
}
