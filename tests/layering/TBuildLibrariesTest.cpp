#include "tests/layering/TBuildLibraries.h"

#include "tests/layering/TIncludeRules.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace {

const char kCMake[] = R"(
# velmora_area(commented out DEPS velmora_nothing)
velmora_area(base   engine/base    RECURSE PRIVATE_DEPS SDL2::SDL2 velmora_hidden)
velmora_area(tools  engine/tools   DEPS velmora_base ZLIB::ZLIB
                                        # a comment inside the call
                                   PRIVATE_DEPS Threads::Threads)
add_library(velmora_piece STATIC engine/top/part/TPart.cpp)
velmora_area(top    engine/top     RECURSE EXCLUDE part/TPart.cpp
                                   DEPS velmora_bundle velmora_piece)
add_library(velmora_bundle INTERFACE)
target_link_libraries(velmora_bundle INTERFACE velmora_tools ${SOMETHING})
velmora_area(lone   engine/lone)
if((NOT A) AND B)
    file(STRINGS x lines REGEX "^[^#]")
endif()
velmora_area(last   engine/last    DEPS velmora_lone)
)";

TEST(TBuildLibraries, ReadsAreasBundlesAndPieces)
{
    const TBuildLibraries build(kCMake);
    EXPECT_EQ(build.Areas(),
              (std::vector<std::string>{"velmora_base", "velmora_tools", "velmora_top",
                                        "velmora_lone", "velmora_last"}));
    const struct
    {
        const char* folder;
        const char* library;
    } folders[] = {
        {"engine/base", "velmora_base"},
        {"engine/base/sdl", "velmora_base"},
        {"engine/tools", "velmora_tools"},
        {"engine/tools/sub", ""},
        {"engine/top/part", "velmora_top"},
        {"engine/lone", "velmora_lone"},
        {"engine/lonely", ""},
        {"engine", ""},
    };
    for (const auto& c : folders)
        EXPECT_EQ(build.LibraryOf(c.folder), c.library) << c.folder;

    using TSet = std::set<std::string>;
    EXPECT_EQ(build.Reach("velmora_base"), TSet{});
    EXPECT_EQ(build.Reach("velmora_tools"), TSet{"velmora_base"});
    // Through the bundle to tools and on to base; the piece stands for top itself.
    EXPECT_EQ(build.Reach("velmora_top"), (TSet{"velmora_tools", "velmora_base"}));
    EXPECT_EQ(build.Reach("velmora_lone"), TSet{});
    EXPECT_EQ(build.Reach("velmora_last"), TSet{"velmora_lone"});
    EXPECT_EQ(build.Reach("velmora_unknown"), TSet{});
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Each area library builds on exactly the libraries that hold what the layering table
// lets the area's units include.
TEST(TBuildLibraries, TheBuildFollowsTheLayeringTable)
{
    const std::string text = ReadFile(std::string(VELMORA_SOURCE_DIR) + "/CMakeLists.txt");
    ASSERT_NE(text.find("velmora_area("), std::string::npos);
    const TBuildLibraries build(text);

    std::map<std::string, std::set<std::string>> tableReach;
    for (const std::string& unit : TIncludeRules::Units()) {
        const std::string library = build.LibraryOf(unit);
        if (library.empty()) {
            ADD_FAILURE() << unit << ": no velmora_area in CMakeLists.txt builds this folder";
            continue;
        }
        std::set<std::string>& reach = tableReach[library];
        for (const std::string& below : TIncludeRules::UnitReach(unit)) {
            const std::string belowLibrary = build.LibraryOf(below);
            if (!belowLibrary.empty() && belowLibrary != library)
                reach.insert(belowLibrary);
        }
    }
    for (const std::string& area : build.Areas()) {
        const std::set<std::string> built = build.Reach(area);
        const std::set<std::string>& table = tableReach[area];
        for (const std::string& library : built)
            EXPECT_NE(table.count(library), 0u)
                << area << " builds on " << library
                << " (CMakeLists.txt), which the layering table does not let it include";
        for (const std::string& library : table)
            EXPECT_NE(built.count(library), 0u)
                << area << " may include " << library
                << " by the layering table, but its DEPS in CMakeLists.txt do not reach it";
    }
}

} // namespace
