// The display output on SDL's dummy video driver, each case once through the window's
// surface and once through a renderer: frames are read back from what shows them.

#include "engine/platform/sdl/TSdlDisplayOutput.h"

#include "../TScopedEnvironment.h"
#include "SdlWindowTest.h"
#include "engine/platform/TDisplayOutput.h"
#include "engine/platform/sdl/TSdlNativeWindow.h"

#include <string>
#include <vector>

namespace {

class TSdlDisplayOutputTest : public SdlWindowTest,
                              public ::testing::WithParamInterface<TSdlPresentation>
{
protected:
    SDL_Window* Window() { return static_cast<TSdlNativeWindow&>(*mWindow).GetSdlWindow(); }

    std::unique_ptr<TDisplayOutput> CreateOutput()
    {
        return std::make_unique<TSdlDisplayOutput>(Window(), nullptr, GetParam());
    }

    // The window's pixels as the renderer or the window's surface holds them after the
    // last presentation.
    std::vector<uint32_t> ReadBack(int width, int height)
    {
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
        if (GetParam() == TSdlPresentation::Renderer) {
            EXPECT_EQ(SDL_RenderReadPixels(SDL_GetRenderer(Window()), nullptr,
                                           SDL_PIXELFORMAT_ARGB8888, pixels.data(), width * 4),
                      0)
                << SDL_GetError();
            return pixels;
        }
        SDL_Surface* surface = SDL_GetWindowSurface(Window());
        EXPECT_NE(surface, nullptr) << SDL_GetError();
        if (surface == nullptr)
            return pixels;
        EXPECT_EQ(surface->w, width);
        EXPECT_EQ(surface->h, height);
        EXPECT_EQ(SDL_ConvertPixels(width, height, surface->format->format, surface->pixels,
                                    surface->pitch, SDL_PIXELFORMAT_ARGB8888, pixels.data(),
                                    width * 4),
                  0)
            << SDL_GetError();
        return pixels;
    }
};

std::string PresentationName(const ::testing::TestParamInfo<TSdlPresentation>& info)
{
    return info.param == TSdlPresentation::Renderer ? "Renderer" : "WindowSurface";
}

// Four quadrants of different colours; the alpha bytes mean nothing on the screen.
std::vector<uint32_t> Quadrants(int width, int height)
{
    const uint32_t colours[4] = {0x00FF0000u, 0x8000FF00u, 0xFF0000FFu, 0x40FFFF00u};
    std::vector<uint32_t> frame;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            frame.push_back(colours[(y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1)]);
    return frame;
}

TEST_P(TSdlDisplayOutputTest, AWindowShowsTheFrameAsItIs)
{
    std::unique_ptr<TDisplayOutput> output = CreateOutput();
    ASSERT_NE(output, nullptr);
    ASSERT_TRUE(output->Open(64, 48, false, false));
    EXPECT_TRUE(output->IsOpen());
    EXPECT_FALSE(output->Describe().empty());
    int width = 0;
    int height = 0;
    output->GetWindowSize(width, height);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 48);
    const std::vector<uint32_t> frame = Quadrants(64, 48);
    ASSERT_TRUE(output->Present(frame.data(), 64));
    const std::vector<uint32_t> shown = ReadBack(64, 48);
    for (size_t i = 0; i < frame.size(); ++i)
        ASSERT_EQ(shown[i] & 0xFFFFFFu, frame[i] & 0xFFFFFFu) << i;
    // A renderer that lost its textures gets new ones.
    EXPECT_TRUE(output->RestoreSurfaces());
    EXPECT_TRUE(output->Present(frame.data(), 64));
    output->Close();
    output->Close();
    EXPECT_FALSE(output->IsOpen());
    EXPECT_FALSE(output->Present(frame.data(), 64));
}

