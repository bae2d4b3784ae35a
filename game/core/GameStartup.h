#pragma once

// The game's start-up steps, kept in the game's library so that its entry (main.cpp) and
// everything else that runs game code in a process of its own (the tests' in-process
// engine, tools, benchmarks, fuzz targets) start the game the same way.
//
// The game's registries are filled by explicit calls from here, never by objects that
// register themselves from static initialisers: each game area is a static library, and
// the linker leaves out every object file that nothing refers to, so such an object would
// silently never register.

class TPlatform;

namespace YOLT::Core {

// The game's identity settings: its name and publisher (the data folder is
// <data home>/yolt/velmora/). Before the engine starts.
void SetGameIdentity();

// The identity, then the engine parts the game runs on: graphics, sound and the window
// toolkit. Main thread, once, before the engine starts.
void PrepareGameEngine();

// Fills the game's registries (window classes by the names dialog files use, and each
// game area's own) through each area's Register...() call, lowest area first. Main
// thread, while the engine runs: window classes can be registered only once the window
// script exists. Calling it again registers the same again.
void RegisterGameTypes();

// NOTE: a temporary game until the game framework's own entry exists. Names the main
// window, opens the display at 800x600 in a window, registers the game's types and starts
// the demonstration menu's dialog flow ("scripts/mainloop.lua"); false, with a log line
// naming why (the file does not exist, is a folder or no regular file, failed, or gave no
// function), when that flow did not start. The caller runs the event loop.
bool StartTemporaryGame(TPlatform& platform);

} // namespace YOLT::Core
