#pragma once

// Plugs the graphics subsystem into the engine: the renderer (with its display) becomes
// the platform's, and textures load through TTexture::Get (TEngineSeams). Call once on
// the main thread before EngineMain.
void InstallGraphics();
