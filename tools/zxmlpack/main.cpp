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

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr char kUsage[] = "usage: zxmlpack [-d] INPUT OUTPUT\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const bool unpack = argc == 4 && std::strcmp(argv[1], "-d") == 0;
    if (argc != 3 && !unpack) {
        std::fputs(kUsage, stderr);
        return 2;
    }
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
