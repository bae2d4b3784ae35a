#include "engine/foundation/host/TMsnZylomHandler.h"

#include "engine/foundation/host/TGameState.h"
#include "engine/foundation/host/THostLogTransport.h"
#include "engine/foundation/host/THostTransport.h"
#include "engine/foundation/seams/TMasterVolume.h"
#include "engine/platform/TTimeSource.h"
#include "tests/engine/EngineStateTest.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TFakeVolume final : public TMasterVolume
{
public:
    float GetMasterVolume() const override { return mVolume; }
    void SetMasterVolume(float volume) override { mVolume = volume; }
    float mVolume = 1.0f;
};

struct TRecord
{
    std::vector<std::string> messages;
    std::vector<size_t> pieceBytes; // meaningful bytes per piece of the last message
    std::string current;
};

// Reassembles the 8-byte pieces the way a host reads them: up to the NUL.
class TRecordingTransport final : public THostTransport
{
public:
    explicit TRecordingTransport(TRecord* record) : mRecord(record) {}
    void PostPiece(uint32_t low, uint32_t high) override
    {
        if (mRecord->current.empty())
            mRecord->pieceBytes.clear();
        size_t used = 0;
        for (int i = 0; i < 8; ++i) {
            uint32_t word = i < 4 ? low : high;
            char c = char((word >> (8 * (i % 4))) & 0xff);
            ++used;
            if (c == 0) {
                mRecord->messages.push_back(mRecord->current);
                mRecord->current.clear();
                break;
            }
            mRecord->current += c;
        }
        mRecord->pieceBytes.push_back(used);
    }

private:
    TRecord* mRecord;
};

class TMsnZylomHandlerTest : public EngineStateTest
{
protected:
    void SetUp() override
    {
        TMasterVolume::Install(&mVolume);
        TGameState::SetFacadePresent(true);
        THostBridgeHooks hooks;
        hooks.pauseCursor = [this](bool paused) { mCursorCalls.push_back(paused); };
        TMsnZylomHandler::SetHooks(hooks);
    }
    // The master volume and the hooks point at members: they go before the members do.
    void TearDown() override { ResetEngineState(); }
    void InstallMsn(bool pq = false)
    {
        TMsnZylomHandler::InstallMsnHandler(std::make_unique<TRecordingTransport>(&mRecord), pq);
    }
    void InstallZylom()
    {
        TMsnZylomHandler::InstallZylomHandler(std::make_unique<TRecordingTransport>(&mRecord));
    }
    void Set(const char* key, const char* value) { TGameState::Get()->SetState(key, value); }
    void Request(int code) { Set("windowmessage", std::to_string(code).c_str()); }
    void StartRunningGame()
    {
        Set("sessionready", "0");
        Request(7);
    }

    TFakeVolume mVolume;
    TRecord mRecord;
    TManualTimeSource mTime{100000};
    std::vector<bool> mCursorCalls;
};

TEST_F(TMsnZylomHandlerTest, MessagesGoOutInPiecesOfEightBytes)
{
    InstallZylom();
    Set("gameover", "1");
    ASSERT_EQ(mRecord.messages.size(), 1u);
    EXPECT_EQ(mRecord.messages[0], "GameEnd(\"<gamedata></gamedata>\")");
    // 32 characters and the NUL: four full pieces and one of a single byte.
    EXPECT_EQ(mRecord.pieceBytes, (std::vector<size_t>{8, 8, 8, 8, 1}));

    Set("gamemode", "m1");
    EXPECT_EQ(mRecord.messages.back(), "GameReady(\"<data><mode>m1</mode></data>\")");
    EXPECT_EQ(mRecord.pieceBytes.size(), 6u);
    EXPECT_EQ(mRecord.pieceBytes.back(), 2u); // 41 characters and the NUL
}

TEST_F(TMsnZylomHandlerTest, MessageTextsAndBreakpointNumbers)
{
    InstallZylom();
    Set("breaknow", "");
    Set("breaknow", "");
    Set("pause", "1");
    Set("pause", "1");
    Set("pause", "0");
    Set("sessionready", "0");
    Set("sessionready", "0");
    std::vector<std::string> expected = {
        "GameBreak(\"<data><breakpoint>1</breakpoint></data>\")",
        "GameBreak(\"<data><breakpoint>2</breakpoint></data>\")",
        "GamePause(\"<data>true</data>\")",
        "GamePause(\"<data>false</data>\")",
        "SessionReady(\"<data></data>\")",
    };
    EXPECT_EQ(mRecord.messages, expected);
}

