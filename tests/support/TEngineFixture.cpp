#include "tests/support/TEngineFixture.h"

#include "engine/foundation/app/TEngine.h"
#include "engine/foundation/app/TEvent.h"
#include "engine/foundation/app/TPlatform.h"
#include "engine/foundation/app/TPlatformData.h"
#include "engine/graphics/install/GraphicsInstall.h"
#include "engine/script/TScript.h"
#include "engine/sound/SoundInstall.h"
#include "engine/ui/install/UiInstall.h"
#include "engine/ui/manager/EventTurn.h"
#include "engine/ui/manager/TWindowManager.h"
#include "engine/ui/window/TWindowScriptLink.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/platform/TScopedEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// A step that meets no idle turn in so many events is stuck (input that never ends).
constexpr int kMostEventsInAStep = 10000;

void InstallEngineParts()
{
    InstallGraphics();
    InstallSound();
    InstallUi();
}

} // namespace

TEngineFixture::TEngineFixture()
{
    std::string pattern = (fs::temp_directory_path() / "velmora_engine_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "engine fixture: cannot make a temporary folder";
        return;
    }
    mFolder = pattern;
    fs::create_directories(mFolder / "assets");
}

TEngineFixture::~TEngineFixture()
{
    Stop();
    std::error_code error;
    if (!mFolder.empty())
        fs::remove_all(mFolder, error);
}

void TEngineFixture::WriteContent(const std::string& relative, const std::string& text) const
{
    const fs::path path = mFolder / "assets" / relative;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

bool TEngineFixture::Start()
{
    return Start(TOptions());
}

bool TEngineFixture::Start(const TOptions& options)
{
    Stop();
    ResetEngineState();
    mQuit = false;
    mDataHome = std::make_unique<TScopedEnvironment>("XDG_DATA_HOME", (mFolder / "data").c_str());
    mVideoDriver = std::make_unique<TScopedEnvironment>("SDL_VIDEODRIVER", "dummy");
    mAudioDriver = std::make_unique<TScopedEnvironment>("SDL_AUDIODRIVER", "dummy");
    mTime = std::make_unique<TManualTimeSource>(options.startTime);
    if (options.install)
        options.install();
    else
        InstallEngineParts();

    const fs::path folder = options.folder.empty() ? mFolder : options.folder;
    const std::string line = "-wd=\"" + folder.string() + "\" --multiple " + options.switches;
    mEngine = std::make_unique<TEngine>();
    if (mEngine->Start(line.c_str(), 0, true) != TEngine::TStartResult::Started) {
        ADD_FAILURE() << "engine fixture: the engine did not start; command line: " << line;
        Stop();
        return false;
    }
    TPlatform& platform = Platform();
    mLogFile = fs::path(platform.GetData().GetUserFolder().CStr()) / "logfile.txt";
    platform.GetData().SetIdleWaits(false);
    std::srand(options.seed);
    platform.GetData().GetRandom().Seed(options.seed);
    if (options.width > 0)
        platform.SetDisplay(options.width, options.height, false);
    if (options.started)
        options.started(platform);
    return true;
}

void TEngineFixture::Stop()
{
    if (!mEngine && !mTime)
        return;
    if (mEngine)
        mEngine->Stop();
    mEngine.reset();
    mTime.reset();
    ResetEngineState();
    mAudioDriver.reset();
    mVideoDriver.reset();
    mDataHome.reset();
}

bool TEngineFixture::IsRunning() const
{
    return mEngine && mEngine->GetPlatform() != nullptr;
}

TPlatform& TEngineFixture::Platform()
{
    return *mEngine->GetPlatform();
}

TWindowManager& TEngineFixture::Windows()
{
    return *GetWindowManager();
}

TScript& TEngineFixture::WindowScript()
{
    return *dynamic_cast<TScript*>(Windows().GetWindowScript());
}

TStringTable& TEngineFixture::Strings()
{
    return Platform().GetStringTable();
}

void TEngineFixture::Step(uint32_t ms)
{
    if (!IsRunning()) {
        ADD_FAILURE() << "engine fixture: Step without a running engine";
        return;
    }
    mTime->Advance(ms);
    TEvent event;
    for (int i = 0; i < kMostEventsInAStep; ++i) {
        if (!RunEventTurn(Platform(), event)) {
            mQuit = true;
            return;
        }
        if (event.type == TEvent::kIdle)
            return;
    }
    ADD_FAILURE() << "engine fixture: no idle turn in " << kMostEventsInAStep << " events";
}

bool TEngineFixture::StepUntil(const std::function<bool()>& done, uint32_t ms, int maxSteps)
{
    for (int i = 0; i < maxSteps; ++i) {
        if (done())
            return true;
        Step(ms);
    }
    if (done())
        return true;
    ADD_FAILURE() << "engine fixture: not done after " << maxSteps << " steps of " << ms << " ms";
    return false;
}

std::string TEngineFixture::Log() const
{
    std::ifstream file(mLogFile, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}
