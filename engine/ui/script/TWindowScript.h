#pragma once

// The window toolkit's script state: dialog files build window trees from tables through
// it, and its dialog coroutine waits for the messages no window took. Every engine and
// game object publishes its script functions into this one state.
//
// At construction it publishes the window functions (TWindowScriptBinding.h) and the
// game-state store's functions, registers the engine's window types (each also defines a
// Lua creator function of the type's name), makes the message metatable and runs the
// built-in library "gScreenInit" (screeninit.lua: constants, DoWindow, DoModal,
// WaitForMessage and the rest).
//
// The dialog protocol. A script that hands back a function starts the state's coroutine
// (TScript::RunFunction); that coroutine waits in HandleGetMessage, which yields. The
// window manager hands over every message nobody took (DeliverMessage): while the
// coroutine waits there it is resumed with (message [, command]); while the coroutine is
// busy the message and command go to the Lua queues gMessageQueue and gCommandQueue,
// which WaitForMessage drains newest first; while the state is suspended anywhere else
// the command runs at once and the message is dropped. Calls into the state made while
// the coroutine waits are resumed into it as (nil, closure) (DeliverClosure), so they run
// inside the coroutine and may wait for messages themselves.
//
// Errors. Whatever WaitForMessage runs for a message (a button's command, a queued
// command, a call delivered while the coroutine waits: RunScriptFile, RunScriptString)
// runs through RunCommand, in a coroutine of its own whose yields are passed on, since a
// yield cannot cross pcall and commands may wait for messages themselves. Its error is
// logged once ("window script: a command failed, ...": the message, what the command
// was, and the frames of the dialog coroutine that ran it; the command's own frames are
// gone by then, as a failed coroutine keeps none) and the dialog goes on waiting. A
// delivered call therefore counts as run (RunFunction answers 0) even when it fails, as
// it does when it is still waiting.
// NOTE: an error in the dialog code itself, outside a command, still kills the
// coroutine. It is logged, and once more loudly that the dialogs no longer react;
// messages then collect in gMessageQueue until a script starts a new coroutine.
//
// The parent stack: its top is the current window, the window GenericCreate puts new
// windows into. It holds the top modal window after every push and pop of a modal;
// creating a window pushes it and PopWindow pops back. A window that leaves the tree
// (ScheduleDelete, or deletion) is blanked out of it together with its subtree, so
// nothing is ever built into a window that is going; GenericCreate and PostCreate do
// nothing (logged) while the current window is blank.
//
// Movies: one TFlashMovie at a time. No movie player exists on this platform, so StartMovie
// answers false (logged) and keeps no movie; DisplaySplash then shows its image.
//
// Main thread only.

#include "engine/script/TLifeline.h"
#include "engine/script/TScript.h"
#include "engine/ui/window/TWindowScriptLink.h"

#include <map>
#include <memory>
#include <vector>

class TAssetManager;
class TFlashMovie;
class TLuaFunction;
class TLuaTable;
class TMessage;

class TWindowScript : public TScript, public TWindowScriptLink
{
public:
    // The log line for a style whose typename no creator was registered for (the name).
    static constexpr const char* kNoWindowTypeLog = "ui: window script: no window type %s";

    // Where the dialog coroutine stands (the waiting flag).
    enum class TWaiting
    {
        Dead = 0,       // its last resume failed: it no longer runs
        NotYet = 1,     // it has not waited for a message yet
        ForMessage = 3, // it waits in HandleGetMessage
    };

    // L null opens a new state (see TScript). With a code cache (the platform's asset
    // manager), script files compiled for the asset maps' "lua" loader go through it
    // while the script lives (RegisterScriptCodeLoader); the cache must outlive it.
    explicit TWindowScript(lua_State* L = nullptr, TAssetManager* codeCache = nullptr);
    // Stops the movie, forgets the types and the parent stack, removes the "lua" loader
    // it registered, then closes the state.
    ~TWindowScript() override;

