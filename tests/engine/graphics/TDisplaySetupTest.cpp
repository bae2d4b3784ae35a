// The display set-up, frames and recovery, run inside the engine over a fake display
// output whose desktop size and failures the tests choose.

#include "engine/graphics/TDisplaySetup.h"

#include "DisplayTestSupport.h"
#include "engine/foundation/app/TEvent.h"
#include "engine/foundation/app/TEventPump.h"
#include "engine/foundation/app/TPlatformData.h"
#include "engine/foundation/assets/TAsset.h"
#include "engine/foundation/assets/TAssetManager.h"
#include "engine/foundation/core/TTask.h"
#include "engine/graphics/TDxDisplayHandler.h"
#include "engine/graphics/TRenderer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace {

using TIcon = TDisplayOutput::TMessageIcon;

TDxDisplayHandler& Handler()
{
    return TRenderer::Get()->GetDisplayHandler();
}

TDisplaySetup& DisplaySetup()
{
    return Handler().GetSetup();
}

std::vector<std::string> Texts(const TFakeScreen& screen)
{
    std::vector<std::string> texts;
    for (const TFakeScreen::TMessage& message : screen.messages)
        texts.push_back(message.text);
    return texts;
}

TEST_F(DisplayEngineTest, AWindowThatDoesNotFitTheDesktopOpensFullScreen)
{
    struct TCase
    {
        int desktopWidth;
        int desktopHeight;
        bool fullScreen;
    };
    const TCase cases[] = {
        {800, 600, true}, {1024, 768, false}, {801, 600, true}, {801, 601, false}};
    for (const TCase& c : cases) {
        screen = TFakeScreen();
        screen.desktop = {c.desktopWidth, c.desktopHeight, 60};
        bool fullScreen = !c.fullScreen;
        Run([&](TPlatform& platform) {
            platform.SetDisplay(800, 600, false);
            fullScreen = platform.IsFullScreen();
        });
        SCOPED_TRACE(c.desktopWidth);
        EXPECT_EQ(fullScreen, c.fullScreen);
        ASSERT_EQ(screen.opens.size(), 1u);
        EXPECT_EQ(screen.opens[0].fullScreen, c.fullScreen);
        EXPECT_EQ(Log().find(TDisplaySetup::kFullScreenForSmallDesktopLog) != std::string::npos,
                  c.fullScreen);
        EXPECT_TRUE(screen.messages.empty());
    }
}

TEST_F(DisplayEngineTest, TheSameModeAgainDoesNothingUnlessForced)
{
    Run([&](TPlatform& platform) {
        platform.SetDisplay(800, 600, false);
        platform.SetDisplay(800, 600, false);
        EXPECT_EQ(screen.opens.size(), 1u);
        DisplaySetup().SetDisplay({.width = 800, .height = 600, .force = true});
        EXPECT_EQ(screen.opens.size(), 2u);
        EXPECT_TRUE(IsDisplayReady());
    });
    // The window is centred when it first opens, and shown.
    EXPECT_TRUE(screen.shown);
    EXPECT_EQ(screen.windowX, (1024 - 800) / 2);
}

TEST_F(DisplayEngineTest, AFailedWindowTriesFullScreenOnceThenGivesUp)
{
    for (bool quiet : {false, true}) {
        screen = TFakeScreen();
        screen.failOpens = 2;
        int lastEvent = 0;
        bool valid = true;
        Run([&](TPlatform& platform) {
            DisplaySetup().SetDisplay({.width = 800, .height = 600, .quiet = quiet});
            valid = IsDisplayReady();
            TEvent event;
            for (int i = 0; i < 20 && event.type != TEvent::kQuit; ++i)
                platform.GetEvent(event);
            lastEvent = event.type;
        });
        SCOPED_TRACE(quiet);
        ASSERT_EQ(screen.opens.size(), 2u);
        EXPECT_FALSE(screen.opens[0].fullScreen);
        EXPECT_TRUE(screen.opens[1].fullScreen);
        std::vector<std::string> expected;
        if (!quiet)
            expected.push_back("Failed to initialize windowed mode. Trying full screen.");
        expected.push_back(
            "Failed to initialize window. Please try running the game again. If that doesn't "
            "help, try changing the screen resolution and color depth. If that fails, then "
            "your video card does not support this game.");
        EXPECT_EQ(Texts(screen), expected);
        EXPECT_EQ(screen.messages.back().icon, TIcon::Stop);
        EXPECT_NE(Log().find(TDisplaySetup::kFallbackFailedLog), std::string::npos);
        EXPECT_FALSE(valid);
        EXPECT_EQ(lastEvent, TEvent::kQuit); // the quit was posted
    }
}

