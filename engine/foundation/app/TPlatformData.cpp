#include "engine/foundation/app/TPlatformData.h"

#include "engine/foundation/app/TSystemCursorImage.h"
#include "engine/foundation/app/TVersionInfo.h"
#include "engine/foundation/app/TWindowIcon.h"
#include "engine/foundation/assets/TAssetManager.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/Settings.h"
#include "engine/foundation/core/TCommandLine.h"
#include "engine/foundation/files/DataFolders.h"
#include "engine/foundation/files/TMemoryFile.h"
#include "engine/foundation/host/TGameState.h"
#include "engine/foundation/host/TMsnZylomHandler.h"
#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/foundation/xml/TStringTable.h"
#include "engine/platform/TEventSource.h"
#include "engine/platform/TInstanceLock.h"
#include "engine/platform/TNativeWindow.h"
#include "engine/platform/TSystemPaths.h"
#include "engine/platform/TTimeSource.h"
#include "engine/platform/TVideoSystem.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kMainWindowWidth = 480;
constexpr int kMainWindowHeight = 360;
constexpr const char* kMainWindowTitle = "Halvorn";
constexpr int kPathBuffer = 4096;
constexpr size_t kMaxFileName = 255;
// The cursor follows the pointer this often, and far less often while it is outside.
constexpr int kCursorPeriodMs = 16;
constexpr int kCursorOutsidePeriodMs = 250;

TString WithoutTrailingSlash(TString folder)
{
    if (folder.Length() > 1 && folder.CharAt(folder.Length() - 1) == '/')
        folder.Erase(folder.Length() - 1, 1);
    return folder;
}

// The lock's file name: the executable's path in lower case without separators, then
// "_MUTEX.lock"; a name too long for the file system is replaced by a hash of it.
TString InstanceLockName(const TString& executablePath)
{
    TString name;
    for (int i = 0; i < executablePath.Length(); ++i) {
        const char c = executablePath.CharAt(i);
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (c != '/' && c != ':')
            name += TString(&lower, 1);
    }
    name += "_MUTEX.lock";
    if (static_cast<size_t>(name.Length()) <= kMaxFileName)
        return name;
    uint64_t hash = 0xcbf29ce484222325ull;
    for (int i = 0; i < name.Length(); ++i) {
        hash ^= static_cast<unsigned char>(name.CharAt(i));
        hash *= 0x100000001b3ull;
    }
    return TString::Printf("velmora_%016llx_MUTEX.lock", static_cast<unsigned long long>(hash));
}

} // namespace

TPlatformData::TPlatformData(int showCommand) : mShowCommand(showCommand) {}

std::unique_ptr<TPlatformData> TPlatformData::Create(int showCommand, bool allowMultiple,
                                                     TStartResult& result)
{
    std::unique_ptr<TPlatformData> data(new TPlatformData(showCommand));
    data->mUtf8Mode = IsEnabled("utf8mode");
    data->mWindowManager = TEngineSeams::CreateWindowManager();
    data->mAssetManager = std::make_unique<TAssetManager>();
    data->mStringTable = std::make_unique<TStringTable>();
    data->mExecutablePath = TSystemPaths::GetExecutablePath().c_str();
    data->mExecutableFolder = TSystemPaths::GetExecutableFolder().c_str();
    data->mStartupFolder = TSystemPaths::GetWorkingFolder().c_str();
    TSystemPaths::SetWorkingFolder(data->mExecutableFolder.CStr());
    if (!allowMultiple && !data->TakeInstanceLock()) {
        result = TStartResult::OtherInstanceRunning;
        return nullptr;
    }
    data->mStartTick = TTimeSource::Now();
    data->mUserFolder = data->mCommonFolder = data->mDesktopFolder = data->mExecutableFolder;
    data->ReadVersionIdentity();
    data->StartCursorThread();
    result = TStartResult::Started;
    return data;
}

