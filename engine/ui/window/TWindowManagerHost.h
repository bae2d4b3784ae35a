#pragma once

// Everything the window manager, its windows and the window scripts reach outside the
// window toolkit and the renderer: the platform's clock and state, its quit message, the
// main task list, the display's validity, the string table, the clipboard and web links.
// TPlatformWindowHost serves it from the platform facade; tests serve it with fakes (a clock
// they move by hand). Main thread only.

#include "engine/foundation/core/TString.h"
#include "engine/foundation/core/TTask.h"

#include <array>
#include <cstdint>

class TAssetManager;

class TWindowManagerHost
{
public:
    // The arguments a string table text is expanded with; empty ones stand for none.
    using TStringArguments = std::array<TString, 5>;

    virtual ~TWindowManagerHost() = default;

    virtual uint32_t GetTimer() = 0; // engine milliseconds (wraps)
    virtual bool IsActive() = 0;     // the application has the input focus
    virtual bool IsFullScreen() = 0;
    virtual bool IsPresentDone() = 0; // the previous frame has been shown
    // Frames come at the active rate while the game lives in a host window or runs in
    // "-pq=" host mode.
    virtual bool IsHosted() = 0;
    virtual bool HasPqSwitch() = 0;
    virtual void PostQuitMessage(int exitCode) = 0;
    // The main task list: runs its tasks of pass, and takes task over (false: there is
    // no list, and the caller keeps task).
    virtual void RunMainTasks(TTaskPass pass) = 0;
    virtual bool AddMainTask(TTask* task) = 0;
    // The display exists and its surfaces are usable.
    virtual bool IsDisplayReady() = 0;
    // The cache that compiled script files go through; null for none.
    virtual TAssetManager* GetAssetManager() = 0;
    // The string table's text for label with its placeholders expanded from arguments;
    // "#####" when it has none (or there is no table).
    virtual TString GetString(const TString& label, const TStringArguments& arguments) = 0;
    // The clipboard's text as 8-bit text; "" when it is empty or cannot be read.
    virtual TString GetClipboardText() = 0;
    // Puts 8-bit text on the clipboard; false when it cannot.
    virtual bool SetClipboardText(const TString& text) = 0;
    // Opens a web page's address (the platform decides how); nothing happens without one.
    virtual void OpenURL(const TString& url) = 0;
};
