#include "engine/foundation/app/EngineMain.h"

#include "engine/foundation/app/TEvent.h"
#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/app/TPlatformData.h"
#include "engine/foundation/app/TSystemCursorImage.h"
#include "engine/foundation/core/Settings.h"
#include "engine/foundation/core/TTask.h"
#include "engine/foundation/files/TFile.h"
#include "engine/foundation/files/TPathMap.h"
#include "engine/foundation/host/TGameState.h"
#include "engine/foundation/host/TGameStateHandler.h"
#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/platform/TNativeWindow.h"
#include "engine/platform/TSystemPaths.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/platform/TScopedEnvironment.h"
#include "tests/engine/platform/WaitUntil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// What the fakes saw, in order.
std::vector<std::string> sRecord;
int sVectorDrawsMade = 0;
int sRootScreensMade = 0;
std::vector<bool> sVSyncCalls;

void Record(const std::string& what)
{
    sRecord.push_back(what);
}

class TRecordingScript final : public TWindowScriptSeam
{
public:
    ~TRecordingScript() override { Record("window script"); }
    void EndMovie() override {}
};

class TRecordingWindowManager final : public TWindowManagerSeam
{
public:
    ~TRecordingWindowManager() override { Record("window manager"); }
    void AttachScript(std::unique_ptr<TWindowScriptSeam> script) override
    {
        Record("attach script");
        mScript = std::move(script);
    }
    TWindowScriptSeam* GetScript() override { return mScript.get(); }
    void SetTranslateLabels(bool) override {}
    bool HasRootWindow() const override { return mRoot; }
    void CreateRootScreen(int, int) override
    {
        ++sRootScreensMade;
        mRoot = true;
    }
    int TimeUntilDue() override { return 0; }
    void Invalidate() override {}
    bool IsSuspended() const override { return false; }
    bool IsMouseBlocked() const override { return false; }

private:
    std::unique_ptr<TWindowScriptSeam> mScript;
    bool mRoot = false;
};

class TRecordingDisplay final : public TDisplaySeam
{
public:
    ~TRecordingDisplay() override { Record("display"); }
    bool SetDisplay(int, int, bool) override { return true; }
    void CalibrateTexelOffset() override {}
    bool IsValid() const override { return true; }
    bool HasFailed() const override { return sFailed; }
    void Restore() override {}
    bool IsFullScreen() const override { return false; }
    bool SetFullScreen(bool) override { return false; }
    void ResetWorkingCount() override {}
    void UpdateDesktopMode() override {}
    void SetVSync(bool on) override { sVSyncCalls.push_back(on); }
    bool IsPresentDone() const override { return true; }
    void OutOfVideoMemory() override {}
    TPoint MoveMouse(int, int) override { return {-1, -1}; } // the pointer is outside
    TPoint GetMousePosition() const override { return {}; }
    void EraseMouse() override {}
    void UpdateWindowBounds() override {}
    void ShowMouse(bool) override {}
    void SetMouseImage(std::shared_ptr<TTexture> image, int hotX, int hotY, bool) override
    {
        sMouseImages.push_back({image.get(), hotX, hotY});
    }

    struct TMouseImage
    {
        TTexture* image;
        int hotX;
        int hotY;
    };
    static std::vector<TMouseImage> sMouseImages;
    static bool sFailed; // what HasFailed answers
};

std::vector<TRecordingDisplay::TMouseImage> TRecordingDisplay::sMouseImages;
bool TRecordingDisplay::sFailed = false;

class TRecordingRenderer final : public TRendererSeam
{
public:
    ~TRecordingRenderer() override
    {
        Record(TPlatform::GetInstance() != nullptr ? "renderer" : "renderer without facade");
    }
    TDisplaySeam* GetDisplay() override { return mDisplay.get(); }
    TDisplaySeam* CreateDisplay() override
    {
        if (!mDisplay)
            mDisplay = std::make_unique<TRecordingDisplay>();
        return mDisplay.get();
    }
    void ToggleStats() override {}
    void PopClipRect() override {}
    void PushClipRect(int, int, int, int) override {}
    void FillRect(int, int, int, int, uint32_t) override {}

private:
    std::unique_ptr<TRecordingDisplay> mDisplay;
};

class TRecordingSound final : public TSoundManagerSeam
{
public:
    ~TRecordingSound() override { Record("sound manager"); }
    bool Init() override
    {
        Record("sound init");
        return true;
    }
    void SetActive(bool) override {}
    void DispatchNotifications() override {}
    void SetNotificationWake(std::function<void()>) override {}
};

