#pragma once
// What every command-line tool does the same way around its own work:
// - "-h" or "--help" anywhere on the command line (for luarun: before the script) prints
//   the usage line, one line of what the tool does and its options on the standard
//   output, exit code 0, and nothing else is done: no file is read or written;
// - a wrong command line gets the usage line on the standard error stream, exit code 2;
// - an exception that escapes the tool's work becomes one line "<tool>: <what>" on the
//   standard error stream and exit code 1, never an abort.

#include <string>

struct TToolHelp
{
    const char* mName;                    // "hvpack"
    const char* mUsage;                   // the command line after the name: "OUTPUT.hvp FOLDER..."
    const char* mSummary;                 // what the tool does, one line ending in "."
    std::string mOptions;                 // a line "  WORD  what it is\n" per option or operand
    bool mHelpOnlyBeforeOperands = false; // the operands after the first may be anything
};

// Answers help as above, else runs body(argc, argv) and returns its exit code; an
// exception from body is reported as above.
int RunTool(const TToolHelp& help, int argc, char** argv, int (*body)(int argc, char** argv));

// Prints "usage: <name> <usage>" on the standard error stream and returns 2.
int UsageError(const TToolHelp& help);

// The help text RunTool prints.
std::string HelpText(const TToolHelp& help);
