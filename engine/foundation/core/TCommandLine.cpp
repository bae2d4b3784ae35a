#include "engine/foundation/core/TCommandLine.h"

#include <cstdio>
#include <cstring>

namespace {

TString& Current()
{
    static TString line;
    return line;
}

constexpr int kMaxHostProgram = 259;

} // namespace

TString TCommandLine::Build(int argc, const char* const* argv)
{
    TString line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += " ";
        const char* argument = argv[i];
        if (std::strchr(argument, ' ') == nullptr) {
            line += argument;
            continue;
        }
        const char* equals = std::strchr(argument, '=');
        if (equals != nullptr && equals < std::strchr(argument, ' '))
            line += TString(argument, static_cast<int>(equals - argument) + 1) + "\"" +
                    TString(equals + 1) + "\"";
        else
            line += TString("\"") + argument + "\"";
    }
    return line;
}

void TCommandLine::SetCurrent(const TString& line)
{
    Current() = line;
}

const TString& TCommandLine::GetCurrent()
{
    return Current();
}

bool TCommandLine::Has(const TString& line, const char* switchText)
{
    return line.Find(switchText) >= 0;
}

TString TCommandLine::WordAt(const TString& line, int start)
{
    if (start >= line.Length())
        return TString();
    const int blank = line.FindChar(' ', 0, start);
    return line.Substr(start, blank < 0 ? -1 : blank - start);
}

TString TCommandLine::GetCheatCode(const TString& line)
{
    const int at = line.Find("--cheat");
    if (at < 0)
        return TString();
    // One separator character is skipped; when the switch ends the line there is none.
    return WordAt(line, at + static_cast<int>(std::strlen("--cheat")) + 1);
}

std::vector<std::pair<TString, TString>> TCommandLine::GetOptions(const TString& line)
{
    std::vector<std::pair<TString, TString>> pairs;
    const int at = line.Find("options=");
    if (at < 0)
        return pairs;
    TString rest = line.Substr(at + static_cast<int>(std::strlen("options=")));
    while (rest.Length() > 0 && rest.CharAt(0) != ' ') {
        const int equals = rest.FindChar('=');
        if (equals < 0)
            break;
        const TString key = rest.Substr(0, equals);
        const TString after = rest.Substr(equals + 1);
        int end = after.FindChar('&');
        if (end < 0)
            end = after.FindChar(' ');
        pairs.emplace_back(key, end < 0 ? after : after.Substr(0, end));
        rest = end < 0 ? TString() : after.Substr(end + 1);
    }
    return pairs;
}

TString TCommandLine::GetWorkingFolder(const TString& line)
{
    const int at = line.Find("-wd=");
    if (at < 0)
        return TString();
    const int start = at + static_cast<int>(std::strlen("-wd="));
    if (line.CharAt(start) != '"')
        return WordAt(line, start);
    const int close = line.FindChar('"', 0, start + 1);
    return line.Substr(start + 1, close < 0 ? -1 : close - start - 1);
}

TString TCommandLine::GetHostProgram(const TString& line)
{
    const int at = line.Find("-host=");
    if (at < 0)
        return TString();
    return WordAt(line, at + static_cast<int>(std::strlen("-host="))).Substr(0, kMaxHostProgram);
}

unsigned long TCommandLine::GetWindowHandle(const TString& line)
{
    const int at = line.Find("-wnd=");
    if (at < 0)
        return 0;
    unsigned int handle = 0;
    if (std::sscanf(line.CStr() + at + std::strlen("-wnd="), "%x", &handle) != 1)
        return 0;
    return handle;
}

bool HasPqSwitch()
{
    return TCommandLine::Has(TCommandLine::GetCurrent(), "-pq=");
}
