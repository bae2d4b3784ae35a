#pragma once

#include <cstddef>
#include <cstdint>

// Blowfish block cipher state: 16 rounds, 64-bit blocks, keys of 1 to 56 bytes.
// Words are read from and written to bytes big-endian, so enciphered data is the same on
// every machine. The object holds no heap memory; copy it freely.
class TBlowfish
{
public:
    static constexpr int kRounds = 16;
    static constexpr size_t kBlockSize = 8;

    // Starts from the unkeyed state (the published initial constants).
    TBlowfish();

    // Runs the key schedule over key bytes used cyclically. keyLength 0 leaves the state
    // unkeyed apart from the schedule's own encryptions.
    void SetKey(const uint8_t* key, size_t keyLength);

    // Enciphers or deciphers one 8-byte block in place.
    void EncryptBlock(uint8_t block[kBlockSize]) const;
    void DecryptBlock(uint8_t block[kBlockSize]) const;

private:
    uint32_t F(uint32_t x) const;
    void EncryptWords(uint32_t& left, uint32_t& right) const;
    void DecryptWords(uint32_t& left, uint32_t& right) const;
    using TWordTransform = void (TBlowfish::*)(uint32_t&, uint32_t&) const;
    void TransformBlock(uint8_t* block, TWordTransform transform) const;

    static const uint32_t kInitialP[kRounds + 2];
    static const uint32_t kInitialS[4][256];

    uint32_t mP[kRounds + 2];
    uint32_t mS[4][256];
};
