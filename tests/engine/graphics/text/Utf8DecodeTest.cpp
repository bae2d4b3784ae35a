#include "engine/graphics/text/Utf8Decode.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

TEST(Utf8Decode, ReadsOneCharacterAndStopsOnItsLastByte)
{
    struct TCase
    {
        std::string text;
        int start;
        uint32_t code;
        int last;
    };
    const TCase cases[] = {
        {"A", 0, 'A', 0},
        {"\xC3\xA9x", 0, 0xE9, 1},           // é
        {"\xE2\x82\xAC", 0, 0x20AC, 2},      // €
        {"\xF0\x9F\x98\x80", 0, 0x1F600, 3}, // four bytes
        {"\xA9", 0, 0xA9, 0},                // a stray continuation byte is itself
        {"\xC3\x29", 0, 0xC0 | 0x29, 1},     // continuation bytes are not checked
        {"a\xE2\x82", 1, 0x2080, 2},         // cut short: the missing byte is 0
        {"\xF0", 0, 0, 0},                   // a lead byte alone
    };
    for (const TCase& c : cases) {
        // An exact-size heap copy: AddressSanitizer sees any read beyond the text.
        const std::unique_ptr<char[]> text(new char[c.text.size()]);
        std::copy(c.text.begin(), c.text.end(), text.get());
        int index = c.start;
        EXPECT_EQ(DecodeUtf8(text.get(), static_cast<int>(c.text.size()), index), c.code) << c.text;
        EXPECT_EQ(index, c.last) << c.text;
    }
}

} // namespace
