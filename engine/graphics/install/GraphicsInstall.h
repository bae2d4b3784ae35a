#pragma once

// Plugs the graphics subsystem into the engine: graphics reaches the engine through the
// platform facade (TPlatformGraphicsHost), the renderer (with its display) and the vector
// drawing of text become the platform's, the renderer's statistics overlay draws
// its text as a text layout, textures load through TTexture::Get (TEngineSeams), and
// asset maps load ".png" and ".jpg" textures, ".xml" and ".anm" animated textures and
// ".mesh" models. Call once on the main thread before EngineMain.
void InstallGraphics();