TPlatformData::~TPlatformData()
{
    mSystemCursor.reset();
    mCursorImage.reset();
    StopCursorThread();
    mInstanceLock.reset();
    // The main window goes even in the host test mode, where it is its own host: the
    // window system cannot outlive this object here.
    mMainWindow.reset();
    mTasks.DeleteAll();
    mRenderer.reset();
    mSoundManager.reset();
    mWindowManager.reset();
    mVectorDraw.reset();
    DeleteStringTableAndAssets();
}

void TPlatformData::DeleteStringTableAndAssets()
{
    mStringTable.reset();
    mAssetManager.reset();
}

// Whether this process may run: false when another instance holds the lock.
bool TPlatformData::TakeInstanceLock()
{
    const TString name = InstanceLockName(mExecutablePath);
    const TInstanceLock::TResult result = TInstanceLock::Create(name.CStr(), mInstanceLock);
    // Raising the other instance's window is not possible here; it simply keeps running.
    return result != TInstanceLock::TResult::HeldElsewhere;
}

// The executable's identity, from the constants the build generates. A "gamename" set by
// the game's entry replaces the product name.
void TPlatformData::ReadVersionIdentity()
{
    mVersion = TVersionInfo::kVersion;
    mBuildTag = TVersionInfo::kBuildTag;
    mProductName = GetConfig("gamename", TVersionInfo::kProductName);
    if (mProductName.Length() == 0)
        mProductName = GetConfig("gamename", "Tarnwick Application");
}

void TPlatformData::SetupDataFolders(const TString& productName)
{
    if (!mHosted || HasPqSwitch()) {
        char buffer[kPathBuffer];
        const bool hasPublisher = HasConfig("publisher");
        const TString publisher = GetConfig("publisher", "");
        const char* publisherText = hasPublisher ? publisher.CStr() : nullptr;
        if (GetUserDataFolder(false, productName.CStr(), publisherText, buffer, kPathBuffer) == 0)
            mUserFolder = buffer;
        if (GetUserDataFolder(true, productName.CStr(), publisherText, buffer, kPathBuffer) == 0)
            mCommonFolder = buffer;
        else
            mCommonFolder = mUserFolder;
        if (GetSpecialFolderPath(buffer, kPathBuffer) == 0)
            mDesktopFolder = buffer;
        else
            mDesktopFolder = mUserFolder;
    }
    mUserFolder = WithoutTrailingSlash(mUserFolder);
    mCommonFolder = WithoutTrailingSlash(mCommonFolder);

    const TString line = TCommandLine::GetCurrent();
    if (!TCommandLine::Has(line, "-wd="))
        return;
    const TString folder = TCommandLine::GetWorkingFolder(line);
    TraceLog("Switching current directory to: %s", folder.CStr());
    std::string reason;
    if (!TSystemPaths::SetWorkingFolder(folder.CStr(), &reason))
        mWorkingFolderFailure = folder + TString(": ") + TString(reason.c_str());
}

void TPlatformData::LogWorkingFolderFailure() const
{
    if (mWorkingFolderFailure.Length() == 0)
        return;
    TraceLog("ERROR: start-up: cannot enter the folder of -wd=%s; content is read from %s instead",
             mWorkingFolderFailure.CStr(), TSystemPaths::GetWorkingFolder().c_str());
}

bool TPlatformData::StartWindowSystem()
{
    mVideo = TVideoSystem::Create();
    return mVideo != nullptr;
}

bool TPlatformData::CreateMainWindow()
{
    mMainWindow = mVideo->CreateWindow(kMainWindowTitle, kMainWindowWidth, kMainWindowHeight);
    if (!mMainWindow)
        return false;
    mMainWindow->SetIcon(TWindowIcon::GetPixels().data(), TWindowIcon::kSize, TWindowIcon::kSize);
    if (mAxTest)
        mMainWindow->Show();
    return true;
}

void TPlatformData::PublishBuildTag()
{
    SetConfig("buildtag", mBuildTag);
}

void TPlatformData::SetHosted(unsigned long hostWindow)
{
    mExternalWindowParent = hostWindow;
    mHosted = true;
}

bool TPlatformData::GetScale(float& scale) const
{
    scale = mScaleX;
    return mHosted;
}

