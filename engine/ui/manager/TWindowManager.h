#pragma once

// The window manager: the one object that turns the platform's event records into
// window input, keeps the stack of modal windows, queues and delivers window messages
// and draws the window tree when something shown has changed. The platform owns the one
// instance (made through the seam InstallUi installs); the layers above the window
// toolkit reach it through GetWindowManager, windows and widgets through
// GetWindowServices (TWindowServices). The game's event loop hands every event to HandleEvent; the
// idle event delivers messages and draws a frame when one is due: only after Invalidate, never
// while suspended, at most every 12 ms (200 ms while the application is inactive and not hosted),
// so a screen that does not change costs no drawing.
//
// The modal windows also form one window tree: each pushed modal window becomes a child
// of the previous top (which owns it), so the root window (the display's TScreen, which
// the manager owns, as it owns the overlays) is the ancestor of every modal window. The
// modal stack only observes them. A window that is popped or scheduled for deletion
// stays alive, detached, until the next HandleEvent, so code that runs while it closes
// may still use it.
//
// Main thread only, except IsSuspended (any thread).

#include "engine/foundation/core/TString.h"
#include "engine/foundation/seams/TWindowManagerSeam.h"
#include "engine/script/TLifeline.h"
#include "engine/script/TLuaFunction.h"
#include "engine/ui/window/TWindow.h"
#include "engine/ui/window/TWindowServices.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <set>
#include <vector>

class TMessage;
class TModalWindow;
class TWindowManagerHost;
class TWindowScriptLink;
struct TEvent;

class TWindowManager final : public TWindowManagerSeam, public TWindowServices
{
public:
    // The manager registers itself as the one GetWindowManager answers.
    explicit TWindowManager(std::unique_ptr<TWindowManagerHost> host);
    // Pops every modal window and deletes the closed windows and the overlays; messages
    // queued meanwhile (kModalClosed) are dropped.
    ~TWindowManager() override;
    TWindowManager(const TWindowManager&) = delete;
    TWindowManager& operator=(const TWindowManager&) = delete;

    // ---- what the platform asks (TWindowManagerSeam) ----
    // Keeps the script; one that is a TScript goes to the main task list, which owns it.
    void AttachScript(std::unique_ptr<TWindowScriptSeam> script) override;
    TWindowScriptSeam* GetScript() override { return mScriptSeam; }
    void SetTranslateLabels(bool translate) override;
    bool HasRootWindow() const override { return mRootWindow != nullptr; }
    // A TScreen of width x height becomes the root window.
    void CreateRootScreen(int width, int height) override;
    // A task of the top modal window due, or a frame asked for and its interval passed;
    // 0 while messages wait.
    int TimeUntilDue() override;
    void Invalidate() override { mNeedsRedraw = true; }
    bool IsSuspended() const override { return mSuspended.load(); }
    bool IsMouseBlocked() const override { return mMouseBlocked; }

    // ---- events and frames ----
    void HandleEvent(const TEvent& event);
    // Draws a frame when one is due; the answer is 0 (callers ignore it).
    int Update();
    // While suspended no frame is drawn (a movie covers the display).
    void SetSuspended(bool suspended) { mSuspended.store(suspended); }
    // While blocked the event pump drops mouse buttons.
    void SetMouseBlocked(bool blocked) { mMouseBlocked = blocked; }
    // Only the top modal window is drawn.
    void SetTopModalOnly(bool topOnly) { mTopModalOnly = topOnly; }
    bool IsTopModalOnly() const { return mTopModalOnly; }
    bool NeedsRedraw() const { return mNeedsRedraw; }
    // Frames drawn so far.
    int GetFrameCount() const { return mFrameCount; }
    // The platform as windows reach it (string table, clipboard).
    TWindowManagerHost& GetHost() override { return *mHost; }

    // ---- modal windows ----
    // window goes on top of the stack and becomes a child of the previous top (whose
    // clock pauses), or, as the bottom one, the manager's. Null is refused. The answer is
    // the window pushed.
    template <class T> T* PushModal(std::unique_ptr<T> window)
    {
        T* pushed = window.get();
        PushModalWindow(std::move(window));
        return pushed;
    }
    // Takes the top modal window out of the tree and schedules it for deletion; the new
    // top's clock stays paused.
    void PopModal();
    // Pops down to and including the modal window that name names (its name or its id
    // string); a name that names none pops nothing. Then the top's clock runs.
    void DoPopModal(const TString& name) override;
    // The bottom modal window, sized to the renderer's viewport. The answer is window.
    TModalWindow* SetRootWindow(std::unique_ptr<TModalWindow> window);
    TModalWindow* GetRootWindow() const override { return mRootWindow; }
    TModalWindow* GetTopModal() const override;
    // Top first.
    const std::deque<TModalWindow*>& GetModalStack() const { return mModalStack; }