class TRecordingVectorDraw final : public TVectorDrawSeam
{
public:
    TRecordingVectorDraw() { ++sVectorDrawsMade; }
    ~TRecordingVectorDraw() override { Record("vector drawing"); }
    void Calibrate() override {}
};

// Sees the game-state writes, and records when the store deletes it.
class TRecordingHandler final : public TGameStateHandler
{
public:
    ~TRecordingHandler() override
    {
        Record(TPlatform::GetInstance() == nullptr ? "game state" : "game state with facade");
        Record(std::string("settings at game state: ") + GetConfig("memorymax", "none").CStr());
    }
    bool SetState(const char* key, const char* value) override
    {
        sStates[key] = value;
        ++sWrites[key];
        return false;
    }

    static std::map<std::string, int> sWrites;

    static std::map<std::string, std::string> sStates;
};

std::map<std::string, std::string> TRecordingHandler::sStates;
std::map<std::string, int> TRecordingHandler::sWrites;

struct TSeen
{
    bool ran = false;
    std::map<std::string, std::string> settings;
    bool windowHidden = false;
    std::string commandLine;
    std::string title;
    std::string clipboard;
    bool displayReady = false;
};

TSeen sSeen;
int RecordingGame(TPlatform* platform, const char* commandLine)
{
    sSeen.ran = true;
    sSeen.commandLine = commandLine;
    for (const char* key :
         {"memorymax", "texturememorymax", "extra", "cheatcode", "installkey", "startupdir",
          "gamename", "version", "buildtag", "computerid", "activex", "utf8modeinit", "fromfile"})
        sSeen.settings[key] = GetConfig(key, "<absent>").CStr();
    TNativeWindow* window = platform->GetData().GetMainWindow();
    sSeen.windowHidden = window != nullptr && !window->IsShown();
    platform->SetDisplay(800, 600, false);
    platform->SetDisplay(800, 600, false);
    TEvent event;
    platform->GetEvent(event);
    platform->GetEvent(event);
    platform->GetData().DeliverHostRequest(4);
    SetConfig("vsync", "0"); // reaches the open display at once
    sSeen.displayReady = IsDisplayReady();
    // 8-bit text is Latin-1: the window system sees UTF-8 and gives it back as Latin-1.
    platform->SetWindowTitle("Caf\xE9");
    sSeen.title = window != nullptr ? window->GetTitle() : "";
    if (platform->StringToClipboard("na\xEFve"))
        sSeen.clipboard = platform->GetClipboardText().CStr();
    Record("game ends");
    return 0;
}

std::string sPluginProbe;

int ProbingGame(TPlatform*, const char*)
{
    sPluginProbe = TGameState::Get()->GetState("pluginprobe").CStr();
    return 0;
}

class EngineMainTest : public EngineStateTest
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "velmora_main_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        mRoot = pattern;
        fs::create_directories(mRoot / "assets");
        std::ofstream(mRoot / "assets" / "settings.xml")
            << "<settings><memorymax>5</memorymax><fromfile>yes</fromfile>"
               "<vsync>1</vsync></settings>\n";
        mDataHome.emplace("XDG_DATA_HOME", (mRoot / "data").c_str());
        sRecord.clear();
        sVSyncCalls.clear();
        sVectorDrawsMade = sRootScreensMade = 0;
        sSeen = TSeen{};
        TRecordingHandler::sStates.clear();
        TRecordingHandler::sWrites.clear();
        TRecordingDisplay::sMouseImages.clear();
        TRecordingDisplay::sFailed = false;

        TEngineSeams::TFactories& factories = TEngineSeams::Factories();
        factories.windowManager = [] { return std::make_unique<TRecordingWindowManager>(); };
        factories.windowScript = [] { return std::make_unique<TRecordingScript>(); };
        factories.renderer = [] { return std::make_unique<TRecordingRenderer>(); };
        factories.soundManager = [] { return std::make_unique<TRecordingSound>(); };
        factories.vectorDraw = [] { return std::make_unique<TRecordingVectorDraw>(); };
    }

    // The working folder the start-up moved into goes back with the engine state.
    void TearDown() override { fs::remove_all(mRoot); }

    fs::path mRoot;
    std::optional<TScopedEnvironment> mDataHome;
};

