// The mixer's cost per second of sound: 32 looping voices that all need rate conversion
// (16 mono at 22.05 kHz, 16 stereo at 48 kHz, decoded whole), plus one Ogg Vorbis piece
// decoded while it plays, mixed to 44.1 kHz stereo in device periods of 1024 frames with
// the service turns that refill their buffers. One iteration is one second of output, so
// the CPU time per iteration is the CPU time per second of audio (goal: under 10 ms, 1% of
// one core). Also timed apart: the voices alone, without service turns, and the streamed
// piece alone.

#include "bench/support/BenchRun.h"
#include "engine/foundation/assets/TAssetManager.h"
#include "engine/foundation/files/TMemoryFile.h"
#include "engine/platform/TAudioDevice.h"
#include "engine/platform/TAudioMixer.h"
#include "engine/platform/TTimeSource.h"
#include "engine/sound/TSound.h"
#include "engine/sound/TSoundManager.h"
#include "tools/oggsynth/synth/SoundSynth.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPeriod = TSoundManager::kPeriodFrames;
constexpr int kRate = TSoundManager::kOutputRate;

// The sounds, encoded once for every benchmark.
struct TFixtureFiles
{
    std::string mono = MakeToneOgg({1.5, 22050, 1, 330.0, 0.1});
    std::string stereo = MakeToneOgg({1.5, 48000, 2, 520.0, 0.1});
    std::string music = MakeToneOgg({12.0, 44100, 2, 220.0, 0.3});

    TFixtureFiles()
    {
        RegisterMemoryFile("bench/mono.ogg", mono.data(), mono.size());
        RegisterMemoryFile("bench/stereo.ogg", stereo.data(), stereo.size());
        RegisterMemoryFile("bench/music.ogg", music.data(), music.size());
    }
};

const TFixtureFiles& Files()
{
    static const TFixtureFiles files;
    return files;
}

// A manager playing voices looping effects and, with music, the streamed piece.
class TScene
{
public:
    TScene(int voices, bool music)
    {
        Files();
        mManager.Init();
        for (int i = 0; i < voices; ++i) {
            const char* name = i % 2 == 0 ? "bench/mono.ogg" : "bench/stereo.ogg";
            mSounds.push_back(TSound::Get(&mCache, name, true, 1000));
            mSounds.back()->Play(true);
        }
        if (music) {
            mSounds.push_back(TSound::Get(&mCache, "bench/music.ogg", false, 1001));
            mSounds.back()->Play(true);
        }
    }

    // One second of output, with a service turn every 50 ms of it.
    void PlaySecond(bool service)
    {
        int sinceTurn = 0;
        for (int done = 0; done < kRate; done += kPeriod) {
            mManager.GetMixer()->MixInto(mOut.data(), kPeriod);
            sinceTurn += kPeriod;
            if (service && sinceTurn * 1000 >= kRate * TSoundManager::kServiceSleepMs) {
                sinceTurn = 0;
                mTime.Advance(TSoundManager::kServiceSleepMs);
                mManager.Update();
            }
        }
        benchmark::DoNotOptimize(mOut.data());
    }

private:
    TManualTimeSource mTime{1000};
    TSoundManager mManager{[] { return std::make_unique<TManualAudioDevice>(); }, false};
    TAssetManager mCache;
    std::vector<std::shared_ptr<TSound>> mSounds;
    std::vector<int16_t> mOut = std::vector<int16_t>(kPeriod * 2);
};

void SetCounters(benchmark::State& state)
{
    state.counters["seconds of audio"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ThirtyTwoVoicesAndAStreamPerAudioSecond(benchmark::State& state)
{
    SetGoal(state, "under 10 ms a second of audio, 1% of one core");
    TScene scene(32, true);
    for (auto _ : state)
        scene.PlaySecond(true);
    SetCounters(state);
}
BENCHMARK(BM_ThirtyTwoVoicesAndAStreamPerAudioSecond)->Unit(benchmark::kMillisecond);

void BM_MixingThirtyTwoVoicesPerAudioSecond(benchmark::State& state)
{
    SetNoGoal(state, "the voices' part of the 10 ms");
    TScene scene(32, false);
    for (auto _ : state)
        scene.PlaySecond(false);
    SetCounters(state);
}
BENCHMARK(BM_MixingThirtyTwoVoicesPerAudioSecond)->Unit(benchmark::kMillisecond);

void BM_OneStreamPerAudioSecond(benchmark::State& state)
{
    SetNoGoal(state, "the stream's part of the 10 ms");
    TScene scene(0, true);
    for (auto _ : state)
        scene.PlaySecond(true);
    SetCounters(state);
}
BENCHMARK(BM_OneStreamPerAudioSecond)->Unit(benchmark::kMillisecond);

} // namespace
