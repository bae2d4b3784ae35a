#pragma once

#include "engine/foundation/core/TString.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class TBlowfish;

// The preferences cipher: Blowfish in ECB mode under a 9-byte key derived from a key text,
// with self-describing padding and optional base64 text output.
//
// Key text: cut or filled up with "Z" to 12 characters, the last three replaced by a fixed
// suffix, then base64-decoded to 9 bytes. Only the first nine characters of the text matter.
//
// Padding: p = 8 - (n mod 8) bytes of value p are appended before enciphering, so every
// result is a multiple of 8 bytes and at least 8. Deciphering reads the last byte back.
//
// The cipher never reports errors: a wrong key or damaged data deciphers to garbage or to
// an empty result, and callers treat an empty result as failure.
class EncryptionWrapper
{
public:
    EncryptionWrapper();
    ~EncryptionWrapper();
    EncryptionWrapper(const EncryptionWrapper&) = delete;
    EncryptionWrapper& operator=(const EncryptionWrapper&) = delete;

    // Derives the key from text (any length, may be empty) and keys the cipher.
    void Init(const TString& keyText);

    // Enciphers n bytes. Without base64 the result is the padded enciphered bytes; with
    // base64 it is their base64 text followed by a NUL (counted in the size).
    // Returns 0 after copying the result into out, or the size out needs when out is null
    // or capacity is too small (nothing is copied then).
    size_t Encrypt(const void* bytes, size_t n, void* out, size_t capacity, bool base64);

    // Deciphers n bytes (with base64: n characters of base64 text) and strips the padding.
    // Same return protocol as Encrypt. Empty or damaged input gives an empty result.
    size_t Decrypt(const void* bytes, size_t n, void* out, size_t capacity, bool base64);

    // Size of the last result that Encrypt or Decrypt copied out (0 at the start).
    size_t GetLastSize() const { return mLastSize; }

    // Deciphers a NUL-terminated base64 text; returns the text up to the first NUL of the
    // result, or "" when the result is empty.
    TString DecryptString(const char* base64Text);

    // Characters 10 to 12 of every effective key text.
    static constexpr const char* kKeySuffix = "Q0x";
    static constexpr size_t kKeyTextLength = 12;

private:
    size_t CopyOut(const uint8_t* result, size_t size, void* out, size_t capacity);

    std::unique_ptr<TBlowfish> mCipher;
    size_t mLastSize = 0;
};
