// Pixel hit tests per millisecond (TSprite::HitTest with a minimum alpha of 1), as a
// mouse moving over the game's buttons and spa stations asks for them:
//   - Button: one 160 x 48 button with round clear corners and a soft edge, tested at
//     points along a path that crosses it (most of them inside its box);
//   - Station: a 200 x 150 station with three pictures on it (one enlarged, one mirrored,
//     one turned), tested the same way.
// The counter "hit tests per ms of CPU" is the number of tests per millisecond of the
// thread's CPU time, with an 800 x 600 software back buffer open as in the game. Goal: at
// least 1000, so that a mouse move over 100 hit-tested sprites costs at most 0.1 ms.

#include "bench/support/BenchRun.h"
#include "engine/foundation/math/TMat3.h"
#include "engine/graphics/DrawState.h"
#include "engine/graphics/TDxDisplayHandler.h"
#include "engine/graphics/TRenderer.h"
#include "engine/graphics/TTexture.h"
#include "engine/graphics/sprite/TSprite.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <time.h>
#include <vector>

namespace {

// CPU time of the calling thread, in milliseconds.
double ThreadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// A width x height picture, opaque inside a rounded rectangle of corner radius radius
// with a soft edge one texel wide, clear outside it.
std::shared_ptr<TTexture> RoundedPicture(int width, int height, float radius)
{
    std::shared_ptr<TTexture> texture = TTexture::Create(width, height, true);
    uint32_t* texels = nullptr;
    int pitch = 0;
    texture->Lock(texels, pitch);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float cx = std::clamp(x + 0.5f, radius, width - radius);
            const float cy = std::clamp(y + 0.5f, radius, height - radius);
            const float outside = std::hypot(x + 0.5f - cx, y + 0.5f - cy) - radius + 0.5f;
            const float cover = std::clamp(1.0f - outside, 0.0f, 1.0f);
            texels[y * pitch + x] = static_cast<uint32_t>(cover * 255.0f) << 24 | 0x5080b0u;
        }
    texture->Unlock();
    return texture;
}

// A mouse path over the box (left, top) - (right, bottom) and a margin of 20 pixels
// around it: 1,000 points on a few crossing lines.
std::vector<TVec2> MousePath(float left, float top, float right, float bottom)
{
    std::vector<TVec2> points;
    for (int i = 0; i < 1000; ++i) {
        const float t = static_cast<float>(i % 250) / 249.0f;
        const float across = left - 20 + t * (right - left + 40);
        const float down =
            top - 20 + (static_cast<float>(i / 250) + 0.5f) / 4.0f * (bottom - top + 40);
        points.emplace_back(std::round(across), std::round(down));
    }
    return points;
}

class THitBench
{
public:
    THitBench()
    {
        TRenderer::Destroy();
        TRenderer& renderer = *TRenderer::Get();
        renderer.GetDisplayHandler().OpenBackBuffer(800, 600);
        renderer.PushClipRect(TRect(0, 0, 800, 600));
    }
    ~THitBench() { TRenderer::Destroy(); }
    THitBench(const THitBench&) = delete;
    THitBench& operator=(const THitBench&) = delete;
};

void Run(benchmark::State& state, TSprite& sprite, const std::vector<TVec2>& points)
{
    const DrawState parent;
    double spent = 0.0;
    long tests = 0;
    long hits = 0;
    for (auto _ : state) {
        const double start = ThreadMilliseconds();
        for (const TVec2& point : points)
            hits += sprite.HitTest(point, parent, 1) ? 1 : 0;
        spent += ThreadMilliseconds() - start;
        tests += static_cast<long>(points.size());
    }
    benchmark::DoNotOptimize(hits);
    SetGoal(state, "at least 1000 hit tests per ms of CPU");
    state.counters["hit tests per ms of CPU"] =
        spent > 0.0 ? static_cast<double>(tests) / spent : 0.0;
}

void BM_Button(benchmark::State& state)
{
    const THitBench bench;
    std::shared_ptr<TSprite> button = TSprite::Create(0, RoundedPicture(160, 48, 14));
    button->SetPosition(TVec2(320, 240));
    Run(state, *button, MousePath(240, 216, 400, 264));
}
BENCHMARK(BM_Button)->Unit(benchmark::kMicrosecond);

void BM_Station(benchmark::State& state)
{
    const THitBench bench;
    std::shared_ptr<TSprite> station = TSprite::Create(0, RoundedPicture(200, 150, 30));
    station->SetPosition(TVec2(400, 300));
    std::shared_ptr<TSprite> basin = TSprite::Create(1, RoundedPicture(60, 40, 18));
    basin->SetMatrix(TMat3(1.5f, 0, 0, 0, 1.5f, 0, -40, 10, 1));
    std::shared_ptr<TSprite> towel = TSprite::Create(1, RoundedPicture(50, 30, 6));
    towel->SetFlags(DrawState::kMirrorX);
    towel->SetPosition(TVec2(60, -40));
    std::shared_ptr<TSprite> lamp = TSprite::Create(2, RoundedPicture(24, 64, 10));
    TMat3 turned = TMat3::Rotation(0.6f);
    turned.Row(2).x = 70;
    turned.Row(2).y = 40;
    lamp->SetMatrix(turned);
    for (const std::shared_ptr<TSprite>& child : {basin, towel, lamp})
        station->AddChild(child);
    Run(state, *station, MousePath(300, 225, 500, 375));
}
BENCHMARK(BM_Station)->Unit(benchmark::kMicrosecond);

} // namespace
