#include "engine/platform/TAudioMixer.h"

#include "engine/platform/TAudioBuffer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int kRate = 44100;

// A mixer at 44.1 kHz and the means to fill its buffers and read its output.
class TAudioMixerTest : public ::testing::Test
{
protected:
    TAudioMixer mMixer{kRate};

    // A buffer holding exactly these frames (interleaved when stereo).
    std::unique_ptr<TAudioBuffer> MakeBuffer(int rate, int channels,
                                             const std::vector<int16_t>& samples)
    {
        const auto bytes = static_cast<uint32_t>(samples.size() * 2);
        std::unique_ptr<TAudioBuffer> buffer = mMixer.CreateBuffer(rate, channels, 16, bytes);
        EXPECT_NE(buffer, nullptr);
        Write(*buffer, 0, samples);
        return buffer;
    }

    static void Write(TAudioBuffer& buffer, uint32_t offset, const std::vector<int16_t>& samples)
    {
        const auto bytes = static_cast<uint32_t>(samples.size() * 2);
        void* region = buffer.Lock(offset, bytes);
        ASSERT_NE(region, nullptr);
        std::memcpy(region, samples.data(), bytes);
        buffer.Unlock();
    }

    // frames stereo frames of output.
    std::vector<int16_t> Mix(int frames)
    {
        std::vector<int16_t> out(static_cast<size_t>(frames) * 2, 12345);
        mMixer.MixInto(out.data(), frames);
        return out;
    }

    static std::vector<int16_t> Left(const std::vector<int16_t>& stereo)
    {
        std::vector<int16_t> left;
        for (size_t i = 0; i < stereo.size(); i += 2)
            left.push_back(stereo[i]);
        return left;
    }
};

TEST_F(TAudioMixerTest, WithoutPlayingBuffersTheOutputIsSilence)
{
    auto stopped = MakeBuffer(kRate, 1, std::vector<int16_t>(64, 1000));
    for (int16_t sample : Mix(300))
        EXPECT_EQ(sample, 0);
}

TEST_F(TAudioMixerTest, VolumeScalesEverySampleByItsGain)
{
    struct TCase
    {
        int centibels;
        float gain;
    };
    // 10^(cB/2000): the volumes the streams use for 1, 0.9, 0.5 and a whisper.
    const TCase cases[] = {{0, 1.0f},      {-500, 0.5623f}, {-2500, 0.05623f}, {-4999, 0.00317f},
                           {-10000, 0.0f}, {-20000, 0.0f},  {300, 1.0f}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.centibels);
        EXPECT_NEAR(TAudioBuffer::GainOf(std::clamp(c.centibels, -10000, 0)), c.gain, 1e-4);
        auto buffer = MakeBuffer(kRate, 1, std::vector<int16_t>(512, 20000));
        buffer->SetVolume(c.centibels);
        EXPECT_EQ(buffer->GetVolume(), std::clamp(c.centibels, -10000, 0));
        buffer->Play(true);
        const std::vector<int16_t> out = Mix(256);
        const auto expected = static_cast<int16_t>(std::lrint(20000 * c.gain));
        for (int16_t sample : out)
            ASSERT_NEAR(sample, expected, 1);
    }
}

TEST_F(TAudioMixerTest, MonoFeedsBothSidesAndStereoPassesThrough)
{
    auto mono = MakeBuffer(kRate, 1, {100, 200, 300, 400});
    auto stereo = MakeBuffer(kRate, 2, {1000, -1000, 2000, -2000, 3000, -3000, 4000, -4000});
    mono->Play(false);
    stereo->Play(false);
    const std::vector<int16_t> expected = {1100, -900, 2200, -1800, 3300, -2700, 4400, -3600, 0, 0};
    EXPECT_EQ(Mix(5), expected);
}

TEST_F(TAudioMixerTest, SlowerBuffersAreInterpolatedLinearly)
{
    // 22050 Hz into 44100 Hz: every second output frame lies halfway between two frames,
    // and a looping ring interpolates from its last frame back to its first.
    auto half = MakeBuffer(kRate / 2, 1, {0, 1000, 4000, 2000});
    half->Play(true);
    const std::vector<int16_t> expected = {0, 500, 1000, 2500, 4000, 3000, 2000, 1000, 0, 500};
    EXPECT_EQ(Left(Mix(10)), expected);
}

TEST_F(TAudioMixerTest, FasterBuffersSkipFrames)
{
    // 88200 Hz into 44100 Hz reads every second frame; a one-shot ring stops at its end.
    auto twice = MakeBuffer(kRate * 2, 1, {10, 20, 30, 40, 50, 60});
    twice->Play(false);
    const std::vector<int16_t> expected = {10, 30, 50, 0, 0};
    EXPECT_EQ(Left(Mix(5)), expected);
    EXPECT_FALSE(twice->IsPlaying());
}

TEST_F(TAudioMixerTest, ALoopingBufferWrapsAndAOneShotStopsAtItsEnd)
{
    auto loop = MakeBuffer(kRate, 1, {1, 2, 3});
    loop->Play(true);
    EXPECT_EQ(Left(Mix(7)), (std::vector<int16_t>{1, 2, 3, 1, 2, 3, 1}));
    EXPECT_TRUE(loop->IsPlaying());
    EXPECT_TRUE(loop->IsLooping());
    loop->Stop();

    auto once = MakeBuffer(kRate, 1, {7, 8, 9});
    once->Play(false);
    EXPECT_EQ(Left(Mix(5)), (std::vector<int16_t>{7, 8, 9, 0, 0}));
    EXPECT_FALSE(once->IsPlaying());
    uint32_t play = 99;
    uint32_t write = 99;
    once->GetCurrentPosition(play, write);
    EXPECT_EQ(play, 0u);
    EXPECT_EQ(write, 0u);
}

