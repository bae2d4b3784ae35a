#include "engine/graphics/particles/TLuaParticleSystem.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/TMersenneTwister.h"
#include "engine/foundation/files/TFile.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/anim/TAnimatedTexture.h"
#include "engine/graphics/particles/T2dParticleRenderer.h"
#include "engine/graphics/particles/TLuaParticleSystemBinding.h"
#include "engine/graphics/particles/TParticleMemberHandle.h"
#include "engine/graphics/particles/TParticleView.h"
#include "engine/script/LuaStackGuard.h"
#include "engine/script/TEmbeddedScript.h"
#include "engine/script/TScript.h"
#include "engine/script/TScriptCode.h"
#include "engine/script/lua/LuaApi.h"
#include "engine/script/lua/LuaAux.h"
#include "engine/script/lua/LuaLib.h"

#include <algorithm>
#include <cmath>
#include <iterator>

// The particle library, from ParticleLibrary.lua.
extern const TEmbeddedScript kParticleLibrary;

namespace {

constexpr const char* kInitChunkName = "TLuaParticleSystem ParticleRenderer init string";

} // namespace

TLuaParticleSystem::TLuaParticleSystem(TParticleRenderer* renderer) : mRenderer(renderer)
{
    if (mRenderer == nullptr) {
        mOwnedRenderer = std::make_unique<T2dParticleRenderer>();
        mRenderer = mOwnedRenderer.get();
    }
    Reset();
}

TLuaParticleSystem::~TLuaParticleSystem()
{
    // The state goes first: its closures name this system.
    mScript.reset();
}

void TLuaParticleSystem::Reset()
{
    mCompiler.Clear();
    mSpawnStream.clear();
    mAnimStream.clear();
    mCustomNodes.clear();
    mAttributeDimensions.clear();
    mAttributeAt.clear();
    mFloatsPerParticle = 0;
    mCollection.Clear();
    mName = "(no effect loaded)";
    mRefusalLogged = false;
    mScript.reset();
    mScript = std::make_unique<TScript>();
    if (!mScript->IsValid()) {
        TraceLog("graphics: particles: cannot open a script state");
        return;
    }
    lua_State* L = mScript->GetState();
    LuaStackGuard guard(L);
    luaopen_math(L);
    lua_settop(L, guard.Top());
    lua_pushstring(L, "ParticleMemberMT");
    lua_newtable(L);
    lua_pushvalue(L, -1);
    mMemberTable = luaL_ref(L, LUA_REGISTRYINDEX);
    lua_settable(L, LUA_GLOBALSINDEX);
    PublishParticleSystem(L, *this, mLifeline);
    kParticleLibrary.Run(L);
    lua_settop(L, guard.Top());
    const TString init = mRenderer->GetInitScript();
    mLoading = true;
    RunChunk(init.CStr(), static_cast<size_t>(init.Length()), kInitChunkName);
    mLoading = false;
}

void TLuaParticleSystem::RunChunk(const char* bytes, size_t length, const char* name)
{
    lua_State* L = mScript->GetState();
    LuaStackGuard guard(L);
    if (luaL_loadbuffer(L, bytes, length, name) != 0) {
        // The message on top goes to "_ALERT", as a run-time error's would.
        lua_pushstring(L, "_ALERT");
        lua_gettable(L, LUA_GLOBALSINDEX);
        lua_insert(L, -2);
        if (lua_isfunction(L, -2))
            lua_pcall(L, 1, 0, 0);
        return;
    }
    mScript->RunFunction(0, 0);
}

