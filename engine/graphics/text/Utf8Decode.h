#pragma once

// Reads the character that starts at text[index] (length bytes in all). A lead byte of
// 0xF0 and above starts a 4-byte sequence, 0xE0 and above a 3-byte one, 0xC0 and above a
// 2-byte one; any other byte (a stray continuation byte too) is the code itself.
// Continuation bytes are taken as they are. index is left on the sequence's last byte; a
// sequence cut short by the end of the text ends at the last byte there is, the missing
// bytes counting as 0.
#include <cstdint>

uint32_t DecodeUtf8(const char* text, int length, int& index);
