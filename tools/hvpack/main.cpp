// hvpack: builds a ".hvp" package.
//
//   hvpack OUTPUT.hvp FOLDER...        every file below each FOLDER, named by its path
//                                      relative to that FOLDER
//   hvpack OUTPUT.hvp NAME=FILE...     FILE stored under NAME
//
// Names are stored in path-map key form, as the game looks them up: lower case, "/"
// separators, no empty or "." components ("./ui//A.png" is stored as "ui/a.png"). The
// two argument forms mix; a later entry of the same name wins when the package is read.
// The output file is never packed into itself, even when it lies inside a FOLDER. The
// names are listed once the package has been written.
#include "tools/hvpack/TPackageBuilder.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr char kUsage[] = "usage: hvpack OUTPUT.hvp FOLDER... | NAME=FILE...\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc < 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    TPackageBuilder builder(argv[1]);
    if (!builder.CanWriteOutput())
        return 1;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        const size_t equals = argument.find('=');
        const bool added =
            equals != std::string::npos
                ? builder.AddFile(argument.substr(0, equals), argument.substr(equals + 1))
                : builder.AddFolder(argument);
        if (!added)
            return 1;
    }
    return builder.Write() ? 0 : 1;
}
