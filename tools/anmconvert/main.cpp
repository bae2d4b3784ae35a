// anmconvert: converts an animation file from its XML form into the tagged binary form
// (".anm") that the engine reads as well.
//
//   anmconvert [--version N] INPUT.xml OUTPUT.anm
//
// N is the file version to write: 1 (no frame alphas) or 2 (the default). An XML file
// without a script gets the default script written out. Why an input is refused goes to
// the standard error stream.
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TMemoryFile.h"
#include "engine/graphics/anim/AnimationXml.h"
#include "engine/graphics/anim/TAnimationData.h"
#include "tools/anmconvert/writer/AnmWriter.h"
#include "tools/support/InputLimits.h"
#include "tools/support/ToolFiles.h"
#include "tools/support/ToolMain.h"
#include "tools/support/ToolOptions.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const TToolHelp kHelp{
    "anmconvert", "[--version N] INPUT.xml OUTPUT.anm",
    "Writes an animation file's binary \".anm\" form from its XML form.",
    "  --version N         the file version: 1 (no frame alphas) or 2 (the default)\n"};

int Convert(int argc, char** argv)
{
    int64_t version = 2;
    int first = 1;
    if (argc == 5 && std::strcmp(argv[1], "--version") == 0) {
        if (!ReadWholeNumber("anmconvert", "--version", argv[2], 1, 2, version))
            return 2;
        first = 3;
    }
    if (argc - first != 2)
        return UsageError(kHelp);
    InitLogOnStandardError(); // the reader logs why a file is refused
    const char* input = argv[first];
    const char* output = argv[first + 1];
    std::string bytes;
    if (!ReadInputFile("anmconvert", input, kMaxXmlFileBytes, bytes))
        return 1;
    // Read from memory under its own name, so that the reader's messages name it.
    RegisterMemoryFile(input, bytes.data(), bytes.size());
    TAnimationData animation;
    const bool loaded = LoadAnimationXml(input, animation);
    RegisterMemoryFile(input, nullptr, 0);
    if (!loaded) {
        std::fprintf(stderr, "anmconvert: cannot convert %s\n", input);
        return 1;
    }
    return WriteOutputFile("anmconvert", output,
                           MakeAnmBytes(animation, static_cast<uint32_t>(version)))
               ? 0
               : 1;
}

} // namespace

int main(int argc, char** argv)
{
    return RunTool(kHelp, argc, argv, &Convert);
}
