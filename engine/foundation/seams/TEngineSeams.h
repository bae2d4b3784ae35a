#pragma once

// The seams through which the engine foundation makes and reaches the parts built above
// it: window manager and root window script, renderer with its display, sound manager,
// vector drawing and texture loading. The foundation cannot link those libraries, so
// each part installs a factory here before EngineMain runs. Where none is installed
// there is none, and the log says so once: without a sound manager (CreateSoundManager
// gives null) the game runs silent, without a renderer or vector drawing
// (CreateRenderer, CreateVectorDraw) nothing, or no text, is drawn, without a window
// manager (CreateWindowManager) there are no windows, and without a window script
// (CreateWindowScript) no window scripts run.
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

    // The installed factories; an empty member stands for "none".
    static TFactories& Factories();

    // Null, with a log line, when no window manager factory is installed.
    static std::unique_ptr<TWindowManagerSeam> CreateWindowManager();
    // Null, with a log line, when no window script factory is installed.
    static std::unique_ptr<TWindowScriptSeam> CreateWindowScript();
    // Null, with a log line, when no renderer factory is installed.
    static std::unique_ptr<TRendererSeam> CreateRenderer();
    static std::unique_ptr<TSoundManagerSeam> CreateSoundManager();
    // Null, with a log line, when no vector-drawing factory is installed.
    static std::unique_ptr<TVectorDrawSeam> CreateVectorDraw();
    static std::shared_ptr<TTexture> LoadTexture(const TString& name);
};
