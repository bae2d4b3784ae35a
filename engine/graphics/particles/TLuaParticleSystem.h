#pragma once

// A particle effect run by a Lua script in a script state of its own. Every state runs
// the built-in particle library first (ParticleLibrary.lua, chunk "particles.lua"), then
// the renderer's attribute declarations, then the effect script, which declares its own
// attributes (Allocate), sizes the pool (SetNumParticles), picks a texture and builds
// the spawn and per-frame expressions (pX:Init(expr), pX:Anim(expr)). The game calls
// Update and Draw every frame and drops the effect once IsDone answers true.
//
// The streams and the record layout are built while an effect loads: Init, Anim and
// Allocate work while the chunk of Load (or the renderer's declarations in Reset) runs.
// Afterwards (from Update, Create or text the game runs in the state) they are refused,
// logged once per loaded effect, so a script cannot grow the streams frame by frame.
//
// The operations the script reaches as globals (published by TLuaParticleSystemBinding)
// are public here too. Main thread only.

#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TVec3.h"
#include "engine/graphics/particles/TParticleCollection.h"
#include "engine/graphics/particles/TParticleCompiler.h"
#include "engine/graphics/particles/TParticleEvalContext.h"
#include "engine/graphics/particles/TParticleRandom.h"
#include "engine/graphics/particles/TParticleStreamEntry.h"
#include "engine/script/TLifeline.h"

#include <cstdint>
#include <memory>
#include <vector>

class TParticleFunction;
class TParticleRenderer;
class TScript;
class TScriptCode;
struct lua_State;

class TLuaParticleSystem
{
public:
    // Log lines (the effect's script first): no such file; the script failed (why); a
    // load-time function called later.
    static constexpr const char* kNoEffectScriptLog =
        "graphics: particles: %s: no such effect script";
    static constexpr const char* kScriptFailedLog = "graphics: particles: %s: %s";
    static constexpr const char* kLoadTimeOnlyLog =
        "graphics: particles: %s: Init, Anim and Allocate work only while the effect script "
        "loads; later calls are refused";

    // The most particles SetNumParticles accepts.
    static constexpr int kMaxParticles = 65536;
    // The most floats a particle record may have (the count is a byte).
    static constexpr int kMaxFloatsPerParticle = 255;

    // renderer: drawn with, not owned (it must outlive the system); null makes and owns a
    // T2dParticleRenderer. Starts with a fresh script state (Reset).
    explicit TLuaParticleSystem(TParticleRenderer* renderer = nullptr);
    virtual ~TLuaParticleSystem();
    TLuaParticleSystem(const TLuaParticleSystem&) = delete;
    TLuaParticleSystem& operator=(const TLuaParticleSystem&) = delete;

    // Runs an effect in the system's state: a text containing ".lua" names a script file
    // (false, with a log line, when it does not exist or does not compile), any other
    // text is Lua source. Script errors are logged through "_ALERT" and leave whatever the
    // script did so far. Clears the done flag. Particles and streams are kept: Reset
    // first to start over.
    virtual bool Load(const TString& script);
    // Calls the script's Update(ms / 1000) (seconds), then runs the per-frame stream on
    // every live particle with ms elapsed; particles that expired are freed.
    virtual void Update(int ms);
    // Draws the live particles at position (nothing when there are none).
    void Draw(const TVec3& position);
    // The script has called Done since the last Load.
    bool IsDone() const { return mDone; }
    // Binds node (not owned: the caller keeps it alive while the system may use it) to
    // the script global name as a member handle with offset -k, k the node's number
    // from 1; returns -k (0, binding nothing, for a null node or without a script
    // state).
    int RegisterCustomParam(const TString& name, TParticleFunction* node);
    // Drops the particles, both streams, the custom nodes and the attributes, and starts
    // a new script state with the library and the renderer's attributes.
    void Reset();
    // The system's script state (null when none could be opened): the game sets globals
    // in it ("gActive") and runs text with DoLuaString.
    TScript* GetScript() const { return mScript.get(); }

