#pragma once

// The platform state behind the facade TPlatform: the window system and main window,
// the data folders, the single-instance lock, the version identity, the event pump and
// its flags, the owned engine parts, the platform random generator, the main task list
// and the cursor thread. Built by EngineMain before the facade and deleted last by the
// facade's destructor.
//
// Main thread only, except the cursor thread's own state.

#include "engine/foundation/app/TEventPump.h"
#include "engine/foundation/app/TEventPumpHost.h"
#include "engine/foundation/core/TMersenneTwister.h"
#include "engine/foundation/core/TString.h"
#include "engine/foundation/core/TTaskList.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class TAssetManager;
class TDisplaySeam;
class TInstanceLock;
class TNativeWindow;
class TRendererSeam;
class TSoundManagerSeam;
class TStringTable;
class TTexture;
class TVectorDrawSeam;
class TVideoSystem;
class TWindowManagerSeam;

class TPlatformData final : public TEventPumpHost
{
public:
    enum class TStartResult
    {
        Started,
        OtherInstanceRunning, // the process is to end with exit code 0
    };

    // Builds the platform state; see TStartResult for the ways it can decline. Reads
    // "utf8mode" and "gamename" from the settings, takes the single-instance lock unless
    // allowMultiple, changes the working folder to the executable's folder and starts
    // the cursor thread. The window system starts later (StartWindowSystem).
    static std::unique_ptr<TPlatformData> Create(int showCommand, bool allowMultiple,
                                                 TStartResult& result);
    ~TPlatformData() override;

    // Start-up steps run by EngineMain.
    void SetupDataFolders(const TString& productName);
    // Once the log has started: logs a "-wd=" folder that SetupDataFolders could not
    // enter (that happened before there was a log to say it in).
    void LogWorkingFolderFailure() const;
    // Starts the window system, once, after the log has started (its backend logs why it
    // cannot start, and that belongs in the log). False when none can start, or none
    // that shows anything; nothing that needs the window system may be used then.
    bool StartWindowSystem();
    bool CreateMainWindow();

    // Folders: the executable folder and the start-up folder end in "/"; the data
    // folders do not.
    const TString& GetExecutableFolder() const { return mExecutableFolder; }
    const TString& GetExecutablePath() const { return mExecutablePath; }
    const TString& GetUserFolder() const { return mUserFolder; }
    const TString& GetCommonFolder() const { return mCommonFolder; }
    const TString& GetDesktopFolder() const { return mDesktopFolder; }
    const TString& GetStartupFolder() const { return mStartupFolder; }
    const TString& GetProductName() const { return mProductName; }
    const TString& GetVersion() const { return mVersion; }
    const TString& GetBuildTag() const { return mBuildTag; }
    void PublishBuildTag();

    // Hosting.
    bool IsAxTest() const { return mAxTest; }
    void SetAxTest() { mAxTest = mHosted = true; }
    void SetHosted(unsigned long hostWindow);
    unsigned long GetExternalWindowParent() const { return mExternalWindowParent; }
    // The hosted flag, and the horizontal window scale (1 unless hosted).
    bool GetScale(float& scale) const;
    // A request from the host, as the host's window message would bring it.
    void DeliverHostRequest(int code);

    // The engine parts this object owns.
    void SetWindowManager(std::unique_ptr<TWindowManagerSeam> windowManager);
    std::unique_ptr<TWindowManagerSeam> TakeWindowManager();
    void SetRenderer(std::unique_ptr<TRendererSeam> renderer);
    std::unique_ptr<TRendererSeam> TakeRenderer();
    void SetSoundManager(std::unique_ptr<TSoundManagerSeam> soundManager);
    std::unique_ptr<TSoundManagerSeam> TakeSoundManager();
    void SetVectorDraw(std::unique_ptr<TVectorDrawSeam> vectorDraw);
    std::unique_ptr<TVectorDrawSeam> TakeVectorDraw();
    TVectorDrawSeam* GetVectorDraw() { return mVectorDraw.get(); }
    TStringTable& GetStringTable() { return *mStringTable; }
    TAssetManager& GetAssetManager() { return *mAssetManager; }
    // Deletes the string table, then the asset manager (shutdown; nothing may use them
    // afterwards).
    void DeleteStringTableAndAssets();

    TVideoSystem& GetVideoSystem() { return *mVideo; }
    bool HasWindowSystem() const { return mVideo != nullptr; }
    TMersenneTwister& GetRandom() { return mRandom; }
    TTaskList& GetTaskList() { return mTasks; }
    TEventPump& GetPump() { return mPump; }
    uint32_t GetStartTick() const { return mStartTick; }
    bool IsUtf8ModeOn() const { return mUtf8Mode; }