void TPlatformData::DeliverHostRequest(int code)
{
    SetGameState("windowmessage", TString::Printf("%d", code));
}

void TPlatformData::SetWindowManager(std::unique_ptr<TWindowManagerSeam> windowManager)
{
    mWindowManager = std::move(windowManager);
    PublishCursorParts();
}

std::unique_ptr<TWindowManagerSeam> TPlatformData::TakeWindowManager()
{
    std::unique_ptr<TWindowManagerSeam> windowManager = std::move(mWindowManager);
    PublishCursorParts();
    return windowManager;
}

void TPlatformData::SetRenderer(std::unique_ptr<TRendererSeam> renderer)
{
    mRenderer = std::move(renderer);
    PublishCursorParts();
}

std::unique_ptr<TRendererSeam> TPlatformData::TakeRenderer()
{
    std::unique_ptr<TRendererSeam> renderer = std::move(mRenderer);
    PublishCursorParts();
    return renderer;
}

void TPlatformData::SetSoundManager(std::unique_ptr<TSoundManagerSeam> soundManager)
{
    mSoundManager = std::move(soundManager);
}

std::unique_ptr<TSoundManagerSeam> TPlatformData::TakeSoundManager()
{
    return std::move(mSoundManager);
}

void TPlatformData::SetVectorDraw(std::unique_ptr<TVectorDrawSeam> vectorDraw)
{
    mVectorDraw = std::move(vectorDraw);
}

std::unique_ptr<TVectorDrawSeam> TPlatformData::TakeVectorDraw()
{
    return std::move(mVectorDraw);
}

TEventSource& TPlatformData::GetEventSource()
{
    return mVideo->GetEventSource();
}

TDisplaySeam* TPlatformData::GetDisplay()
{
    return mRenderer ? mRenderer->GetDisplay() : nullptr;
}

uint32_t TPlatformData::GetTimer()
{
    return TTimeSource::Now() - mStartTick -
           static_cast<uint32_t>(TMsnZylomHandler::GetHostPausedTime());
}

