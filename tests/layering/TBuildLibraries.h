#pragma once

// The engine's and the game's libraries as CMakeLists.txt declares them, for comparing
// with the layering table:
// - velmora_area(NAME DIR [RECURSE] [EXCLUDE file...] [DEPS target...] [PRIVATE_DEPS ...])
//   makes the area library velmora_NAME of DIR (and its subfolders with RECURSE); its
//   velmora_* DEPS are the libraries it builds on.
// - add_library(velmora_X INTERFACE) with target_link_libraries(velmora_X INTERFACE ...)
//   is a bundle that stands for the libraries it names.
// - add_library(velmora_X STATIC file...) is a piece of the area that holds its first
//   file, and stands for that area.
// Other targets (system and codec libraries, tools) are left out.

#include <map>
#include <set>
#include <string>
#include <vector>

class TBuildLibraries
{
public:
    // Reads the declarations from the text of a CMakeLists.txt.
    explicit TBuildLibraries(const std::string& cmakeText);

    // The area libraries, in the order the text declares them.
    const std::vector<std::string>& Areas() const { return mAreaOrder; }
    // The area library that builds the sources of folder (a path from the repository
    // root): the area of that folder, or of the nearest folder above it with RECURSE; ""
    // when none does.
    std::string LibraryOf(const std::string& folder) const;
    // The area libraries that library builds on, directly or through the libraries it
    // builds on, bundles and pieces standing for what they name (library itself left
    // out).
    std::set<std::string> Reach(const std::string& library) const;

private:
    struct TArea
    {
        std::string folder;
        bool recurse = false;
        std::vector<std::string> deps;
    };

    // The area libraries a target stands for: itself for an area, the area of a piece,
    // what a bundle names.
    std::vector<std::string> StandsFor(const std::string& target) const;
    void ReadCommand(const std::string& name, const std::vector<std::string>& arguments);

    std::vector<std::string> mAreaOrder;
    std::map<std::string, TArea> mAreas;
    std::map<std::string, std::vector<std::string>> mBundles;
    std::map<std::string, std::string> mPieces; // piece -> the folder of its first file
};
