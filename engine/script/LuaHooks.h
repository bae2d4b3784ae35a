#pragma once

// Points what the interpreter reaches outside itself at the engine: script files
// (luaL_loadfile, and so loadfile, dofile and require) are read through the engine's file
// layer, so virtual paths, packages and memory files work, and the line of an
// unprotected error also goes to the debug log before the process ends. Every place that
// opens an interpreter state for the engine calls this first; repeating it is harmless.
// Main thread only.
void InstallLuaHooks();
