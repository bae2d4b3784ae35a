#include "engine/sound/TSoundManager.h"

#include "engine/platform/TAudioBuffer.h"
#include "engine/platform/TPlatformLog.h"
#include "engine/sound/TSoundData.h"
#include "engine/sound/TSoundInstance.h"
#include "engine/sound/TSoundStream.h"
#include "engine/sound/TStreamNotify.h"
#include "engine/sound/TStreamSpooler.h"
#include "tests/engine/platform/TScopedEnvironment.h"
#include "tests/engine/platform/WaitUntil.h"
#include "tests/engine/sound/SoundTest.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// A spooler of silence that lasts seconds.
class TSilenceSpooler final : public TStreamSpooler
{
public:
    explicit TSilenceSpooler(double seconds) : mSeconds(seconds) {}
    bool Read(uint32_t bytes, void* buffer, uint32_t& delivered, bool) override
    {
        std::memset(buffer, 0, bytes);
        delivered = 0;
        return false;
    }
    void Seek(double) override {}
    double GetLength() const override { return mSeconds; }

private:
    double mSeconds;
};

// Counts the ends of playback it hears of, and the thread they came on.
class TEndRecorder final : public TStreamNotify
{
public:
    void StreamFinished(TSoundStream&) override
    {
        ++ends;
        thread = std::this_thread::get_id();
    }
    TString GetSoundName() const override { return "recorded"; }
    std::atomic<int> ends{0};
    std::thread::id thread;
};

class TSoundManagerTest : public SoundTest
{
};

TEST_F(TSoundManagerTest, GroupVolumesScaleTheMasterVolume)
{
    struct TCase
    {
        float master;
        float effects; // group 1000; negative: no entry
        float heard;   // master x group, or the master alone
    };
    const TCase cases[] = {{1.0f, -1.0f, 1.0f}, {0.5f, -1.0f, 0.5f}, {1.0f, 0.8f, 0.8f},
                           {0.5f, 0.5f, 0.25f}, {0.0f, 1.0f, 0.0f},  {1.0f, 0.0f, 0.0f}};
    TToneSpec tone{1.9, kRate, 1, 441.0, 0.5};
    std::shared_ptr<TSound> effect = LoadTone("sfx/level.ogg", tone, true, 1000);
    mManager.reset(); // one manager per case
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.master << " x " << c.effects);
        TSoundManager manager([] { return std::make_unique<TManualAudioDevice>(); }, false);
        ASSERT_TRUE(manager.Init());
        manager.SetMasterVolume(c.master);
        if (c.effects >= 0.0f)
            manager.SetGroupVolume(1000, c.effects);
        EXPECT_FLOAT_EQ(manager.GetGroupVolume(1000), c.heard);
        EXPECT_FLOAT_EQ(manager.GetGroupVolume(7), c.master);
        EXPECT_FLOAT_EQ(manager.GetMasterVolume(), c.master);
        std::shared_ptr<TSoundInstance> instance = effect->Play(false);
        std::vector<int16_t> out(Frames(500) * 2);
        manager.GetMixer()->MixInto(out.data(), static_cast<int>(Frames(500)));
        const float gain = TAudioBuffer::GainOf(TSoundStream::VolumeToCentibels(c.heard));
        EXPECT_NEAR(Rms(out, 0, Frames(500)), ToneRms(0.5) * gain, ToneRms(0.5) * 0.03);
        effect->StopAll();
    }
}

TEST_F(TSoundManagerTest, AGroupAtZeroSilencesOnlyThatGroup)
{
    TToneSpec tone{1.9, kRate, 1, 441.0, 0.4};
    std::shared_ptr<TSound> effect = LoadTone("sfx/a.ogg", tone, true, 1000);
    std::shared_ptr<TSound> music = LoadTone("music/b.ogg", tone, false, 1001);
    effect->Play(false);
    music->Play(true);
    mManager->SetGroupVolume(1001, 0.0f);
    const std::vector<int16_t> out = Run(500);
    EXPECT_NEAR(Rms(out, 0, out.size() / 2), ToneRms(0.4), ToneRms(0.4) * 0.03);
    mManager->SetGroupVolume(1000, 0.0f);
    const std::vector<int16_t> none = Run(500);
    EXPECT_EQ(Rms(none, Frames(10), none.size() / 2), 0.0);
}

