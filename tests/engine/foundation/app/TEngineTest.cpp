#include "engine/foundation/app/TEngine.h"

#include "engine/foundation/app/TPlatform.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/platform/TScopedEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;

class TEngineTest : public EngineStateTest
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "velmora_engine_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        mRoot = pattern;
        fs::create_directories(mRoot / "assets");
        mDataHome.emplace("XDG_DATA_HOME", (mRoot / "data").c_str());
        mRuntime.emplace("XDG_RUNTIME_DIR", mRoot.c_str()); // the instance lock's folder
    }
    void TearDown() override
    {
        mRuntime.reset();
        mDataHome.reset();
        fs::remove_all(mRoot);
    }

    TString Line(const std::string& switches) const
    {
        return ("-wd=\"" + mRoot.string() + "\" " + switches).c_str();
    }

    fs::path mRoot;
    std::optional<TScopedEnvironment> mDataHome;
    std::optional<TScopedEnvironment> mRuntime;
};

TEST_F(TEngineTest, StartsAndStopsAgainWithoutEndingTheProcess)
{
    TEngine engine;
    EXPECT_EQ(engine.Stop(), 0) << "nothing to stop";
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        ASSERT_EQ(engine.Start(Line("--multiple"), 0, false), TEngine::TStartResult::Started);
        ASSERT_NE(engine.GetPlatform(), nullptr);
        EXPECT_EQ(TPlatform::GetInstance(), engine.GetPlatform());
        EXPECT_EQ(engine.Stop(), 0);
        EXPECT_EQ(engine.GetPlatform(), nullptr);
        EXPECT_EQ(TPlatform::GetInstance(), nullptr);
        EXPECT_EQ(engine.Stop(), 0) << "twice is harmless";
    }
}

TEST_F(TEngineTest, ADeclinedStartLeavesNothingRunningAndNamesTheExitCode)
{
    struct TCase
    {
        const char* switches;
        const char* videoDriver; // null: the test's own
        TEngine::TStartResult result;
        int exitCode;
    };
    const TCase cases[] = {
        {"-wnd=12", nullptr, TEngine::TStartResult::Hosted, -1},
        {"--multiple", "nonexistent", TEngine::TStartResult::NoWindowSystem, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.switches);
        std::optional<TScopedEnvironment> video;
        if (c.videoDriver != nullptr)
            video.emplace("SDL_VIDEODRIVER", c.videoDriver);
        TEngine engine;
        EXPECT_EQ(engine.Start(Line(c.switches), 0, false), c.result);
        EXPECT_EQ(engine.GetPlatform(), nullptr);
        EXPECT_EQ(TPlatform::GetInstance(), nullptr);
        EXPECT_EQ(engine.Stop(), 0);
        EXPECT_EQ(TEngine::ExitCodeFor(c.result), c.exitCode);
        ResetEngineState();
    }
    EXPECT_EQ(TEngine::ExitCodeFor(TEngine::TStartResult::Started), 0);
    EXPECT_EQ(TEngine::ExitCodeFor(TEngine::TStartResult::NoMainWindow), 1);
}

TEST_F(TEngineTest, ASecondInstanceIsRefusedWhileTheFirstRuns)
{
    TEngine first;
    ASSERT_EQ(first.Start(Line(""), 0, false), TEngine::TStartResult::Started);
    TEngine second;
    EXPECT_EQ(second.Start(Line(""), 0, false), TEngine::TStartResult::OtherInstanceRunning);
    EXPECT_EQ(second.GetPlatform(), nullptr);
    EXPECT_EQ(TPlatform::GetInstance(), first.GetPlatform());
    EXPECT_EQ(TEngine::ExitCodeFor(TEngine::TStartResult::OtherInstanceRunning), 0);
    EXPECT_EQ(first.Stop(), 0);
}

} // namespace
