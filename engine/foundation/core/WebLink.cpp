#include "engine/foundation/core/WebLink.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char lower, char c) {
               return std::tolower(static_cast<unsigned char>(c)) == lower;
           });
}

bool IsControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
}

// The host of an authority ("user@host:port", "[::1]:80"): after the last "@", before
// the port.
std::string_view HostOf(std::string_view authority)
{
    const size_t at = authority.rfind('@');
    if (at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    if (!authority.empty() && authority.front() == '[') {
        const size_t close = authority.find(']');
        return close == std::string_view::npos ? std::string_view()
                                               : authority.substr(1, close - 1);
    }
    return authority.substr(0, authority.find(':'));
}

} // namespace

bool IsWebLink(const TString& link)
{
    const std::string_view text(link.CStr(), static_cast<size_t>(link.Length()));
    if (std::any_of(text.begin(), text.end(), IsControl))
        return false;
    std::string_view rest;
    if (StartsWithNoCase(text, "http://"))
        rest = text.substr(7);
    else if (StartsWithNoCase(text, "https://"))
        rest = text.substr(8);
    else
        return false;
    const std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    if (authority.find_first_of(" \\") != std::string_view::npos)
        return false;
    return !HostOf(authority).empty();
}
