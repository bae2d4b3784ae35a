#pragma once

#include <cstddef>
#include <cstdint>

// Standard base64 ("A"-"Z", "a"-"z", "0"-"9", "+", "/", "=" padding) as the preferences
// cipher uses it. Sizes are exact for encoding and an upper bound for decoding.

// Characters that Base64Encode writes for n bytes: ceil(n / 3) * 4 (no terminator).
size_t Base64EncodedSize(size_t n);

// Writes Base64EncodedSize(n) characters to out; returns that count. No NUL is written.
size_t Base64Encode(const uint8_t* in, size_t n, char* out);

// Bytes Base64Decode may produce for n characters: ceil(n / 4) * 3.
size_t Base64DecodedSize(size_t n);

// Decodes n characters into out (room for Base64DecodedSize(n) bytes) and returns the
// bytes produced. A text whose length is not a multiple of 4 is treated as if "=" filled
// its last group; each "=" ending the last group removes one byte. Characters outside
// the alphabet, and "=" inside the text, count as the value 0.
size_t Base64Decode(const char* in, size_t n, uint8_t* out);
