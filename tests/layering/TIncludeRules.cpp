#include "tests/layering/TIncludeRules.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

struct TUnit
{
    const char* folder;
    std::vector<std::string> uses;           // units directly below that it may include
    std::vector<std::string> libraryHeaders; // codec headers it may include in <>
    // The unit is the files of its folder alone: each subfolder needs a row of its own.
    bool ownFilesOnly = false;
};

// Lowest first. A unit's uses are followed through, so each row names only the units
// directly below it. The build's libraries (CMakeLists.txt) link along the same lines.
const TUnit kUnits[] = {
    {"engine/platform", {}, {}},
    {"engine/foundation/core", {"engine/platform"}, {}},
    {"engine/foundation/math", {}, {}},
    {"engine/foundation/files", {"engine/foundation/core"}, {}},
    {"engine/foundation/xml", {"engine/foundation/files"}, {"zlib.h"}},
    {"engine/foundation/assets", {"engine/foundation/files"}, {}},
    {"engine/foundation/prefs", {"engine/foundation/xml"}, {}},
    {"engine/foundation/seams", {"engine/foundation/core"}, {}},
    {"engine/foundation/host", {"engine/foundation/seams", "engine/foundation/files"}, {}},
    {"engine/foundation/app",
     {"engine/foundation/host", "engine/foundation/prefs", "engine/foundation/assets",
      "engine/foundation/math"},
     {"zlib.h"}},
    {"engine/script/lua", {}, {}},
    {"engine/script",
     {"engine/script/lua", "engine/foundation/host", "engine/foundation/prefs",
      "engine/foundation/assets", "engine/foundation/math"},
     {}},
    // Graphics, from the software device up to the folder that plugs it into the engine.
    {"engine/graphics/device", {"engine/foundation/core", "engine/foundation/math"}, {}},
    {"engine/graphics/image",
     {"engine/foundation/files"},
     {"png.h", "pngconf.h", "jpeglib.h", "jerror.h"}},
    // The graphics core: renderer, display, textures.
    {"engine/graphics",
     {"engine/graphics/device", "engine/graphics/image", "engine/foundation/host",
      "engine/foundation/prefs", "engine/foundation/assets"},
     {},
     true},
    {"engine/graphics/anim", {"engine/graphics"}, {}},
    {"engine/graphics/model", {"engine/graphics"}, {}},
    {"engine/graphics/vector", {"engine/graphics"}, {}},
    {"engine/graphics/text", {"engine/graphics/vector"}, {}},
    {"engine/graphics/sprite", {"engine/graphics/anim", "engine/script"}, {}},
    {"engine/graphics/particles", {"engine/graphics/anim", "engine/script"}, {}},
    {"engine/graphics/install",
     {"engine/graphics/sprite", "engine/graphics/particles", "engine/graphics/model",
      "engine/graphics/text", "engine/foundation/app"},
     {}},
    {"engine/sound",
     {"engine/foundation/app"},
     {"vorbis/vorbisfile.h", "vorbis/codec.h", "ogg/ogg.h"}},
    // The window toolkit: windows reach the manager through TWindowServices (window/).
    {"engine/ui/message", {"engine/script"}, {}},
    // Windows take their events (TEvent) from the application layer.
    {"engine/ui/window", {"engine/ui/message", "engine/graphics", "engine/foundation/app"}, {}},
    {"engine/ui/widgets", {"engine/ui/window", "engine/graphics/text", "engine/sound"}, {}},
    {"engine/ui/manager", {"engine/ui/window"}, {}},
    {"engine/ui/script", {"engine/ui/widgets", "engine/ui/manager"}, {}},
    {"engine/ui/install", {"engine/ui/script"}, {}},
    {"game/core", {"engine/ui/install", "engine/graphics/install"}, {}},
    {"game/spa", {"game/core"}, {}},
    {"game/shell", {"game/spa"}, {}},
    {"game/minigames/mixer", {"game/spa"}, {}},
    {"game/minigames/sandalwood", {"game/core"}, {}},
    {"game/minigames/meditation", {"game/core"}, {}},
    {"game/minigames/customization", {"game/core"}, {}},
};

