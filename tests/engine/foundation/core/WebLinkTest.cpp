#include "engine/foundation/core/WebLink.h"

#include <gtest/gtest.h>

namespace {

TEST(WebLink, OnlyWebAddressesWithAHostPass)
{
    struct TCase
    {
        const char* link;
        bool web;
    } cases[] = {
        {"https://games.example.org/", true},
        {"http://games.example.org", true},
        {"HTTPS://Games.Example.org/x?y=1#z", true},
        {"hTtP://example.org:8080/path", true},
        {"https://user@example.org/", true},
        {"https://[::1]:8080/", true},
        {"https://example.invalid/spa?a=1&b=two words", true}, // blanks after the host
        {"", false},
        {"file:///etc/passwd", false},
        {"--help", false},
        {"-x https://example.org/", false},
        {"/usr/bin/xterm", false},
        {"xterm", false},
        {"javascript:alert(1)", false},
        {"smb://server/share", false},
        {"ftp://example.org/", false},
        {"mailto:someone@example.org", false},
        {"https://", false},
        {"http:///path", false},
        {"https://?q", false},
        {"https://#top", false},
        {"https://user@/", false},
        {"https://:443/", false},
        {"https://[]/", false},
        {"https://exa mple.org/", false},
        {"https://example.org\\@evil/", false},
        {"https://example.org/\nline", false},
        {"https://example.org/\x7f", false},
        {" https://example.org/", false},
        {"https:/example.org/", false},
        {"httpss://example.org/", false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(IsWebLink(c.link), c.web) << "\"" << c.link << "\"";
}

} // namespace
