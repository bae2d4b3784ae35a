#pragma once

// The engine's main entry. It owns the process from the game's entry onwards: it lets
// the test hook see the command line, starts the engine (TEngine: the platform data and
// the facade, the main window, the sound manager and the renderer, the command-line
// settings, the plug-in modules, the game-state keys), runs the game's init callback
// (which holds the game's whole life, event loop included) and finally shuts everything
// down.
//
// Ends the process itself in three cases at start-up: another instance is running (exit
// code 0), the game would have to run inside a "-wnd=" host window (exit code -1), and no
// window system that shows anything can start (exit code 1, said in the log and on the
// standard error stream). A later failure is answered as the exit code of the run, for
// the caller (main) to end the process with.

#include "engine/foundation/core/TString.h"

class TPlatform;

// Called once, on the main thread, with the facade and the command line; its result is
// ignored. Everything but the display is ready when it runs.
using TGameInitCallback = int (*)(TPlatform* platform, const char* commandLine);

// The test hook's entry: it may replace the command line pointer. Its answer names a
// window to post a quit to when the game ends; no such window exists here, so it is
// not kept.
using TTestHookEntry = void* (*)(const char** commandLine);

// Answers the run's exit code once everything is shut down: 1 when the window system failed
// under the game, -1 when the display failed for good (the game was sent a quit message
// then), else 0.
int EngineMain(const TString& commandLine, int showCommand, TGameInitCallback init,
               bool allowMultiple);

// Loads "hvHarness.so" from the executable's folder when it is there and lets its
// "TestHook" see (and replace) the command line.
void LoadTestHook(const char** commandLine);
// Tells the test hook that the game has ended (a log line here).
void PostQuitToTestHook();

// Whether a path-map entry names a plug-in module the engine may load: a key without a
// "user:" or "common:" prefix that ends in ".hvmod" and whose location is a file on disk
// (modules in the per-user and all-users folders, which anyone may write, are refused).
bool IsLoadablePluginKey(const TString& key, const TString& location);
