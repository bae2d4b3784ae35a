#pragma once

// A fixture for the sound tests that drive time by hand: a sound manager without a
// service thread, over an output device that never calls back, under a manual clock.
// Run(ms) does what the audio callback and the service thread would do in that time: it
// mixes the output in 10 ms steps and makes a service turn every 50 ms. Sounds are
// synthesised and encoded by the test and registered as memory files; the debug log goes
// to a temporary folder, where LogText reads it.

#include "engine/foundation/assets/TAssetManager.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TMemoryFile.h"
#include "engine/platform/TAudioDevice.h"
#include "engine/platform/TAudioMixer.h"
#include "engine/platform/TTimeSource.h"
#include "engine/sound/TSound.h"
#include "engine/sound/TSoundManager.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/foundation/TempFolder.h"
#include "tools/oggsynth/synth/SoundSynth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

class SoundTest : public EngineStateTest
{
protected:
    static constexpr int kRate = TSoundManager::kOutputRate;
    static constexpr int kStepMs = 10;

    void SetUp() override
    {
        InitLog(mFolder.Path().c_str());
        mManager = std::make_unique<TSoundManager>(
            [] { return std::make_unique<TManualAudioDevice>(); }, false);
        ASSERT_TRUE(mManager->Init());
    }

    void TearDown() override { mManager.reset(); }

    // Registers bytes as the file name (kept alive by the fixture).
    void AddFile(const std::string& name, const std::string& bytes)
    {
        std::string& kept = mFiles[name];
        kept = bytes;
        RegisterMemoryFile(name.c_str(), kept.data(), kept.size());
    }

    // A tone encoded as name, then the sound from the fixture's cache.
    std::shared_ptr<TSound> LoadTone(const std::string& name, const TToneSpec& tone, bool inMemory,
                                     int group = -1)
    {
        AddFile(name, MakeToneOgg(tone));
        return TSound::Get(&mCache, name.c_str(), inMemory, group);
    }

    // ms of output (a multiple of 10), stereo frames interleaved.
    std::vector<int16_t> Run(int ms)
    {
        std::vector<int16_t> out;
        const int frames = kRate * kStepMs / 1000;
        for (int t = 0; t < ms; t += kStepMs) {
            std::vector<int16_t> step(static_cast<size_t>(frames) * 2);
            mManager->GetMixer()->MixInto(step.data(), frames);
            out.insert(out.end(), step.begin(), step.end());
            mTime.Advance(kStepMs);
            mElapsed += kStepMs;
            if (mElapsed % TSoundManager::kServiceSleepMs == 0)
                mManager->Update();
        }
        return out;
    }

    // Runs until the manager has no streams left, freeing finished ones at every idle
    // turn; the time that took in ms, or -1 when still playing after limitMs.
    int RunUntilDone(int limitMs, std::vector<int16_t>* out = nullptr)
    {
        for (int t = 0; t <= limitMs; t += kStepMs) {
            mManager->DispatchNotifications();
            if (mManager->GetStreamCount() == 0 && mManager->GetRetiredCount() == 0)
                return t;
            std::vector<int16_t> step = Run(kStepMs);
            if (out != nullptr)
                out->insert(out->end(), step.begin(), step.end());
        }
        return -1;
    }

    std::string LogText() const { return TTempFolder::Read(GetLogPath().CStr()); }

    // Root mean square of the left channel over frames [from, to).
    static double Rms(const std::vector<int16_t>& stereo, size_t from, size_t to)
    {
        double sum = 0.0;
        for (size_t i = from; i < to; ++i)
            sum += static_cast<double>(stereo[2 * i]) * stereo[2 * i];
        return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
    }

    // The RMS of a sine of this peak amplitude, in 16-bit units.
    static double ToneRms(double amplitude) { return amplitude * 32767.0 / std::sqrt(2.0); }

    // Frames of output in ms.
    static size_t Frames(int ms) { return static_cast<size_t>(kRate) * ms / 1000; }

    TTempFolder mFolder;
    TManualTimeSource mTime{1000};
    TAssetManager mCache;
    std::unique_ptr<TSoundManager> mManager;
    std::map<std::string, std::string> mFiles;
    int mElapsed = 0;
};
