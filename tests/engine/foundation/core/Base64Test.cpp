#include "engine/foundation/core/Base64.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Encode(const std::string& bytes)
{
    std::string out(Base64EncodedSize(bytes.size()), '?');
    size_t n =
        Base64Encode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out.data());
    EXPECT_EQ(n, out.size());
    return out;
}

std::string Decode(const std::string& text)
{
    std::vector<uint8_t> out(Base64DecodedSize(text.size()) + 1, 0xEE);
    size_t n = Base64Decode(text.data(), text.size(), out.data());
    EXPECT_LE(n, Base64DecodedSize(text.size()));
    EXPECT_EQ(out[Base64DecodedSize(text.size())], 0xEE) << "wrote past the decoded size";
    return std::string(out.begin(), out.begin() + long(n));
}

TEST(Base64Test, StandardEncodings)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [plain, text] : cases) {
        EXPECT_EQ(Encode(plain), text);
        EXPECT_EQ(Decode(text), plain);
    }
    EXPECT_EQ(Encode(std::string("\xff\xfe\x00", 3)), "//4A");
}

TEST(Base64Test, SizesRoundUpToWholeGroups)
{
    EXPECT_EQ(Base64EncodedSize(0), 0u);
    EXPECT_EQ(Base64EncodedSize(1), 4u);
    EXPECT_EQ(Base64EncodedSize(16), 24u);
    EXPECT_EQ(Base64DecodedSize(12), 9u);
    EXPECT_EQ(Base64DecodedSize(13), 12u);
}

TEST(Base64Test, ShortTextIsFilledWithPadding)
{
    EXPECT_EQ(Decode("Zm8"), "fo");
    EXPECT_EQ(Decode("Zg"), "f");
    EXPECT_EQ(Decode("Z"), "");
}

TEST(Base64Test, ForeignCharactersCountAsZeroAndNeverOverrun)
{
    std::string text;
    for (int c = 0; c < 256; ++c)
        text += char(c);
    std::string decoded = Decode(text);
    EXPECT_EQ(decoded.size(), Base64DecodedSize(text.size()));
    EXPECT_EQ(Decode("\x80\xff!~"), std::string(3, '\0'));
    EXPECT_EQ(Decode("===="), "");
}

} // namespace
