#include "engine/foundation/prefs/EncryptionWrapper.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Encrypt(EncryptionWrapper& cipher, const std::vector<uint8_t>& in, bool base64)
{
    size_t size = cipher.Encrypt(in.data(), in.size(), nullptr, 0, base64);
    std::vector<uint8_t> out(size);
    EXPECT_EQ(cipher.Encrypt(in.data(), in.size(), out.data(), out.size(), base64), 0u);
    EXPECT_EQ(cipher.GetLastSize(), size);
    return out;
}

std::vector<uint8_t> Decrypt(EncryptionWrapper& cipher, const std::vector<uint8_t>& in, bool base64)
{
    size_t n = base64 && !in.empty() ? in.size() - 1 : in.size(); // without the NUL
    size_t size = cipher.Decrypt(in.data(), n, nullptr, 0, base64);
    std::vector<uint8_t> out(size);
    EXPECT_EQ(cipher.Decrypt(in.data(), n, out.data(), out.size(), base64), 0u);
    return out;
}

TEST(EncryptionWrapperTest, RoundTripsEveryLengthWithAndWithoutBase64)
{
    EncryptionWrapper cipher;
    cipher.Init("tqzrwvxkMJHP");
    for (bool base64 : {false, true}) {
        for (size_t n = 0; n <= 33; ++n) {
            SCOPED_TRACE(n);
            std::vector<uint8_t> plain(n);
            for (size_t i = 0; i < n; ++i)
                plain[i] = uint8_t(i * 37 + 1);
            std::vector<uint8_t> sealed = Encrypt(cipher, plain, base64);
            size_t blocks = (n / 8 + 1) * 8;
            if (base64) {
                EXPECT_EQ(sealed.size(), (blocks + 2) / 3 * 4 + 1);
                EXPECT_EQ(sealed.back(), 0);
            } else {
                EXPECT_EQ(sealed.size(), blocks);
            }
            EXPECT_EQ(Decrypt(cipher, sealed, base64), plain);
        }
    }
}

TEST(EncryptionWrapperTest, SizesFollowThePaddingRule)
{
    EncryptionWrapper cipher;
    cipher.Init("key");
    uint8_t bytes[8] = {};
    EXPECT_EQ(cipher.Encrypt(bytes, 8, nullptr, 0, false), 16u);
    EXPECT_EQ(cipher.Encrypt(bytes, 0, nullptr, 0, false), 8u);
    EXPECT_EQ(cipher.Encrypt(bytes, 5, nullptr, 0, true), 13u);
    uint8_t small[12];
    EXPECT_EQ(cipher.Encrypt(bytes, 5, small, sizeof(small), true), 13u) << "too small: size only";
}

TEST(EncryptionWrapperTest, OnlyTheFirstNineKeyCharactersMatter)
{
    const char* plain = "the same text";
    auto seal = [&](const char* key) {
        EncryptionWrapper cipher;
        cipher.Init(key);
        std::vector<uint8_t> in(plain, plain + std::strlen(plain));
        return Encrypt(cipher, in, false);
    };
    EXPECT_EQ(seal("abcdefghi"), seal("abcdefghiXYZ"));
    EXPECT_EQ(seal("abcdefghiXYZ"), seal("abcdefghi0123456789"));
    EXPECT_NE(seal("abcdefghi"), seal("abcdefghj"));
    EXPECT_EQ(seal(""), seal("ZZZZZZZZZ"));
}

TEST(EncryptionWrapperTest, GarbageAndEmptyInputDecipherToNothingOrBytesWithoutCrashing)
{
    EncryptionWrapper cipher;
    cipher.Init("tqzrwvxkMJHP");
    EXPECT_EQ(cipher.Decrypt(nullptr, 0, nullptr, 0, false), 0u);
    EXPECT_EQ(cipher.Decrypt("", 0, nullptr, 0, true), 0u);
    EXPECT_EQ(cipher.DecryptString(""), TString(""));
    EXPECT_EQ(cipher.DecryptString(nullptr), TString(""));
    for (const char* junk :
         {"!!!!", "A", "\x80\x81\x82", "AAAAAAAAAAA=", "zzzzzzzzzzzzzzzzzzzzzzzz"}) {
        size_t size = cipher.Decrypt(junk, std::strlen(junk), nullptr, 0, true);
        EXPECT_LE(size, 24u);
        (void)cipher.DecryptString(junk);
    }
    uint8_t odd[5] = {1, 2, 3, 4, 5};
    EXPECT_LE(cipher.Decrypt(odd, sizeof(odd), nullptr, 0, false), 8u);
}

TEST(EncryptionWrapperTest, WrongKeyDoesNotGiveThePlainTextBack)
{
    EncryptionWrapper writer;
    writer.Init("rightkey1");
    const char* text = "secret settings";
    std::vector<uint8_t> sealed = Encrypt(writer, std::vector<uint8_t>(text, text + 15), true);
    EncryptionWrapper reader;
    reader.Init("wrongkey1");
    EXPECT_NE(reader.DecryptString(reinterpret_cast<const char*>(sealed.data())), TString(text));
    EXPECT_EQ(writer.DecryptString(reinterpret_cast<const char*>(sealed.data())), TString(text));
}

} // namespace
