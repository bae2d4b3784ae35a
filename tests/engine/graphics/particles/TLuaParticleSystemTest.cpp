#include "engine/graphics/particles/TLuaParticleSystem.h"

#include "engine/graphics/particles/T2dParticleRenderer.h"
#include "engine/graphics/particles/TParticleEvalContext.h"
#include "engine/script/TScript.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/LogLine.h"
#include "tests/engine/graphics/anim/AnimationTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using TFloats = std::vector<float>;

// The renderer's attributes come first: pPosition 0, pUp 2, pScale 4, pColor 5, pFrame 9.
constexpr int kPosition = 0;
constexpr int kColor = 5;
constexpr int kFirstOwn = 10; // the first attribute an effect allocates

class TLuaParticleSystemTest : public EngineStateTest
{
protected:
    // Runs Lua text in the system's state and answers its one result as text.
    std::string Eval(const std::string& expression)
    {
        TScript& script = *mSystem.GetScript();
        script.DoLuaString(("return " + expression).c_str(), -1, 1);
        return script.PopString().CStr();
    }
    // The floats from offset on of every live particle, in list order.
    std::vector<TFloats> Live(int offset, int count) const
    {
        std::vector<TFloats> values;
        for (const float* particle : mSystem.GetCollection().GetLive())
            values.emplace_back(particle + offset, particle + offset + count);
        return values;
    }
    TFloats LiveScalars(int offset) const
    {
        TFloats values;
        for (const TFloats& v : Live(offset, 1))
            values.push_back(v[0]);
        return values;
    }
    int Count() const { return mSystem.GetCollection().GetCount(); }

    TImageFolder mFolder;
    TLuaParticleSystem mSystem;
};

TEST_F(TLuaParticleSystemTest, StartsWithTheRendererAttributesAndTheLibrary)
{
    EXPECT_EQ(mSystem.GetFloatsPerParticle(), T2dParticleRenderer::kAttributeCount);
    EXPECT_EQ(Eval("GetParticleMemberParts(pColor)"), "5");
    EXPECT_EQ(Eval("kBlendAdditiveAlpha .. kBlendMode"), "2blendmode");
    EXPECT_EQ(Eval("type(fRange(0, 1))"), "table");
    EXPECT_EQ(Eval("fRange(0, 1).cmd"), "fRange");
    EXPECT_EQ(Eval("type(math.floor)"), "function");
    EXPECT_FALSE(mSystem.IsDone());
    EXPECT_EQ(Count(), 0);
}

TEST_F(TLuaParticleSystemTest, SpawningCarriesFractionsAndStopsWhenThePoolIsFull)
{
    ASSERT_TRUE(mSystem.Load("SetNumParticles(3)"));
    mSystem.CreateParticles(2.5);
    EXPECT_EQ(Count(), 2);
    mSystem.CreateParticles(0.5);
    EXPECT_EQ(Count(), 3);
    mSystem.Reset();
    ASSERT_TRUE(mSystem.Load("SetNumParticles(3) Spawn(5)"));
    EXPECT_EQ(Count(), 3);
    mSystem.CreateParticles(std::nan(""));
    mSystem.CreateParticles(0.5);
    EXPECT_EQ(Count(), 3);
}

TEST_F(TLuaParticleSystemTest, AnExpiredParticleIsReusedFirst)
{
    // Particles numbered 0, 1, 2 as they spawn; number 1 expires in the first frame.
    ASSERT_TRUE(mSystem.Load("pId = Allocate(1) SetNumParticles(3)"
                             "pId:Init(fOpenCycle(0, 3, 3))"
                             "Anim(fExpire(fLess(fDistance(pId, Value(1)), 0.5)))"));
    mSystem.CreateParticles(3);
    const std::vector<float*> before(mSystem.GetCollection().GetLive().begin(),
                                     mSystem.GetCollection().GetLive().end());
    EXPECT_EQ(LiveScalars(kFirstOwn), (TFloats{0, 1, 2}));
    mSystem.Update(16);
    EXPECT_EQ(LiveScalars(kFirstOwn), (TFloats{0, 2}));
    mSystem.CreateParticles(1);
    ASSERT_EQ(Count(), 3);
    EXPECT_EQ(mSystem.GetCollection().GetLive()[2], before[1]) << "the freed record comes back";
}