    // ---- what the window manager asks (TWindowScriptLink) ----
    // Takes both over (either may be null); see the protocol above.
    void DeliverMessage(std::unique_ptr<TMessage> message,
                        std::unique_ptr<TLuaFunction> function) override;
    void ResetParentStack(TWindow* window) override;
    void PushParent(TWindow* window) override;
    // As PopWindow: never below one entry, so that a script run with a parent that
    // pushed a modal window (which resets the stack) keeps that window current.
    void PopParent() override;
    void ForgetParent(TWindow* window) override;
    // Replaces an earlier creator of the same name, and (re)defines the Lua creator
    // function typeName(table): it records the type in table.typename and returns the
    // command that builds the window (DoWindow).
    void RegisterWindowType(const TString& typeName, TWindowCreator creator) override;
    bool SetTranslateLabels(bool translate) override;
    bool GetTranslateLabels() const override { return mTranslateLabels; }
    // The event pump's close request while a movie plays: stops it and resumes the
    // waiting coroutine with no values. Nothing without a movie.
    void EndMovie() override;

    // ---- TScript ----
    // Resumes the waiting coroutine with (nil, closure); true when that succeeded. While
    // the coroutine does not wait in HandleGetMessage the closure is refused (false), so
    // the caller runs it directly.
    bool DeliverClosure() override;

    // ---- windows ----
    // The top of the parent stack; null when the stack is empty or its top was blanked.
    TWindow* GetCurrentWindow() const;
    const std::vector<TWindow*>& GetParentStack() const { return mParents; }
    TWaiting GetWaiting() const { return mWaiting; }
    // Makes a window of the table's "typename" (table.typename) in the current window:
    // false, logged, for an unknown type, without a current window, or when the creator
    // makes none. builder: the thread whose script asks (the style's origin), or null.
    bool CreateWindowFromTable(TLuaTable& table, lua_State* builder = nullptr);
    // Puts window into the current window, initialises it from table's style, makes it
    // the current window and sets gDialogWidth and gDialogHeight to its size. False (the
    // window deleted) when there is no current window or the window refuses the parent.
    bool CreateWindowFromTable(std::unique_ptr<TWindow> window, TLuaTable& table,
                               lua_State* builder = nullptr);

    // ---- the functions bound to scripts (TWindowScriptBinding.h) ----
    // PostChildrenInit of the current window over the style table (text is unused).
    void PostCreate(TLuaTable* style, const TString& text);
    void SetWindowName(const TString& name);
    void DoSelectLayer(int layer);
    // Pops the parent stack, never below one entry.
    void PopWindow();
    void RealSetFocus(const TString& name);
    // ([time-out ms]) yields; resumed with what DeliverMessage or DeliverClosure hand
    // over, or with nothing after the time-out (one argument; nil counts as 0). Without an
    // argument there is no time-out. A script error where no wait is possible (outside
    // the dialog coroutine, inside pcall or dofile).
    int HandleGetMessage(lua_State* L);
    // (table) -> whether a window was made (CreateWindowFromTable).
    int GenericCreate(lua_State* L);
    // () -> a kCloseWindow message named with the current window's id string.
    int CreateCloseMessage(lua_State* L);
    // A new movie for file (a playing one is stopped first), started without looping;
    // false, with no movie kept, for an empty name or a movie that does not start.
    bool StartMovie(const TString& file, bool translate, bool allowInput);
    // Whether there is a movie and it still plays.
    bool IsMoviePlaying();
    // Stops and forgets the movie, if any.
    void StopMovie();
    // The movie StartMovie started, or null.
    const TFlashMovie* GetMovie() const { return mMovie.get(); }
    // The window of that name in the current window's subtree leaves its parent and is
    // scheduled for deletion; a window without a parent is left alone.
    void DestroyWindow(const TString& name);
    void DoFitToChildren();

protected:
    // The time-out step: resumes the waiting coroutine with no values.
    bool Animate() override;

private:
    // Pushes the script value of message on the main thread: the value a script posted,
    // or a new message userdata that owns message.
    void PushMessageValue(std::unique_ptr<TMessage> message);
    void QueueInScript(std::unique_ptr<TMessage> message, std::unique_ptr<TLuaFunction> function);
    // After a resume: a failure marks the coroutine dead, said loudly once.
    void CheckResume(int status);
    void RegisterEngineWindowTypes();
    void RunLibrary();

    std::vector<TWindow*> mParents; // blanked entries are null
    std::map<TString, TWindowCreator> mTypes;
    TWaiting mWaiting = TWaiting::NotYet;
    bool mTranslateLabels = false;
    bool mReportedDead = false;
    bool mOwnsCodeLoader = false;
    std::unique_ptr<TFlashMovie> mMovie;
    TLifeline mLifeline; // for the functions bound to this script
};
