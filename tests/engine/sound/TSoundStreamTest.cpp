#include "engine/sound/TSoundStream.h"

#include "engine/platform/TAudioBuffer.h"
#include "engine/sound/TSoundData.h"
#include "engine/sound/TSoundInstance.h"
#include "tests/engine/sound/SoundTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

TEST(TSoundStream, BufferSizesHoldTwoSecondsInWholeBlocks)
{
    struct TCase
    {
        int rate;
        int channels;
        double seconds;
        uint32_t bytes;
    };
    const TCase cases[] = {
        {44100, 2, 2.0, 352800}, {44100, 1, 2.0, 176400},         {22050, 1, 2.0, 88200},
        {11025, 1, 2.0, 44104},  {48000, 2, 2.0, 384000},         {1000, 1, 0.0001, 4},
        {8000, 1, 0.0, 4},       {384000, 8, 1000.0, 0x0FFFFFFF},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz x " << c.channels);
        EXPECT_EQ(TSoundStream::BufferBytes(c.rate, c.channels, 16, c.seconds), c.bytes);
    }
}

TEST(TSoundStream, VolumesMapToHundredthsOfADecibel)
{
    struct TCase
    {
        float volume;
        int centibels;
    };
    const TCase cases[] = {{0.0f, -10000},   {0.5f, -2500},
                           {1.0f, 0},        {-0.2f, -5000},
                           {1.5f, 0},        {0.9f, -500},
                           {0.0001f, -4999}, {std::numeric_limits<float>::quiet_NaN(), -5000}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.volume);
        EXPECT_EQ(TSoundStream::VolumeToCentibels(c.volume), c.centibels);
    }
}

class TSoundStreamTest : public SoundTest
{
};

TEST_F(TSoundStreamTest, AShortOneShotPlaysItsBufferOnceAndEndsWhenItHasPlayedOut)
{
    TToneSpec tone{1.5, kRate, 2, 441.0, 0.5};
    std::shared_ptr<TSound> sound = LoadTone("sfx/once.ogg", tone, true);
    ASSERT_NE(sound, nullptr);
    std::shared_ptr<TSoundInstance> instance = sound->Play(false);
    ASSERT_NE(instance, nullptr);
    TSoundStream* stream = instance->GetStream();
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->GetBufferSize(), 352800u);
    EXPECT_DOUBLE_EQ(stream->GetBufferSeconds(), 2.0);
    EXPECT_FALSE(stream->GetBuffer()->IsLooping());

    std::vector<int16_t> out;
    const int ms = RunUntilDone(5000, &out);
    EXPECT_GE(ms, 2000);
    EXPECT_LE(ms, 2600);
    EXPECT_EQ(instance->GetStream(), nullptr);
    // All of the tone, then silence.
    EXPECT_NEAR(Rms(out, 0, Frames(1500)), ToneRms(0.5), ToneRms(0.5) * 0.05);
    EXPECT_EQ(Rms(out, Frames(1510), out.size() / 2), 0.0);
}

TEST_F(TSoundStreamTest, ALongSoundPlaysThroughTheRingAndEndsAHalfAfterItsLastSample)
{
    TToneSpec tone{5.0, kRate, 2, 441.0, 0.5};
    std::shared_ptr<TSound> sound = LoadTone("music/long.ogg", tone, false);
    ASSERT_NE(sound, nullptr);
    std::shared_ptr<TSoundInstance> instance = sound->Play(false);
    ASSERT_NE(instance, nullptr);
    EXPECT_TRUE(instance->GetStream()->GetBuffer()->IsLooping());

    std::vector<int16_t> out;
    const int ms = RunUntilDone(10000, &out);
    EXPECT_GE(ms, 6000);
    EXPECT_LE(ms, 6700);
    // Every tenth of a second of the five was heard, and nothing after.
    for (int t = 0; t < 5000; t += 100) {
        SCOPED_TRACE(t);
        EXPECT_NEAR(Rms(out, Frames(t), Frames(t + 100)), ToneRms(0.5), ToneRms(0.5) * 0.05);
    }
    EXPECT_EQ(Rms(out, Frames(5010), out.size() / 2), 0.0);
}

