#pragma once

// The include rules of the engine and the game, as one table that the build's layering
// follows (its libraries' DEPS in CMakeLists.txt reach what the table lets their folders
// reach, TBuildLibraries):
// - Every folder under engine/ and game/ belongs to a unit (its longest prefix in the
//   table; a unit marked as its own files alone, like the graphics core, leaves each
//   subfolder to a row of its own). A unit includes its own files and those of the units
//   it uses, directly or through another unit it uses; never a unit above it or beside it.
// - Includes in quotes name a file by its full path from the repository root.
// - Outside the interpreter, the interpreter is used only through its public headers:
//   the Lua*.h files at the root of engine/script/lua/.
// - A backend folder (engine/platform/<backend>/) is included only from that backend and
//   from the interfaces' own sources (engine/platform/*.cpp), which choose the backend.
// - Angle-bracket includes name the C++ and C standard libraries, the compiler's vector
//   intrinsics (*intrin.h), or a codec library the unit declares (zlib, libpng, libjpeg,
//   Ogg Vorbis). Every other system header (SDL, POSIX, the window system) belongs in
//   engine/platform/<backend>/.
// The .h, .cpp and .inl files are read. A new folder under engine/ or game/ needs a row
// in the table (TIncludeRules.cpp).

#include <set>
#include <string>
#include <vector>

class TIncludeRules
{
public:
    struct TViolation
    {
        std::string where; // "path:line"
        std::string line;  // the include line as written
        std::string reason;
    };

    // The folders of the table's units, lowest first.
    static std::vector<std::string> Units();
    // The units the unit of folder may include (itself left out); none for a folder that
    // is no unit's.
    static std::set<std::string> UnitReach(const std::string& folder);

    // The reason file (a path from the repository root) may not hold the include line
    // text, or "" when it may (also for lines that are not includes).
    static std::string Check(const std::string& file, const std::string& text);

    // Every violation in the .h, .cpp and .inl files below engine/ and game/ of the source
    // tree at root.
    static std::vector<TViolation> CheckTree(const std::string& root);
};
