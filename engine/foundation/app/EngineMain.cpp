#include "engine/foundation/app/EngineMain.h"

#include "engine/foundation/app/TEngine.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TPathMap.h"
#include "engine/platform/TSharedLibrary.h"
#include "engine/platform/TSystemPaths.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::unique_ptr<TSharedLibrary> sTestHookLibrary;

} // namespace

bool IsLoadablePluginKey(const TString& key, const TString& location)
{
    const int length = key.Length();
    if (length <= 6 || !(key.Substr(length - 6) == TString(".hvmod")))
        return false;
    if (key.Find("user:") == 0 || key.Find("common:") == 0 || key.FindChar(':') >= 0)
        return false;
    // Package entries and memory blocks cannot be loaded as code.
    return IsDiskLocation(location);
}

void LoadTestHook(const char** commandLine)
{
    const std::string path = TSystemPaths::GetExecutableFolder() + "hvHarness.so";
    sTestHookLibrary = TSharedLibrary::Create(path, true);
    if (!sTestHookLibrary)
        return;
    auto entry = reinterpret_cast<TTestHookEntry>(sTestHookLibrary->FindSymbol("TestHook"));
    if (entry == nullptr) {
        sTestHookLibrary.reset();
        return;
    }
    entry(commandLine);
}

void PostQuitToTestHook()
{
    if (!sTestHookLibrary)
        return;
    TraceLog("test hook: the game has ended");
}

int EngineMain(const TString& commandLine, int showCommand, TGameInitCallback init,
               bool allowMultiple)
{
    const char* linePointer = commandLine.CStr();
    LoadTestHook(&linePointer);
    const TString line = linePointer;
    TEngine engine;
    const TEngine::TStartResult started = engine.Start(line, showCommand, allowMultiple);
    if (started != TEngine::TStartResult::Started)
        std::exit(TEngine::ExitCodeFor(started));

    TraceLog("start-up: running the game");
    init(engine.GetPlatform(), line.CStr());
    TraceLog("shutdown: the game has ended");
    PostQuitToTestHook();
    const int exitCode = engine.Stop();
    sTestHookLibrary.reset();
    return exitCode;
}
