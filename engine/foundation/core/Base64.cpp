#include "engine/foundation/core/Base64.h"

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The 6-bit value of a base64 character; anything outside the alphabet counts as 0.
uint32_t DecodeChar(char c)
{
    if (c >= 'A' && c <= 'Z')
        return uint32_t(c - 'A');
    if (c >= 'a' && c <= 'z')
        return uint32_t(c - 'a' + 26);
    if (c >= '0' && c <= '9')
        return uint32_t(c - '0' + 52);
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return 0;
}

} // namespace

size_t Base64EncodedSize(size_t n)
{
    return (n + 2) / 3 * 4;
}

size_t Base64Encode(const uint8_t* in, size_t n, char* out)
{
    size_t o = 0;
    for (size_t i = 0; i < n; i += 3) {
        size_t left = n - i;
        uint32_t group = uint32_t(in[i]) << 16;
        if (left > 1)
            group |= uint32_t(in[i + 1]) << 8;
        if (left > 2)
            group |= in[i + 2];
        out[o++] = kAlphabet[(group >> 18) & 63];
        out[o++] = kAlphabet[(group >> 12) & 63];
        out[o++] = left > 1 ? kAlphabet[(group >> 6) & 63] : '=';
        out[o++] = left > 2 ? kAlphabet[group & 63] : '=';
    }
    return o;
}

size_t Base64DecodedSize(size_t n)
{
    return (n + 3) / 4 * 3;
}

size_t Base64Decode(const char* in, size_t n, uint8_t* out)
{
    size_t produced = 0;
    for (size_t i = 0; i < n; i += 4) {
        char group[4];
        for (size_t j = 0; j < 4; ++j)
            group[j] = i + j < n ? in[i + j] : '=';
        uint32_t bits = 0;
        for (char c : group)
            bits = (bits << 6) | DecodeChar(c);
        size_t bytes = 3;
        if (i + 4 >= n) {
            size_t padding = 0;
            for (int j = 3; j >= 0 && group[j] == '='; --j)
                ++padding;
            bytes = padding >= 3 ? 0 : 3 - padding;
        }
        for (size_t j = 0; j < bytes; ++j)
            out[produced++] = uint8_t(bits >> (16 - 8 * j));
    }
    return produced;
}
