#include "engine/foundation/app/TEventPump.h"

#include "engine/foundation/app/TEventPumpHost.h"
#include "engine/foundation/seams/TRendererSeam.h"
#include "engine/foundation/seams/TSoundManagerSeam.h"
#include "engine/foundation/core/TString.h"
#include "engine/foundation/seams/TWindowManagerSeam.h"
#include "engine/platform/TEventSource.h"
#include "tests/engine/platform/sdl/SdlWindowTest.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

class TFakeDisplay final : public TDisplaySeam
{
public:
    bool SetDisplay(int, int, bool, bool) override { return true; }
    void CalibrateTexelOffset() override {}
    bool IsValid() const override { return valid; }
    void Restore() override { ++restores; }
    bool IsFullScreen() const override { return fullScreen; }
    bool SetFullScreen(bool on) override { return fullScreen = on; }
    void ResetWorkingCount() override { ++workingCountResets; }
    void UpdateDesktopMode() override {}
    void SetVSync(bool) override {}
    bool IsPresentDone() const override { return true; }
    void OutOfVideoMemory() override {}
    TPoint MoveMouse(int x, int y) override
    {
        position = {x / 2, y / 2}; // a logical screen twice the window size
        return position;
    }
    TPoint GetMousePosition() const override { return position; }
    void EraseMouse() override {}
    void UpdateWindowBounds() override {}
    void ShowMouse(bool) override {}
    void SetMouseImage(std::shared_ptr<TTexture>, int, int, bool) override {}

    bool valid = true;
    bool fullScreen = false;
    int restores = 0;
    int workingCountResets = 0;
    TPoint position;
};

class TFakeRenderer final : public TRendererSeam
{
public:
    TDisplaySeam* GetDisplay() override { return &display; }
    TDisplaySeam* CreateDisplay() override { return &display; }
    void ToggleStats() override { ++statsToggles; }
    void PopClipRect() override {}
    void PushClipRect(int, int, int, int) override {}
    void FillRect(int, int, int, int, uint32_t) override {}

    TFakeDisplay display;
    int statsToggles = 0;
};

class TFakeScript final : public TWindowScriptSeam
{
public:
    explicit TFakeScript(int& movieEnds) : mMovieEnds(movieEnds) {}
    void EndMovie() override { ++mMovieEnds; }

private:
    int& mMovieEnds;
};

class TFakeWindowManager final : public TWindowManagerSeam
{
public:
    void AttachScript(std::unique_ptr<TWindowScriptSeam> s) override { script = std::move(s); }
    TWindowScriptSeam* GetScript() override { return script.get(); }
    void SetTranslateLabels(bool) override {}
    bool HasRootWindow() const override { return false; }
    void CreateRootScreen(int, int) override {}
    void Invalidate() override { ++invalidations; }
    bool IsSuspended() const override { return false; }
    bool IsMouseBlocked() const override { return mouseBlocked; }

    std::unique_ptr<TWindowScriptSeam> script;
    int invalidations = 0;
    bool mouseBlocked = false;
};

class TFakeSound final : public TSoundManagerSeam
{
public:
    bool Init() override { return true; }
    void SetActive(bool active) override { activeCalls.push_back(active); }
    void DispatchNotifications() override { ++dispatches; }

    std::vector<bool> activeCalls;
    int dispatches = 0;
};

// A host over SDL's real event queue (dummy video driver) with fake engine parts and
// a clock the test moves.
class TEventPumpTest : public SdlWindowTest, public TEventPumpHost
{
protected:
    void SetUp() override
    {
        SdlWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        mWindowManager.AttachScript(std::make_unique<TFakeScript>(mMovieEnds));
        TEventPump::ResetSessionReady();
    }

    TEventSource& GetEventSource() override { return mVideo->GetEventSource(); }
    TNativeWindow* GetMainWindow() override { return mWindow.get(); }
    TDisplaySeam* GetDisplay() override { return mHasDisplay ? &mRenderer.display : nullptr; }
    TRendererSeam* GetRenderer() override { return &mRenderer; }
    TWindowManagerSeam* GetWindowManager() override { return &mWindowManager; }
    TSoundManagerSeam* GetSoundManager() override { return &mSound; }
    uint32_t GetTimer() override { return mNow; }
    void Sleep(int) override {}
    void RunIdleTasks() override { ++mIdleTaskRuns; }
    void SetGameState(const TString& key, const TString& value) override
    {
        mGameState.push_back(std::string(key.CStr()) + "=" + value.CStr());
    }
    bool IsHostPaused() override
    {
        if (mPausedTurns == 0)
            return false;
        --mPausedTurns;
        return true;
    }
    bool IsHosted() const override { return mHosted; }
    bool HasPqSwitch() const override { return false; }
    bool IsUtf8Mode() const override { return mUtf8; }
    bool GetHostFullScreen() const override { return false; }
    bool SetFullScreen(bool) override { return false; }

