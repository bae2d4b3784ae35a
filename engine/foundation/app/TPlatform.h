#pragma once

// The platform facade: the one object through which the engine and the game reach the
// platform: the timer, the engine parts (window manager, sound manager, renderer and
// display), the task lists, the event pump, the display mode, the cursor, the
// clipboard, web links and the random generator. EngineMain builds it over the platform
// data and deletes it at shutdown; TPlatform::GetInstance is null outside that span.
//
// Main thread only.

#include "engine/foundation/core/TString.h"

#include <cstdint>
#include <memory>

class TAssetManager;
class TPlatformData;
class TRendererSeam;
class TSoundManagerSeam;
class TStringTable;
class TTask;
class TTaskList;
class TTexture;
class TWindowManagerSeam;
struct TEvent;

class TPlatform
{
public:
    // Takes the platform data over and runs the facade's start-up: setting defaults,
    // random seeding, the root window script, the machine identifier, the settings file,
    // the data folders, the path map and the string tables, and the version identity.
    explicit TPlatform(std::unique_ptr<TPlatformData> data);
    // Shuts the engine down, in a fixed order (see the definition).
    ~TPlatform();
    TPlatform(const TPlatform&) = delete;
    TPlatform& operator=(const TPlatform&) = delete;

    static TPlatform* GetInstance();

    TPlatformData& GetData() { return *mData; }

    TWindowManagerSeam* GetWindowManager();
    TSoundManagerSeam* GetSoundManager();
    TStringTable& GetStringTable();
    TAssetManager& GetAssetManager();
    // Makes the sound manager on first call; the result of its start-up after that.
    // False when no sound manager is installed (GetSoundManager stays null).
    bool InitSound();
    // Makes the renderer once; the display comes with SetDisplay.
    TRendererSeam* CreateRenderer();
    TRendererSeam* GetRenderer();

    TTaskList& GetTaskList();
    void AddTask(std::unique_ptr<TTask> task);
    // The task handed back; null when the list does not own it (TTaskList::RemoveTask).
    std::unique_ptr<TTask> RemoveTask(TTask* task);
    // The refresh list runs only after the display has got lost surfaces back.
    void AddRefreshTask(std::unique_ptr<TTask> task);
    std::unique_ptr<TTask> RemoveRefreshTask(TTask* task);
    void RunRefreshTasks();

    // Milliseconds since start-up, less the time a host held the game paused (wraps).
    uint32_t GetTimer();
    void Sleep(int milliseconds);
    // Ends the event loop: GetEvent reports event 4.
    void PostQuitMessage(int exitCode);
    // Whether the program has been asked to end (a quit posted, or a quit or close request
    // from the window system) and the event loop has not yet been told; nothing is taken
    // off the queue.
    bool IsQuitPending();
    uint32_t Random();

    void GetEvent(TEvent& event);
    bool CreateMainWindow();
    // Shows the main window (it is made hidden; the display shows it).
    void ShowMainWindow();
    bool IsActive();
    bool IsFullScreen();
    int GetMouseMode() const { return 0; }
    void ShowMouse(bool show);
    bool IsPresentDone();
    void OutOfVideoMemory();
    // The title is 8-bit (Latin-1) text, or UTF-8 with "utf8mode".
    void SetWindowTitle(const TString& title);

    // The root screen once, the display, the vector drawing once, the clip rectangle.
    void SetDisplay(int width, int height, bool fullScreen);
    // Stores the cursor image and its hot spot and hands them to the display; an empty
    // image while the cursor is shown uses the built-in arrow. A temporary image only goes
    // to the display: the stored image and hot spot stay as they were.
    void SetMouseImage(std::shared_ptr<TTexture> image, int hotX, int hotY, bool temporary);
    // Opens a web link; hosted, through the "-host=" program. Only web pages' addresses
    // open (IsWebLink); anything else is logged and left alone. Launch failures are
    // logged only.
    void OpenURL(const TString& url);
    bool StringToClipboard(const TString& text);
    TString GetClipboardText();

private:
    void SeedRandom();
    void LoadSettingsFile();
    void LoadStringTables();

    std::unique_ptr<TPlatformData> mData;
    std::unique_ptr<TTaskList> mRefreshTasks;
};

// True when the display exists and its surfaces are usable (the window manager asks
// before drawing).
bool IsDisplayReady();

// A new GUID (CreateGuid).
void MakeUniqueId(uint8_t id[16]);

// Hands the three data folders to the virtual file system.
void SetDataFolders(const TString& user, const TString& common, const TString& desktop);
