#pragma once

// The precompiled chunk format shared by the dumper (LChunkDumper) and the loader
// (LChunkLoader). A chunk is a 22-byte header followed by the record of the main
// function; every multi-byte item is in the writer's byte order, which the header
// names. int and size fields are 4 bytes wide on every platform.
//
// Header: ESC 'L' 'u' 'a', version 0x50, byte order (1 little-endian, 0 big-endian),
// the sizes of int, size and instruction (4, 4, 4), the widths of the opcode, A, B and
// C fields (6, 8, 9, 9), the size of a number (8) and the test number
// 31415926.535897933.
//
// Function record: source (absent when it equals the parent's), line defined, the
// bytes nups / params / vararg / max stack, line info, locals {name, first pc, last
// pc}, upvalue names, constants {type byte: 0 nil, 3 number, 4 string, 9 wstring;
// value}, nested function records, code. A string is a size n counting a terminating
// zero byte (0 for an absent string) and n bytes; a wide string counts 16-bit
// characters the same way.

#include <cstdint>

class LChunkFormat
{
public:
    static constexpr char kSignature[4] = {27, 'L', 'u', 'a'};
    static constexpr uint8_t kVersion = 0x50;
    static constexpr int kIntSize = 4;
    static constexpr int kSizeSize = 4;
    static constexpr int kInstructionSize = 4;
    static constexpr int kOpcodeBits = 6;
    static constexpr int kABits = 8;
    static constexpr int kBBits = 9;
    static constexpr int kCBits = 9;
    static constexpr int kNumberSize = 8;
    static constexpr double kTestNumber = 31415926.535897933;
    static constexpr int kHeaderSize = 22;

    static constexpr uint8_t kConstantNil = 0;
    static constexpr uint8_t kConstantNumber = 3;
    static constexpr uint8_t kConstantString = 4;
    static constexpr uint8_t kConstantWString = 9;

    // Nested function records deeper than this are refused; the compiler never nests
    // functions this deep.
    static constexpr int kMaxNesting = 200;
};

// 1 on a little-endian machine, 0 on a big-endian one.
int luaU_endianness();