    const TParticleCollection& GetCollection() const { return mCollection; }
    TParticleRenderer& GetRenderer() const { return *mRenderer; }
    int GetFloatsPerParticle() const { return mFloatsPerParticle; }
    // Custom node k (1-based), or null.
    TParticleFunction* GetCustomNode(int k) const;
    const std::vector<TParticleStreamEntry>& GetSpawnStream() const { return mSpawnStream; }
    const std::vector<TParticleStreamEntry>& GetAnimStream() const { return mAnimStream; }

    // --- What scripts call ---
    // SetRendererOption1(name, value): the renderer option with value as its first number.
    void SetRendererOption1(const TString& name, float value);
    // SetNumParticles(count): a pool of count free particles (the live ones are gone).
    // A script error for a count outside 0..kMaxParticles.
    int SetNumParticles(lua_State* L);
    // _SetTexture(name): the texture name in the script's folder; an animated texture
    // when the name ends in its first ".xml".
    void SetTextureName(const TString& name);
    // CreateParticles(n): spawns the whole particles of n plus what earlier calls left
    // over, while free ones last.
    void CreateParticles(double n);
    // Allocate(dimension): a new attribute of 1 to 4 floats at the end of the record; its
    // member handle. A script error for another dimension or a record past
    // kMaxFloatsPerParticle floats. Allocating after SetNumParticles renews the pool at
    // the same size (the live particles are gone). Nothing once the effect has loaded.
    int Allocate(lua_State* L);
    // RandomRange(lo, hi): a whole number in lo..hi.
    double RandomRange(int lo, int hi);
    // RandomFloat(): a number in [0, 1).
    float RandomFloat();
    // CompileParam(value), AccumulateInitStream(), AccumulateAnimStream(): see
    // TParticleCompiler; nothing once the effect has loaded.
    int CompileParam(lua_State* L);
    // GetParticleMemberParts(handle): its offset and dimension.
    int GetParticleMemberParts(lua_State* L);
    void AccumulateInitStream();
    void AccumulateAnimStream();
    void Done() { mDone = true; }

protected:
    // Runs the per-frame stream on every live particle with ms elapsed.
    void Animate(uint32_t ms);

private:
    void RunChunk(const char* bytes, size_t length, const char* name);
    // True while an effect loads; else false, logged once per loaded effect.
    bool AcceptsCompiling();
    void Accumulate(std::vector<TParticleStreamEntry>& stream);
    void PushHandle(lua_State* L, int offset, int dimension);
    TParticleView ViewOf(float* particle, uint32_t ms);

    TLifeline mLifeline;
    TParticleRandom mRandom;
    std::unique_ptr<TParticleRenderer> mOwnedRenderer;
    TParticleRenderer* mRenderer;
    TParticleCollection mCollection;
    std::unique_ptr<TScript> mScript;
    int mMemberTable = -2; // registry reference of ParticleMemberMT in mScript
    std::shared_ptr<TScriptCode> mCode;
    TString mFolder;
    int mFloatsPerParticle = 0;
    std::vector<uint8_t> mAttributeDimensions; // one per Allocate, in order
    std::vector<uint8_t> mAttributeAt;         // by float offset, see TParticleView
    std::vector<TParticleFunction*> mCustomNodes;
    TParticleCompiler mCompiler;
    std::vector<TParticleStreamEntry> mSpawnStream;
    std::vector<TParticleStreamEntry> mAnimStream;
    TParticleEvalContext mContext{&mCustomNodes};
    float mOpacity = 1.0f;
    bool mDone = false;
    double mPendingSpawn = 0.0;
    TString mName;               // the effect file, for log lines
    bool mLoading = false;       // a chunk of Load or Reset runs: the streams are open
    bool mRefusalLogged = false; // since the last Load
};