TEST_P(TSdlDisplayOutputTest, FullScreenStretchesTheFrameOverTheDesktopAndBack)
{
    std::unique_ptr<TDisplayOutput> output = CreateOutput();
    const TDisplayOutput::TDesktopMode desktop = output->GetDesktopMode();
    ASSERT_GT(desktop.width, 64);
    ASSERT_TRUE(output->Open(64, 48, true, false));
    output->Show(true); // a hidden window takes its full-screen size when shown
    EXPECT_NE(SDL_GetWindowFlags(Window()) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    int width = 0;
    int height = 0;
    output->GetWindowSize(width, height);
    EXPECT_EQ(width, desktop.width);
    EXPECT_EQ(height, desktop.height);
    const std::vector<uint32_t> frame = Quadrants(64, 48);
    ASSERT_TRUE(output->Present(frame.data(), 64));
    const std::vector<uint32_t> shown = ReadBack(width, height);
    const auto at = [&](int x, int y) {
        return shown[static_cast<size_t>(y) * width + x] & 0xFFFFFFu;
    };
    EXPECT_EQ(at(width / 4, height / 4), 0xFF0000u);
    EXPECT_EQ(at(3 * width / 4, height / 4), 0x00FF00u);
    EXPECT_EQ(at(width / 4, 3 * height / 4), 0x0000FFu);
    EXPECT_EQ(at(3 * width / 4, 3 * height / 4), 0xFFFF00u);

    ASSERT_TRUE(output->Open(64, 48, false, false));
    EXPECT_EQ(SDL_GetWindowFlags(Window()) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    output->GetWindowSize(width, height);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 48);
}

TEST_P(TSdlDisplayOutputTest, APointerTheDriverCannotShowIsDrawnOverTheFrame)
{
    // The dummy driver has no pointer of its own: the output draws the image itself.
    std::unique_ptr<TDisplayOutput> output = CreateOutput();
    ASSERT_TRUE(output->Open(32, 32, false, false));
    const std::vector<uint32_t> frame(32 * 32, 0xFF000000u);
    const uint32_t image[4] = {0xFFFFFFFFu, 0x00000000u, 0x00000000u, 0xFFFFFFFFu};
    output->SetCursorImage(image, 2, 2, 1, 1);
    ASSERT_TRUE(output->Present(frame.data(), 32));
    EXPECT_EQ(ReadBack(32, 32), std::vector<uint32_t>(32 * 32, 0xFF000000u)); // not over it yet
    output->TrackPointer(10, 20);
    std::vector<uint32_t> shown = ReadBack(32, 32);
    EXPECT_EQ(shown[19 * 32 + 9] & 0xFFFFFFu, 0xFFFFFFu);
    EXPECT_EQ(shown[19 * 32 + 10] & 0xFFFFFFu, 0u); // transparent
    EXPECT_EQ(shown[20 * 32 + 10] & 0xFFFFFFu, 0xFFFFFFu);
    output->ShowCursor(false);
    shown = ReadBack(32, 32);
    EXPECT_EQ(shown[19 * 32 + 9] & 0xFFFFFFu, 0u);
    output->ShowCursor(true);
    output->TrackPointer(-1, -1); // left the window
    shown = ReadBack(32, 32);
    EXPECT_EQ(shown[19 * 32 + 9] & 0xFFFFFFu, 0u);
}

INSTANTIATE_TEST_SUITE_P(Presentations, TSdlDisplayOutputTest,
                         ::testing::Values(TSdlPresentation::WindowSurface,
                                           TSdlPresentation::Renderer),
                         PresentationName);

using TSdlDisplayOutputChoiceTest = SdlWindowTest;

// The window's own surface unless SDL_RENDER_DRIVER names a renderer.
TEST_F(TSdlDisplayOutputChoiceTest, TheWindowsSurfaceShowsFramesUnlessARendererIsNamed)
{
    SDL_Window* window = static_cast<TSdlNativeWindow&>(*mWindow).GetSdlWindow();
    {
        TScopedEnvironment noDriver("SDL_RENDER_DRIVER", nullptr);
        std::unique_ptr<TDisplayOutput> output = mWindow->CreateDisplayOutput();
        ASSERT_TRUE(output->Open(64, 48, false, true));
        EXPECT_EQ(SDL_GetRenderer(window), nullptr);
        EXPECT_EQ(output->Describe(), "window surface, no GL, paced to 60 Hz");
        output->SetVSync(false);
        EXPECT_EQ(output->Describe(), "window surface, no GL");
    }
    {
        TScopedEnvironment software("SDL_RENDER_DRIVER", "software");
        std::unique_ptr<TDisplayOutput> output = mWindow->CreateDisplayOutput();
        ASSERT_TRUE(output->Open(64, 48, false, false));
        EXPECT_NE(SDL_GetRenderer(window), nullptr);
        EXPECT_EQ(output->Describe().rfind("software", 0), 0u) << output->Describe();
    }
}

} // namespace
