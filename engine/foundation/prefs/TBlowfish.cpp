#include "engine/foundation/prefs/TBlowfish.h"

#include <cstring>
#include <utility>

namespace {

uint32_t LoadBigEndian(const uint8_t* bytes)
{
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) |
           uint32_t(bytes[3]);
}

void StoreBigEndian(uint32_t word, uint8_t* bytes)
{
    bytes[0] = uint8_t(word >> 24);
    bytes[1] = uint8_t(word >> 16);
    bytes[2] = uint8_t(word >> 8);
    bytes[3] = uint8_t(word);
}

} // namespace

TBlowfish::TBlowfish()
{
    std::memcpy(mP, kInitialP, sizeof(mP));
    std::memcpy(mS, kInitialS, sizeof(mS));
}

void TBlowfish::SetKey(const uint8_t* key, size_t keyLength)
{
    std::memcpy(mP, kInitialP, sizeof(mP));
    std::memcpy(mS, kInitialS, sizeof(mS));
    if (keyLength > 0) {
        size_t k = 0;
        for (uint32_t& p : mP) {
            uint32_t word = 0;
            for (int i = 0; i < 4; ++i) {
                word = (word << 8) | key[k];
                k = (k + 1) % keyLength;
            }
            p ^= word;
        }
    }
    uint32_t left = 0;
    uint32_t right = 0;
    for (int i = 0; i < kRounds + 2; i += 2) {
        EncryptWords(left, right);
        mP[i] = left;
        mP[i + 1] = right;
    }
    for (auto& box : mS) {
        for (int i = 0; i < 256; i += 2) {
            EncryptWords(left, right);
            box[i] = left;
            box[i + 1] = right;
        }
    }
}

uint32_t TBlowfish::F(uint32_t x) const
{
    return ((mS[0][x >> 24] + mS[1][(x >> 16) & 0xff]) ^ mS[2][(x >> 8) & 0xff]) + mS[3][x & 0xff];
}

void TBlowfish::EncryptWords(uint32_t& left, uint32_t& right) const
{
    for (int i = 0; i < kRounds; ++i) {
        left ^= mP[i];
        right ^= F(left);
        std::swap(left, right);
    }
    std::swap(left, right);
    right ^= mP[kRounds];
    left ^= mP[kRounds + 1];
}

void TBlowfish::DecryptWords(uint32_t& left, uint32_t& right) const
{
    for (int i = kRounds + 1; i > 1; --i) {
        left ^= mP[i];
        right ^= F(left);
        std::swap(left, right);
    }
    std::swap(left, right);
    right ^= mP[1];
    left ^= mP[0];
}

void TBlowfish::EncryptBlock(uint8_t block[kBlockSize]) const
{
    TransformBlock(block, &TBlowfish::EncryptWords);
}

void TBlowfish::DecryptBlock(uint8_t block[kBlockSize]) const
{
    TransformBlock(block, &TBlowfish::DecryptWords);
}

void TBlowfish::TransformBlock(uint8_t* block, TWordTransform transform) const
{
    uint32_t left = LoadBigEndian(block);
    uint32_t right = LoadBigEndian(block + 4);
    (this->*transform)(left, right);
    StoreBigEndian(left, block);
    StoreBigEndian(right, block + 4);
}
