#pragma once

// The process's command line as one text, and the switches read from it. A switch is
// found by a case-sensitive substring search anywhere in the line, and its value starts
// right after the switch text. The line is built once from the program's arguments
// (Build) and stored process-wide (SetCurrent); the switches elsewhere read it there.

#include "engine/foundation/core/TString.h"

#include <utility>
#include <vector>

class TCommandLine
{
public:
    // The arguments after the program name joined with blanks. An argument holding a
    // blank is quoted so the switches' own rules still find its end: "key=value with
    // blanks" becomes key="value with blanks", any other becomes "argument".
    static TString Build(int argc, const char* const* argv);

    // The process-wide line ("" until set). Main thread, at start-up.
    static void SetCurrent(const TString& line);
    static const TString& GetCurrent();

    // True when the line holds the switch text anywhere.
    static bool Has(const TString& line, const char* switchText);

    // "--cheat": from the second character after the switch (one separator skipped) up to
    // the next blank or the end; "" when nothing follows.
    static TString GetCheatCode(const TString& line);

    // "options=": key=value pairs joined by "&"; see the definition for where it stops.
    static std::vector<std::pair<TString, TString>> GetOptions(const TString& line);

    // "-wd=": a value starting with a double quote runs to the next double quote (the
    // quotes dropped), any other to the next blank or the end.
    static TString GetWorkingFolder(const TString& line);

    // "-host=": the first blank-delimited word after it, at most 259 characters.
    static TString GetHostProgram(const TString& line);

    // "-wnd=": the hexadecimal window handle after it, 0 when none can be read.
    static unsigned long GetWindowHandle(const TString& line);

private:
    // The text from position start up to the next blank (or the end).
    static TString WordAt(const TString& line, int start);
};

// True when the process-wide command line holds "-pq=".
bool HasPqSwitch();
