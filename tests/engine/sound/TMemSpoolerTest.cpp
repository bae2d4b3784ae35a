#include "engine/sound/TMemSpooler.h"

#include "engine/sound/TSoundData.h"
#include "tests/engine/sound/SoundTest.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class TMemSpoolerTest : public SoundTest
{
protected:
    // Reads bytes; the result and the bytes delivered.
    static std::vector<uint8_t> Read(TMemSpooler& spooler, uint32_t bytes, bool loop, bool& more,
                                     uint32_t& delivered)
    {
        std::vector<uint8_t> out(bytes, 0xAB);
        more = spooler.Read(bytes, out.data(), delivered, loop);
        return out;
    }
};

TEST_F(TMemSpoolerTest, DecodedPcmIsCopiedAndEndsWithSilence)
{
    std::shared_ptr<TSound> sound = LoadTone("sfx/pcm.ogg", {0.1, 22050, 1, 500.0, 0.4}, true);
    TSoundData& data = sound->GetData();
    ASSERT_NE(data.GetPcm(), nullptr);
    const uint32_t length = static_cast<uint32_t>(data.GetPcmBytes());
    ASSERT_EQ(length, 2205u * 2);
    const std::vector<uint8_t> pcm(data.GetPcm(), data.GetPcm() + length);

    TMemSpooler spooler(std::shared_ptr<TSoundData>(sound, &data));
    bool more = false;
    uint32_t delivered = 0;
    EXPECT_EQ(Read(spooler, 4000, false, more, delivered),
              std::vector<uint8_t>(pcm.begin(), pcm.begin() + 4000));
    EXPECT_TRUE(more);
    EXPECT_EQ(delivered, 4000u);
    std::vector<uint8_t> rest = Read(spooler, 1000, false, more, delivered);
    EXPECT_FALSE(more);
    EXPECT_EQ(delivered, length - 4000);
    EXPECT_TRUE(std::equal(pcm.begin() + 4000, pcm.end(), rest.begin()));
    EXPECT_TRUE(
        std::all_of(rest.begin() + delivered, rest.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_DOUBLE_EQ(spooler.GetLength(), data.GetDuration());
}

TEST_F(TMemSpoolerTest, ALoopingReadWrapsToTheStartWithoutAGap)
{
    std::shared_ptr<TSound> sound = LoadTone("sfx/wrap.ogg", {0.1, 22050, 1, 500.0, 0.4}, true);
    TSoundData& data = sound->GetData();
    const std::vector<uint8_t> pcm(data.GetPcm(), data.GetPcm() + data.GetPcmBytes());
    TMemSpooler spooler(std::shared_ptr<TSoundData>(sound, &data));
    bool more = false;
    uint32_t delivered = 0;
    const std::vector<uint8_t> out = Read(spooler, 11025, true, more, delivered);
    EXPECT_TRUE(more);
    EXPECT_EQ(delivered, 11025u);
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_EQ(out[i], pcm[i % pcm.size()]) << "byte " << i;
}

TEST_F(TMemSpoolerTest, SeeksStayWithinTheSound)
{
    std::shared_ptr<TSound> sound = LoadTone("sfx/seek.ogg", {0.1, 22050, 1, 500.0, 0.4}, true);
    TSoundData& data = sound->GetData();
    const std::vector<uint8_t> pcm(data.GetPcm(), data.GetPcm() + data.GetPcmBytes());
    TMemSpooler spooler(std::shared_ptr<TSoundData>(sound, &data));
    bool more = false;
    uint32_t delivered = 0;
    spooler.Seek(0.05);
    std::vector<uint8_t> out = Read(spooler, 8, false, more, delivered);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), pcm.begin() + 1102 * 2));
    // Past the end: nothing to read, rather than a copy from beyond the block.
    for (double seconds : {1.0, 1e300}) {
        spooler.Seek(seconds);
        out = Read(spooler, 64, false, more, delivered);
        EXPECT_FALSE(more);
        EXPECT_EQ(delivered, 0u);
    }
    spooler.Seek(-3.0);
    out = Read(spooler, 8, false, more, delivered);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), pcm.begin()));
    spooler.Rewind();
    out = Read(spooler, 8, false, more, delivered);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), pcm.begin()));
}

TEST_F(TMemSpoolerTest, TheSharedDecoderGivesTheSameSamplesAsDecodingWhole)
{
    const std::string bytes = MakeToneOgg({1.5, 22050, 2, 310.0, 0.4});
    AddFile("sfx/same.ogg", bytes);
    std::shared_ptr<TSound> whole = TSound::Get(&mCache, "sfx/same.ogg", true, -1);
    std::shared_ptr<TSound> streamed = TSound::Get(&mCache, "sfx/same.ogg", false, -1);
    ASSERT_NE(whole->GetData().GetPcm(), nullptr);
    ASSERT_NE(streamed->GetData().GetDecoder(), nullptr);
    const std::vector<uint8_t> pcm(whole->GetData().GetPcm(),
                                   whole->GetData().GetPcm() + whole->GetData().GetPcmBytes());

    // Two spoolers take turns on the one decoder, each in its own place.
    TSoundData& data = streamed->GetData();
    TMemSpooler first(std::shared_ptr<TSoundData>(streamed, &data));
    TMemSpooler second(std::shared_ptr<TSoundData>(streamed, &data));
    std::vector<uint8_t> a;
    std::vector<uint8_t> b;
    bool more = true;
    uint32_t delivered = 0;
    for (int turn = 0; more; ++turn) {
        std::vector<uint8_t> chunk = Read(first, 17640, false, more, delivered);
        a.insert(a.end(), chunk.begin(), chunk.begin() + delivered);
        if (turn >= 2) {
            bool ignored = false;
            chunk = Read(second, 17640, false, ignored, delivered);
            b.insert(b.end(), chunk.begin(), chunk.begin() + delivered);
        }
    }
    EXPECT_EQ(a, pcm);
    ASSERT_LE(b.size(), pcm.size());
    EXPECT_TRUE(std::equal(b.begin(), b.end(), pcm.begin()));

    // Looping over the decoder: the end joins the start again.
    TMemSpooler looping(std::shared_ptr<TSoundData>(streamed, &data));
    std::vector<uint8_t> twice =
        Read(looping, static_cast<uint32_t>(pcm.size() * 2), true, more, delivered);
    EXPECT_TRUE(more);
    EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), twice.begin()));
    EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), twice.begin() + pcm.size()));
}

TEST_F(TMemSpoolerTest, AGoneSoundEndsTheRead)
{
    std::shared_ptr<TSound> sound = LoadTone("sfx/gone.ogg", {0.1, 22050, 1, 500.0, 0.4}, true);
    TMemSpooler spooler(std::shared_ptr<TSoundData>(sound, &sound->GetData()));
    sound.reset();
    bool more = true;
    uint32_t delivered = 7;
    Read(spooler, 100, true, more, delivered);
    EXPECT_FALSE(more);
    EXPECT_EQ(delivered, 0u);
    EXPECT_EQ(spooler.GetLength(), 0.0);
}

} // namespace
