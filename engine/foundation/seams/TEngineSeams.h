#pragma once

// The seams through which the engine foundation makes and reaches the parts built above
// it: window manager and root window script, renderer with its display, sound manager,
// vector drawing and texture loading. The foundation cannot link those libraries, so
// each part installs a factory here before EngineMain runs. Where none is installed, a
// stand-in is made that does nothing visible and says so once in the log; without a
// sound manager there is none (CreateSoundManager gives null) and the game runs silent,
// without a renderer or vector drawing there is none either (CreateRenderer and
// CreateVectorDraw give null; nothing, or no text, is drawn), and without a window
// manager there are no windows (CreateWindowManager gives null).
//
// Factories are installed and used on the main thread only.

#include "engine/foundation/core/TString.h"
#include "engine/foundation/seams/TDisplaySeam.h"
#include "engine/foundation/seams/TRendererSeam.h"
#include "engine/foundation/seams/TSoundManagerSeam.h"
#include "engine/foundation/seams/TVectorDrawSeam.h"
#include "engine/foundation/seams/TWindowManagerSeam.h"

#include <functional>
#include <memory>

class TTexture;

class TEngineSeams
{
public:
    struct TFactories
    {
        std::function<std::unique_ptr<TWindowManagerSeam>()> windowManager;
        std::function<std::unique_ptr<TWindowScriptSeam>()> windowScript;
        std::function<std::unique_ptr<TRendererSeam>()> renderer;
        std::function<std::unique_ptr<TSoundManagerSeam>()> soundManager;
        std::function<std::unique_ptr<TVectorDrawSeam>()> vectorDraw;
        // Loads a texture without options; null when it cannot.
        std::function<std::shared_ptr<TTexture>(const TString& name)> loadTexture;
    };

    // The installed factories; empty members stand for "use the stand-in" (for the sound
    // manager, the renderer, vector drawing and the window manager: "none").
    static TFactories& Factories();

    // Null, with a log line, when no window manager factory is installed.
    static std::unique_ptr<TWindowManagerSeam> CreateWindowManager();
    static std::unique_ptr<TWindowScriptSeam> CreateWindowScript();
    // Null, with a log line, when no renderer factory is installed.
    static std::unique_ptr<TRendererSeam> CreateRenderer();
    static std::unique_ptr<TSoundManagerSeam> CreateSoundManager();
    // Null, with a log line, when no vector-drawing factory is installed.
    static std::unique_ptr<TVectorDrawSeam> CreateVectorDraw();
    static std::shared_ptr<TTexture> LoadTexture(const TString& name);
};
