#include "engine/platform/sdl/SdlPresentation.h"

#include <gtest/gtest.h>

namespace {

struct TChoiceCase
{
    const char* renderDriver;
    TSdlPresentation expected;
};

TEST(SdlPresentation, TheWindowSurfaceUnlessARenderDriverIsNamed)
{
    const TChoiceCase kCases[] = {
        {nullptr, TSdlPresentation::WindowSurface}, {"", TSdlPresentation::WindowSurface},
        {"software", TSdlPresentation::Renderer},   {"opengl", TSdlPresentation::Renderer},
        {"opengles2", TSdlPresentation::Renderer},
    };
    for (const TChoiceCase& c : kCases)
        EXPECT_EQ(ChooseSdlPresentation(c.renderDriver), c.expected)
            << (c.renderDriver != nullptr ? c.renderDriver : "(not set)");
}

} // namespace