TEST_F(EngineMainTest, StartUpLayersSettingsAndShutdownRunsInOrder)
{
    SetConfig("memorymax", "1"); // the game entry's value: the defaults replace it
    SetConfig("gamename", "velmora");
    SetConfig("publisher", "yolt");
    TGameState::AddHandler(std::make_unique<TRecordingHandler>());
    const std::string startFolder = fs::current_path().string() + "/";
    const std::string line = "-wd=\"" + mRoot.string() +
                             "\" --multiple "
                             "options=memorymax=7&extra=x --cheat=abc";

    EngineMain(line.c_str(), 0, RecordingGame, false);

    ASSERT_TRUE(sSeen.ran);
    EXPECT_EQ(sSeen.commandLine, line);
    EXPECT_EQ(sSeen.settings["memorymax"], "7"); // defaults, file, then options=
    EXPECT_EQ(sSeen.settings["texturememorymax"], "100000000");
    EXPECT_EQ(sSeen.settings["fromfile"], "yes");
    EXPECT_EQ(sSeen.settings["extra"], "x");
    EXPECT_EQ(sSeen.settings["cheatcode"], "abc");
    EXPECT_EQ(sSeen.settings["installkey"], TSystemPaths::GetExecutableFolder());
    EXPECT_EQ(sSeen.settings["startupdir"], startFolder);
    EXPECT_EQ(sSeen.settings["gamename"], "velmora");
    EXPECT_EQ(sSeen.settings["version"], "1.0.0.0");
    EXPECT_EQ(sSeen.settings["buildtag"], "velmora-1.0.0");
    EXPECT_EQ(sSeen.settings["computerid"].size(), 16u);
    EXPECT_EQ(sSeen.settings["activex"], "<absent>");
    EXPECT_EQ(sSeen.settings["utf8modeinit"], "");
    EXPECT_TRUE(sSeen.windowHidden);

    const std::string userFolder = (mRoot / "data" / "yolt" / "velmora").string();
    EXPECT_EQ(TRecordingHandler::sStates["cmdline"], line);
    EXPECT_EQ(TRecordingHandler::sStates["userdatadir"], userFolder);
    EXPECT_TRUE(fs::exists(fs::path(userFolder) / "logfile.txt"));
    EXPECT_EQ(TRecordingHandler::sWrites["sessionready"], 1);
    EXPECT_EQ(TRecordingHandler::sStates["windowmessage"], "4");

    // The root screen and the vector drawing are made once; the stored "vsync" reached
    // the display when it was made.
    EXPECT_EQ(sRootScreensMade, 1);
    EXPECT_EQ(sVectorDrawsMade, 1);
    EXPECT_EQ(sVSyncCalls, (std::vector<bool>{true, false}));
    EXPECT_TRUE(sSeen.displayReady);
    EXPECT_EQ(sSeen.title, "Caf\xC3\xA9");
    EXPECT_EQ(sSeen.clipboard, "na\xEFve");

    const std::vector<std::string> expected = {
        "attach script",
        "sound init",
        "game ends",
        "window manager",
        "window script",
        "sound manager",
        "vector drawing",
        "renderer",
        "display",
        "game state",
        "settings at game state: 7",
    };
    EXPECT_EQ(sRecord, expected);

    EXPECT_EQ(TPlatform::GetInstance(), nullptr);
    EXPECT_STREQ(GetConfig("memorymax", "emptied").CStr(), "emptied");
}

TEST_F(EngineMainTest, PluginModuleLoadsFromTheApplicationFolderOnly)
{
    const fs::path userFolder = mRoot / "data" / "yolt" / "velmora";
    fs::create_directories(userFolder);
    fs::copy_file(VELMORA_PROBE_PLUGIN, mRoot / "assets" / "probe.hvmod");
    fs::copy_file(VELMORA_PROBE_PLUGIN, userFolder / "probe.hvmod");
    fs::copy_file(VELMORA_PROBE_PLUGIN, userFolder / "probe2.hvmod");
    SetConfig("gamename", "velmora");
    SetConfig("publisher", "yolt");
    sPluginProbe = "not run";
    const std::string line = "-wd=\"" + mRoot.string() + "\" --multiple";

    EngineMain(line.c_str(), 0, ProbingGame, false);

    // One "+" per loaded module: the application folder's, not the user folder's two.
    EXPECT_EQ(sPluginProbe, "+");
}

