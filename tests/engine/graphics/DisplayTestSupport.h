#pragma once

// A display output that records what it is asked and fails when told to, with a desktop
// of a chosen size; a window manager that only reports the redraws asked of it; and a
// fixture that runs a test's body as the game inside EngineMain with the graphics
// installed and every display output made by the fake.

#include "engine/foundation/app/EngineMain.h"
#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/core/Settings.h"
#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/foundation/seams/TWindowManagerSeam.h"
#include "engine/graphics/TDXContext.h"
#include "engine/graphics/install/GraphicsInstall.h"
#include "engine/platform/TDisplayOutput.h"
#include "tests/engine/EngineStateTest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

// What the fake output saw; it outlives every output made from it.
struct TFakeScreen
{
    struct TOpen
    {
        int width;
        int height;
        bool fullScreen;
    };
    struct TMessage
    {
        TDisplayOutput::TMessageIcon icon;
        std::string caption;
        std::string text;
    };

    TDisplayOutput::TDesktopMode desktop{1024, 768, 60};
    int failOpens = 0;    // so many Opens fail from now on
    int failPresents = 0; // so many Presents fail from now on
    std::vector<TOpen> opens;
    std::vector<TMessage> messages;
    std::vector<uint32_t> lastFrame;
    int presents = 0;
    int restores = 0;
    bool open = false;
    bool shown = false;
    int windowX = 0;
    int windowY = 0;
    int windowWidth = 0;
    int windowHeight = 0;
    std::vector<uint32_t> cursorPixels; // empty: the system's arrow
    int cursorImages = 0;
    int hotX = -1;
    int hotY = -1;
    std::vector<bool> cursorShows;
    std::vector<std::pair<int, int>> pointer;
};

class TFakeOutput final : public TDisplayOutput
{
public:
    explicit TFakeOutput(TFakeScreen& screen) : mScreen(screen) {}

    TDesktopMode GetDesktopMode() override { return mScreen.desktop; }
    bool Open(int width, int height, bool fullScreen, bool) override
    {
        mScreen.opens.push_back({width, height, fullScreen});
        mScreen.open = false;
        if (mScreen.failOpens > 0) {
            --mScreen.failOpens;
            return false;
        }
        mScreen.open = true;
        mWidth = width;
        mHeight = height;
        mScreen.windowWidth = fullScreen ? mScreen.desktop.width : width;
        mScreen.windowHeight = fullScreen ? mScreen.desktop.height : height;
        return true;
    }
    void Close() override { mScreen.open = false; }
    bool IsOpen() const override { return mScreen.open; }
    std::string Describe() const override { return "fake"; }
    void CentreOnScreen() override
    {
        mScreen.windowX = (mScreen.desktop.width - mScreen.windowWidth) / 2;
        mScreen.windowY = (mScreen.desktop.height - mScreen.windowHeight) / 2;
    }
    void GetWindowPosition(int& x, int& y) override
    {
        x = mScreen.windowX;
        y = mScreen.windowY;
    }
    void GetWindowSize(int& width, int& height) override
    {
        width = mScreen.windowWidth;
        height = mScreen.windowHeight;
    }
    void Show(bool) override { mScreen.shown = true; }
    bool Present(const uint32_t* pixels, int pitch) override
    {
        ++mScreen.presents;
        if (mScreen.failPresents > 0) {
            --mScreen.failPresents;
            return false;
        }
        mScreen.lastFrame.clear();
        for (int y = 0; y < mHeight; ++y)
            mScreen.lastFrame.insert(mScreen.lastFrame.end(), pixels + y * pitch,
                                     pixels + y * pitch + mWidth);
        return true;
    }
    void SetVSync(bool) override {}
    bool RestoreSurfaces() override
    {
        ++mScreen.restores;
        return mScreen.open;
    }
    void ShowMessage(TMessageIcon icon, const char* caption, const char* text) override
    {
        mScreen.messages.push_back({icon, caption, text});
    }
    void SetCursorImage(const uint32_t* pixels, int width, int height, int hotX, int hotY) override
    {
        ++mScreen.cursorImages;
        mScreen.cursorPixels.clear();
        if (pixels != nullptr)
            mScreen.cursorPixels.assign(pixels, pixels + width * height);
        mScreen.hotX = hotX;
        mScreen.hotY = hotY;
    }
    void ShowCursor(bool show) override { mScreen.cursorShows.push_back(show); }
    void TrackPointer(int x, int y) override { mScreen.pointer.emplace_back(x, y); }

private:
    TFakeScreen& mScreen;
    int mWidth = 0;
    int mHeight = 0;
};