bool TLuaParticleSystem::Load(const TString& script)
{
    mPendingSpawn = 0.0;
    if (!mScript || !mScript->IsValid())
        return false;
    mName = script.Find(".lua") >= 0 ? script : TString("(effect text)");
    mRefusalLogged = false;
    if (script.Find(".lua") >= 0) {
        if (!FileExists(script)) {
            TraceLog(kNoEffectScriptLog, script.CStr());
            return false;
        }
        const int slash = script.FindChar('/', TString::kBackwards);
        mFolder = slash >= 0 ? script.Substr(0, slash + 1) : TString();
        TString error;
        std::shared_ptr<TScriptCode> code = GetScriptCode(
            &TTexture::GetCache(), script, mFolder + "?;assets/?;assets/fx/?", &error);
        if (!code) {
            TraceLog(kScriptFailedLog, script.CStr(), error.CStr());
            return false;
        }
        mCode = code;
        mLoading = true;
        RunChunk(code->GetBytes(), code->GetLength(), script.CStr());
    } else {
        mLoading = true;
        mScript->DoLuaString(script);
    }
    mLoading = false;
    mDone = false;
    return true;
}

void TLuaParticleSystem::Update(int ms)
{
    const uint32_t elapsed = ms > 0 ? static_cast<uint32_t>(ms) : 0u;
    if (mScript && mScript->IsValid()) {
        lua_State* L = mScript->GetState();
        LuaStackGuard guard(L);
        lua_pushstring(L, "Update");
        lua_gettable(L, LUA_GLOBALSINDEX);
        lua_pushnumber(L, elapsed / 1000.0);
        mScript->RunFunction(1, 0);
    }
    Animate(elapsed);
}

void TLuaParticleSystem::Draw(const TVec3& position)
{
    if (mCollection.GetCount() > 0)
        mRenderer->Draw(position, mOpacity, mCollection.GetLive());
}

TParticleView TLuaParticleSystem::ViewOf(float* particle, uint32_t ms)
{
    TParticleView view;
    view.floats = particle;
    view.floatCount = mCollection.GetFloatsPerParticle();
    view.attributeAt = mAttributeAt.data();
    view.elapsedMs = ms;
    return view;
}

void TLuaParticleSystem::Animate(uint32_t ms)
{
    mCollection.Sweep([&](float* particle) {
        TParticleView view = ViewOf(particle, ms);
        mContext.Run(mAnimStream, view);
        return view.alive;
    });
}

void TLuaParticleSystem::CreateParticles(double n)
{
    // A count that is not a number would stop every later spawn.
    if (std::isfinite(n))
        mPendingSpawn += n;
    const int defaults =
        std::min(mRenderer->GetAttributeCount(), mCollection.GetFloatsPerParticle());
    while (mPendingSpawn >= 1.0) {
        mPendingSpawn -= 1.0;
        float* particle = mCollection.Spawn();
        if (particle == nullptr)
            break;
        std::fill_n(particle, mCollection.GetFloatsPerParticle(), 0.0f);
        std::copy_n(mRenderer->GetAttributeDefaults(), defaults, particle);
        TParticleView view = ViewOf(particle, 0);
        mContext.Run(mSpawnStream, view);
    }
}

int TLuaParticleSystem::RegisterCustomParam(const TString& name, TParticleFunction* node)
{
    if (node == nullptr || mCustomNodes.size() >= 32767 || !mScript || !mScript->IsValid())
        return 0;
    mCustomNodes.push_back(node);
    const int k = static_cast<int>(mCustomNodes.size());
    lua_State* L = mScript->GetState();
    LuaStackGuard guard(L);
    lua_pushstring(L, name.CStr());
    PushHandle(L, -k, std::clamp(node->GetResultDimension(0, nullptr), 0, 255));
    lua_settable(L, LUA_GLOBALSINDEX);
    return -k;
}

TParticleFunction* TLuaParticleSystem::GetCustomNode(int k) const
{
    if (k < 1 || k > static_cast<int>(mCustomNodes.size()))
        return nullptr;
    return mCustomNodes[static_cast<size_t>(k - 1)];
}

void TLuaParticleSystem::PushHandle(lua_State* L, int offset, int dimension)
{
    const TParticleMemberHandle handle{offset, dimension};
    lua_pushboxedpointer(L, reinterpret_cast<void*>(handle.Pack()));
    lua_rawgeti(L, LUA_REGISTRYINDEX, mMemberTable);
    lua_setmetatable(L, -2);
}