TEST_F(TMsnZylomHandlerTest, ScoreBroadcastsAreThrottledToOnePerFiveSeconds)
{
    InstallZylom();
    Set("score", "5");
    EXPECT_TRUE(mRecord.messages.empty()) << "no game runs yet";
    Request(7);
    mTime.Advance(2000);
    const std::pair<uint32_t, bool> writes[] = {
        {0, true}, {3000, false}, {3000, true}, {4999, false}};
    for (const auto& [advance, posted] : writes) {
        mTime.Advance(advance);
        size_t before = mRecord.messages.size();
        Set("score", "42");
        EXPECT_EQ(mRecord.messages.size(), before + (posted ? 1 : 0)) << advance;
    }
    EXPECT_EQ(mRecord.messages[0],
              "ScoreBroadcast(\"<game><score>42</score><time>2</time></game>\")");
    EXPECT_EQ(mRecord.messages[1],
              "ScoreBroadcast(\"<game><score>42</score><time>8</time></game>\")");
}

TEST_F(TMsnZylomHandlerTest, MsnSessionMutesUntilAGameRunsUnlessHostSoundIsOff)
{
    InstallMsn();
    Set("sessionready", "0");
    EXPECT_EQ(mVolume.mVolume, 0.0f);
    EXPECT_TRUE(TGameState::AnyHandlerPaused());
    Request(7);
    EXPECT_EQ(mVolume.mVolume, 1.0f);
    EXPECT_FALSE(TGameState::AnyHandlerPaused());
    Request(2);
    EXPECT_EQ(mVolume.mVolume, 0.0f);
    Request(7);
    EXPECT_EQ(mVolume.mVolume, 0.0f) << "host sound is still off";
    Request(3);
    EXPECT_EQ(mVolume.mVolume, 1.0f);
}

TEST_F(TMsnZylomHandlerTest, RestartRequestsFollowTheFirstGameRule)
{
    InstallMsn();
    TGameState& store = *TGameState::Get();
    Request(7);
    EXPECT_FALSE(store.QueryRestartMode());
    Request(7);
    EXPECT_TRUE(store.QueryRestartMode());
    EXPECT_FALSE(store.QueryRestartMode()) << "taken";
    Request(1);
    EXPECT_TRUE(store.QueryJumpToMenu());
    EXPECT_FALSE(store.QueryJumpToMenu());
    Request(7);
    EXPECT_FALSE(store.QueryRestartMode()) << "a game after the menu is a first game";
    Request(8);
    EXPECT_TRUE(store.QueryRestartMode());
    for (int code : {0, 11, -3}) {
        Request(code);
        EXPECT_FALSE(store.QueryRestartMode());
        EXPECT_FALSE(store.QueryJumpToMenu());
    }
}

TEST_F(TMsnZylomHandlerTest, PqSwitchPostsNothingAndMarksAGameRunning)
{
    InstallMsn();
    InstallMsn(true);
    Set("gameover", "1");
    Set("breaknow", "");
    EXPECT_TRUE(mRecord.messages.empty());
    EXPECT_EQ(mVolume.mVolume, 1.0f) << "a game runs, so MSN mode leaves sound on";
    mTime.Advance(6000);
    Set("score", "1");
    EXPECT_TRUE(mRecord.messages.empty());
}

TEST_F(TMsnZylomHandlerTest, OneHandlerOnlyWhateverTheSwitches)
{
    InstallMsn();
    InstallMsn(true);
    InstallZylom();
    TMsnZylomHandler::Uninstall();
    InstallZylom();
    Set("breaknow", "");
    EXPECT_EQ(mRecord.messages,
              std::vector<std::string>{"GameBreak(\"<data><breakpoint>1</breakpoint></data>\")"});
}

TEST_F(TMsnZylomHandlerTest, MuteIsTakenByTheBridge)
{
    InstallZylom();
    Set("mute", "1");
    EXPECT_EQ(mVolume.mVolume, 0.0f);
    EXPECT_TRUE(TGameState::Get()->QueryMuteGame());
    Set("mute", "0");
    EXPECT_EQ(mVolume.mVolume, 1.0f);
    EXPECT_FALSE(TGameState::Get()->QueryMuteGame());
}

