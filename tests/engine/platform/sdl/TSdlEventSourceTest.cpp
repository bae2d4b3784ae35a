#include "engine/platform/sdl/TSdlEventSource.h"

#include "engine/platform/TKeyCode.h"
#include "tests/engine/platform/sdl/SdlWindowTest.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace {

using TKind = TSystemEvent::TKind;

SDL_Event KeyEvent(Uint32 type, SDL_Keycode sym, Uint16 mod,
                   SDL_Scancode scancode = SDL_SCANCODE_UNKNOWN)
{
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = sym;
    event.key.keysym.mod = mod;
    event.key.keysym.scancode = scancode;
    return event;
}

struct TKeyCase
{
    SDL_Keycode sym;
    Uint16 mod;
    int code;
    bool extended;
    int modifiers;
};

TEST(TSdlEventSource, TranslatesKeysToEngineCodes)
{
    const TKeyCase cases[] = {
        {SDLK_a, KMOD_NONE, 'A', false, 0},
        {SDLK_z, KMOD_LSHIFT, 'Z', false, 1},
        {SDLK_0, KMOD_NONE, '0', false, 0},
        {SDLK_9, KMOD_RCTRL, '9', false, 2},
        {SDLK_F1, KMOD_LALT, 112, false, 4},
        {SDLK_F12, KMOD_NONE, 123, false, 0},
        {SDLK_RETURN, KMOD_NONE, 13, false, 0},
        {SDLK_KP_ENTER, KMOD_NONE, 13, true, 0},
        {SDLK_ESCAPE, KMOD_NONE, 27, false, 0},
        {SDLK_SPACE, KMOD_NONE, 32, false, 0},
        {SDLK_BACKSPACE, KMOD_NONE, 8, false, 0},
        {SDLK_TAB, KMOD_NONE, 9, false, 0},
        {SDLK_LEFT, KMOD_NONE, 37, true, 0},
        {SDLK_UP, KMOD_NONE, 38, true, 0},
        {SDLK_RIGHT, KMOD_NONE, 39, true, 0},
        {SDLK_DOWN, KMOD_NONE, 40, true, 0},
        {SDLK_INSERT, KMOD_LSHIFT, 45, true, 1},
        {SDLK_DELETE, KMOD_NONE, 46, true, 0},
        {SDLK_HOME, KMOD_NONE, 36, true, 0},
        {SDLK_END, KMOD_NONE, 35, true, 0},
        {SDLK_PAGEUP, KMOD_NONE, 33, true, 0},
        {SDLK_PAGEDOWN, KMOD_NONE, 34, true, 0},
        {SDLK_LSHIFT, KMOD_LSHIFT, 16, false, 1},
        {SDLK_RCTRL, KMOD_RCTRL, 17, true, 2},
        {SDLK_LALT, KMOD_LALT, 18, false, 4},
        {SDLK_RALT, KMOD_RALT, 18, true, 4},
        {SDLK_KP_0, KMOD_NUM, 96, false, 0},
        {SDLK_KP_9, KMOD_NUM, 105, false, 0},
        {SDLK_KP_0, KMOD_NONE, 45, false, 0}, // Num Lock off: keypad Insert
        {SDLK_KP_DIVIDE, KMOD_NONE, 111, true, 0},
        {SDLK_KP_MULTIPLY, KMOD_CTRL | KMOD_SHIFT, 106, false, 3},
    };
    for (const TKeyCase& c : cases) {
        TSystemEvent event;
        ASSERT_TRUE(TSdlEventSource::Translate(KeyEvent(SDL_KEYDOWN, c.sym, c.mod), event));
        EXPECT_EQ(event.kind, TKind::KeyDown) << SDL_GetKeyName(c.sym);
        EXPECT_EQ(event.key, c.code) << SDL_GetKeyName(c.sym);
        EXPECT_EQ(event.extended, c.extended) << SDL_GetKeyName(c.sym);
        EXPECT_EQ(event.modifiers, c.modifiers) << SDL_GetKeyName(c.sym);
    }
}

TEST(TSdlEventSource, LettersOfNonLatinLayoutsComeFromThePhysicalKey)
{
    TSystemEvent event;
    ASSERT_TRUE(TSdlEventSource::Translate(
        KeyEvent(SDL_KEYUP, 0x0444 /* Cyrillic ef */, KMOD_NONE, SDL_SCANCODE_A), event));
    EXPECT_EQ(event.kind, TKind::KeyUp);
    EXPECT_EQ(event.key, 'A');
}

using TSdlEventQueue = SdlWindowTest;

TEST_F(TSdlEventQueue, PushedEventsArriveInOrder)
{
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    std::strcpy(text.text.text, "\xC3\xA9t");
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 2;
    wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    SDL_Event button{};
    button.type = SDL_MOUSEBUTTONDOWN;
    button.button.button = SDL_BUTTON_RIGHT;
    button.button.x = 12;
    button.button.y = 34;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_Event ignored{};
    ignored.type = SDL_JOYAXISMOTION;
    for (SDL_Event* e : {&close, &ignored, &text, &wheel, &button, &quit})
        ASSERT_EQ(SDL_PushEvent(e), 1);

    TEventSource& source = mVideo->GetEventSource();
    TSystemEvent event;
    ASSERT_TRUE(source.Poll(event));
    EXPECT_EQ(event.kind, TKind::WindowClose);
    ASSERT_TRUE(source.Poll(event));
    EXPECT_EQ(event.kind, TKind::Text);
    EXPECT_EQ(event.text, "\xC3\xA9t");
    ASSERT_TRUE(source.Poll(event));
    EXPECT_EQ(event.kind, TKind::Wheel);
    EXPECT_EQ(event.wheel, -2);
    ASSERT_TRUE(source.Poll(event));
    EXPECT_EQ(event.kind, TKind::ButtonDown);
    EXPECT_EQ(event.button, TSystemEvent::kButtonRight);
    EXPECT_EQ(event.x, 12);
    EXPECT_EQ(event.y, 34);
    ASSERT_TRUE(source.Poll(event));
    EXPECT_EQ(event.kind, TKind::Quit);
    EXPECT_FALSE(source.Poll(event));
}

TEST_F(TSdlEventQueue, WindowStartsHiddenWithItsTitle)
{
    EXPECT_FALSE(mWindow->IsShown());
    EXPECT_EQ(mWindow->GetTitle(), "Halvorn");
    mWindow->SetTitle("Velmora \xC3\xA9");
    EXPECT_EQ(mWindow->GetTitle(), "Velmora \xC3\xA9");
    int width = 0;
    int height = 0;
    mWindow->GetSize(width, height);
    EXPECT_EQ(width, 480);
    EXPECT_EQ(height, 360);
    mWindow->Show();
    EXPECT_TRUE(mWindow->IsShown());
}

// Another thread ends the event loop's wait: a long wait returns once Wake is called
// (before the wait began, or during it), and the wake-up itself is no event.
TEST_F(TSdlEventQueue, WakeFromAnotherThreadEndsAWait)
{
    TEventSource& source = mVideo->GetEventSource();
    for (int round = 0; round < 2; ++round) {
        const auto start = std::chrono::steady_clock::now();
        std::thread waker([&source] { source.Wake(); });
        if (round == 0)
            waker.join(); // the wake-up is waiting before the wait begins
        source.Wait(60000);
        if (round == 1)
            waker.join();
        // Far less than the wait asked for: it ended early, whatever the machine's load.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
        TSystemEvent event;
        EXPECT_FALSE(source.Poll(event));
        EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT), 0);
    }
}

} // namespace
