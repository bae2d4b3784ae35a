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
#include "tools/support/ToolMain.h"

#include <string>

namespace {

const TToolHelp kHelp{
    "hvpack", "OUTPUT.hvp FOLDER... | NAME=FILE...",
    "Builds a \".hvp\" package of content files, named as the game looks them up.",
    "  FOLDER              every file below FOLDER, named by its path relative to it\n"
    "  NAME=FILE           FILE stored under NAME (lower case, \"./\" and \"//\" dropped)\n"};

int Pack(int argc, char** argv)
{
    if (argc < 3)
        return UsageError(kHelp);
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

} // namespace

int main(int argc, char** argv)
{
    return RunTool(kHelp, argc, argv, &Pack);
}