const std::set<std::string> kStandardHeaders = {
    // C++
    "algorithm", "any", "array", "atomic", "barrier", "bit", "bitset", "cassert", "cctype",
    "cerrno", "cfenv", "cfloat", "charconv", "chrono", "cinttypes", "climits", "clocale", "cmath",
    "compare", "complex", "concepts", "condition_variable", "coroutine", "csetjmp", "csignal",
    "cstdarg", "cstddef", "cstdint", "cstdio", "cstdlib", "cstring", "ctime", "cuchar", "cwchar",
    "cwctype", "deque", "exception", "execution", "filesystem", "forward_list", "fstream",
    "functional", "future", "initializer_list", "iomanip", "ios", "iosfwd", "iostream", "istream",
    "iterator", "latch", "limits", "list", "locale", "map", "memory", "memory_resource", "mutex",
    "new", "numbers", "numeric", "optional", "ostream", "queue", "random", "ranges", "ratio",
    "regex", "scoped_allocator", "semaphore", "set", "shared_mutex", "source_location", "span",
    "sstream", "stack", "stdexcept", "stop_token", "streambuf", "string", "string_view",
    "system_error", "thread", "tuple", "type_traits", "typeindex", "typeinfo", "unordered_map",
    "unordered_set", "utility", "valarray", "variant", "vector", "version",
    // C
    "assert.h", "ctype.h", "errno.h", "fenv.h", "float.h", "inttypes.h", "limits.h", "locale.h",
    "math.h", "setjmp.h", "signal.h", "stdarg.h", "stddef.h", "stdint.h", "stdio.h", "stdlib.h",
    "string.h", "time.h", "uchar.h", "wchar.h", "wctype.h"};

const char kInterpreter[] = "engine/script/lua";
const char kPlatform[] = "engine/platform";

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool IsBelow(const std::string& path, const std::string& folder)
{
    return StartsWith(path, folder + "/");
}

bool Holds(const TUnit& unit, const std::string& path)
{
    if (!IsBelow(path, unit.folder))
        return false;
    return !unit.ownFilesOnly ||
           path.find('/', std::string(unit.folder).size() + 1) == std::string::npos;
}

// The unit a path belongs to: its longest folder prefix in the table, or null.
const TUnit* UnitOf(const std::string& path)
{
    const TUnit* found = nullptr;
    for (const TUnit& unit : kUnits) {
        if (Holds(unit, path) && (found == nullptr || std::string(unit.folder).size() >
                                                          std::string(found->folder).size()))
            found = &unit;
    }
    return found;
}

const TUnit* UnitNamed(const std::string& folder)
{
    for (const TUnit& unit : kUnits)
        if (folder == unit.folder)
            return &unit;
    return nullptr;
}

// The units a unit may include: those it uses, and theirs, all the way down.
std::set<std::string> Reach(const TUnit& unit)
{
    std::set<std::string> reach;
    std::vector<std::string> pending = unit.uses;
    while (!pending.empty()) {
        std::string next = pending.back();
        pending.pop_back();
        if (!reach.insert(next).second)
            continue;
        if (const TUnit* below = UnitNamed(next))
            pending.insert(pending.end(), below->uses.begin(), below->uses.end());
    }
    return reach;
}

// A file of a backend folder, engine/platform/<backend>/.
bool IsBackendFile(const std::string& path)
{
    return IsBelow(path, kPlatform) && path.find('/', sizeof kPlatform) != std::string::npos;
}

// "engine/platform/<backend>" for a backend's file, "" for any other path.
std::string BackendOf(const std::string& path)
{
    if (!IsBackendFile(path))
        return "";
    return path.substr(0, path.find('/', sizeof kPlatform));
}

// The source of a platform interface: a .cpp file at the root of engine/platform/, the
// one place that chooses among the backends.
bool IsInterfaceSource(const std::string& path)
{
    const std::string extension = ".cpp";
    return IsBelow(path, kPlatform) && !IsBackendFile(path) && path.size() > extension.size() &&
           path.compare(path.size() - extension.size(), extension.size(), extension) == 0;
}

std::string Join(const std::set<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text.empty() ? "nothing" : text;
}

