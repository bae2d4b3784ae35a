#include "engine/platform/sdl/SdlPresentation.h"

TSdlPresentation ChooseSdlPresentation(const char* renderDriver)
{
    const bool named = renderDriver != nullptr && *renderDriver != 0;
    return named ? TSdlPresentation::Renderer : TSdlPresentation::WindowSurface;
}
