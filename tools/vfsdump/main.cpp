// vfsdump: prints the path map that start-up would build in a folder: every key and its
// location, in key order, with the package behind each package entry.
//
//   vfsdump [FOLDER] [--user DIR] [--common DIR] [--firstpeek] [--resolve PATH]...
//
// FOLDER is the working folder (default "."): its "assets" folder is scanned, its
// "final.txt" (or with --firstpeek "firstpeek.txt") is the exclusion list. --resolve
// prints what each virtual PATH resolves to for reading.
//
// A location is a disk path, "@<package>:<offset>,<length>" for an entry of the package
// with that index (its file is named after it), or "&..." for a memory block. What the
// game would log while scanning (a damaged package, an exclusion list over its limit)
// goes to the standard error stream. The exit status is 1 when FOLDER or its "assets"
// folder is missing or a package there was refused, else 0.
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TPackageList.h"
#include "engine/foundation/files/TPathMap.h"
#include "tools/support/ToolMain.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const TToolHelp kHelp{
    "vfsdump", "[FOLDER] [--user DIR] [--common DIR] [--firstpeek] [--resolve PATH]...",
    "Prints the path map the game would build in a working folder: every key and where it "
    "is read from.",
    "  FOLDER              the working folder, whose assets/ is scanned (default .)\n"
    "  --user DIR          the user data folder\n"
    "  --common DIR        the common data folder\n"
    "  --firstpeek         leave out what firstpeek.txt lists, not final.txt\n"
    "  --resolve PATH      also print where PATH would be read from\n"};

void PrintEntry(const TString& key, const TString& location)
{
    std::printf("%-40s %s", key.CStr(), location.CStr());
    if (location.CharAt(0) == '@') {
        const TFileMapHandler* package = TPackageList::Get().At(std::atol(location.CStr() + 1));
        if (package != nullptr) {
            std::printf("  (%s%s)", package->GetPath().CStr(),
                        package->GetView() == nullptr ? ", not mapped" : "");
        }
    }
    std::printf("\n");
}

// Why the game passed over a file of the assets folder whose name marks it a package.
std::string RefusalReason(const fs::path& file)
{
    std::FILE* stream = std::fopen(file.c_str(), "rb");
    if (stream == nullptr)
        return std::string("cannot be read: ") + std::strerror(errno);
    char magic[4] = {};
    const size_t count = std::fread(magic, 1, sizeof magic, stream);
    std::fclose(stream);
    if (count < sizeof magic || std::memcmp(magic, "HVPK", sizeof magic) != 0)
        return "not a package (it does not begin with \"HVPK\")";
    return "its directory is damaged";
}

// Says what the game would not find or would refuse; false when there was any.
bool CheckFolders(const fs::path& folder)
{
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        std::fprintf(stderr, "vfsdump: %s: no such folder\n", folder.c_str());
        return false;
    }
    const fs::path assets = folder / "assets";
    if (!fs::is_directory(assets, error)) {
        std::fprintf(stderr, "vfsdump: %s: no such folder, so the game finds no content here\n",
                     assets.c_str());
        return false;
    }
    bool ok = true;
    for (const fs::directory_entry& entry : fs::directory_iterator(assets, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory(error) || name.find(".hvp") == std::string::npos)
            continue;
        if (TPackageList::Get().Find(TString(("::assets/" + name).c_str())) >= 0)
            continue;
        std::fprintf(stderr, "vfsdump: assets/%s: refused as a package: %s\n", name.c_str(),
                     RefusalReason(entry.path()).c_str());
        ok = false;
    }
    return ok;
}

int Dump(int argc, char** argv)
{
    TString folder = ".";
    TString user;
    TString common;
    std::vector<TString> resolve;
    TPathMap& map = TPathMap::Get();
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--user") == 0 && hasValue) {
            user = argv[++i];
        } else if (std::strcmp(argv[i], "--common") == 0 && hasValue) {
            common = argv[++i];
        } else if (std::strcmp(argv[i], "--resolve") == 0 && hasValue) {
            resolve.push_back(argv[++i]);
        } else if (std::strcmp(argv[i], "--firstpeek") == 0) {
            map.SetFirstPeek(true);
        } else if (argv[i][0] == '-') {
            return UsageError(kHelp);
        } else {
            folder = argv[i];
        }
    }
    InitLogOnStandardError();
    map.SetWorkingFolder(folder);
    map.SetDataFolders(user, common, TString());
    map.LoadFinalList();
    const bool complete = CheckFolders(folder.CStr());
    for (const auto& [key, location] : map.GetEntries()) {
        PrintEntry(key, location);
    }
    for (const TString& path : resolve) {
        const TString location = ResolvePath(path, true);
        std::printf("%s -> %s\n", path.CStr(),
                    location.Length() > 0 ? location.CStr() : "(not found)");
    }
    return complete ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    return RunTool(kHelp, argc, argv, &Dump);
}