void TPlatformData::Sleep(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void TPlatformData::WaitForEvents(int milliseconds)
{
    if (!mIdleWaits)
        return;
    // Short waits are the loop's pace while something moves; the cursor keeps its own.
    const bool rest = milliseconds > kCursorPeriodMs;
    if (rest)
        SetLoopWaiting(true);
    GetEventSource().Wait(milliseconds);
    if (rest)
        SetLoopWaiting(false);
}

void TPlatformData::SetLoopWaiting(bool waiting)
{
    {
        std::lock_guard<std::mutex> lock(mCursorLock);
        mLoopWaiting = waiting;
    }
    if (!waiting)
        mCursorWake.notify_all();
}

void TPlatformData::SetGameState(const TString& key, const TString& value)
{
    if (TGameState* state = TGameState::Get())
        state->SetState(key, value);
}

bool TPlatformData::IsHostPaused()
{
    return TGameState::AnyHandlerPaused();
}

bool TPlatformData::HasPqSwitch() const
{
    return ::HasPqSwitch();
}

bool TPlatformData::IsFullScreen() const
{
    if (::HasPqSwitch())
        return mHostFullScreen;
    const TDisplaySeam* display = mRenderer ? mRenderer->GetDisplay() : nullptr;
    return display != nullptr && display->IsFullScreen();
}

bool TPlatformData::SetFullScreen(bool fullScreen)
{
    TDisplaySeam* display = GetDisplay();
    if (::HasPqSwitch()) {
        mHostFullScreen = fullScreen; // the host would be told here; there is none
        if (display != nullptr)
            display->SetFullScreen(false);
        return true;
    }
    return display != nullptr && display->SetFullScreen(fullScreen);
}

void TPlatformData::SetDisplay(int width, int height, bool fullScreen)
{
    if (::HasPqSwitch()) {
        mHostFullScreen = fullScreen;
        fullScreen = false;
    }
    mScaleX = mScaleY = 1.0f;
    if (mHosted && mMainWindow && width > 0) {
        int hostWidth = 0;
        int hostHeight = 0;
        mMainWindow->GetSize(hostWidth, hostHeight);
        mScaleX = mScaleY = static_cast<float>(hostWidth) / static_cast<float>(width);
        fullScreen = false;
    }
    if (!mRenderer) {
        TraceLog("ERROR: display: no renderer to open a display with");
        return;
    }
    const bool firstDisplay = mRenderer->GetDisplay() == nullptr;
    TDisplaySeam* display = mRenderer->CreateDisplay();
    PublishCursorParts();
    // A "vsync" stored before the display existed takes effect now.
    if (firstDisplay && HasConfig("vsync"))
        display->SetVSync(IsEnabled("vsync"));
    display->SetDisplay(width, height, fullScreen);
    if (!mVectorDraw) {
        mVectorDraw = TEngineSeams::CreateVectorDraw();
        if (mVectorDraw) {
            mVectorDraw->Calibrate();
            // Its test frame went into a render target: no frame shown since the set-up.
            display->ResetWorkingCount();
        }
        mRenderer->FillRect(0, 0, width, height, 0x00000000);
    }
    display->CalibrateTexelOffset();
}

void TPlatformData::OnSettingChanged(const TString& name, const TString& value)
{
    if (!(name == TString("vsync")))
        return;
    if (TDisplaySeam* display = GetDisplay())
        display->SetVSync(std::atoi(value.CStr()) != 0);
}

void TPlatformData::ShowMouse(bool show)
{
    if (show == mCursorShown)
        return;
    mCursorShown = show;
    if (TDisplaySeam* display = GetDisplay())
        display->ShowMouse(show);
}

void TPlatformData::SetMouseImage(std::shared_ptr<TTexture> image, int hotX, int hotY,
                                  bool temporary)
{
    if (!temporary) {
        mCursorImage = image;
        mHotX = hotX;
        mHotY = hotY;
        if (!mCursorShown)
            return;
        if (!image) {
            if (!mSystemCursor) {
                const std::vector<uint8_t>& png = TSystemCursorImage::GetPng();
                RegisterMemoryFile(TSystemCursorImage::kName, png.data(), png.size());
                mSystemCursor = TEngineSeams::LoadTexture(TSystemCursorImage::kName);
            }
            image = mSystemCursor;
        }
    }
    if (TDisplaySeam* display = GetDisplay())
        display->SetMouseImage(image, hotX, hotY, temporary);
}

void TPlatformData::PublishCursorParts()
{
    std::lock_guard<std::mutex> lock(mCursorLock);
    mCursorDisplay = mRenderer ? mRenderer->GetDisplay() : nullptr;
    mCursorWindowManager = mWindowManager.get();
}

void TPlatformData::StartCursorThread()
{
    PublishCursorParts();
    mCursorThread = std::thread([this] { CursorThreadMain(); });
}

void TPlatformData::StopCursorThread()
{
    {
        std::lock_guard<std::mutex> lock(mCursorLock);
        mCursorStop = true;
        mCursorDisplay = nullptr;
        mCursorWindowManager = nullptr;
    }
    mCursorWake.notify_all();
    if (mCursorThread.joinable())
        mCursorThread.join();
}

// Keeps the software cursor on the pointer. It calls only the display's cursor move,
// never the window system. While the event loop waits for events it rests: the pointer's
// moves reach the loop as events, and the loop moves the cursor itself.
void TPlatformData::CursorThreadMain()
{
    std::unique_lock<std::mutex> lock(mCursorLock);
    while (!mCursorStop) {
        mCursorWake.wait(lock, [this] { return mCursorStop.load() || !mLoopWaiting; });
        if (mCursorStop)
            break;
        int period = kCursorPeriodMs;
        if (mCursorDisplay != nullptr && mCursorWindowManager != nullptr &&
            !mCursorWindowManager->IsSuspended()) {
            const TDisplaySeam::TPoint point = mCursorDisplay->MoveMouse(-1, -1);
            if (point.x == -1)
                period = kCursorOutsidePeriodMs;
        }
        mCursorWake.wait_for(lock, std::chrono::milliseconds(period),
                             [this] { return mCursorStop.load(); });
    }
}
