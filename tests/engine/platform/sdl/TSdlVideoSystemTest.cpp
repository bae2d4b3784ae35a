#include "engine/platform/sdl/TSdlVideoSystem.h"

#include "engine/platform/TPlatformLog.h"
#include "engine/platform/TVideoSystem.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/platform/TScopedEnvironment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> sLines;

class TSdlVideoSystemTest : public EngineStateTest
{
protected:
    TSdlVideoSystemTest()
    {
        sLines.clear();
        TPlatformLog::SetSink([](const char* line) { sLines.emplace_back(line); });
    }
};

// SDL falls back on a driver that shows nothing where no display answers; the window
// system starts on one only when SDL_VIDEODRIVER names it. No X server or Wayland
// compositor is reachable here: their variables are removed.
TEST_F(TSdlVideoSystemTest, ADriverThatShowsNothingStartsOnlyWhenAskedFor)
{
    struct TCase
    {
        const char* driver; // SDL_VIDEODRIVER, null: not set
        bool starts;
    };
    const TCase cases[] = {
        {nullptr, false},      {"dummy", true},
        {"offscreen", true},   {"x11,OffScreen", true}, // a list, compared without case
        {"offscreenx", false}, // no driver of that name: SDL does not start
    };
    TScopedEnvironment display("DISPLAY", nullptr);
    TScopedEnvironment wayland("WAYLAND_DISPLAY", nullptr);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.driver != nullptr ? c.driver : "(not set)");
        sLines.clear();
        TScopedEnvironment driver("SDL_VIDEODRIVER", c.driver);
        std::unique_ptr<TVideoSystem> video = TVideoSystem::Create();
        EXPECT_EQ(video != nullptr, c.starts);
        const bool refused = !sLines.empty() && sLines.back().find(std::string(TPlatformLog::kTag) +
                                                                   "video: no display: ") == 0;
        EXPECT_EQ(refused, c.driver == nullptr);
        if (c.driver == nullptr) {
            EXPECT_NE(sLines.back().find("DISPLAY not set, WAYLAND_DISPLAY not set"),
                      std::string::npos)
                << sLines.back();
        }
    }
}

} // namespace
