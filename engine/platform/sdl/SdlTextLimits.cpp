#include "engine/platform/sdl/SdlTextLimits.h"

#include "engine/platform/TPlatformLog.h"

#include <cstdint>

namespace {

bool IsContinuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// A sequence is at most four bytes: a cut backs up no further than that, so text that is
// not UTF-8 at all is still cut near the bound rather than emptied.
constexpr size_t kLongestSequence = 4;

// utf8 cut to the bounds, with a log line naming what it is when it had to be cut.
std::string Bounded(const std::string& utf8, size_t maxCharacters, size_t maxBytes,
                    const char* what)
{
    const std::string_view kept = CutUtf8(utf8, maxCharacters, maxBytes);
    if (kept.size() < utf8.size())
        TPlatformLog::Write(kTextCutLog, what, utf8.size(), kept.size());
    return std::string(kept);
}

} // namespace

std::string_view CutUtf8(std::string_view utf8, size_t maxCharacters, size_t maxBytes)
{
    size_t end = utf8.size();
    if (end > maxBytes) {
        end = maxBytes;
        for (size_t back = 1; back < kLongestSequence && end > 0 && IsContinuation(utf8[end]);
             ++back)
            --end;
    }
    size_t characters = 0;
    for (size_t at = 0; at < end; ++at)
        if (!IsContinuation(utf8[at]) && ++characters > maxCharacters)
            return utf8.substr(0, at);
    return utf8.substr(0, end);
}

std::string BoundedWindowTitle(const std::string& utf8Title)
{
    return Bounded(utf8Title, kMaxTitleCharacters, kMaxTitleBytes, "window title");
}

std::string BoundedClipboardText(const std::string& utf8)
{
    return Bounded(utf8, SIZE_MAX, kMaxClipboardBytes, "clipboard text");
}