TEST_F(TSoundStreamTest, LoopsHaveNoGapOrClickAtTheirSeams)
{
    struct TCase
    {
        const char* name;
        double seconds; // whole periods of 440 Hz, so the loop joins in phase
        bool inMemory;
        int ms; // long enough to pass the seam twice
    };
    const TCase cases[] = {{"sfx/hum.ogg", 0.5, true, 4000}, {"music/hum.ogg", 2.5, false, 6000}};
    // A sine this loud moves at most 2 pi f / rate x peak from one frame to the next.
    const double largestStep = 2.0 * M_PI * 440.0 / kRate * 0.5 * 32767.0;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::shared_ptr<TSound> sound =
            LoadTone(c.name, {c.seconds, kRate, 1, 440.0, 0.5}, c.inMemory);
        ASSERT_NE(sound, nullptr);
        std::shared_ptr<TSoundInstance> instance = sound->Play(true);
        const std::vector<int16_t> out = Run(c.ms);
        int worst = 0;
        for (size_t i = 1; i < out.size() / 2; ++i)
            worst = std::max(worst, std::abs(out[2 * i] - out[2 * i - 2]));
        EXPECT_LT(worst, largestStep * 1.2);
        for (int t = 0; t < c.ms; t += 50) {
            SCOPED_TRACE(t);
            EXPECT_NEAR(Rms(out, Frames(t), Frames(t + 50)), ToneRms(0.5), ToneRms(0.5) * 0.05);
        }
        EXPECT_EQ(mManager->GetStreamCount(), 1u);
        instance->Stop();
        EXPECT_EQ(mManager->GetStreamCount(), 0u);
    }
}

TEST_F(TSoundStreamTest, TwoPlaybacksOfOneDecoderSumToTheSameSamplesAsOneAlone)
{
    TToneSpec tone{3.0, 22050, 1, 300.0, 0.3};
    std::shared_ptr<TSound> sound = LoadTone("music/shared.ogg", tone, false);
    ASSERT_NE(sound, nullptr);
    ASSERT_NE(sound->GetData().GetDecoder(), nullptr);
    sound->Play(false);
    std::vector<int16_t> alone;
    ASSERT_GE(RunUntilDone(8000, &alone), 0);

    const size_t lag = Frames(370);
    sound->Play(false);
    std::vector<int16_t> both = Run(370);
    sound->Play(false);
    ASSERT_GE(RunUntilDone(8000, &both), 0);
    ASSERT_GE(both.size(), alone.size());
    // Each voice is interpolated to the output rate; the sum is rounded once.
    for (size_t i = 0; i < alone.size() / 2; ++i) {
        const int expected = alone[2 * i] + (i >= lag ? alone[2 * (i - lag)] : 0);
        ASSERT_NEAR(both[2 * i], expected, 1) << "frame " << i;
    }
}

TEST_F(TSoundStreamTest, PauseKeepsThePosition)
{
    TToneSpec tone{1.5, kRate, 2, 441.0, 0.5};
    std::shared_ptr<TSound> sound = LoadTone("sfx/paused.ogg", tone, true);
    sound->Play(false);
    std::vector<int16_t> alone;
    ASSERT_GE(RunUntilDone(5000, &alone), 0);

    std::shared_ptr<TSoundInstance> instance = sound->Play(false);
    std::vector<int16_t> out = Run(300);
    EXPECT_TRUE(sound->PauseAll(true));
    EXPECT_TRUE(instance->GetStream()->IsPaused());
    std::vector<int16_t> gap = Run(1500);
    EXPECT_EQ(Rms(gap, 0, gap.size() / 2), 0.0);
    EXPECT_NE(instance->GetStream(), nullptr) << "a paused one-shot must not end";
    sound->PauseAll(false);
    ASSERT_GE(RunUntilDone(5000, &out), 0);
    ASSERT_GE(out.size(), Frames(1500) * 2);
    for (size_t i = 0; i < Frames(1500) * 2; ++i)
        ASSERT_EQ(out[i], alone[i]) << "sample " << i;
}

TEST_F(TSoundStreamTest, AStreamStartedWhileInactiveWaitsForActivation)
{
    TToneSpec tone{1.0, kRate, 2, 441.0, 0.5};
    std::shared_ptr<TSound> sound = LoadTone("sfx/later.ogg", tone, true);
    mManager->SetActive(false);
    std::shared_ptr<TSoundInstance> instance = sound->Play(false);
    TSoundStream* stream = instance->GetStream();
    EXPECT_TRUE(stream->IsSuspended());
    EXPECT_TRUE(stream->IsPaused());
    std::vector<int16_t> quiet = Run(1000);
    EXPECT_EQ(Rms(quiet, 0, quiet.size() / 2), 0.0);
    mManager->SetActive(true);
    EXPECT_FALSE(stream->IsSuspended());
    std::vector<int16_t> heard = Run(900);
    EXPECT_NEAR(Rms(heard, 0, heard.size() / 2), ToneRms(0.5), ToneRms(0.5) * 0.05);
}

} // namespace