    static void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1); }

    static void PushKey(Uint32 type, SDL_Keycode sym, Uint16 mod)
    {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.sym = sym;
        event.key.keysym.mod = mod;
        Push(event);
    }

    static void PushWindow(Uint8 windowEvent)
    {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = windowEvent;
        Push(event);
    }

    static void PushButton(Uint32 type, Uint8 button, int x, int y)
    {
        SDL_Event event{};
        event.type = type;
        event.button.button = button;
        event.button.x = x;
        event.button.y = y;
        Push(event);
    }

    static void PushText(const char* utf8)
    {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        std::strncpy(event.text.text, utf8, sizeof event.text.text - 1);
        Push(event);
    }

    // Events up to (not including) the first idle event, as "type:param:flags".
    std::vector<std::string> Drain()
    {
        std::vector<std::string> events;
        for (int guard = 0; guard < 64; ++guard) {
            TEvent event;
            mPump.GetEvent(event);
            if (event.type == TEvent::kIdle)
                break;
            events.push_back(std::to_string(event.type) + ":" + std::to_string(event.param) +
                             ":" + std::to_string(event.flags));
        }
        return events;
    }

    using TList = std::vector<std::string>;

    TFakeRenderer mRenderer;
    TFakeWindowManager mWindowManager;
    TFakeSound mSound;
    TEventPump mPump{*this};
    std::vector<std::string> mGameState;
    uint32_t mNow = 1000;
    int mIdleTaskRuns = 0;
    int mMovieEnds = 0;
    int mPausedTurns = 0; // turns the host keeps the game paused
    bool mHasDisplay = true;
    bool mHosted = false;
    bool mUtf8 = false;
};

TEST_F(TEventPumpTest, KeyTable)
{
    struct TCase
    {
        const char* name;
        SDL_Keycode sym;
        Uint16 mod;
        TList expected;
    };
    const TCase cases[] = {
        {"Shift+Insert", SDLK_INSERT, KMOD_LSHIFT, {"11:45:9"}},
        {"Insert", SDLK_INSERT, KMOD_NONE, {"2:0:0"}},
        {"Ctrl+Insert", SDLK_INSERT, KMOD_LCTRL, {"2:0:0"}},
        {"Alt+Enter", SDLK_RETURN, KMOD_LALT, {"19:1:0"}},
        {"Alt+X", SDLK_x, KMOD_LALT, {"11:88:4"}},
        {"Ctrl+Alt+Shift+X", SDLK_x, KMOD_LALT | KMOD_LCTRL | KMOD_LSHIFT, {"11:88:7"}},
        {"Backspace", SDLK_BACKSPACE, KMOD_NONE, {"11:8:0", "13:8:0"}},
        {"Tab", SDLK_TAB, KMOD_NONE, {"11:9:0", "13:9:0"}},
        {"Shift+Tab", SDLK_TAB, KMOD_LSHIFT, {"11:9:1", "13:9:1"}},
        {"Enter", SDLK_RETURN, KMOD_NONE, {"11:13:0", "13:13:0"}},
        {"Escape", SDLK_ESCAPE, KMOD_NONE, {"11:27:0", "13:27:0"}},
        {"Ctrl+Backspace", SDLK_BACKSPACE, KMOD_LCTRL, {"11:8:2"}},
        {"Space", SDLK_SPACE, KMOD_NONE, {"11:32:0"}},
        {"Left", SDLK_LEFT, KMOD_NONE, {"11:37:8"}},
        {"Shift+Right", SDLK_RIGHT, KMOD_RSHIFT, {"11:39:9"}},
        {"Delete", SDLK_DELETE, KMOD_NONE, {"11:46:8"}},
        {"Ctrl+V", SDLK_v, KMOD_LCTRL, {"11:86:2"}},
    };
    for (const TCase& c : cases) {
        PushKey(SDL_KEYDOWN, c.sym, c.mod);
        EXPECT_EQ(Drain(), c.expected) << c.name;
    }
    // Alt+Enter toggled the display to full screen and back is the next one.
    EXPECT_TRUE(mRenderer.display.fullScreen);
}

