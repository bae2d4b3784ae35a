#pragma once

// The include rules of the engine and the game, as one table that the build's layering
// follows:
// - Every folder under engine/ and game/ belongs to a unit (its longest prefix in the
//   table). A unit includes its own files and those of the units it uses, directly or
//   through another unit it uses; never a unit above it or beside it.
// - Includes in quotes name a file by its full path from the repository root.
// - Outside the interpreter, the interpreter is used only through its public headers:
//   the Lua*.h files at the root of engine/script/lua/.
// - Angle-bracket includes name the C++ and C standard libraries, the compiler's vector
//   intrinsics (*intrin.h), or a codec library the unit declares (zlib, libpng, libjpeg,
//   Ogg Vorbis). Every other system header (SDL, POSIX, the window system) belongs in
//   engine/platform/<backend>/.
// A new folder under engine/ or game/ needs a row in the table (TIncludeRules.cpp).

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

    // The reason file (a path from the repository root) may not hold the include line
    // text, or "" when it may (also for lines that are not includes).
    static std::string Check(const std::string& file, const std::string& text);

    // Every violation in the .h and .cpp files below engine/ and game/ of the source
    // tree at root.
    static std::vector<TViolation> CheckTree(const std::string& root);
};