int QuietGame(TPlatform*, const char*)
{
    return 0;
}

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// "-wd=" is applied before the log starts; a folder it cannot enter is said in the log.
TEST_F(EngineMainTest, AWorkingFolderThatCannotBeEnteredIsLogged)
{
    SetConfig("gamename", "velmora");
    SetConfig("publisher", "yolt");
    const std::string missing = (mRoot / "missing").string();
    const std::string line = "-wd=\"" + missing + "\" --multiple";
    const fs::path startFolder = fs::current_path();

    EngineMain(line.c_str(), 0, QuietGame, false);

    const std::string log = ReadText(mRoot / "data" / "yolt" / "velmora" / "logfile.txt");
    EXPECT_NE(log.find("ERROR: start-up: cannot enter the folder of -wd=" + missing +
                       ": No such file or directory; content is read from " + startFolder.string()),
              std::string::npos)
        << log;
}

// A data folder that cannot be made (XDG_DATA_HOME names a file) leaves the log on the
// standard error stream, behind one line that says why.
TEST_F(EngineMainTest, WithoutAWritableDataFolderTheLogGoesToStandardError)
{
    std::ofstream(mRoot / "file") << "x";
    mDataHome.emplace("XDG_DATA_HOME", (mRoot / "file").c_str());
    SetConfig("gamename", "velmora");
    SetConfig("publisher", "yolt");
    const std::string line = "-wd=\"" + mRoot.string() + "\" --multiple";

    testing::internal::CaptureStderr();
    EngineMain(line.c_str(), 0, QuietGame, false);
    const std::string err = testing::internal::GetCapturedStderr();

    const std::string why = "log: cannot write " +
                            (mRoot / "file" / "yolt" / "velmora" / "logfile.txt").string() +
                            ": Not a directory; log lines go to the standard error stream\n";
    const size_t reason = err.find(why);
    ASSERT_NE(reason, std::string::npos) << err;
    EXPECT_EQ(err.find("log: cannot write", reason + 1), std::string::npos) << "said once";
    EXPECT_NE(err.find("\nstart-up: running the game\n", reason), std::string::npos) << err;
    EXPECT_NE(err.find("\nshutdown: done\n", reason), std::string::npos) << err;
}

bool sUserFileMapped = false;

int UserFolderGame(TPlatform*, const char*)
{
    sUserFileMapped = !(TPathMap::Get().Find("user:note.txt") == TString());
    return 0;
}

TEST_F(EngineMainTest, OnlyActivexOfOneLeavesTheDataFoldersUnscanned)
{
    const fs::path userFolder = mRoot / "data" / "yolt" / "velmora";
    fs::create_directories(userFolder);
    std::ofstream(userFolder / "note.txt") << "x";
    struct TCase
    {
        const char* activex;
        bool scanned;
    };
    const TCase cases[] = {{"1", false}, {"2", true}, {"-1", true}, {" 1", true}, {"0", true}};
    for (const TCase& c : cases) {
        SetConfig("gamename", "velmora");
        SetConfig("publisher", "yolt");
        SetConfig("activex", c.activex);
        sUserFileMapped = !c.scanned;
        const std::string line = "-wd=\"" + mRoot.string() + "\" --multiple";

        EngineMain(line.c_str(), 0, UserFolderGame, false);

        EXPECT_EQ(sUserFileMapped, c.scanned) << "activex \"" << c.activex << "\"";
    }
}

int sTextureStandIn = 0;
std::vector<std::string> sTexturesLoaded;
bool sSystemCursorReadable = false;
int sHotX = 0;

int CursorGame(TPlatform* platform, const char*)
{
    platform->SetDisplay(800, 600, false);
    // Shown: an empty image means the built-in arrow.
    platform->SetMouseImage(nullptr, 3, 4, false);
    platform->SetMouseImage(nullptr, 5, 6, false); // the arrow is loaded once
    // Hidden: only the hot spot is kept.
    platform->ShowMouse(false);
    platform->SetMouseImage(nullptr, 7, 8, false);
    sHotX = platform->GetData().GetMouseHotX();
    return 0;
}

