// vfsdump: prints the path map that start-up would build in a folder: every key and its
// location, in key order, with the package behind each package entry.
//
//   vfsdump [FOLDER] [--user DIR] [--common DIR] [--firstpeek] [--resolve PATH]...
//
// FOLDER is the working folder (default "."): its "assets" folder is scanned, its
// "final.txt" (or with --firstpeek "firstpeek.txt") is the exclusion list. --resolve
// prints what each virtual PATH resolves to for reading.
#include "engine/foundation/files/TPackageList.h"
#include "engine/foundation/files/TPathMap.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

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

} // namespace

int main(int argc, char** argv)
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
            std::fprintf(stderr, "usage: vfsdump [FOLDER] [--user DIR] [--common DIR] "
                                 "[--firstpeek] [--resolve PATH]...\n");
            return 2;
        } else {
            folder = argv[i];
        }
    }
    map.SetWorkingFolder(folder);
    map.SetDataFolders(user, common, TString());
    map.LoadFinalList();
    for (const auto& [key, location] : map.GetEntries()) {
        PrintEntry(key, location);
    }
    for (const TString& path : resolve) {
        const TString location = ResolvePath(path, true);
        std::printf("%s -> %s\n", path.CStr(), location.Length() > 0 ? location.CStr() : "(not found)");
    }
    return 0;
}