TEST_F(TLuaParticleSystemTest, SpawnValuesStayAndFrameValuesChange)
{
    ASSERT_TRUE(mSystem.Load("pKept = Allocate(1) pCounted = Allocate(1) pRandom = Allocate(2)"
                             "pAgeAtSpawn = Allocate(1) SetNumParticles(8)"
                             "pKept:Init(5) pCounted:Init(0)"
                             "pRandom:Init(fRange(Vec2(0, 10), Vec2(1, 20)))"
                             "pAgeAtSpawn:Init(fAge())"
                             "pCounted:Anim(pCounted + fTimeScale(1000))"));
    mSystem.CreateParticles(4);
    for (int frame = 1; frame <= 3; ++frame) {
        mSystem.Update(10);
        for (const TFloats& p : Live(kFirstOwn, 5)) {
            EXPECT_EQ(p[0], 5);
            EXPECT_EQ(p[1], 10 * frame);
            EXPECT_EQ(p[4], 0) << "fAge is 0 while spawning";
        }
    }
    const std::vector<TFloats> random = Live(kFirstOwn + 2, 2);
    for (const TFloats& p : random) {
        EXPECT_GE(p[0], 0);
        EXPECT_LT(p[0], 1);
        EXPECT_GE(p[1], 10);
        EXPECT_LT(p[1], 20);
    }
    EXPECT_NE(random[0], random[1]);
    EXPECT_NE(random[2], random[3]);
}

TEST_F(TLuaParticleSystemTest, ParticlesSpawnMoveAndExpireFrameByFrame)
{
    // Ten a second, living 0.45 s: at 100 ms a frame each frame adds one, and from the
    // fifth frame on the oldest leaves as the new one comes.
    ASSERT_TRUE(
        mSystem.Load("pVelocity = Allocate(2) pAge = Allocate(1) SetNumParticles(16)"
                     "pPosition:Init(Vec2(5, 0)) pVelocity:Init(Vec2(10, -20)) pAge:Init(0)"
                     "pPosition:Anim(pPosition + fTimeScale(pVelocity))"
                     "pAge:Anim(pAge + fTimeScale(1))"
                     "Anim(fExpire(fLess(0.45, pAge)))"
                     "local emit = NewParticleGenerator()"
                     "function Update(dt) if gActive then Spawn(emit(10, dt * 1000)) end end"));
    mSystem.GetScript()->DoLuaString("gActive = true");
    std::vector<int> counts;
    for (int frame = 0; frame < 7; ++frame) {
        mSystem.Update(100);
        counts.push_back(Count());
    }
    EXPECT_EQ(counts, (std::vector<int>{1, 2, 3, 4, 4, 4, 4}));
    // The oldest first: ages 0.4, 0.3, 0.2, 0.1 and positions that went with them.
    const std::vector<TFloats> positions = Live(kPosition, 2);
    const TFloats ages = LiveScalars(kFirstOwn + 2);
    for (size_t i = 0; i < ages.size(); ++i) {
        const float age = 0.4f - 0.1f * float(i);
        EXPECT_NEAR(ages[i], age, 1e-5);
        EXPECT_NEAR(positions[i][0], 5 + 10 * age, 1e-4);
        EXPECT_NEAR(positions[i][1], -20 * age, 1e-4);
    }
    // Switched off, the effect empties.
    mSystem.GetScript()->DoLuaString("gActive = false");
    for (int frame = 0; frame < 5; ++frame)
        mSystem.Update(100);
    EXPECT_EQ(Count(), 0);
}

TEST_F(TLuaParticleSystemTest, TheLibraryTimesEmissionAndEnds)
{
    EXPECT_EQ(Eval("(function() local g = NewParticleGenerator() local r = ''"
                   " for i = 1, 5 do r = r .. g(4, 100) end return r end)()"),
              "00101");
    // No rate, or a negative one, spawns nothing and does not spoil the generator.
    EXPECT_EQ(
        Eval("(function() local g = NewParticleGenerator()"
             " return g(0, 100) .. g(-3, 100) .. g(10, 100) .. g(10, 50) .. g(10, 50) end)()"),
        "00101");
    EXPECT_EQ(Eval("(function() local t = NewTimeout(0.25) local r = ''"
                   " for i = 1, 5 do r = r .. tostring(t(0.1)) .. ' ' end return r end)()"),
              "false false false true true ");
    EXPECT_EQ(Eval("type(ParticlesPerSecond)"), "function");

    ASSERT_TRUE(mSystem.Load("local life = NewTimeout(0.05)"
                             "function Update(dt) if life(dt) then Done() end end"));
    const int updatesUntilDone = [this] {
        for (int i = 1; i <= 10; ++i) {
            mSystem.Update(20);
            if (mSystem.IsDone())
                return i;
        }
        return 0;
    }();
    EXPECT_EQ(updatesUntilDone, 4);
    ASSERT_TRUE(mSystem.Load("x = 1"));
    EXPECT_FALSE(mSystem.IsDone()) << "Load clears the done flag";
    mSystem.Reset();
    ASSERT_TRUE(mSystem.Load("x = 1"));
    for (int i = 0; i < 100; ++i)
        mSystem.Update(1000);
    EXPECT_FALSE(mSystem.IsDone()) << "a script that never calls Done is never done";
}