TEST_F(EngineMainTest, EmptyMouseImageUsesTheBuiltInArrowWhileShown)
{
    // TTexture is not built yet: the loader hands out a marker pointer it does not own.
    TTexture* marker = reinterpret_cast<TTexture*>(&sTextureStandIn);
    TEngineSeams::Factories().loadTexture = [marker](const TString& name) {
        sTexturesLoaded.push_back(name.CStr());
        TFile* file = FileOpen(name, kFileReadBinary);
        if (file != nullptr) {
            std::vector<uint8_t> bytes(TSystemCursorImage::GetPng().size());
            sSystemCursorReadable = FileRead(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                                    bytes == TSystemCursorImage::GetPng();
            FileClose(file);
        }
        return std::shared_ptr<TTexture>(marker, [](TTexture*) {});
    };
    sTexturesLoaded.clear();
    SetConfig("gamename", "velmora");
    const std::string line = "-wd=\"" + mRoot.string() + "\" --multiple";

    EngineMain(line.c_str(), 0, CursorGame, false);

    EXPECT_EQ(sTexturesLoaded, std::vector<std::string>{"__systemcursor__.png"});
    EXPECT_TRUE(sSystemCursorReadable);
    ASSERT_EQ(TRecordingDisplay::sMouseImages.size(), 2u);
    EXPECT_EQ(TRecordingDisplay::sMouseImages[0].image, marker);
    EXPECT_EQ(TRecordingDisplay::sMouseImages[0].hotX, 3);
    EXPECT_EQ(TRecordingDisplay::sMouseImages[1].hotY, 6);
    EXPECT_EQ(sHotX, 7);
}

std::string sHookedLine;
std::string sHooked;

int HookedGame(TPlatform*, const char* commandLine)
{
    sHookedLine = commandLine;
    sHooked = GetConfig("hooked", "no").CStr();
    return 0;
}

TEST_F(EngineMainTest, TestHookSeesTheCommandLineFirst)
{
    // The hook is looked for beside the executable; it acts only on "--hooktest", so
    // other tests running at the same time are not touched by it.
    const fs::path hook = fs::path(TSystemPaths::GetExecutableFolder()) / "hvHarness.so";
    const fs::path partial = hook.string() + "." + std::to_string(getpid());
    fs::copy_file(VELMORA_TEST_HOOK, partial, fs::copy_options::overwrite_existing);
    fs::rename(partial, hook);
    const std::string line = "-wd=\"" + mRoot.string() + "\" --multiple --hooktest";

    EngineMain(line.c_str(), 0, HookedGame, false);
    fs::remove(hook);

    EXPECT_EQ(sHookedLine, line + " options=hooked=yes");
    EXPECT_EQ(sHooked, "yes");
}

// Counts its runs and stays in its list.
class TCountingTask final : public TTask
{
public:
    explicit TCountingTask(int& runs) : mRuns(runs) {}
    bool DoTask() override
    {
        ++mRuns;
        return true;
    }

private:
    int& mRuns;
};

int sTurnTaskRuns = 0;
int sRefreshTaskRuns = 0;
std::vector<int> sRefreshRunsSeen; // after the turns, after a refresh, after the removal

int RefreshingGame(TPlatform* platform, const char*)
{
    platform->SetDisplay(800, 600, false);
    auto owned = std::make_unique<TCountingTask>(sRefreshTaskRuns);
    TCountingTask* refresh = owned.get();
    platform->AddRefreshTask(std::move(owned));
    platform->AddTask(std::make_unique<TCountingTask>(sTurnTaskRuns));
    TEvent event;
    for (int turn = 0; turn < 5; ++turn)
        platform->GetEvent(event);
    sRefreshRunsSeen.push_back(sRefreshTaskRuns);
    platform->RunRefreshTasks(); // what the display does once lost surfaces are back
    sRefreshRunsSeen.push_back(sRefreshTaskRuns);
    const bool removed = platform->RemoveRefreshTask(refresh) != nullptr;
    platform->RunRefreshTasks();
    sRefreshRunsSeen.push_back(removed ? sRefreshTaskRuns : -1);
    return 0;
}

// The refresh list is no task list of the event loop: turns and frames leave it alone,
// and it runs only when the display has got its lost surfaces back.
TEST_F(EngineMainTest, RefreshTasksRunOnlyWhenTheDisplayAsks)
{
    sTurnTaskRuns = sRefreshTaskRuns = 0;
    sRefreshRunsSeen.clear();
    const std::string line = "-wd=\"" + mRoot.string() + "\" --multiple";
    EngineMain(line.c_str(), 0, RefreshingGame, false);
    EXPECT_GT(sTurnTaskRuns, 0);
    EXPECT_EQ(sRefreshRunsSeen, (std::vector<int>{0, 1, 1}));
}

int DisplayingGame(TPlatform* platform, const char*)
{
    platform->SetDisplay(800, 600, false);
    Record("game ends");
    return 0;
}

// A display that failed for good is reported as the run's exit code, after the game has
// returned and everything is shut down; the engine does not end the process itself.
TEST_F(EngineMainTest, TheExitCodeReportsADisplayThatFailed)
{
    const std::string line = "-wd=\"" + mRoot.string() + "\" --multiple";
    for (bool failed : {false, true}) {
        sRecord.clear();
        TRecordingDisplay::sFailed = failed;
        const int code = EngineMain(line.c_str(), 0, DisplayingGame, false);
        SCOPED_TRACE(failed);
        EXPECT_EQ(code, failed ? -1 : 0);
        // The game ran to its end, then the shutdown deleted the display.
        const auto gameEnd = std::find(sRecord.begin(), sRecord.end(), "game ends");
        ASSERT_NE(gameEnd, sRecord.end());
        EXPECT_NE(std::find(gameEnd, sRecord.end(), "display"), sRecord.end());
    }
}

int OpeningGame(TPlatform* platform, const char*)
{
    // A page opened while another program hosts the game goes to that program.
    platform->GetData().SetHosted(0);
    // What is no web address never reaches the program: an option word, a local file.
    platform->OpenURL("--help");
    platform->OpenURL("file:///etc/passwd");
    platform->OpenURL("https://example.invalid/spa?a=1&b=two words");
    return 0;
}

// Hosted, a page is opened by the program "-host=" names, with the address as its one
// argument (never through a shell); other links are logged and not opened.
TEST_F(EngineMainTest, PagesOpenThroughTheHostProgramWhileHosted)
{
    SetConfig("gamename", "velmora");
    SetConfig("publisher", "yolt");
    const fs::path opened = mRoot / "opened.txt";
    const fs::path host = mRoot / "host.sh";
    std::ofstream(host) << "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '" << opened.string()
                        << ".part'\nmv '" << opened.string() << ".part' '" << opened.string()
                        << "'\n";
    fs::permissions(host, fs::perms::owner_all);
    const std::string line = "-wd=\"" + mRoot.string() + "\" --multiple -host=" + host.string();
    EngineMain(line.c_str(), 0, OpeningGame, false);
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(opened); })) << "the host program never ran";
    EXPECT_EQ(ReadText(opened), "1|https://example.invalid/spa?a=1&b=two words|");
    const std::string log = ReadText(mRoot / "data" / "yolt" / "velmora" / "logfile.txt");
    for (const char* refused : {"--help", "file:///etc/passwd"})
        EXPECT_NE(log.find(std::string("link: \"") + refused +
                           "\" is no http:// or https:// address with a host; not opened"),
                  std::string::npos)
            << log;
}

