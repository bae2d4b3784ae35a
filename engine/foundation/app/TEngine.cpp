#include "engine/foundation/app/TEngine.h"

#include "engine/foundation/app/EngineMain.h"
#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/app/TPlatformData.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/Settings.h"
#include "engine/foundation/core/TCommandLine.h"
#include "engine/foundation/files/TPathMap.h"
#include "engine/foundation/host/TDllGameState.h"
#include "engine/foundation/host/TGameState.h"
#include "engine/foundation/host/THostLogTransport.h"
#include "engine/foundation/host/TMsnZylomHandler.h"
#include "engine/foundation/seams/TDisplaySeam.h"
#include "engine/platform/TEventSource.h"
#include "engine/platform/TPlatformLog.h"
#include "engine/platform/TTimeSource.h"
#include "engine/platform/TVideoSystem.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// While the window system starts, the platform's lines are also kept here: when it
// cannot start there is no window, and the standard error stream is where the person who
// started the game looks.
std::vector<std::string>* sWindowSystemLines = nullptr;

void LogPlatformLine(const char* line)
{
    TraceLog("%s", line);
    if (sWindowSystemLines != nullptr)
        sWindowSystemLines->push_back(line);
}

// False when the game cannot go on: said in the log and on the standard error stream.
bool StartWindowSystem(TPlatformData& data)
{
    std::vector<std::string> lines;
    sWindowSystemLines = &lines;
    const bool started = data.StartWindowSystem();
    sWindowSystemLines = nullptr;
    if (started)
        return true;
    TraceLog("ERROR: start-up: no display to show the game on, exiting");
    for (const std::string& line : lines)
        std::fprintf(stderr, "%s: %s\n", data.GetProductName().CStr(), line.c_str());
    std::fprintf(stderr, "%s: no display to show the game on, exiting\n",
                 data.GetProductName().CStr());
    return false;
}

// Null when another instance is running.
std::unique_ptr<TPlatformData> CreatePlatformData(int showCommand, bool allowMultiple)
{
    std::srand((TTimeSource::Now() * 8627u) % 104729u);
    TPlatformData::TStartResult result;
    return TPlatformData::Create(showCommand, allowMultiple, result);
}

// "-wnd=", "-msn", "-zylom" and "--axtest". False when the game must end at once.
bool ApplyHostSwitches(TPlatformData& data, const TString& line)
{
    if (TCommandLine::Has(line, "-wnd=")) {
        // No window of another program can host the game here: every handle counts as
        // "not a window".
        const unsigned long handle = TCommandLine::GetWindowHandle(line);
        data.SetHosted(handle);
        SetConfig("activex", "1");
        return false;
    }
    if (TCommandLine::Has(line, "-msn"))
        TMsnZylomHandler::InstallMsnHandler(std::make_unique<THostLogTransport>(), false);
    if (TCommandLine::Has(line, "-zylom"))
        TMsnZylomHandler::InstallZylomHandler(std::make_unique<THostLogTransport>());
    if (TCommandLine::Has(line, "--axtest"))
        data.SetAxTest();
    return true;
}

void StoreCommandLineSettings(TPlatformData& data, const TString& line)
{
    SetConfig("installkey", data.GetExecutableFolder());
    SetConfig("startupdir", data.GetStartupFolder());
    if (TCommandLine::Has(line, "--cheat"))
        SetConfig("cheatcode", TCommandLine::GetCheatCode(line));
    for (const auto& [key, value] : TCommandLine::GetOptions(line))
        SetConfig(key, value);
}

void LoadPluginModules()
{
    TString cursor;
    while (EnumeratePathMap("", cursor, false)) {
        if (!IsLoadablePluginKey(cursor, TPathMap::Get().Find(cursor)))
            continue;
        auto module = std::make_unique<TDllGameState>();
        if (module->Load(cursor))
            TGameState::AddHandler(std::move(module));
    }
}

void PublishGameStateKeys(TPlatformData& data, const TString& line)
{
    TGameState* state = TGameState::Get();
    if (state == nullptr)
        return;
    state->SetState("cmdline", line);
    state->SetState("commondatadir", data.GetCommonFolder());
    state->SetState("userdatadir", data.GetUserFolder());
}

} // namespace

TEngine::TEngine() = default;

TEngine::~TEngine()
{
    Stop();
}

TEngine::TStartResult TEngine::Start(const TString& commandLine, int showCommand,
                                     bool allowMultiple)
{
    Stop();
    const TString line = commandLine;
    TCommandLine::SetCurrent(line);
    if (TCommandLine::Has(line, "-wnd=") || TCommandLine::Has(line, "--multiple"))
        allowMultiple = true;

    std::unique_ptr<TPlatformData> data = CreatePlatformData(showCommand, allowMultiple);
    if (!data)
        return TStartResult::OtherInstanceRunning;
    // On the ways out below the platform data is gone before the caller can end the
    // process: its cursor thread must not outlive the statics that exit destroys.
    if (!ApplyHostSwitches(*data, line))
        return TStartResult::Hosted;
    data->SetupDataFolders(data->GetProductName());
    if (!data->IsHosted() || HasPqSwitch()) {
        InitLog(data->GetUserFolder().CStr());
        TPlatformLog::SetSink(LogPlatformLine);
        data->LogWorkingFolderFailure();
    }
    if (!StartWindowSystem(*data)) {
        data.reset();
        TPlatformLog::SetSink(nullptr);
        return TStartResult::NoWindowSystem;
    }
    TPlatformData& platformData = *data;
    mPlatform = std::make_unique<TPlatform>(std::move(data));
    TraceLog("start-up: main window");
    if (!mPlatform->CreateMainWindow()) {
        TraceLog("ERROR: start-up: no main window, exiting");
        mPlatform.reset();
        TPlatformLog::SetSink(nullptr);
        return TStartResult::NoMainWindow;
    }
    if (platformData.IsAxTest())
        SetConfig("activex", "1");
    TraceLog("start-up: sound manager and renderer");
    mPlatform->InitSound();
    mPlatform->CreateRenderer();
    StoreCommandLineSettings(platformData, line);
    if (HasPqSwitch())
        TMsnZylomHandler::InstallMsnHandler(std::make_unique<THostLogTransport>(), true);
    LoadPluginModules();
    PublishGameStateKeys(platformData, line);
    TraceLog("start-up: settings, plug-ins and game-state keys ready");
    return TStartResult::Started;
}

int TEngine::Stop()
{
    if (!mPlatform)
        return 0;
    // A window system that failed under the game (its X server gone), or a display that
    // failed for good, ended the loop with a quit; the shutdown runs as after any quit, but
    // the exit code reports it.
    TPlatformData& data = mPlatform->GetData();
    const bool windowSystemFailed = data.GetVideoSystem().GetEventSource().HasFailed();
    const TDisplaySeam* display = data.GetDisplay();
    const bool displayFailed = display != nullptr && display->HasFailed();

    mPlatform.reset();
    TraceLog(windowSystemFailed ? "shutdown: done, after the window system failed"
             : displayFailed    ? "shutdown: done, after the display failed"
                                : "shutdown: done");
    TPlatformLog::SetSink(nullptr);
    if (windowSystemFailed)
        return 1;
    return displayFailed ? -1 : 0;
}

int TEngine::ExitCodeFor(TStartResult result)
{
    switch (result) {
    case TStartResult::Started:
    case TStartResult::OtherInstanceRunning:
        return 0;
    case TStartResult::Hosted:
        return -1;
    case TStartResult::NoWindowSystem:
    case TStartResult::NoMainWindow:
        return 1;
    }
    return 1;
}