TEST_F(TEventPumpTest, AltKeysWithSpecialMeanings)
{
    PushKey(SDL_KEYDOWN, SDLK_F1, KMOD_LALT);
    EXPECT_EQ(Drain(), TList{"2:0:0"});
    EXPECT_EQ(mRenderer.statsToggles, 1);

    mHosted = true;
    PushKey(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT);
    EXPECT_EQ(Drain(), TList{"2:0:0"});
    EXPECT_FALSE(mRenderer.display.fullScreen);
    mHosted = false;

    // Alt+F4 is the key and then the close request.
    PushKey(SDL_KEYDOWN, SDLK_F4, KMOD_LALT);
    EXPECT_EQ(Drain(), (TList{"11:115:4", "3:0:0"}));
    EXPECT_EQ(mMovieEnds, 1);

    mHasDisplay = false;
    PushKey(SDL_KEYDOWN, SDLK_RETURN, KMOD_RALT);
    EXPECT_EQ(Drain(), TList{"19:0:0"});
}

TEST_F(TEventPumpTest, KeyUpsAndSystemKeyUps)
{
    PushKey(SDL_KEYUP, SDLK_a, KMOD_LSHIFT);
    PushKey(SDL_KEYUP, SDLK_a, KMOD_LALT);
    PushKey(SDL_KEYUP, SDLK_UP, KMOD_NONE);
    EXPECT_EQ(Drain(), (TList{"12:65:1", "2:0:0", "12:38:8"}));
}

TEST_F(TEventPumpTest, CloseAndQuit)
{
    PushWindow(SDL_WINDOWEVENT_CLOSE);
    EXPECT_EQ(Drain(), (TList{"2:0:0", "3:0:0"}));
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    Push(quit);
    EXPECT_EQ(Drain(), TList{"4:0:0"});
    mPump.PostQuit();
    EXPECT_EQ(Drain(), TList{"4:0:0"});
}

TEST_F(TEventPumpTest, FlagEventsComeOnePerCallInTheirOrder)
{
    // While the host keeps the game paused, window effects only set their flags.
    PushWindow(SDL_WINDOWEVENT_CLOSE);
    PushWindow(SDL_WINDOWEVENT_MINIMIZED);
    PushWindow(SDL_WINDOWEVENT_EXPOSED);
    mPausedTurns = 3;
    // Order: activation (18, 0), redraw (15), application activation (18, 0), close (3).
    EXPECT_EQ(Drain(), (TList{"18:0:0", "15:0:0", "18:0:0", "3:0:0"}));
    EXPECT_EQ(mRenderer.display.workingCountResets, 1);
    EXPECT_EQ(mWindowManager.invalidations, 1);

    PushWindow(SDL_WINDOWEVENT_RESTORED);
    EXPECT_EQ(Drain(), (TList{"2:0:0", "18:1:0", "18:1:0"}));
    EXPECT_EQ(mSound.activeCalls, (std::vector<bool>{false, false, true, true}));
}

TEST_F(TEventPumpTest, LostDisplayIsRestoredAndQuitStillHonoured)
{
    mRenderer.display.valid = false;
    TEvent event;
    mPump.GetEvent(event);
    EXPECT_EQ(event.type, TEvent::kNothing);
    EXPECT_EQ(mRenderer.display.restores, 1);
    mPump.PostQuit();
    mPump.GetEvent(event);
    EXPECT_EQ(event.type, TEvent::kQuit);
}

TEST_F(TEventPumpTest, MouseButtonsAndWheel)
{
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 100, 60);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 100, 60);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 10, 10);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 10, 10);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 10, 10);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 10, 10);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 10, 10);
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_X1, 10, 10);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X2, 10, 10);
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 1;
    Push(wheel);
    wheel.wheel.y = -3;
    Push(wheel);
    wheel.wheel.y = 1;
    wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    Push(wheel);
    EXPECT_EQ(Drain(), (TList{"5:0:0", "7:0:0", "6:1:0", "6:0:0", "6:3:0", "6:2:0", "6:4:0",
                              "2:0:0", "6:5:0", "6:6:0", "6:7:0", "6:7:0"}));
}