std::string CheckQuoted(const std::string& file, const TUnit& unit, const std::string& target)
{
    if (!StartsWith(target, "engine/") && !StartsWith(target, "game/"))
        return "a quoted include names a file of engine/ or game/ by its full path from the "
               "repository root";
    if (IsBelow(target, kInterpreter) && !IsBelow(file, kInterpreter)) {
        const std::string name = target.substr(sizeof kInterpreter);
        if (name.find('/') != std::string::npos || !StartsWith(name, "Lua"))
            return "outside the interpreter only its public headers (engine/script/lua/Lua*.h) "
                   "may be included";
    }
    if (IsBackendFile(target) && BackendOf(target) != BackendOf(file) && !IsInterfaceSource(file))
        return "a backend folder (engine/platform/<backend>/) is included only from that backend "
               "and the interface's own source (engine/platform/*.cpp)";
    const TUnit* targetUnit = UnitOf(target);
    if (targetUnit == nullptr)
        return "the included file's folder is not in the layering table";
    if (targetUnit == &unit)
        return "";
    const std::set<std::string> reach = Reach(unit);
    if (reach.count(targetUnit->folder) == 0)
        return std::string(unit.folder) + " may not include " + targetUnit->folder +
               " (it may include " + Join(reach) + ")";
    return "";
}

std::string CheckAngled(const std::string& file, const TUnit& unit, const std::string& header)
{
    // A backend folder below the platform layer may include what its system offers.
    if (IsBackendFile(file))
        return "";
    if (kStandardHeaders.count(header) != 0)
        return "";
    // The compiler's own vector intrinsics (emmintrin.h and the like) are no system's.
    const std::string intrinsics = "intrin.h";
    if (header.find('/') == std::string::npos && header.size() > intrinsics.size() &&
        header.compare(header.size() - intrinsics.size(), intrinsics.size(), intrinsics) == 0)
        return "";
    if (std::find(unit.libraryHeaders.begin(), unit.libraryHeaders.end(), header) !=
        unit.libraryHeaders.end())
        return "";
    return "system headers belong in engine/platform/<backend>/ (standard C and C++ headers, "
           "compiler intrinsics and the unit's codec libraries excepted)";
}

// The delimiter ('"' or '<') and the name of an include line; false for any other line.
bool ParseInclude(const std::string& text, char& delimiter, std::string& name)
{
    size_t at = text.find_first_not_of(" \t");
    if (at == std::string::npos || text[at] != '#')
        return false;
    at = text.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos || text.compare(at, 7, "include") != 0)
        return false;
    at = text.find_first_not_of(" \t", at + 7);
    if (at == std::string::npos || (text[at] != '"' && text[at] != '<'))
        return false;
    delimiter = text[at];
    const size_t end = text.find(delimiter == '"' ? '"' : '>', at + 1);
    if (end == std::string::npos)
        return false;
    name = text.substr(at + 1, end - at - 1);
    return true;
}

} // namespace

std::vector<std::string> TIncludeRules::Units()
{
    std::vector<std::string> folders;
    for (const TUnit& unit : kUnits)
        folders.push_back(unit.folder);
    return folders;
}

std::set<std::string> TIncludeRules::UnitReach(const std::string& folder)
{
    const TUnit* unit = UnitNamed(folder);
    return unit != nullptr ? Reach(*unit) : std::set<std::string>();
}

std::string TIncludeRules::Check(const std::string& file, const std::string& text)
{
    char delimiter = 0;
    std::string target;
    if (!ParseInclude(text, delimiter, target))
        return "";
    const TUnit* unit = UnitOf(file);
    if (unit == nullptr)
        return "the file's folder is not in the layering table (tests/layering/TIncludeRules.cpp)";
    return delimiter == '"' ? CheckQuoted(file, *unit, target) : CheckAngled(file, *unit, target);
}

std::vector<TIncludeRules::TViolation> TIncludeRules::CheckTree(const std::string& root)
{
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    for (const char* top : {"engine", "game"}) {
        const fs::path folder = fs::path(root) / top;
        if (!fs::exists(folder))
            continue;
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
            const std::string extension = entry.path().extension().string();
            if (entry.is_regular_file() &&
                (extension == ".h" || extension == ".cpp" || extension == ".inl"))
                files.push_back(fs::relative(entry.path(), root).generic_string());
        }
    }
    std::sort(files.begin(), files.end());

    std::vector<TViolation> violations;
    for (const std::string& file : files) {
        std::ifstream in(fs::path(root) / file);
        std::string text;
        for (int number = 1; std::getline(in, text); ++number) {
            std::string reason = Check(file, text);
            if (!reason.empty())
                violations.push_back({file + ":" + std::to_string(number), text, reason});
        }
    }
    return violations;
}
