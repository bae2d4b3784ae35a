#pragma once

// Plugs the window toolkit into the engine: the window manager (TWindowManager, over the
// platform facade) and the root window script (TWindowScript) become the platform's
// (TEngineSeams), and scripts that run long give way to a close request (the script
// budget's quit check asks the platform facade). Call once on the main thread before
// EngineMain.
void InstallUi();
