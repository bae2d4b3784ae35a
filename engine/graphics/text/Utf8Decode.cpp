#include "engine/graphics/text/Utf8Decode.h"

uint32_t DecodeUtf8(const char* text, int length, int& index)
{
    const auto byte = [&](int at) -> uint32_t {
        return at < length ? static_cast<uint8_t>(text[at]) : 0u;
    };
    const uint32_t lead = byte(index);
    int extra = 0;
    uint32_t code = lead;
    if (lead >= 0xF0) {
        extra = 3;
        code = lead & 7;
    } else if (lead >= 0xE0) {
        extra = 2;
        code = lead & 0x0F;
    } else if (lead >= 0xC0) {
        extra = 1;
        code = lead & 0x1F;
    }
    for (int i = 1; i <= extra; ++i)
        code = code << 6 | (byte(index + i) & 0x3F);
    const int last = index + extra;
    index = last < length ? last : length - 1;
    return code;
}
