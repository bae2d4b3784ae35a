// zxmlpack: packs an XML file (or a string table) into the "ZXML" form, or unpacks one.
//
//   zxmlpack INPUT OUTPUT       pack
//   zxmlpack -d INPUT OUTPUT    unpack
//
// A packed file keeps its ".xml" name in the game's content: the game reads either form
// under the same name.
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/xml/TZxml.h"
#include "tools/support/InputLimits.h"
#include "tools/support/ToolFiles.h"
#include "tools/support/ToolMain.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const TToolHelp kHelp{"zxmlpack", "[-d] INPUT OUTPUT",
                      "Packs an XML file or a string table into the \"ZXML\" form the game "
                      "reads, or unpacks one.",
                      "  -d                  unpack INPUT instead of packing it\n"};

int Convert(int argc, char** argv)
{
    const bool unpack = argc == 4 && std::strcmp(argv[1], "-d") == 0;
    if (argc != 3 && !unpack)
        return UsageError(kHelp);
    InitLogOnStandardError(); // the unpacker logs why a block is refused
    const char* input = argv[argc - 2];
    const char* output = argv[argc - 1];
    std::string bytes;
    if (!ReadInputFile("zxmlpack", input, unpack ? kMaxXmlFileBytes : kMaxXmlTextBytes, bytes))
        return 1;
    std::string result;
    if (unpack) {
        if (!TZxml::Unpack(bytes.data(), bytes.size(), result, input)) {
            std::fprintf(stderr, "zxmlpack: cannot unpack %s\n", input);
            return 1;
        }
    } else {
        result = TZxml::Pack(bytes);
        if (result.empty()) {
            std::fprintf(stderr, "zxmlpack: cannot pack %s\n", input);
            return 1;
        }
    }
    return WriteOutputFile("zxmlpack", output, result) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    return RunTool(kHelp, argc, argv, &Convert);
}