// A display that cannot be had fails for good: the game is sent a quit message and runs on
// to its end (nothing ends the process under it), no later set-up or restore opens
// anything, and the run's exit code is -1.
TEST_F(DisplayEngineTest, ADisplayThatCannotBeHadIsReportedUpwardWithoutEndingTheProcess)
{
    struct TCase
    {
        const char* cause; // as the log gives it
        int failOpens;
        const char* switches;
        std::function<void(TPlatform&)> fail;
    };
    const TCase cases[] = {
        {"no display mode could be opened", 2, "",
         [](TPlatform& platform) { platform.SetDisplay(800, 600, false); }},
        {"the host window is lost", 0, "",
         [](TPlatform& platform) {
             platform.GetData().SetHosted(1);
             platform.SetDisplay(800, 600, false);
         }},
        {"out of video memory in host mode", 0, "-pq=1",
         [](TPlatform& platform) {
             platform.SetDisplay(800, 600, false);
             platform.OutOfVideoMemory();
             TEvent event;
             for (int i = 0; i < 20 && !DisplaySetup().HasFailed(); ++i)
                 platform.GetEvent(event); // the pump's restore sets the display up again
         }},
    };
    for (const TCase& c : cases) {
        screen = TFakeScreen();
        screen.failOpens = c.failOpens;
        bool failed = false;
        size_t laterOpens = 0;
        bool quit = false;
        bool ended = false;
        const int code = Run(
            [&](TPlatform& platform) {
                c.fail(platform);
                failed = DisplaySetup().HasFailed();
                const size_t opens = screen.opens.size();
                platform.SetDisplay(640, 480, false);
                DisplaySetup().Restore();
                laterOpens = screen.opens.size() - opens;
                TEvent event;
                for (int i = 0; i < 20 && !quit; ++i) {
                    platform.GetEvent(event);
                    quit = event.type == TEvent::kQuit;
                }
                ended = true;
            },
            c.switches);
        SCOPED_TRACE(c.cause);
        EXPECT_TRUE(failed);
        EXPECT_EQ(laterOpens, 0u);
        EXPECT_TRUE(quit);
        EXPECT_TRUE(ended);
        EXPECT_EQ(code, -1);
        EXPECT_NE(Log().find(std::string("display: ") + c.cause + "; the game is told to quit"),
                  std::string::npos);
        EXPECT_NE(Log().find("shutdown: done, after the display failed"), std::string::npos);
    }
}

TEST_F(DisplayEngineTest, AFailedFullScreenRunsInAWindowWithANotice)
{
    screen.failOpens = 1;
    bool fullScreen = true;
    bool valid = false;
    Run([&](TPlatform& platform) {
        platform.SetDisplay(800, 600, true);
        fullScreen = platform.IsFullScreen();
        valid = IsDisplayReady();
    });
    ASSERT_EQ(screen.opens.size(), 2u);
    EXPECT_TRUE(screen.opens[0].fullScreen);
    EXPECT_FALSE(screen.opens[1].fullScreen);
    EXPECT_FALSE(fullScreen);
    EXPECT_TRUE(valid);
    EXPECT_EQ(Texts(screen), std::vector<std::string>{"Failed to initialize full screen mode. Your "
                                                      "video card is not supported. Trying to run "
                                                      "in a window."});
}

