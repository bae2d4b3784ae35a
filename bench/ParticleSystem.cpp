// Particles per millisecond with 2,000 live particles, in three parts of a frame:
//   - Animate: the per-frame stream of a sparkle-like effect (gravity, position, age,
//     spin to an up vector, size and alpha fades, an expiry test that never fires) run on
//     every particle, plus the script's Update call: one iteration is one 16 ms frame;
//   - Churn: the same with every particle expiring after 0.5 s and replaced as it goes,
//     so a frame also runs the spawn stream on about 64 new particles;
//   - Draw: the 2,000 quads (32 x 32, additive, linear filtering) into an 800 x 600
//     software back buffer.
// The counter "particles per ms of CPU" is the number of live particles handled per
// millisecond of the thread's CPU time. No goal is set for it: it is read against the
// figures of earlier builds.

#include "bench/support/BenchRun.h"
#include "engine/graphics/TDxDisplayHandler.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/particles/T2dParticleRenderer.h"
#include "engine/graphics/particles/TLuaParticleSystem.h"
#include "engine/graphics/particles/TParticleRandom.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <time.h>

namespace {

constexpr int kParticles = 2000;
constexpr int kStepMs = 16;

// The effect, with life the particles' life in seconds.
std::string Effect(double life)
{
    return "pVelocity = Allocate(2) pAge = Allocate(1) pLife = Allocate(1) pSize = Allocate(1)"
           " pAngle = Allocate(1) pTurn = Allocate(1)"
           " SetNumParticles(" +
           std::to_string(kParticles) +
           ")"
           " pPosition:Init(f2dRadius(fRange(0, 300)))"
           " pVelocity:Init(Vec2(fRange(-60, 60), fRange(-190, -120)))"
           " pAge:Init(0) pLife:Init(" +
           std::to_string(life) +
           ") pSize:Init(fRange(0.35, 0.8))"
           " pAngle:Init(fRange(0, 6.283)) pTurn:Init(fRange(-4, 4))"
           " pColor:Init(fPick(Color(1, 0.9, 0.6, 1), Color(0.7, 0.9, 1, 1)))"
           " SetUpGravity(170)"
           " pPosition:Anim(pPosition + fTimeScale(pVelocity))"
           " pAge:Anim(pAge + fTimeScale(1))"
           " pAngle:Anim(pAngle + fTimeScale(pTurn))"
           " pUp:Anim(f2dRotation(pAngle))"
           " pScale:Anim(pSize * fFade(pAge, 0.4, 0.2, 1, pLife, 0.2))"
           " pColor:Anim(fAlpha(pColor, fFade(pAge, 0, 0.12, 0.9, pLife * 0.4, 0.9, pLife * 0.5, "
           "0)))"
           " Anim(fExpire(fLess(pLife, pAge)))"
           " local emit = NewParticleGenerator()"
           " function Update(dt) Spawn(emit(" +
           std::to_string(kParticles / life) + ", dt * 1000)) end";
}

// CPU time of the calling thread, in milliseconds.
double ThreadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Times the benchmark loop around step and reports the particles handled per millisecond.
template <class F> void Run(benchmark::State& state, const TLuaParticleSystem& system, F step)
{
    double spent = 0.0;
    long particles = 0;
    for (auto _ : state) {
        const double start = ThreadMilliseconds();
        step();
        spent += ThreadMilliseconds() - start;
        particles += system.GetCollection().GetCount();
    }
    SetNoGoal(state, "read against earlier builds");
    state.counters["particles per ms of CPU"] =
        spent > 0.0 ? static_cast<double>(particles) / spent : 0.0;
}

void BM_Animate(benchmark::State& state)
{
    TLuaParticleSystem system;
    TParticleRandom::Seed(7);
    system.Load(Effect(1e9).c_str());
    system.CreateParticles(kParticles);
    Run(state, system, [&system] { system.Update(kStepMs); });
    if (system.GetCollection().GetCount() != kParticles)
        state.SkipWithError("the particles did not stay alive");
}
BENCHMARK(BM_Animate)->Unit(benchmark::kMicrosecond);

void BM_Churn(benchmark::State& state)
{
    TLuaParticleSystem system;
    TParticleRandom::Seed(7);
    system.Load(Effect(0.5).c_str());
    for (int i = 0; i < 100; ++i) // into the steady state
        system.Update(kStepMs);
    Run(state, system, [&system] { system.Update(kStepMs); });
    if (system.GetCollection().GetCount() < kParticles * 9 / 10)
        state.SkipWithError("too few particles alive");
}
BENCHMARK(BM_Churn)->Unit(benchmark::kMicrosecond);

void BM_Draw(benchmark::State& state)
{
    TRenderer::Destroy();
    TRenderer& renderer = *TRenderer::Get();
    renderer.GetDisplayHandler().OpenBackBuffer(800, 600);
    renderer.PushClipRect(TRect(0, 0, 800, 600));
    {
        // A round glow, brightest in the middle.
        std::shared_ptr<TTexture> glow = TTexture::Create(32, 32, true);
        uint32_t* texels = nullptr;
        int pitch = 0;
        glow->Lock(texels, pitch);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const double d = std::hypot(x - 15.5, y - 15.5) / 16.0;
                const uint32_t alpha = d >= 1 ? 0 : static_cast<uint32_t>(255 * (1 - d));
                texels[y * pitch + x] = alpha << 24 | 0xffffffu;
            }
        glow->Unlock();

        TLuaParticleSystem system;
        TParticleRandom::Seed(7);
        system.Load(Effect(1e9).c_str());
        system.GetRenderer().SetTexture(glow);
        const float additive[4] = {2, 0, 0, 0};
        system.GetRenderer().SetOption("blendmode", additive);
        system.CreateParticles(kParticles);
        system.Update(500);
        Run(state, system, [&] {
            renderer.BeginDraw(false);
            renderer.Begin2d();
            renderer.SetFilter(TFilter::Linear);
            system.Draw(TVec3(400, 450, 0));
            renderer.End2d();
            renderer.EndDraw(false);
        });
    }
    TRenderer::Destroy();
}
BENCHMARK(BM_Draw)->Unit(benchmark::kMicrosecond);

} // namespace
