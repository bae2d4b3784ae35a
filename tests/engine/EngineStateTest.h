#pragma once

// Process-wide engine state for tests. The engine keeps some state for the whole process:
// the settings store, the path map and package list, the game-state store with its
// handlers and host bridge, the seam factories, the command line, the master volume, the
// time source, the event pump's "sessionready" flag, the debug and platform logs, the
// asset loaders, the renderer and where displays get their output, the graphics host and
// the standalone host's animation task list, the vector-drawing rasteriser and the font
// cache, the script hooks, the script limits and quit check, and the working folder. The
// test executables run every case in one process too (shuffled), so each case must find
// that state as a new process has it and leave it so.
//
// ResetEngineState puts all of it back; EngineStateTest does so before its test fixture is
// built and after it is gone. Every fixture that touches any of that state derives from
// EngineStateTest instead of undoing its own changes by hand.

#include <gtest/gtest.h>

// Puts all process-wide engine state back as a new process has it. Main thread; no
// engine object that uses that state (platform facade, sound manager) may still exist.
void ResetEngineState();

class EngineStateTest : public ::testing::Test
{
protected:
    EngineStateTest();
    ~EngineStateTest() override;
};