// A failed open while the window or the game is not in front tries no fallback: the
// display counts as broken, and the log line names both states as they are.
TEST_F(DisplayEngineTest, AFailedOpenOutOfFrontIsBrokenAndLoggedWithItsStates)
{
    struct TCase
    {
        const char* what;
        std::function<void(TEventPump&)> leave;
        const char* window;
        const char* game;
    };
    const TCase cases[] = {
        {"the window loses the focus", [](TEventPump& pump) { pump.SetActive(false, true); },
         "inactive", "foreground"},
        {"the game goes to the background", [](TEventPump& pump) { pump.OnActivateApp(false); },
         "inactive", "background"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        screen = TFakeScreen();
        screen.failOpens = 1;
        TDisplayState state = TDisplayState::Closed;
        Run([&](TPlatform& platform) {
            c.leave(platform.GetData().GetPump());
            DisplaySetup().SetDisplay({.width = 800, .height = 600, .force = true});
            state = DisplaySetup().GetState();
        });
        EXPECT_EQ(screen.opens.size(), 1u) << "no fallback";
        EXPECT_EQ(state, TDisplayState::Broken);
        const std::string line =
            TString::Printf(TDisplaySetup::kNotOpenedInactiveLog, c.window, c.game).CStr();
        EXPECT_NE(Log().find(line), std::string::npos) << Log();
        EXPECT_TRUE(screen.messages.empty());
    }
}

TEST_F(DisplayEngineTest, AWindowAsLargeAsTheDesktopIsRefused)
{
    bool answer = true;
    bool fullScreen = false;
    Run([&](TPlatform&) {
        DisplaySetup().SetDisplay({.width = 1024, .height = 768, .fullScreen = true});
        answer = DisplaySetup().SetFullScreen(false);
        fullScreen = DisplaySetup().IsFullScreen();
    });
    EXPECT_FALSE(answer);
    EXPECT_TRUE(fullScreen);
    EXPECT_EQ(screen.opens.size(), 1u);
}

TEST_F(DisplayEngineTest, AltEnterSwitchesModesBothWays)
{
    std::vector<bool> states;
    Run([&](TPlatform& platform) {
        platform.SetDisplay(800, 600, false);
        for (int i = 0; i < 2; ++i) {
            EXPECT_TRUE(platform.GetData().SetFullScreen(!platform.IsFullScreen()));
            states.push_back(platform.IsFullScreen());
        }
    });
    EXPECT_EQ(states, (std::vector<bool>{true, false}));
    ASSERT_EQ(screen.opens.size(), 3u);
    EXPECT_TRUE(screen.opens[1].fullScreen);
}

TEST_F(DisplayEngineTest, RememberedLowVideoMemoryKeepsToFullScreen)
{
    std::filesystem::create_directories(CommonFile("").parent_path());
    std::ofstream(CommonFile("display.xml")) << "<Settings LowMemoryVideo=\"1\"/>\n";
    bool fullScreen = false;
    Run([&](TPlatform& platform) {
        platform.SetDisplay(800, 600, false);
        fullScreen = platform.IsFullScreen();
    });
    EXPECT_TRUE(fullScreen);
    EXPECT_NE(Log().find(TDisplaySetup::kLowMemorySettingLog), std::string::npos);
    EXPECT_NE(Log().find(TDisplaySetup::kFullScreenForLowMemoryLog), std::string::npos);
}

TEST_F(DisplayEngineTest, RunningOutOfVideoMemoryIsRememberedAndRebuildsTheDisplay)
{
    std::string saved;
    Run([&](TPlatform& platform) {
        platform.SetDisplay(800, 600, false);
        platform.OutOfVideoMemory();
        platform.OutOfVideoMemory(); // only once
        EXPECT_FALSE(IsDisplayReady());
        std::ifstream file(CommonFile("display.xml"));
        std::getline(file, saved, '\0');
        TEvent event;
        for (int i = 0; i < 20 && !IsDisplayReady(); ++i)
            platform.GetEvent(event);
        EXPECT_TRUE(platform.IsFullScreen());
    });
    EXPECT_NE(saved.find("LowMemoryVideo=\"1\""), std::string::npos) << saved;
    ASSERT_EQ(screen.messages.size(), 1u);
    EXPECT_EQ(screen.messages[0].caption, "Reconfiguring");
}

TEST_F(DisplayEngineTest, TexelCalibrationKeepsMinusOneHalfAndRunsOnce)
{
    Run([&](TPlatform& platform) {
        platform.SetDisplay(800, 600, false);
        EXPECT_FLOAT_EQ(Handler().GetTexelOffset(), -0.5f);
        Handler().SetTexelOffset(-0.3f);
        platform.SetDisplay(640, 480, false);
        EXPECT_FLOAT_EQ(Handler().GetTexelOffset(), -0.3f);
    });
}

TEST_F(DisplayEngineTest, FramesArePresentedOnlyWhenAsked)
{
    Run([&](TPlatform& platform) {
        platform.SetDisplay(64, 48, false);
        TRenderer& renderer = *TRenderer::Get();
        const int before = screen.presents;
        ASSERT_TRUE(renderer.BeginDraw(false));
        renderer.FillRect(TRect(0, 0, 64, 48), TColor(0, 0, 1, 1));
        renderer.FillRect(TRect(10, 20, 11, 21), TColor(1, 0, 0, 1));
        renderer.EndDraw(false);
        EXPECT_EQ(screen.presents, before);
        ASSERT_TRUE(renderer.BeginDraw(false));
        renderer.EndDraw(true);
        ASSERT_EQ(screen.presents, before + 1);
        ASSERT_EQ(screen.lastFrame.size(), 64u * 48u);
        EXPECT_EQ(screen.lastFrame[20 * 64 + 10] & 0xFFFFFFu, 0xFF0000u);
        EXPECT_EQ(screen.lastFrame[20 * 64 + 11] & 0xFFFFFFu, 0x0000FFu);
        DisplaySetup().MarkBroken();
        EXPECT_FALSE(renderer.BeginDraw(false));
    });
}

TEST_F(DisplayEngineTest, TheEventPumpRebuildsABrokenDisplay)
{
    // Fewer than 3 frames since the set-up: rebuilt; more: the surfaces are made anew.
    for (int frames : {0, 3}) {
        screen = TFakeScreen();
        Run([&](TPlatform& platform) {
            platform.SetDisplay(800, 600, false);
            for (int i = 0; i < frames; ++i) {
                TRenderer::Get()->BeginDraw(false);
                TRenderer::Get()->EndDraw(true);
            }
            DisplaySetup().MarkBroken();
            TEvent event;
            for (int i = 0; i < 20 && !IsDisplayReady(); ++i)
                platform.GetEvent(event);
            EXPECT_TRUE(IsDisplayReady());
        });
        SCOPED_TRACE(frames);
        EXPECT_EQ(screen.opens.size(), frames < 3 ? 2u : 1u);
        EXPECT_EQ(screen.restores, frames < 3 ? 0 : 1);
    }
}

TEST_F(DisplayEngineTest, AFrameThatCannotBeShownRebuildsTheDisplay)
{
    screen.failPresents = 1;
    Run([&](TPlatform& platform) {
        platform.SetDisplay(800, 600, false);
        const size_t opens = screen.opens.size();
        screen.failPresents = 1;
        TRenderer::Get()->BeginDraw(false);
        TRenderer::Get()->EndDraw(true);
        EXPECT_EQ(screen.opens.size(), opens + 1);
        EXPECT_TRUE(IsDisplayReady());
    });
    EXPECT_NE(Log().find(TDisplaySetup::kFrameNotShownLog), std::string::npos);
}

std::vector<std::string> sOrder;

class TRecordingAsset final : public TAsset
{
public:
    void Release() override { sOrder.push_back("release"); }
    void Restore() override { sOrder.push_back("restore"); }
};

class TRecordingTask final : public TTask
{
public:
    bool DoTask() override
    {
        sOrder.push_back("refresh");
        return true;
    }
};

TEST_F(DisplayEngineTest, ASetUpReleasesAssetsThenRestoresThemAndRunsTheRefreshTasks)
{
    sOrder.clear();
    TEngineSeams::Factories().windowManager = [] {
        return std::make_unique<TStandInWindows>([] { sOrder.push_back("invalidate"); });
    };
    Run([&](TPlatform& platform) {
        const auto asset = std::make_shared<TRecordingAsset>();
        platform.GetAssetManager().Add("probe", asset);
        platform.AddRefreshTask(std::make_unique<TRecordingTask>());
        sOrder.clear();
        DisplaySetup().SetDisplay({.width = 800, .height = 600});
        platform.GetAssetManager().Remove("probe");
    });
    const std::vector<std::string> expected = {"release", "restore", "refresh", "invalidate",
                                               "invalidate"};
    EXPECT_EQ(sOrder, expected);
}

TEST_F(DisplayEngineTest, TheFirstDisplayGivesThePlatformsCursor)
{
    Run([&](TPlatform& platform) {
        platform.SetDisplay(800, 600, false);
        platform.SetDisplay(640, 480, false);
    });
    // The built-in arrow, with its magenta ground transparent and the hot spot at (2, 2).
    EXPECT_EQ(screen.cursorImages, 1);
    ASSERT_EQ(screen.cursorPixels.size(), 32u * 32u);
    EXPECT_EQ(screen.cursorPixels[31 * 32 + 31], 0u);
    EXPECT_EQ(screen.cursorPixels[0], 0xFF000000u); // the arrow's outline at its tip
    EXPECT_EQ(screen.hotX, 2);
    EXPECT_EQ(screen.hotY, 2);
    ASSERT_FALSE(screen.cursorShows.empty());
    EXPECT_TRUE(screen.cursorShows.back());
}

} // namespace
