#pragma once

// Plugs the sound subsystem into the engine: the sound manager becomes the platform's
// (TEngineSeams), and asset maps load ".ogg" files as in-memory sounds of the default
// group (-1), cached in the platform's asset manager while the platform facade exists.
// Call once on the main thread before EngineMain.
void InstallSound();
