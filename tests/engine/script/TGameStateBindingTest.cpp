#include "engine/script/TGameStateBinding.h"

#include "ScriptTestSupport.h"
#include "engine/foundation/host/TGameState.h"
#include "engine/foundation/host/THostTransport.h"
#include "engine/foundation/host/TMsnZylomHandler.h"

#include <string>

namespace {

class TGameStateBindingTest : public ScriptStateTest
{
protected:
    void SetUp() override
    {
        ScriptStateTest::SetUp();
        TGameState::SetFacadePresent(true);
        PublishGameState(L);
    }
};

TEST_F(TGameStateBindingTest, ScriptsReadAndWriteTheStore)
{
    Run(L, "_SetState('score', 12) _SetState('++hits') _SetState('++hits') "
           "score, hits, absent = GetState('score'), GetState('hits'), GetState('absent')");
    EXPECT_EQ(GlobalString(L, "score"), "12");
    EXPECT_EQ(GlobalString(L, "hits"), "2");
    EXPECT_EQ(GlobalString(L, "absent"), "");
    EXPECT_STREQ(TGameState::Get()->GetState("score").CStr(), "12");

    Run(L, "before = tostring(QueryMuteGame()) _SetState('mute', '1') "
           "after = tostring(QueryMuteGame()) "
           "restart, menu = tostring(QueryRestartMode()), tostring(QueryJumpToMenu())");
    EXPECT_EQ(GlobalString(L, "before"), "false");
    EXPECT_EQ(GlobalString(L, "after"), "true");
    EXPECT_EQ(GlobalString(L, "restart"), "false");
    EXPECT_EQ(GlobalString(L, "menu"), "false");
}

TEST_F(TGameStateBindingTest, TheHostBridgeAnswersThroughTheSameFunctions)
{
    TMsnZylomHandler::InstallZylomHandler(nullptr);
    TMsnZylomHandler::HandleHostRequest(1); // jump to the menu
    Run(L, "mode = GetState('systemmode') "
           "first, second = tostring(QueryJumpToMenu()), tostring(QueryJumpToMenu())");
    EXPECT_EQ(GlobalString(L, "mode"), "zylom");
    EXPECT_EQ(GlobalString(L, "first"), "true");
    EXPECT_EQ(GlobalString(L, "second"), "false"); // the request is taken once
}

TEST_F(TGameStateBindingTest, WithoutAStoreCallsAreScriptErrors)
{
    TGameState::Destroy();
    for (const char* call : {"GetState('x')", "_SetState('x', 1)", "QueryMuteGame()",
                             "QueryRestartMode()", "QueryJumpToMenu()"}) {
        std::string message = RunError(L, call);
        EXPECT_NE(message.find("the game state store does not exist"), std::string::npos)
            << call << ": " << message;
    }
}

} // namespace