    // ---- messages ----
    // Appends message; the manager owns it until it is delivered.
    void QueueMessage(std::unique_ptr<TMessage> message) override;
    // Delivers queued messages, those queued meanwhile included.
    void ProcessMessages();
    void DispatchMessage(std::unique_ptr<TMessage> message);
    // Hands message (with the script function to run for it, if any) to the window
    // script, or deletes it without one.
    void PassMessageToScript(std::unique_ptr<TMessage> message,
                             std::unique_ptr<TLuaFunction> function = nullptr) override;

    // ---- captures, focus, overlays ----
    // window gets pointer events first (at the front; once only). A move that leaves it
    // tells it so (OnMouseExit) and reaches the window now under the pointer in the same
    // event, unless it keeps its capture after the exit (a drag).
    void AddCapture(TWindow* window) override;
    void ReleaseCapture(TWindow* window) override;
    bool HasCapture(const TWindow* window) const;
    // Tells the new focus window (unless null) which one had the focus.
    void SetFocusWindow(TWindow* window) override;
    TWindow* GetFocusWindow() const override { return mFocusWindow; }
    // Overlays are drawn over the modal windows every frame, the most recent first (so
    // under the older ones). The manager owns them until RemoveOverlay hands one back
    // (null: not an overlay). AddOverlay answers window.
    template <class T> T* AddOverlay(std::unique_ptr<T> window)
    {
        T* added = window.get();
        AddOverlayWindow(std::move(window));
        return added;
    }
    std::unique_ptr<TWindow> RemoveOverlay(TWindow* window);

    // ---- deletion ----
    // Takes a detached window over and deletes it before the next event. Queued
    // messages aimed at it or into it become untargeted; it loses its captures, and the
    // window script's parent stack forgets it and its subtree.
    void ScheduleDelete(std::unique_ptr<TWindow> window) override;
    void DeleteClosedWindows();
    // A window is being destroyed: no focus, capture, focus child, message target or
    // list of the manager refers to it afterwards.
    void ForgetWindow(TWindow* window) override;

    // ---- log lines ----
    // True only the first time picture (what a window asked for) is given while the
    // manager lives: a picture that cannot be loaded is said once, however often windows
    // ask for it again.
    bool IsFirstMissingPicture(const TString& picture) override;

    // ---- the window script ----
    // Null before AttachScript, or when the script is not a window script.
    TWindowScriptLink* GetWindowScript() const override { return mScript; }
    void RegisterWindowType(const TString& typeName, TWindowCreator creator);
    // Runs a script file (or text) with parent as the window new windows go into.
    bool RunScriptFile(TWindow* parent, const TString& file);
    // Whether a script file or text has handed back a function that runs as the window
    // script's dialog flow (also once that has finished).
    bool HasDialogFlow() const;
    void RunScriptString(TWindow* parent, const TString& text);

private:
    void PushModalWindow(std::unique_ptr<TModalWindow> window);
    void AddOverlayWindow(std::unique_ptr<TWindow> window);
    void RoutePointerEvent(const TEvent& event, TModalWindow* top);
    void ServeCaptures(const TEvent& event, TModalWindow* top);
    void MovePointer(const TEvent& event, TModalWindow* top, TWindow* under);
    // The pointer at the event's point is on window: inside its rectangle, and window is
    // under (the window under the pointer) or one of under's ancestors.
    bool IsPointerOn(const TWindow* window, const TEvent& event, const TWindow* under) const;
    // Some other captured window lies inside window.
    bool HasCaptureInside(const TWindow* window) const;
    void TellCapturesMouseLeft(TModalWindow* top);
    void DeliverAtScreenPoint(TWindow* window, const TEvent& event);
    bool IsFrameDue();
    uint32_t GetFrameInterval();
    int TimeUntilFrameDue();
    void DrawFrame();
    void DrawModals();
    bool Matches(const TWindow* window, const TString& name) const;
    std::list<std::unique_ptr<TWindow>>::iterator FindOverlay(const TWindow* window);

    std::unique_ptr<TWindowManagerHost> mHost;
    TModalWindow* mRootWindow = nullptr;
    bool mAbortModalDraw = false;
    uint32_t mLastFrameTime = 0;
    std::deque<TModalWindow*> mModalStack;      // top first
    std::unique_ptr<TModalWindow> mBottomModal; // the pushed modal that has no parent
    std::deque<std::unique_ptr<TWindow>> mClosedWindows;
    std::list<std::unique_ptr<TWindow>> mOverlays;
    std::atomic<bool> mSuspended{false};
    bool mMouseBlocked = false;
    bool mTopModalOnly = false;
    bool mNeedsRedraw = true;
    std::vector<TWindow*> mCaptures;
    TWindow* mFocusWindow = nullptr;
    TWindowScriptSeam* mScriptSeam = nullptr;
    TWindowScriptLink* mScript = nullptr;
    std::unique_ptr<TWindowScriptSeam> mOwnedScript; // a script that is no task
    std::deque<std::unique_ptr<TMessage>> mMessageQueue;
    bool mTearingDown = false;
    int mFrameCount = 0;
    std::set<TString> mMissingPictures;
    TLifeline mLifeline; // for the script functions bound to the manager
};

// The live window manager; null before it is made and after it is destroyed.
TWindowManager* GetWindowManager();