TEST_F(TLuaParticleSystemTest, UpdateHandsTheScriptSeconds)
{
    ASSERT_TRUE(mSystem.Load("seen = '' function Update(dt) seen = seen .. dt .. ' ' end"));
    mSystem.Update(16);
    mSystem.Update(1500);
    mSystem.Update(-5);
    EXPECT_EQ(Eval("seen"), "0.016 1.5 0 ");
}

TEST_F(TLuaParticleSystemTest, EffectFilesLoadFromTheirFolderWithTheirTextures)
{
    PutSheet(mFolder, "fx/dot.png", 8, 4);
    PutSheet(mFolder, "fx/sheet.png", 24, 8);
    mFolder.Put("fx/spin.xml", StripXml("sheet.png", 3, 8, 8));
    mFolder.Put("fx/dot.lua", "SetTexture('dot.png') SetBlendMode(kBlendAdditiveAlpha)"
                              "SetNumParticles(2) loaded = 'dot'");
    mFolder.Put("fx/spin.lua", "SetTexture('spin.xml') loaded = 'spin'");
    mFolder.Put("fx/broken.lua", "SetNumParticles(");
    auto& renderer = static_cast<T2dParticleRenderer&>(mSystem.GetRenderer());

    ASSERT_TRUE(mSystem.Load("user:fx/dot.lua"));
    EXPECT_EQ(Eval("loaded"), "dot");
    EXPECT_EQ(renderer.GetTextureSize(), TVec2(8, 4));
    EXPECT_EQ(renderer.GetBlendMode(), 2);
    ASSERT_TRUE(mSystem.Load("user:fx/spin.lua"));
    EXPECT_EQ(Eval("loaded"), "spin");
    EXPECT_EQ(renderer.GetTextureSize(), TVec2(8, 8)) << "an animation's frame";

    // Failures leave the system usable.
    EXPECT_FALSE(mSystem.Load("user:fx/missing.lua"));
    EXPECT_EQ(mFolder.CountLogLines(
                  LogLine(TLuaParticleSystem::kNoEffectScriptLog, "user:fx/missing.lua")),
              1);
    EXPECT_FALSE(mSystem.Load("user:fx/broken.lua"));
    EXPECT_EQ(mFolder.CountLogLines(
                  LogLine(TLuaParticleSystem::kScriptFailedLog, "user:fx/broken.lua", "")),
              1);
    ASSERT_TRUE(mSystem.Load("SetNumParticles(1) Spawn(1)"));
    EXPECT_EQ(Count(), 1);
}

TEST_F(TLuaParticleSystemTest, AnUnknownCommandIsReportedAndNoneOfItsExpressionRuns)
{
    ASSERT_TRUE(mSystem.Load("pA = Allocate(1) pB = Allocate(1) SetNumParticles(2)"
                             "pA:Init(7)"
                             "pB:Init(fRange(0, 1) + CreateValue('fBogus', {1, 2}))"
                             "pB:Init(Value(3) - 1)"));
    EXPECT_EQ(mFolder.CountLogLines("Lua error: Type not found: fBogus"), 1);
    EXPECT_EQ(mSystem.GetSpawnStream().size(), 2u * 3 + 4u) << "two assignments, and no more";
    mSystem.CreateParticles(1);
    EXPECT_EQ(Live(kFirstOwn, 2), (std::vector<TFloats>{{7, 2}}));
}

