#include "engine/sound/TSound.h"

#include "engine/foundation/files/TPathMap.h"
#include "engine/sound/TSoundData.h"
#include "engine/sound/TSoundInstance.h"
#include "engine/sound/TSoundStream.h"
#include "tests/engine/LogLine.h"
#include "tests/engine/sound/SoundTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>

namespace {

int OpenDescriptors()
{
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir) != nullptr)
            ++count;
        closedir(dir);
    }
    return count;
}

class TSoundTest : public SoundTest
{
};

TEST_F(TSoundTest, TheCacheKeyIsTheFileTheMemoryFlagAndTheGroup)
{
    AddFile("music/theme.ogg", MakeToneOgg({0.5, 22050, 1, 440.0, 0.3}));
    std::shared_ptr<TSound> byQuery = TSound::Get(&mCache, "music/theme.ogg?group=1001", true, -1);
    std::shared_ptr<TSound> byArgument = TSound::Get(&mCache, "music/theme.ogg", true, 1001);
    std::shared_ptr<TSound> effects = TSound::Get(&mCache, "music/theme.ogg", true, 1000);
    std::shared_ptr<TSound> streamed = TSound::Get(&mCache, "music/theme.ogg", false, 1001);
    ASSERT_NE(byQuery, nullptr);
    EXPECT_EQ(byQuery, byArgument);
    EXPECT_NE(byQuery, effects);
    EXPECT_NE(byQuery, streamed);
    EXPECT_EQ(byQuery->GetData().GetGroup(), 1001);
    EXPECT_EQ(TString(byQuery->GetData().GetName()), TString("music/theme.ogg"));
    EXPECT_EQ(TSound::MakeKey("music/theme.ogg", true, 1001), TString("music/theme.ogg;1;1001"));
    EXPECT_EQ(AssetCast<TSound>(mCache.Find("music/theme.ogg;0;1001")), streamed);
    EXPECT_STREQ(byQuery->GetClassName(), "TSound");
    EXPECT_TRUE(byQuery->IsKindOf(TAsset::ClassId()));
}

TEST_F(TSoundTest, ShortSoundsForMemoryAreDecodedWholeAndTheRestKeepTheirDecoder)
{
    struct TCase
    {
        double seconds;
        bool inMemory;
        bool decodedWhole;
    };
    const TCase cases[] = {{1.9, true, true}, {2.1, true, false}, {1.0, false, false}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.seconds << (c.inMemory ? " in memory" : ""));
        const std::string name = "sfx/" + std::to_string(c.seconds) + ".ogg";
        std::shared_ptr<TSound> sound =
            LoadTone(name, {c.seconds, 22050, 2, 440.0, 0.3}, c.inMemory);
        ASSERT_NE(sound, nullptr);
        TSoundData& data = sound->GetData();
        EXPECT_EQ(data.GetSampleRate(), 22050);
        EXPECT_EQ(data.GetChannels(), 2);
        EXPECT_NEAR(data.GetDuration(), c.seconds, 1e-4);
        EXPECT_EQ(data.GetPcm() != nullptr, c.decodedWhole);
        EXPECT_EQ(data.GetDecoder() != nullptr, !c.decodedWhole);
        if (c.decodedWhole) { // every frame, and no more
            EXPECT_EQ(data.GetPcmBytes(), static_cast<size_t>(c.seconds * 22050 + 0.5) * 4);
        }
    }
}

TEST_F(TSoundTest, OverlappingPlaysEndIndependently)
{
    std::shared_ptr<TSound> sound = LoadTone("sfx/blip.ogg", {0.4, kRate, 1, 880.0, 0.3}, true);
    std::weak_ptr<TSoundInstance> first = sound->Play(false);
    Run(600);
    std::weak_ptr<TSoundInstance> second = sound->Play(false);
    EXPECT_EQ(sound->GetData().GetInstances().size(), 2u);
    int firstEnded = -1;
    int secondEnded = -1;
    for (int ms = 0; ms < 5000 && secondEnded < 0; ms += 10) {
        Run(10);
        mManager->DispatchNotifications();
        if (firstEnded < 0 && first.expired())
            firstEnded = ms;
        if (secondEnded < 0 && second.expired())
            secondEnded = ms;
    }
    ASSERT_GE(firstEnded, 0);
    ASSERT_GE(secondEnded, 0);
    EXPECT_GE(secondEnded - firstEnded, 400);
    EXPECT_TRUE(sound->GetData().GetInstances().empty());
}