TEST_F(TMsnZylomHandlerTest, ReadsOfSystemModeAndRestartButton)
{
    TGameState::Get()->SetState("systemmode", "stored");
    InstallZylom();
    EXPECT_EQ(TGameState::Get()->GetState("systemmode"), TString("zylom"));
    InstallMsn();
    EXPECT_EQ(TGameState::Get()->GetState("systemmode"), TString("msn"));
    EXPECT_EQ(TGameState::Get()->GetState("other"), TString(""));
}

TEST_F(TMsnZylomHandlerTest, CommercialIntervalFromTheCommandLine)
{
    InstallZylom();
    struct TCase
    {
        const char* commandLine;
        int playSeconds;
        const char* restartButton;
    };
    const TCase cases[] = {
        {"game.exe", 1000, "0"},
        {"game.exe -com_interval 30", 30, "0"},
        {"game.exe -com_interval 30", 31, "1"},
        {"game.exe -com_interval=5 -zylom", 6, "1"},
        {"game.exe -com_interval", 1000, "0"}, // no value: no interval
        {"game.exe -com_interval ", 1000, "0"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.commandLine);
        Set("cmdline", c.commandLine);
        Request(7);
        mTime.Advance(uint32_t(c.playSeconds) * 1000 + 1);
        EXPECT_EQ(TGameState::Get()->GetState("restartbutton"), TString(c.restartButton));
    }
}

TEST_F(TMsnZylomHandlerTest, HostPauseHoldsBackTheTimerAndPlayClock)
{
    InstallMsn();
    StartRunningGame();
    mCursorCalls.clear();
    mTime.Advance(1000);
    Request(4);
    EXPECT_TRUE(TMsnZylomHandler::IsHostPausedFlag());
    EXPECT_EQ(mVolume.mVolume, 0.0f);
    mTime.Advance(2500);
    Request(4);
    Request(5);
    EXPECT_FALSE(TMsnZylomHandler::IsHostPausedFlag());
    EXPECT_EQ(TMsnZylomHandler::GetHostPausedTime(), 2500 + 0);
    EXPECT_EQ(mCursorCalls, (std::vector<bool>{true, false}));
    EXPECT_EQ(mVolume.mVolume, 1.0f);
    mTime.Advance(5000);
    Set("score", "9");
    // 1 s before the pause and 5 s after it; the paused 2.5 s do not count.
    EXPECT_EQ(mRecord.messages.back(),
              "ScoreBroadcast(\"<game><score>9</score><time>6</time></game>\")");
}

TEST_F(TMsnZylomHandlerTest, GamePauseDuringHostPauseKeepsTheCursorAlone)
{
    InstallZylom();
    Request(7);
    Set("pause", "1");
    mCursorCalls.clear();
    Request(4);
    Request(5);
    EXPECT_TRUE(mCursorCalls.empty());
    EXPECT_EQ(mVolume.mVolume, 0.0f) << "the game's own pause keeps it silent";
    Set("pause", "0");
    EXPECT_EQ(mVolume.mVolume, 1.0f);
}

TEST_F(TMsnZylomHandlerTest, NothingHappensOutsideAHost)
{
    TGameState::Get()->SetState("windowmessage", "7");
    EXPECT_FALSE(TMsnZylomHandler::TakeRestartRequest());
    EXPECT_FALSE(TMsnZylomHandler::IsHostPausedFlag());
    EXPECT_EQ(TMsnZylomHandler::GetHostPausedTime(), 0);
    EXPECT_FALSE(TMsnZylomHandler::IsMsnHost());
}

TEST_F(TMsnZylomHandlerTest, LogTransportAnswersForTheAbsentHost)
{
    TMsnZylomHandler::InstallMsnHandler(std::make_unique<THostLogTransport>(), false);
    Set("sessionready", "0");
    EXPECT_FALSE(TGameState::AnyHandlerPaused()) << "answered with a new game";
    EXPECT_EQ(mVolume.mVolume, 1.0f);
    EXPECT_FALSE(TGameState::Get()->QueryRestartMode());
    Set("gamemode", "story");
    EXPECT_FALSE(TGameState::AnyHandlerPaused()) << "answered with a resume";
    EXPECT_FALSE(TGameState::Get()->QueryRestartMode()) << "a resume never asks for a restart";
}

} // namespace
