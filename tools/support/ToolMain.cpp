#include "tools/support/ToolMain.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

namespace {

bool IsHelp(const char* argument)
{
    return std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0;
}

bool AsksForHelp(const TToolHelp& help, int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (IsHelp(argv[i]))
            return true;
        if (help.mHelpOnlyBeforeOperands && argv[i][0] != '-')
            return false;
    }
    return false;
}

} // namespace

std::string HelpText(const TToolHelp& help)
{
    return std::string("usage: ") + help.mName + (help.mUsage[0] != '\0' ? " " : "") + help.mUsage +
           "\n" + help.mSummary + "\n" + help.mOptions +
           "  -h, --help          print this help and do nothing else\n";
}

int UsageError(const TToolHelp& help)
{
    std::fprintf(stderr, "usage: %s%s%s\n", help.mName, help.mUsage[0] != '\0' ? " " : "",
                 help.mUsage);
    return 2;
}

int RunTool(const TToolHelp& help, int argc, char** argv, int (*body)(int argc, char** argv))
{
    if (AsksForHelp(help, argc, argv)) {
        std::fputs(HelpText(help).c_str(), stdout);
        return 0;
    }
    try {
        return body(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: out of memory\n", help.mName);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", help.mName, error.what());
    } catch (...) {
        std::fprintf(stderr, "%s: stopped by an unexpected failure\n", help.mName);
    }
    return 1;
}