TEST_F(TEventPumpTest, MousePositionsAreTheDisplaysLogicalOnes)
{
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 100, 60);
    TEvent event;
    mPump.GetEvent(event);
    EXPECT_EQ(event.type, TEvent::kLeftDown);
    EXPECT_EQ(event.x, 50);
    EXPECT_EQ(event.y, 30);

    mHasDisplay = false;
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 70000; // beyond 16 bits: sign-extended like the window system's
    motion.motion.y = -5;
    Push(motion);
    mPump.GetEvent(event);
    EXPECT_EQ(event.type, TEvent::kMouseMove);
    EXPECT_EQ(event.x, 70000 - 65536);
    EXPECT_EQ(event.y, -5);
}

TEST_F(TEventPumpTest, BlockedMouseDropsButtonsOnly)
{
    mWindowManager.mouseBlocked = true;
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 1);
    PushKey(SDL_KEYDOWN, SDLK_a, KMOD_NONE);
    EXPECT_EQ(Drain(), (TList{"2:0:0", "11:65:0"}));
}

TEST_F(TEventPumpTest, ClickThatActivatesTheWindowIsDroppedFor400Ms)
{
    PushWindow(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(Drain(), (TList{"2:0:0", "18:0:0", "18:0:0"}));

    PushWindow(SDL_WINDOWEVENT_FOCUS_GAINED);
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 1);
    EXPECT_EQ(Drain(), (TList{"2:0:0", "18:1:0", "18:1:0", "2:0:0"}));

    mNow += 100;
    PushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 1, 1); // dropped, and ends the rule
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1, 1);
    EXPECT_EQ(Drain(), (TList{"2:0:0", "5:0:0"}));
}

TEST_F(TEventPumpTest, HoverAfterTheMouseRests)
{
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 40;
    motion.motion.y = 20;
    Push(motion);
    EXPECT_EQ(Drain(), TList{"8:0:0"});
    mNow += 399;
    EXPECT_EQ(Drain(), TList{});
    mNow += 1;
    TEvent event;
    mPump.GetEvent(event);
    EXPECT_EQ(event.type, TEvent::kMouseHover);
    EXPECT_EQ(event.x, 20);
    EXPECT_EQ(event.y, 10);

    PushWindow(SDL_WINDOWEVENT_LEAVE);
    EXPECT_EQ(Drain(), (TList{"2:0:0", "9:0:0"}));
    mNow += 1000;
    EXPECT_EQ(Drain(), TList{}); // no hover after leaving
}

TEST_F(TEventPumpTest, TextInEightBitMode)
{
    PushText("a\xC3\xA9\xE2\x82\xAC"); // a, e acute, euro sign (above 255: dropped)
    EXPECT_EQ(Drain(), (TList{"13:97:0", "13:233:0"}));
    PushText("\xE2\x82\xAC");
    EXPECT_EQ(Drain(), TList{"2:0:0"});
}

TEST_F(TEventPumpTest, SurrogatesJoinInUtf8Mode)
{
    mUtf8 = true;
    PushText("\xF0\x9F\x98\x80"); // U+1F600: a pair of units
    EXPECT_EQ(Drain(), (TList{"2:0:0", "14:128512:0"}));
    // The units of a pair arriving in separate text events still join.
    PushText("\xED\xA0\xBD");
    PushText("\xED\xB8\x80");
    EXPECT_EQ(Drain(), (TList{"2:0:0", "14:128512:0"}));
    // A lone low surrogate gives nothing.
    PushText("\xED\xB8\x80");
    PushText("z");
    EXPECT_EQ(Drain(), (TList{"2:0:0", "14:122:0"}));
}

TEST_F(TEventPumpTest, IdleTurnRunsTasksAndSoundAndSessionReadyIsWrittenOnce)
{
    TEvent event;
    mPump.GetEvent(event);
    EXPECT_EQ(event.type, TEvent::kIdle);
    mPump.GetEvent(event);
    EXPECT_EQ(mIdleTaskRuns, 2);
    EXPECT_EQ(mSound.dispatches, 2);
    EXPECT_EQ(mGameState, std::vector<std::string>{"sessionready=0"});
}

TEST_F(TEventPumpTest, CaptureIsLostWithTheFocusWhileAButtonIsHeld)
{
    PushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, 1);
    PushWindow(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(Drain(), (TList{"6:1:0", "9:0:0", "18:0:0", "18:0:0"}));
}

} // namespace