TEST_F(TSoundTest, StoppingAnInstanceThatHasEndedDoesNothing)
{
    std::shared_ptr<TSound> sound = LoadTone("sfx/tick.ogg", {0.2, kRate, 1, 880.0, 0.3}, true);
    std::shared_ptr<TSoundInstance> instance = sound->Play(false);
    ASSERT_GE(RunUntilDone(5000), 0);
    EXPECT_EQ(instance->GetStream(), nullptr);
    instance->Stop();
    EXPECT_TRUE(sound->StopInstance(instance));
    EXPECT_FALSE(sound->StopAll());
    EXPECT_FALSE(sound->PauseAll(true));
    EXPECT_FALSE(sound->StopInstance(nullptr));
}

TEST_F(TSoundTest, StoppingAndDroppingSoundsEndsTheirPlaybacksAtOnce)
{
    std::shared_ptr<TSound> sound = LoadTone("sfx/hold.ogg", {1.0, kRate, 1, 440.0, 0.3}, true);
    std::shared_ptr<TSoundInstance> kept = sound->Play(true);
    std::weak_ptr<TSoundInstance> dropped = sound->Play(false);
    Run(100);
    kept->Stop();
    EXPECT_EQ(kept->GetStream(), nullptr);
    EXPECT_FALSE(dropped.expired());
    EXPECT_EQ(mManager->GetStreamCount(), 1u);
    sound->Play(true);
    EXPECT_TRUE(sound->StopAll());
    EXPECT_TRUE(dropped.expired());
    EXPECT_EQ(mManager->GetStreamCount(), 0u);

    sound->Play(true);
    std::weak_ptr<TSoundInstance> orphan = sound->Play(true);
    sound.reset();
    EXPECT_TRUE(orphan.expired());
    EXPECT_EQ(mManager->GetStreamCount(), 0u);
}

// Each refusal is one line naming the file and the reason.
TEST_F(TSoundTest, MissingAndDamagedFilesAreRefusedWithTheirMessages)
{
    EXPECT_EQ(TSound::Get(&mCache, "", true, -1), nullptr);
    AddFile("sfx/empty.ogg", "");
    AddFile("sfx/folder.ogg/inside.ogg", MakeToneOgg({0.1, 22050, 1, 440.0, 0.3}));
    mFolder.Write("disk.ogg/inside.ogg", "OggS");
    TPathMap::Get().SetWorkingFolder(mFolder.Path().c_str());
    struct TCase
    {
        const char* name;
        std::string line;
    } cases[] = {
        {"sfx/missing.ogg", LogLine(TSound::kCannotOpenLog, "sfx/missing.ogg", "does not exist")},
        {"sfx/empty.ogg", LogLine(TSound::kCannotOpenLog, "sfx/empty.ogg", "is empty")},
        {"sfx/folder.ogg", LogLine(TSound::kCannotOpenLog, "sfx/folder.ogg", "is a folder")},
        {"::disk.ogg", LogLine(TSound::kCannotOpenLog, "::disk.ogg", "is a folder")},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TSound::Get(&mCache, c.name, true, -1), nullptr);
    }
    const std::string refusals = LogText();
    for (const TCase& c : cases)
        EXPECT_NE(refusals.find(c.line), std::string::npos) << c.line;

    // No ".ogg" in the name: refused without a word.
    const std::string before = LogText();
    AddFile("sfx/beep.wav", "RIFF");
    EXPECT_EQ(TSound::Get(&mCache, "sfx/beep.wav", true, -1), nullptr);
    EXPECT_EQ(LogText(), before);

    std::string damaged = MakeToneOgg({0.5, 22050, 1, 440.0, 0.3});
    damaged[0] = 'X';
    for (bool inMemory : {true, false}) {
        SCOPED_TRACE(inMemory);
        AddFile("sfx/damaged.ogg", damaged);
        EXPECT_EQ(TSound::Get(&mCache, "sfx/damaged.ogg", inMemory, -1), nullptr);
    }
    const std::string log = LogText();
    EXPECT_NE(
        log.find(LogLine(TSoundData::kRefusedLog, "sfx/damaged.ogg", "is no Ogg Vorbis file")),
        std::string::npos);
}