// The two ways start-up ends at once, each in a process of its own: another instance
// holds the lock (exit code 0), or there is no window system (exit code 1). The game
// never runs.
int NestedGame(TPlatform*, const char*)
{
    EngineMain(
        "", 0, [](TPlatform*, const char*) -> int { _exit(3); }, false); // the second
    _exit(4); // the second instance did not end start-up
}

TEST_F(EngineMainTest, AnotherInstanceEndsStartUpWithZero)
{
    const std::string line = "-wd=\"" + mRoot.string() + "\"";
    EXPECT_EXIT(
        {
            TScopedEnvironment runtime("XDG_RUNTIME_DIR", mRoot.c_str());
            EngineMain(line.c_str(), 0, NestedGame, false);
            _exit(5);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(EngineMainTest, NoWindowSystemEndsStartUpWithOne)
{
    const std::string line = "-wd=\"" + mRoot.string() + "\" --multiple";
    EXPECT_EXIT(
        {
            TScopedEnvironment video("SDL_VIDEODRIVER", "nonexistent");
            EngineMain(
                line.c_str(), 0, [](TPlatform*, const char*) -> int { _exit(3); }, false);
            _exit(5);
        },
        testing::ExitedWithCode(1), "");
}

TEST_F(EngineMainTest, PluginKeysOnlyFromTheApplicationFolder)
{
    struct TCase
    {
        const char* key;
        const char* location;
        bool loadable;
    };
    const TCase cases[] = {
        {"stats.hvmod", "/opt/game/assets/stats.hvmod", true},
        {"user:stats.hvmod", "/home/me/.local/share/yolt/velmora/stats.hvmod", false},
        {"common:stats.hvmod", "/srv/common/stats.hvmod", false},
        {"stats.hvmod.txt", "/opt/game/assets/stats.hvmod.txt", false},
        {"stats.hvmod", "@0:12:34", false}, // a package entry is no code file
        {"stats.hvmod", "&1234:10", false}, // nor is a memory block
        {"stats.hvmod", "", false},
        {".hvmod", "/opt/game/assets/.hvmod", false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(IsLoadablePluginKey(c.key, c.location), c.loadable) << c.key << " " << c.location;
}

} // namespace