    // The platform's display step of TPlatform::SetDisplay.
    void SetDisplay(int width, int height, bool fullScreen);
    // The settings write hook while the facade exists.
    void OnSettingChanged(const TString& name, const TString& value);

    // Cursor.
    void ShowMouse(bool show);
    bool IsMouseShown() const { return mCursorShown; }
    void SetMouseImage(std::shared_ptr<TTexture> image, int hotX, int hotY, bool temporary);
    int GetMouseHotX() const { return mHotX; }
    int GetMouseHotY() const { return mHotY; }

    // TEventPumpHost.
    TEventSource& GetEventSource() override;
    TNativeWindow* GetMainWindow() override { return mMainWindow.get(); }
    TDisplaySeam* GetDisplay() override;
    TRendererSeam* GetRenderer() override { return mRenderer.get(); }
    TWindowManagerSeam* GetWindowManager() override { return mWindowManager.get(); }
    TSoundManagerSeam* GetSoundManager() override { return mSoundManager.get(); }
    uint32_t GetTimer() override;
    void Sleep(int milliseconds) override;
    void RunIdleTasks() override { mTasks.RunAll(kPassEveryTurn); }
    int TimeUntilIdleTaskDue() override { return mTasks.TimeUntilDue(); }
    // The cursor thread rests while the loop waits: the pointer's moves wake the loop,
    // which follows them itself. Nothing while idle waits are off.
    void WaitForEvents(int milliseconds) override;
    // Whether idle turns wait for input or the next due work (the default). A time
    // source moved by hand is not moved by waiting, so the tests' in-process engine,
    // which steps such a source, turns the waits off.
    void SetIdleWaits(bool waits) { mIdleWaits = waits; }
    void SetGameState(const TString& key, const TString& value) override;
    bool IsHostPaused() override;
    bool IsHosted() const override { return mHosted; }
    bool HasPqSwitch() const override;
    bool IsUtf8Mode() const override { return mUtf8Mode; }
    bool GetHostFullScreen() const override { return mHostFullScreen; }
    bool SetFullScreen(bool fullScreen) override;
    bool IsFullScreen() const;

private:
    TPlatformData(int showCommand);
    bool TakeInstanceLock();
    void ReadVersionIdentity();
    void StartCursorThread();
    void StopCursorThread();
    void SetLoopWaiting(bool waiting);
    void CursorThreadMain();
    void PublishCursorParts();

    std::unique_ptr<TVideoSystem> mVideo; // by StartWindowSystem; the last to go
    int mShowCommand = 0;
    bool mHosted = false;
    bool mAxTest = false;
    float mScaleX = 1.0f;
    float mScaleY = 1.0f;
    bool mCursorShown = true;
    std::shared_ptr<TTexture> mCursorImage;
    int mHotX = 0;
    int mHotY = 0;
    TEventPump mPump{*this};
    bool mHostFullScreen = false;
    bool mIdleWaits = true;

    TString mExecutableFolder;
    TString mExecutablePath;
    TString mWorkingFolderFailure; // "<folder>: <reason>" when "-wd=" could not be entered
    TString mUserFolder;
    TString mCommonFolder;
    TString mDesktopFolder;
    TString mStartupFolder;
    uint32_t mStartTick = 0;

    std::unique_ptr<TVectorDrawSeam> mVectorDraw;
    std::unique_ptr<TWindowManagerSeam> mWindowManager;
    std::unique_ptr<TSoundManagerSeam> mSoundManager;
    std::unique_ptr<TRendererSeam> mRenderer;
    std::unique_ptr<TStringTable> mStringTable;
    std::unique_ptr<TAssetManager> mAssetManager;
    TMersenneTwister mRandom;
    TTaskList mTasks;

    std::unique_ptr<TNativeWindow> mMainWindow;
    unsigned long mExternalWindowParent = 0;

    // The cursor thread reads the display and window manager through these, under
    // mCursorLock; the main thread clears them under the lock before either goes.
    std::thread mCursorThread;
    std::atomic<bool> mCursorStop{false};
    std::mutex mCursorLock;
    std::condition_variable mCursorWake;
    TDisplaySeam* mCursorDisplay = nullptr;
    TWindowManagerSeam* mCursorWindowManager = nullptr;
    // The event loop waits longer than the cursor's period (under mCursorLock).
    bool mLoopWaiting = false;

    std::shared_ptr<TTexture> mSystemCursor;
    TString mProductName;
    TString mVersion;
    TString mBuildTag;
    bool mUtf8Mode = false;
    std::unique_ptr<TInstanceLock> mInstanceLock;
};