TEST_F(TSoundManagerTest, ActivationSuspendsPlayingStreamsAndResumesExactlyThose)
{
    TToneSpec tone{1.9, kRate, 1, 441.0, 0.4};
    std::shared_ptr<TSound> playing = LoadTone("sfx/playing.ogg", tone, true);
    std::shared_ptr<TSound> paused = LoadTone("sfx/paused.ogg", tone, true);
    TSoundStream* a = playing->Play(true)->GetStream();
    TSoundStream* b = paused->Play(true)->GetStream();
    paused->PauseAll(true);
    mManager->SetActive(false);
    EXPECT_FALSE(mManager->IsActive());
    EXPECT_TRUE(a->IsSuspended());
    EXPECT_TRUE(a->IsPaused());
    EXPECT_FALSE(b->IsSuspended());
    const std::vector<int16_t> quiet = Run(200);
    EXPECT_EQ(Rms(quiet, 0, quiet.size() / 2), 0.0);

    mManager->SetActive(true);
    EXPECT_FALSE(a->IsPaused());
    EXPECT_TRUE(b->IsPaused());
    const std::vector<int16_t> one = Run(200);
    EXPECT_NEAR(Rms(one, 0, one.size() / 2), ToneRms(0.4), ToneRms(0.4) * 0.03);
}

TEST_F(TSoundManagerTest, StopGroupStopsItsStreamsAndReleasesTheirInstancesAtOnce)
{
    TToneSpec tone{1.0, kRate, 1, 441.0, 0.4};
    std::shared_ptr<TSound> effects = LoadTone("sfx/e.ogg", tone, true, 1000);
    std::shared_ptr<TSound> music = LoadTone("music/m.ogg", tone, false, 1001);
    std::weak_ptr<TSoundInstance> e1 = effects->Play(false);
    std::weak_ptr<TSoundInstance> e2 = effects->Play(true);
    std::weak_ptr<TSoundInstance> m1 = music->Play(true);
    Run(100);
    EXPECT_EQ(mManager->GetStreamCount(), 3u);

    mManager->StopGroup(1000);
    EXPECT_TRUE(e1.expired());
    EXPECT_TRUE(e2.expired());
    EXPECT_FALSE(m1.expired());
    EXPECT_EQ(mManager->GetStreamCount(), 1u);

    mManager->PauseGroup(true, -1);
    EXPECT_TRUE(m1.lock()->GetStream()->IsPaused());
    mManager->PauseGroup(false, 1001);
    EXPECT_FALSE(m1.lock()->GetStream()->IsPaused());

    mManager->StopGroup(-1);
    EXPECT_TRUE(m1.expired());
    EXPECT_EQ(mManager->GetStreamCount(), 0u);
    EXPECT_TRUE(effects->GetData().GetInstances().empty());
    EXPECT_TRUE(music->GetData().GetInstances().empty());
}

TEST_F(TSoundManagerTest, TheMasterVolumeControlIsTheManagerWhileItLives)
{
    mManager->SetGroupVolume(-1, 0.5f);
    mManager->SetMasterVolume(0.8f);
    EXPECT_FLOAT_EQ(TMasterVolume::Read(), 0.4f);
    TMasterVolume::Write(0.0f);
    EXPECT_FLOAT_EQ(mManager->GetGroupVolume(1000), 0.0f);
    mManager.reset();
    EXPECT_EQ(TSoundManager::Get(), nullptr);
    EXPECT_FLOAT_EQ(TMasterVolume::Read(), 0.0f);
}

// A device whose output does not open is closed but kept until the manager goes: stopping
// its audio service may wait on the system (SDL's ALSA driver naps 100 ms at a time), and
// the game's start should not.
TEST(TSoundManager, ADeviceThatDidNotOpenStaysUntilTheManagerGoes)
{
    class TRefusingDevice final : public TAudioDevice
    {
    public:
        explicit TRefusingDevice(bool& gone) : mGone(gone) {}
        ~TRefusingDevice() override { mGone = true; }
        bool Open(int, int, TFill) override { return false; }
        int GetSampleRate() const override { return 0; }
        void SetPaused(bool) override {}
        void Close() override {}

    private:
        bool& mGone;
    };
    bool gone = false;
    {
        TSoundManager manager([&gone] { return std::make_unique<TRefusingDevice>(gone); }, false);
        EXPECT_FALSE(manager.Init());
        EXPECT_EQ(manager.GetMixer(), nullptr);
        EXPECT_FALSE(gone);
    }
    EXPECT_TRUE(gone);
}