TEST_F(TLuaParticleSystemTest, ValuesThatCannotCompileRaiseErrorsAndLeaveNoNodes)
{
    ASSERT_TRUE(mSystem.Load("pA = Allocate(1) SetNumParticles(1) pA:Init(2)"));
    const size_t nodes = mSystem.GetSpawnStream().size();
    const char* const bad[] = {
        "pA:Init(nil)",
        "pA:Init(fRange(nil, 1))",
        "pA:Init('text')",
        "pA:Init(fRange(1, nil) + 1)",
        "pA:Init(fVec(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12))",
        "pA:Init(Vec3(1, 2, 3) + {})",
        "pA:Init(setmetatable({1, 2, 3, 4, 5}, ValueMT))",
        "pA:Init(CreateValue(5, {}))",
        "pA:Init(CreateValue('add', 5))",
        "CompileParam(function() end)",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        const int errors = mFolder.CountLogLines("Lua error:");
        EXPECT_TRUE(mSystem.Load(text));
        EXPECT_EQ(mFolder.CountLogLines("Lua error:"), errors + 1);
        EXPECT_EQ(mSystem.GetSpawnStream().size(), nodes);
    }
    // A cycle in an expression ends in an error, not a crash.
    EXPECT_TRUE(mSystem.Load("local e = CreateValue('add', {}) e.params = {e, e} pA:Init(e)"));
    EXPECT_EQ(mSystem.GetSpawnStream().size(), nodes);
}

TEST_F(TLuaParticleSystemTest, InitAnimAndAllocateAreRefusedOnceTheEffectHasLoaded)
{
    mFolder.Put("fx/grow.lua", "pA = Allocate(1) SetNumParticles(4) pA:Init(1)"
                               "function Update()"
                               "  pA:Anim(pA + 1) Anim(fExpire(fLess(1, 0)))"
                               "  Init(fExpire(fLess(1, 0))) pB = Allocate(1)"
                               "end");
    ASSERT_TRUE(mSystem.Load("user:fx/grow.lua"));
    const size_t spawn = mSystem.GetSpawnStream().size();
    const size_t anim = mSystem.GetAnimStream().size();
    EXPECT_EQ(anim, 0u);
    mSystem.CreateParticles(1);
    for (int frame = 0; frame < 10; ++frame)
        mSystem.Update(16);
    mSystem.GetScript()->DoLuaString("pA:Anim(pA + 1) pC = Allocate(2)");
    EXPECT_EQ(mSystem.GetSpawnStream().size(), spawn);
    EXPECT_EQ(mSystem.GetAnimStream().size(), anim);
    EXPECT_EQ(mSystem.GetFloatsPerParticle(), kFirstOwn + 1);
    EXPECT_EQ(LiveScalars(kFirstOwn), (TFloats{1}));
    EXPECT_EQ(Eval("tostring(pB) .. tostring(pC)"), "nilnil");
    EXPECT_EQ(
        mFolder.CountLogLines(LogLine(TLuaParticleSystem::kLoadTimeOnlyLog, "user:fx/grow.lua")),
        1);
    EXPECT_EQ(mFolder.CountLogLines("Lua error:"), 0);

    // The next effect loaded compiles as the first did.
    ASSERT_TRUE(mSystem.Load("pA:Anim(pA * 2)"));
    EXPECT_GT(mSystem.GetAnimStream().size(), anim);
}

TEST_F(TLuaParticleSystemTest, PcallAroundACompileErrorHandsBackItsMessage)
{
    ASSERT_TRUE(mSystem.Load("local ok, message = pcall(CompileParam, CreateValue(5, {}))"
                             "seen = tostring(ok) .. ' ' .. tostring(message)"));
    EXPECT_EQ(Eval("seen"), "false CompileParam: the cmd of an expression must be a string");
}

TEST_F(TLuaParticleSystemTest, AllocateChecksItsDimensionAndRenewsThePool)
{
    ASSERT_TRUE(mSystem.Load("SetNumParticles(4) pV = Allocate(2) pV:Init(Vec2(1, 2))"
                             "SetUpGravity(100)"));
    // pVelocity came after pV; every record has room for both.
    EXPECT_EQ(mSystem.GetFloatsPerParticle(), kFirstOwn + 4);
    EXPECT_EQ(mSystem.GetCollection().GetCapacity(), 4);
    EXPECT_EQ(mSystem.GetCollection().GetFloatsPerParticle(), kFirstOwn + 4);
    mSystem.CreateParticles(4);
    mSystem.Update(500);
    for (const TFloats& p : Live(kFirstOwn, 4))
        EXPECT_EQ(p, (TFloats{1, 2, 0, 50}));

    const char* const bad[] = {"Allocate(0)",
                               "Allocate(5)",
                               "Allocate(2.5)",
                               "Allocate('x')",
                               "SetNumParticles(-1)",
                               "SetNumParticles(1e9)",
                               "for i = 1, 100 do Allocate(4) end"};
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        const int errors = mFolder.CountLogLines("Lua error:");
        EXPECT_TRUE(mSystem.Load(text));
        EXPECT_EQ(mFolder.CountLogLines("Lua error:"), errors + 1);
    }
    EXPECT_LE(mSystem.GetFloatsPerParticle(), TLuaParticleSystem::kMaxFloatsPerParticle);
}

