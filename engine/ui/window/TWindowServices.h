#pragma once

// The window manager as windows and widgets reach it: the message queue and the window
// script, the modal stack, pointer captures and the keyboard focus, deletion of detached
// windows and the host. TWindowManager implements it and is the one GetWindowServices
// answers while it lives; windows never name the manager itself, so the toolkit below
// it (window/, widgets/) builds without it.
//
// Main thread only.

#include "engine/foundation/core/TString.h"

#include <memory>

class TLuaFunction;
class TMessage;
class TModalWindow;
class TWindow;
class TWindowManagerHost;
class TWindowScriptLink;
class TWindowScriptSeam;

class TWindowServices
{
public:
    // ---- messages and the window script ----
    // Appends message; the manager owns it until it is delivered.
    virtual void QueueMessage(std::unique_ptr<TMessage> message) = 0;
    // Hands message (with the script function to run for it, if any) to the window
    // script, or deletes it without one.
    virtual void PassMessageToScript(std::unique_ptr<TMessage> message,
                                     std::unique_ptr<TLuaFunction> function = nullptr) = 0;
    // The script the platform attached; null before that.
    virtual TWindowScriptSeam* GetScript() = 0;
    // Null before a script is attached, or when it is not a window script.
    virtual TWindowScriptLink* GetWindowScript() const = 0;

    // ---- modal windows ----
    // Pops down to and including the modal window that name names.
    virtual void DoPopModal(const TString& name) = 0;
    virtual TModalWindow* GetRootWindow() const = 0;
    virtual TModalWindow* GetTopModal() const = 0;

    // ---- captures and focus ----
    virtual void AddCapture(TWindow* window) = 0;
    virtual void ReleaseCapture(TWindow* window) = 0;
    virtual void SetFocusWindow(TWindow* window) = 0;
    virtual TWindow* GetFocusWindow() const = 0;

    // ---- frames and deletion ----
    // Asks for a frame.
    virtual void Invalidate() = 0;
    // Takes a detached window over and deletes it before the next event.
    virtual void ScheduleDelete(std::unique_ptr<TWindow> window) = 0;
    // A window is being destroyed: nothing the manager keeps refers to it afterwards.
    virtual void ForgetWindow(TWindow* window) = 0;
    // True only the first time picture is given while the manager lives.
    virtual bool IsFirstMissingPicture(const TString& picture) = 0;

    // ---- the platform as windows reach it (string table, clipboard) ----
    virtual TWindowManagerHost& GetHost() = 0;

protected:
    TWindowServices() = default;
    ~TWindowServices() = default;
    TWindowServices(const TWindowServices&) = delete;
    TWindowServices& operator=(const TWindowServices&) = delete;

    // services becomes the one GetWindowServices answers (null: none).
    static void SetCurrent(TWindowServices* services);
};

// The live window manager as windows see it; null while there is none.
TWindowServices* GetWindowServices();
// Asks the live window manager, if there is one, for a frame.
void InvalidateWindows();