// A window manager with a root window that calls onInvalidate for each redraw asked for.
class TStandInWindows final : public TWindowManagerSeam
{
public:
    explicit TStandInWindows(std::function<void()> onInvalidate)
        : mOnInvalidate(std::move(onInvalidate))
    {
    }
    void AttachScript(std::unique_ptr<TWindowScriptSeam> script) override
    {
        mScript = std::move(script);
    }
    TWindowScriptSeam* GetScript() override { return mScript.get(); }
    void SetTranslateLabels(bool) override {}
    bool HasRootWindow() const override { return true; }
    void CreateRootScreen(int, int) override {}
    int TimeUntilDue() override { return 0; }
    void Invalidate() override { mOnInvalidate(); }
    bool IsSuspended() const override { return false; }
    bool IsMouseBlocked() const override { return false; }

private:
    std::function<void()> mOnInvalidate;
    std::unique_ptr<TWindowScriptSeam> mScript;
};

// Makes every display output from the fake while it lives.
class TFakeOutputScope
{
public:
    explicit TFakeOutputScope(TFakeScreen& screen)
    {
        TDXContext::SetOutputFactory([&screen] { return std::make_unique<TFakeOutput>(screen); });
    }
    ~TFakeOutputScope() { TDXContext::SetOutputFactory(nullptr); }
    TFakeOutputScope(const TFakeOutputScope&) = delete;
    TFakeOutputScope& operator=(const TFakeOutputScope&) = delete;
};

// Runs Body as the game's init callback in a fresh engine on the dummy video driver, with
// the graphics installed and the fake screen behind the display. The data folders live
// in a temporary folder; "common:" files can be placed there before the start.
class DisplayEngineTest : public EngineStateTest
{
protected:
    using TBody = std::function<void(TPlatform&)>;

    void SetUp() override
    {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "velmora_display_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        mRoot = pattern;
        fs::create_directories(mRoot / "assets");
        setenv("XDG_DATA_HOME", (mRoot / "data").c_str(), 1);
        InstallGraphics();
    }

    void TearDown() override
    {
        std::filesystem::remove_all(mRoot);
        unsetenv("XDG_DATA_HOME");
    }

    // The common data folder's file name, as "common:<name>" finds it.
    std::filesystem::path CommonFile(const std::string& name) const
    {
        return mRoot / "data" / "yolt" / "common" / "velmora" / name;
    }

    // Answers EngineMain's exit code.
    int Run(TBody body, const std::string& switches = "")
    {
        TFakeOutputScope fake(screen);
        SetConfig("gamename", "velmora");
        SetConfig("publisher", "yolt");
        sBody = std::move(body);
        const std::string line = "-wd=\"" + mRoot.string() + "\" --multiple " + switches;
        const int code = EngineMain(line.c_str(), 0, &DisplayEngineTest::RunBody, false);
        sBody = nullptr;
        return code;
    }

    // The log of the last run.
    std::string Log() const;

    TFakeScreen screen;

private:
    static int RunBody(TPlatform* platform, const char*)
    {
        sBody(*platform);
        return 0;
    }

    static inline TBody sBody;
    std::filesystem::path mRoot;
};

inline std::string DisplayEngineTest::Log() const
{
    std::ifstream file(mRoot / "data" / "yolt" / "velmora" / "logfile.txt");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}