TEST_F(TSoundTest, ADamagedFileOnDiskIsClosedOnce)
{
    std::string damaged = MakeToneOgg({0.5, 22050, 1, 440.0, 0.3});
    damaged.resize(20);
    mFolder.Write("damaged.ogg", damaged);
    TPathMap::Get().SetWorkingFolder(mFolder.Path().c_str());
    for (bool inMemory : {true, false}) {
        SCOPED_TRACE(inMemory);
        const int open = OpenDescriptors();
        EXPECT_EQ(TSound::Get(&mCache, "::damaged.ogg", inMemory, -1), nullptr);
        EXPECT_EQ(OpenDescriptors(), open);
    }
    EXPECT_NE(LogText().find(LogLine(TSoundData::kRefusedLog, "::damaged.ogg", "")),
              std::string::npos);
}

// The mixer plays mono and stereo: a file with more channels is refused when it loads,
// in one line, and never reaches a play.
TEST_F(TSoundTest, SoundsWithMoreThanTwoChannelsAreRefusedAtLoad)
{
    for (int channels : {3, 8}) {
        SCOPED_TRACE(channels);
        const std::string name = "sfx/surround" + std::to_string(channels) + ".ogg";
        const std::string before = LogText();
        for (bool inMemory : {true, false})
            EXPECT_EQ(LoadTone(name, {0.5, 22050, channels, 440.0, 0.3}, inMemory), nullptr);
        const std::string added = LogText().substr(before.size());
        const std::string line =
            LogLine(TSoundData::kChannelsRefusedLog, name.c_str(), channels) + "\n";
        // One line for each of the two loads, and nothing else.
        EXPECT_EQ(std::count(added.begin(), added.end(), '\n'), 2) << added;
        const size_t first = added.find(line);
        ASSERT_NE(first, std::string::npos) << added;
        EXPECT_NE(added.find(line, first + 1), std::string::npos) << added;
    }
}

// Pressing on a sound again and again keeps at most kMaxInstances playbacks, stopping
// the oldest each time.
TEST_F(TSoundTest, PlaybacksOfOneSoundAreCappedAndTheOldestStops)
{
    std::shared_ptr<TSound> sound = LoadTone("sfx/press.ogg", {1.0, kRate, 2, 440.0, 0.3}, true);
    ASSERT_NE(sound, nullptr);
    std::vector<std::shared_ptr<TSoundInstance>> presses;
    for (int press = 0; press < 20; ++press) {
        presses.push_back(sound->Play(press % 2 == 0));
        ASSERT_NE(presses.back(), nullptr);
        EXPECT_LE(sound->GetData().GetInstances().size(), TSound::kMaxInstances);
    }
    EXPECT_EQ(mManager->GetStreamCount(), TSound::kMaxInstances);
    EXPECT_EQ(mManager->GetMixer()->GetBufferCount(), TSound::kMaxInstances);
    const size_t firstKept = presses.size() - TSound::kMaxInstances;
    for (size_t press = 0; press < presses.size(); ++press)
        EXPECT_EQ(presses[press]->GetStream() != nullptr, press >= firstKept) << press;
    EXPECT_EQ(sound->GetData().GetInstances().front(), presses[firstKept]);

    // Another sound has playbacks of its own.
    std::shared_ptr<TSound> other = LoadTone("sfx/other.ogg", {1.0, kRate, 1, 660.0, 0.3}, true);
    ASSERT_NE(other->Play(false), nullptr);
    EXPECT_EQ(mManager->GetStreamCount(), TSound::kMaxInstances + 1);
}

TEST_F(TSoundTest, PlayNeedsLoadedDataAndAManager)
{
    std::shared_ptr<TSound> empty = TSound::Create(&mCache, "never;1;-1");
    EXPECT_EQ(empty->Play(false), nullptr);
    EXPECT_NE(LogText().find(LogLine(TSound::kNotLoadedLog, "(no file)")), std::string::npos);

    std::shared_ptr<TSound> sound = LoadTone("sfx/late.ogg", {0.2, kRate, 1, 440.0, 0.3}, true);
    mManager.reset();
    EXPECT_EQ(sound->Play(false), nullptr);
    EXPECT_NE(LogText().find(LogLine(TSound::kNoManagerLog, "sfx/late.ogg")), std::string::npos);
}

} // namespace