TEST_F(TAudioMixerTest, CursorsLeadByOneFrameWhilePlayingAndStopKeepsThePosition)
{
    auto buffer = MakeBuffer(kRate, 2, std::vector<int16_t>(2 * 100, 5));
    uint32_t play = 0;
    uint32_t write = 0;
    buffer->GetCurrentPosition(play, write);
    EXPECT_EQ(play, 0u);
    EXPECT_EQ(write, 0u);
    buffer->Play(true);
    Mix(30);
    buffer->GetCurrentPosition(play, write);
    EXPECT_EQ(play, 30u * 4);
    EXPECT_EQ(write, 31u * 4);
    Mix(69);
    buffer->GetCurrentPosition(play, write);
    EXPECT_EQ(play, 99u * 4);
    EXPECT_EQ(write, 0u); // wrapped
    buffer->Stop();
    Mix(10);
    buffer->GetCurrentPosition(play, write);
    EXPECT_EQ(play, 99u * 4);
    EXPECT_EQ(write, play);
    buffer->Play(true);
    EXPECT_EQ(Left(Mix(1))[0], 5);
    buffer->GetCurrentPosition(play, write);
    EXPECT_EQ(play, 0u);
}

TEST_F(TAudioMixerTest, LockedRegionsReachTheRingOnlyAtUnlock)
{
    auto buffer = MakeBuffer(kRate, 1, {1, 2, 3, 4});
    buffer->Play(true);
    auto* region = static_cast<int16_t*>(buffer->Lock(4, 4));
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(region[0], 3); // the lock shows what the ring holds
    region[0] = 30;
    region[1] = 40;
    EXPECT_EQ(buffer->Lock(0, 2), nullptr); // one lock at a time
    EXPECT_EQ(Left(Mix(4)), (std::vector<int16_t>{1, 2, 3, 4}));
    buffer->Unlock();
    EXPECT_EQ(Left(Mix(4)), (std::vector<int16_t>{1, 2, 30, 40}));
    EXPECT_EQ(buffer->Lock(6, 4), nullptr); // past the end
    EXPECT_EQ(buffer->Lock(9, 0), nullptr);
    EXPECT_NE(buffer->Lock(8, 0), nullptr);
    buffer->Unlock();
}

TEST_F(TAudioMixerTest, TheSumIsClippedToSixteenBits)
{
    auto a = MakeBuffer(kRate, 2, {30000, -30000});
    auto b = MakeBuffer(kRate, 2, {30000, -30000});
    a->Play(true);
    b->Play(true);
    EXPECT_EQ(Mix(2), (std::vector<int16_t>{32767, -32768, 32767, -32768}));
}

TEST_F(TAudioMixerTest, AVolumeChangeGlidesOverOneMixingCall)
{
    auto buffer = MakeBuffer(kRate, 1, std::vector<int16_t>(64, 10000));
    buffer->Play(true);
    EXPECT_EQ(Left(Mix(4)), (std::vector<int16_t>(4, 10000)));
    buffer->SetVolume(-10000);
    const std::vector<int16_t> glide = Left(Mix(4));
    EXPECT_EQ(glide, (std::vector<int16_t>{7500, 5000, 2500, 0}));
    EXPECT_EQ(Left(Mix(4)), (std::vector<int16_t>(4, 0)));
    // A buffer that starts plays at its volume from the first frame.
    buffer->Stop();
    buffer->SetVolume(0);
    buffer->Play(true);
    EXPECT_EQ(Left(Mix(2)), (std::vector<int16_t>(2, 10000)));
}

TEST_F(TAudioMixerTest, RefusesFormatsItCannotMix)
{
    struct TCase
    {
        int rate;
        int channels;
        int bits;
        uint32_t bytes;
    };
    const TCase refused[] = {{kRate, 3, 16, 60}, {kRate, 0, 16, 8},         {kRate, 2, 8, 8},
                             {500, 1, 16, 8},    {400000, 1, 16, 8},        {kRate, 2, 16, 6},
                             {kRate, 1, 16, 0},  {kRate, 1, 16, 0x10000000}};
    for (const TCase& c : refused) {
        SCOPED_TRACE(testing::Message()
                     << c.rate << " " << c.channels << " " << c.bits << " " << c.bytes);
        EXPECT_EQ(mMixer.CreateBuffer(c.rate, c.channels, c.bits, c.bytes), nullptr);
    }
    EXPECT_EQ(mMixer.GetBufferCount(), 0u);
    auto kept = mMixer.CreateBuffer(TAudioMixer::kMinSampleRate, 1, 16, 4);
    EXPECT_NE(kept, nullptr);
    EXPECT_EQ(mMixer.GetBufferCount(), 1u);
    kept.reset();
    EXPECT_EQ(mMixer.GetBufferCount(), 0u);
}

TEST_F(TAudioMixerTest, AnotherOutputRateChangesTheStep)
{
    auto buffer = MakeBuffer(kRate, 1, {0, 900, 1800, 2700, 3600, 4500});
    mMixer.SetOutputRate(kRate * 3);
    EXPECT_EQ(mMixer.GetOutputRate(), kRate * 3);
    buffer->Play(false);
    EXPECT_EQ(Left(Mix(4)), (std::vector<int16_t>{0, 300, 600, 900}));
}

} // namespace
