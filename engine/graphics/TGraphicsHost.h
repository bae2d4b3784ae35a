#pragma once

// Everything graphics asks of the running engine: its clock and sleep, the application's
// activity, the asset cache textures, models and animations live in, the task list
// animation scripts run on, random numbers, a frame drawn anew, the main window and how
// the game lives in it, the refresh tasks and the end of the game. TPlatformGraphicsHost
// (engine/graphics/install) serves it from the platform facade (InstallGraphics installs it);
// without an installed host the standalone host answers (TStandaloneGraphicsHost: tools, tests,
// benchmarks).
//
// Main thread only.

#include <cstdint>

class TAssetManager;
class TNativeWindow;
class TTaskList;

class TGraphicsHost
{
public:
    // The application's activity as the event pump keeps it.
    struct TActivity
    {
        bool active = false;             // the pump counts the application active
        bool foreground = false;         // the application has the foreground
        bool foregroundChanging = false; // a change of foreground is under way
        bool minimized = false;          // the main window is minimised
    };

    // How the game lives in its main window.
    struct THosting
    {
        bool hosted = false;              // inside a host ("-wnd=" or host mode)
        bool axTest = false;              // the "--axtest" stand-in for a host
        unsigned long externalParent = 0; // another program's window holding it; 0: none
        float scale = 1.0f;               // the host's scale of the game's pixels
    };

    // What the windows do with frames.
    enum class TWindowFrames : uint8_t
    {
        None,      // there are no windows
        Drawn,     // the windows draw frames
        Suspended, // no frames are drawn or shown (a movie covers the display)
    };

    // The installed host, else the standalone one (never null).
    static TGraphicsHost& Get();
    // Installs host (null: the standalone host again). The caller keeps ownership and
    // installs null before destroying it.
    static void Install(TGraphicsHost* host);

    virtual ~TGraphicsHost() = default;

    // Engine milliseconds (wraps).
    virtual uint32_t GetTimer() = 0;
    virtual void Sleep(int milliseconds) = 0;
    virtual TActivity GetActivity() = 0;

    // The cache textures, animated textures and models are kept in.
    virtual TAssetManager& GetAssetCache() = 0;
    // The task list animated sprites schedule their scripts on; its owner runs it.
    virtual TTaskList& GetAnimationTasks() = 0;
    virtual uint32_t Random() = 0;
    // Runs the tasks that rebuild what lived on surfaces a restored display lost.
    virtual void RunRefreshTasks() = 0;

    // Asks for every window to be drawn at the next frame.
    virtual void RequestFrame() = 0;
    virtual TWindowFrames GetWindowFrames() = 0;

    // A display may be set up and restored: an engine runs around graphics.
    virtual bool CanShowDisplay() = 0;
    // The window frames are shown in; null when there is none.
    virtual TNativeWindow* GetMainWindow() = 0;
    virtual THosting GetHosting() = 0;
    // The display has set a mode.
    virtual void NotifyDisplayModeSet() = 0;
    // The engine's cursor image (the built-in arrow without one) goes to the display.
    virtual void UseDefaultCursor() = 0;
    // The display cannot be had: the game is told to end.
    virtual void PostQuitMessage(int exitCode) = 0;
};
