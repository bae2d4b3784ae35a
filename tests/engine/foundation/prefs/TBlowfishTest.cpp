#include "engine/foundation/prefs/TBlowfish.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> FromHex(const std::string& hex)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(uint8_t(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

struct TVector
{
    const char* key;
    const char* plain;
    const char* cipher;
};

// Published Blowfish test vectors (8-byte keys, then one long key).
const TVector kVectors[] = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677", "FEDCBA9876543210", "05044B62FA52D080"},
};

TEST(TBlowfishTest, PublishedVectorsEncipherAndDecipher)
{
    for (const TVector& v : kVectors) {
        SCOPED_TRACE(v.key);
        std::vector<uint8_t> key = FromHex(v.key);
        std::vector<uint8_t> block = FromHex(v.plain);
        TBlowfish cipher;
        cipher.SetKey(key.data(), key.size());
        cipher.EncryptBlock(block.data());
        EXPECT_EQ(block, FromHex(v.cipher));
        cipher.DecryptBlock(block.data());
        EXPECT_EQ(block, FromHex(v.plain));
    }
}

TEST(TBlowfishTest, RekeyingStartsFromTheInitialState)
{
    std::vector<uint8_t> zero(8, 0);
    TBlowfish cipher;
    std::vector<uint8_t> other = FromHex("0123456789ABCDEF");
    cipher.SetKey(other.data(), other.size());
    cipher.SetKey(zero.data(), zero.size());
    std::vector<uint8_t> block(8, 0);
    cipher.EncryptBlock(block.data());
    EXPECT_EQ(block, FromHex("4EF997456198DD78"));
}

} // namespace