// Answers one colour, as the game's colour nodes do.
class TColourNode final : public TParticleFunction
{
public:
    explicit TColourNode(TFloats colour) : mColour(std::move(colour)) {}
    int GetResultDimension(int, const uint8_t*) const override { return 4; }
    bool Evaluate(TParticleView&, TParticleEvalContext& context) override
    {
        return context.Push(mColour.data(), 4);
    }

private:
    TFloats mColour;
};

TEST_F(TLuaParticleSystemTest, CustomParamsReadLikeMembers)
{
    TColourNode red({1, 0, 0, 1});
    TColourNode clear({0, 0, 1, 0});
    EXPECT_EQ(mSystem.RegisterCustomParam("initialColor", &red), -1);
    EXPECT_EQ(mSystem.RegisterCustomParam("finalColor", &clear), -2);
    EXPECT_EQ(mSystem.GetCustomNode(2), &clear);
    EXPECT_EQ(Eval("GetParticleMemberParts(finalColor)"), "-2");
    ASSERT_TRUE(mSystem.Load("pMix = Allocate(1) SetNumParticles(2)"
                             "pColor:Init(initialColor) pMix:Init(finalColor[3])"));
    mSystem.CreateParticles(2);
    EXPECT_EQ(Live(kColor, 4), (std::vector<TFloats>{{1, 0, 0, 1}, {1, 0, 0, 1}}));
    EXPECT_EQ(LiveScalars(kFirstOwn), (TFloats{1, 1}));

    mSystem.Reset();
    EXPECT_EQ(mSystem.GetCustomNode(1), nullptr);
    EXPECT_EQ(Eval("type(initialColor)"), "nil");
}

TEST_F(TLuaParticleSystemTest, ScriptHelpersAndTheGlobalInit)
{
    ASSERT_TRUE(mSystem.Load("pA = Allocate(1) SetNumParticles(3) Init(pA[1])"
                             "Init(CreateValue('newindex', {GetParticleMemberParts(pA), 1, 9}))"
                             "pUp:Init(f2dRotation(0)) pScale:Init(Value(1) - 0.25)"
                             "pFrame:Init(fPick(1, 2)) pColor:Init(fAlpha(Vec3(1, 1, 0), 0.5))"
                             "pPosition:Init(-Vec2(1, 2))"));
    EXPECT_TRUE(mSystem.GetAnimStream().empty()) << "the global Init feeds the spawn stream";
    mSystem.CreateParticles(1);
    const TFloats p = Live(0, kFirstOwn + 1)[0];
    EXPECT_EQ(p, (TFloats{-1, -2, 1, 0, 0.75f, 1, 1, 0, 0.5f, p[9], 9}));
    EXPECT_TRUE(p[9] == 1 || p[9] == 2);
    for (int i = 0; i < 20; ++i) {
        const double range = std::stod(Eval("RandomRange(3, 5)"));
        EXPECT_TRUE(range == 3 || range == 4 || range == 5) << range;
        const double value = std::stod(Eval("RandomFloat()"));
        EXPECT_TRUE(value >= 0 && value < 1) << value;
    }
    EXPECT_EQ(Eval("GUI_Slider(4) .. GUI_Select('a')"), "4a");
}

TEST_F(TLuaParticleSystemTest, ResetStartsAnEmptyScript)
{
    ASSERT_TRUE(mSystem.Load("pA = Allocate(3) SetNumParticles(5) pA:Init(Vec3(1, 2, 3))"
                             "pA:Anim(pA * 2) Spawn(5) marker = 1"));
    EXPECT_EQ(Count(), 5);
    mSystem.Reset();
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(mSystem.GetCollection().GetCapacity(), 0);
    EXPECT_EQ(mSystem.GetFloatsPerParticle(), T2dParticleRenderer::kAttributeCount);
    EXPECT_TRUE(mSystem.GetSpawnStream().empty());
    EXPECT_TRUE(mSystem.GetAnimStream().empty());
    EXPECT_EQ(Eval("tostring(marker)"), "nil");
    mSystem.Draw(TVec3(0, 0, 0)); // no display: nothing happens
}

} // namespace