TEST(TSoundManager, AFinishedStreamIsFreedOnlyByTheMainThreadAtItsNextIdleTurn)
{
    TManualTimeSource time(5000);
    // No output: streams run on their clocks, which the test moves.
    TSoundManager manager([]() -> std::unique_ptr<TAudioDevice> { return nullptr; }, true);
    EXPECT_FALSE(manager.Init());
    auto ends = std::make_shared<TEndRecorder>();
    {
        std::shared_ptr<TSoundStream> stream =
            TSoundStream::Make(std::make_unique<TSilenceSpooler>(0.2), false, 1000, ends);
        EXPECT_FALSE(stream->Create(44100, 2, 16, 2.0));
        stream->Play(true);
    }
    EXPECT_EQ(manager.GetStreamCount(), 1u);
    time.Advance(1000);
    ASSERT_TRUE(WaitUntil([&] { return manager.GetRetiredCount() == 1; }));
    EXPECT_EQ(manager.GetStreamCount(), 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(120)); // two more service turns
    EXPECT_EQ(ends->ends.load(), 0);
    manager.DispatchNotifications();
    EXPECT_EQ(ends->ends.load(), 1);
    EXPECT_EQ(ends->thread, std::this_thread::get_id());
    EXPECT_EQ(manager.GetRetiredCount(), 0u);
}

TEST(TSoundManager, ShuttingDownJoinsTheThreadAndEndsNoPlayback)
{
    TManualTimeSource time(5000);
    auto ends = std::make_shared<TEndRecorder>();
    {
        TSoundManager manager([] { return std::make_unique<TManualAudioDevice>(); }, true);
        ASSERT_TRUE(manager.Init());
        for (double seconds : {0.1, 3.0, 10.0}) {
            std::shared_ptr<TSoundStream> stream =
                TSoundStream::Make(std::make_unique<TSilenceSpooler>(seconds), false, 1, ends);
            EXPECT_TRUE(stream->Create(22050, 1, 16, 2.0));
            stream->Play(seconds < 1.0);
        }
        // The one-shot buffer plays out; its refills end it, and it waits in the retired
        // list while the others still play.
        std::vector<int16_t> out(44100 * 3 * 2);
        manager.GetMixer()->MixInto(out.data(), 44100 * 3);
        ASSERT_TRUE(WaitUntil([&] {
            time.Advance(600);
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
            return manager.GetRetiredCount() == 1;
        }));
        EXPECT_EQ(manager.GetStreamCount(), 2u);
    }
    EXPECT_EQ(ends->ends.load(), 0);
    EXPECT_EQ(TSoundManager::Get(), nullptr);
}

TEST_F(TSoundManagerTest, WithoutADeviceSoundsPlaySilentlyForTheirLength)
{
    mManager.reset();
    TScopedEnvironment driver("SDL_AUDIODRIVER", "nonexistent");
    mManager = std::make_unique<TSoundManager>(nullptr, false);
    EXPECT_FALSE(mManager->Init());
    EXPECT_NE(LogText().find(TSoundManager::kNoOutputLog), std::string::npos);
    EXPECT_EQ(mManager->GetMixer(), nullptr);

    TToneSpec tone{1.2, kRate, 2, 441.0, 0.4};
    std::shared_ptr<TSound> sound = LoadTone("sfx/silent.ogg", tone, true);
    std::shared_ptr<TSoundInstance> instance = sound->Play(false);
    ASSERT_NE(instance, nullptr);
    EXPECT_FALSE(instance->GetStream()->HasBuffer());
    int ms = 0;
    for (; ms < 5000 && instance->GetStream() != nullptr; ms += 50) {
        mTime.Advance(50);
        mManager->Update();
        mManager->DispatchNotifications();
    }
    EXPECT_GE(ms, 1200);
    EXPECT_LE(ms, 1800);
}

