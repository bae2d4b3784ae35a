#include "engine/foundation/host/TGameState.h"

#include "engine/foundation/host/TGameStateHandler.h"
#include "engine/foundation/seams/TMasterVolume.h"
#include "tests/engine/EngineStateTest.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class TFakeVolume final : public TMasterVolume
{
public:
    float GetMasterVolume() const override { return mVolume; }
    void SetMasterVolume(float volume) override
    {
        mVolume = volume;
        ++mWrites;
    }
    float mVolume = 0.75f;
    int mWrites = 0;
};

// Records what it sees; takes writes of one key and rewrites reads of another.
class TProbeHandler final : public TGameStateHandler
{
public:
    TProbeHandler(std::vector<std::string>* seen, std::string name, const char* takes,
                  const char* rewrites = "", const char* rewriteTo = "")
        : mSeen(seen), mName(std::move(name)), mTakes(takes), mRewrites(rewrites),
          mRewriteTo(rewriteTo)
    {
    }
    bool SetState(const char* key, const char* value) override
    {
        mSeen->push_back(mName + ":" + key + "=" + value);
        return std::strcmp(key, mTakes) == 0;
    }
    const char* GetState(const char* key, const char* value) override
    {
        return std::strcmp(key, mRewrites) == 0 ? mRewriteTo : value;
    }
    bool QueryMuteGame() override { return mMute; }
    bool IsHostPaused() override { return mPaused; }
    bool mMute = false;
    bool mPaused = false;

private:
    std::vector<std::string>* mSeen;
    std::string mName;
    const char* mTakes;
    const char* mRewrites;
    const char* mRewriteTo;
};

class TGameStateTest : public EngineStateTest
{
protected:
    void SetUp() override
    {
        TMasterVolume::Install(&mVolume);
        TGameState::SetFacadePresent(true);
    }
    // The master volume points at a member: it goes before the members do.
    void TearDown() override { ResetEngineState(); }
    TGameState& Store() { return *TGameState::Get(); }

    TFakeVolume mVolume;
    std::vector<std::string> mSeen;
};

TEST_F(TGameStateTest, ExistsOnlyWhileTheFacadeDoes)
{
    TGameState::Destroy();
    EXPECT_EQ(TGameState::Get(), nullptr);
    TGameState::SetFacadePresent(true);
    TGameState* store = TGameState::Get();
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(TGameState::Get(), store);
}

TEST_F(TGameStateTest, CountersIncrementWhateverTheValue)
{
    Store().SetState("++hits", "99");
    Store().SetState("++hits", "");
    EXPECT_EQ(Store().GetState("hits"), TString("2"));
    EXPECT_EQ(Store().GetState("++hits"), TString(""));
    Store().SetState("score", 1234);
    EXPECT_EQ(Store().GetState("score"), TString("1234"));
}

TEST_F(TGameStateTest, AbsentKeyReadsEmpty)
{
    EXPECT_EQ(Store().GetState("nothing"), TString(""));
    EXPECT_FALSE(Store().QueryMuteGame());
}

TEST_F(TGameStateTest, MuteSavesAndRestoresTheMasterVolume)
{
    struct TStep
    {
        const char* value;
        float volumeAfter;
        int writesAfter;
    };
    const TStep steps[] = {
        {"1", 0.0f, 1},  // muted: saved 0.75, volume 0
        {"1", 0.0f, 1},  // already muted: nothing
        {"0", 0.75f, 2}, // restored
        {"0", 0.75f, 2}, // already unmuted: nothing
        {"1", 0.0f, 3},
    };
    for (const TStep& step : steps) {
        Store().SetState("mute", step.value);
        EXPECT_FLOAT_EQ(mVolume.mVolume, step.volumeAfter) << step.value;
        EXPECT_EQ(mVolume.mWrites, step.writesAfter) << step.value;
    }
    EXPECT_TRUE(Store().QueryMuteGame());
}

TEST_F(TGameStateTest, HandlerTakingMuteLeavesVolumeButStoreChanges)
{
    TGameState::AddHandler(std::make_unique<TProbeHandler>(&mSeen, "a", "mute"));
    Store().SetState("mute", "1");
    EXPECT_EQ(mVolume.mWrites, 0);
    EXPECT_EQ(Store().GetState("mute"), TString("1"));
    EXPECT_TRUE(Store().QueryMuteGame());
}

TEST_F(TGameStateTest, FirstHandlerTakingAWriteEndsTheWalk)
{
    TGameState::AddHandler(std::make_unique<TProbeHandler>(&mSeen, "a", "x"));
    TGameState::AddHandler(std::make_unique<TProbeHandler>(&mSeen, "b", "y"));
    TGameState::AddHandler(std::make_unique<TProbeHandler>(&mSeen, "c", "none"));
    Store().SetState("y", "1");
    Store().SetState("x", "2");
    Store().SetState("z", "3");
    std::vector<std::string> expected = {"a:y=1", "b:y=1", "a:x=2", "a:z=3", "b:z=3", "c:z=3"};
    EXPECT_EQ(mSeen, expected);
}

TEST_F(TGameStateTest, RewritingHandlerChangesReadsNotTheStore)
{
    TGameState::AddHandler(std::make_unique<TProbeHandler>(&mSeen, "a", "", "systemmode", "zylom"));
    TGameState::AddHandler(std::make_unique<TProbeHandler>(&mSeen, "b", "", "level", "7"));
    Store().SetState("systemmode", "plain");
    EXPECT_EQ(Store().GetState("systemmode"), TString("zylom"));
    EXPECT_EQ(Store().GetState("level"), TString("7"));
    TGameState::Destroy();
    TGameState::SetFacadePresent(true);
    EXPECT_EQ(Store().GetState("level"), TString("")) << "handlers went with the old store";
}

TEST_F(TGameStateTest, HandlersAddedBeforeTheStoreTakePart)
{
    TGameState::Destroy();
    auto handler = std::make_unique<TProbeHandler>(&mSeen, "early", "");
    handler->mPaused = true;
    handler->mMute = true;
    TGameState::AddHandler(std::move(handler));
    EXPECT_TRUE(TGameState::AnyHandlerPaused());
    TGameState::SetFacadePresent(true);
    Store().SetState("cmdline", "-x");
    EXPECT_EQ(mSeen, std::vector<std::string>{"early:cmdline=-x"});
    EXPECT_TRUE(Store().QueryMuteGame());
    EXPECT_FALSE(Store().QueryRestartMode());
    EXPECT_FALSE(Store().QueryJumpToMenu());
}

} // namespace