void TLuaParticleSystem::SetRendererOption1(const TString& name, float value)
{
    const float values[4] = {value, 0.0f, 0.0f, 0.0f};
    mRenderer->SetOption(name, values);
}

int TLuaParticleSystem::SetNumParticles(lua_State* L)
{
    const double count = lua_tonumber(L, 1);
    if (!(count >= 0 && count <= kMaxParticles))
        return luaL_error(L, "SetNumParticles: %f particles (0 to %d are allowed)", count,
                          kMaxParticles);
    mCollection.Init(static_cast<int>(count), mFloatsPerParticle);
    return 0;
}

void TLuaParticleSystem::SetTextureName(const TString& name)
{
    const TString path = mFolder + name;
    const int xml = path.Find(".xml");
    if (xml >= 0 && xml == path.Length() - 4)
        mRenderer->SetTexture(TAnimatedTexture::Get(path, "", ""));
    else
        mRenderer->SetTexture(TTexture::Get(path, 0));
}

bool TLuaParticleSystem::AcceptsCompiling()
{
    if (mLoading)
        return true;
    if (!mRefusalLogged) {
        mRefusalLogged = true;
        TraceLog(kLoadTimeOnlyLog, mName.CStr());
    }
    return false;
}

int TLuaParticleSystem::CompileParam(lua_State* L)
{
    if (!AcceptsCompiling())
        return 0;
    return mCompiler.CompileParam(L);
}

int TLuaParticleSystem::Allocate(lua_State* L)
{
    if (!AcceptsCompiling())
        return 0;
    const double dimension = lua_tonumber(L, 1);
    if (!(dimension >= 1 && dimension <= 4) || dimension != std::trunc(dimension))
        return luaL_error(L, "Allocate: an attribute has 1 to 4 floats, not %f", dimension);
    const int size = static_cast<int>(dimension);
    if (mFloatsPerParticle + size > kMaxFloatsPerParticle)
        return luaL_error(L, "Allocate: a particle has at most %d floats", kMaxFloatsPerParticle);
    const int offset = mFloatsPerParticle;
    mFloatsPerParticle += size;
    mAttributeDimensions.push_back(static_cast<uint8_t>(size));
    mAttributeAt.resize(static_cast<size_t>(mFloatsPerParticle), 0);
    mAttributeAt[static_cast<size_t>(offset)] = static_cast<uint8_t>(size);
    // Records of the old size would reach into each other: renew the pool.
    if (mCollection.GetCapacity() > 0)
        mCollection.Init(mCollection.GetCapacity(), mFloatsPerParticle);
    PushHandle(L, offset, size);
    return 1;
}

double TLuaParticleSystem::RandomRange(int lo, int hi)
{
    const double span = static_cast<double>(hi) - static_cast<double>(lo) + 1.0;
    return static_cast<double>(lo) + std::trunc(TParticleRandom::NextReal() * span);
}

float TLuaParticleSystem::RandomFloat()
{
    return TParticleRandom::NextFloat();
}

int TLuaParticleSystem::GetParticleMemberParts(lua_State* L)
{
    if (!lua_isboxedpointer(L, 1))
        return luaL_error(L, "GetParticleMemberParts: not a particle member");
    const TParticleMemberHandle handle =
        TParticleMemberHandle::Unpack(reinterpret_cast<uintptr_t>(lua_touserdata(L, 1)));
    lua_pushnumber(L, handle.offset);
    lua_pushnumber(L, handle.dimension);
    return 2;
}

void TLuaParticleSystem::AccumulateInitStream()
{
    Accumulate(mSpawnStream);
}

void TLuaParticleSystem::AccumulateAnimStream()
{
    Accumulate(mAnimStream);
}

void TLuaParticleSystem::Accumulate(std::vector<TParticleStreamEntry>& stream)
{
    std::vector<TParticleStreamEntry> pending = mCompiler.TakePending();
    if (AcceptsCompiling())
        std::move(pending.begin(), pending.end(), std::back_inserter(stream));
}