// A device that cannot play is logged with its reason, as the platform layer has it, and
// what follows from it: no output, and no line that names a place in the source.
TEST_F(TSoundManagerTest, ADeviceThatCannotPlayIsLoggedWithItsReason)
{
    struct TCase
    {
        const char* driver; // SDL_AUDIODRIVER; null: a device settling on 500 Hz
        const char* diskFile;
        const char* reason;
    };
    const TCase cases[] = {
        {"nonexistent", nullptr, "sound: cannot start SDL audio: "},
        {"disk", "/nonexistent-folder/out.raw",
         "sound: cannot open the audio device: Couldn't open /nonexistent-folder/out.raw"},
        {nullptr, nullptr,
         "sound: the audio device plays at 500 Hz, below the mixer's lowest rate"},
    };
    mManager.reset();
    TPlatformLog::SetSink([](const char* line) { TraceLog("%s", line); });
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.reason);
        InitLog(mFolder.Path().c_str());
        TScopedEnvironment driver("SDL_AUDIODRIVER", c.driver != nullptr ? c.driver : "dummy");
        TScopedEnvironment diskFile("SDL_DISKAUDIOFILE", c.diskFile);
        TSoundManager::TDeviceMaker maker;
        if (c.driver == nullptr)
            maker = [] { return std::make_unique<TManualAudioDevice>(500); };
        TSoundManager manager(maker, false);
        EXPECT_FALSE(manager.Init());
        const std::string log = LogText();
        EXPECT_NE(log.find(c.reason), std::string::npos) << log;
        EXPECT_NE(log.find(TSoundManager::kNoOutputLog), std::string::npos) << log;
        EXPECT_EQ(log.find("DX Error"), std::string::npos) << log;
        EXPECT_EQ(log.find(".\\"), std::string::npos) << log;
    }
}

// A stream that ends waits for the main thread's DispatchNotifications; the manager wakes
// the event loop for it at once, once per stream, so the end is not left waiting for input.
TEST_F(TSoundManagerTest, AFinishedStreamWakesTheEventLoop)
{
    int wakes = 0;
    mManager->SetNotificationWake([&wakes] { ++wakes; });
    TToneSpec tone{0.3, kRate, 1, 441.0, 0.4};
    std::shared_ptr<TSound> first = LoadTone("sfx/first.ogg", tone, true);
    std::shared_ptr<TSound> second = LoadTone("sfx/second.ogg", tone, true);
    first->Play(false);
    second->Play(false);
    Run(200);
    EXPECT_EQ(wakes, 0);
    for (int ms = 0; ms < 3000 && mManager->GetRetiredCount() < 2; ms += 10)
        Run(10);
    EXPECT_EQ(mManager->GetRetiredCount(), 2u);
    EXPECT_EQ(wakes, 2);
    mManager->DispatchNotifications();
    EXPECT_EQ(mManager->GetRetiredCount(), 0u);
    EXPECT_EQ(wakes, 2);
}

// Registers memory files in the process-wide path map.
using TSoundManagerThreadsTest = EngineStateTest;

TEST_F(TSoundManagerThreadsTest,
       PlaysStreamsAndChangesVolumesWhileTheServiceThreadAndTheCallbackRun)
{
    TScopedEnvironment driver("SDL_AUDIODRIVER", "dummy");
    TTempFolder folder;
    const std::string effectBytes = MakeToneOgg({0.3, 22050, 1, 660.0, 0.4});
    const std::string musicBytes = MakeToneOgg({2.5, 44100, 2, 220.0, 0.3});
    RegisterMemoryFile("sfx/click.ogg", effectBytes.data(), effectBytes.size());
    RegisterMemoryFile("music/loop.ogg", musicBytes.data(), musicBytes.size());
    {
        TAssetManager cache;
        TSoundManager manager;
        ASSERT_TRUE(manager.Init());
        ASSERT_NE(manager.GetMixer(), nullptr);
        std::shared_ptr<TSound> effect = TSound::Get(&cache, "sfx/click.ogg", true, 1000);
        std::shared_ptr<TSound> music = TSound::Get(&cache, "music/loop.ogg?group=1001", false, 0);
        ASSERT_NE(effect, nullptr);
        ASSERT_NE(music, nullptr);
        std::weak_ptr<TSoundInstance> loop = music->Play(true);
        std::vector<std::weak_ptr<TSoundInstance>> clicks;
        for (int turn = 0; turn < 40; ++turn) {
            if (turn % 4 == 0)
                clicks.push_back(effect->Play(false));
            manager.SetGroupVolume(1000, 0.3f + 0.01f * turn);
            manager.SetMasterVolume(turn % 2 == 0 ? 1.0f : 0.9f);
            if (turn == 20)
                manager.PauseGroup(true, 1001);
            if (turn == 25)
                manager.PauseGroup(false, -1);
            if (turn == 30)
                manager.SetActive(false);
            if (turn == 32)
                manager.SetActive(true);
            manager.DispatchNotifications();
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        ASSERT_TRUE(WaitUntil([&] {
            manager.DispatchNotifications();
            for (const auto& click : clicks)
                if (!click.expired())
                    return false;
            return true;
        }));
        EXPECT_FALSE(loop.expired());
        manager.StopGroup(-1);
        EXPECT_TRUE(loop.expired());
    }
}

} // namespace
