#pragma once
// Fixed limits of the script interpreter (its status codes are in the public header).
// Everything here is shared by the compiler half (lexer, parser, code generator) and the
// run-time half (virtual machine, calls, collector, API).

#include "engine/script/lua/LuaApi.h"

#include <cstddef>
#include <cstdint>

// Value stack and call frames.
constexpr int kBasicStackSize = 40;   // initial slots, plus the spare ones
constexpr int kExtraStack = 5;        // spare slots above the last usable one
constexpr int kMinStackForC = 20;     // slots guaranteed to a C function
constexpr int kBasicCallInfoSize = 8; // initial call frames
constexpr int kMaxCalls = 4096;       // call frames before "stack overflow"
constexpr int kMaxCCalls = 200;       // nested C calls before "C stack overflow"

// Text.
constexpr int kChunkIdSize = 60;        // chunk name in run-time messages, with terminator
constexpr int kLexerChunkIdSize = 80;   // chunk name in syntax errors, with terminator
constexpr int kMinStringTableSize = 32; // buckets of the string table at open
constexpr std::size_t kMinBufferSize = 32;

// Compiled functions.
constexpr int kMaxStack = 250;          // registers per function; RK operands >= this are constants
constexpr int kMaxVars = 200;           // active locals per function
constexpr int kMaxUpvalues = 32;        // upvalues per function
constexpr int kMaxParams = 100;         // parameters per function
constexpr int kMaxParseLevel = 200;     // nested syntax levels
constexpr int kMaxWhileCondition = 100; // instructions of a copied `while' condition
constexpr int kMaxLoopCount = 100;      // largest n of `break n' / `continue n'
constexpr int kFieldsPerFlush = 32;     // list items stored per SETLIST
constexpr int kMaxLines = 2147483645;   // "lines in a chunk"
constexpr int kMaxIntVector = 2147483645; // code, line and similar vectors

// Tables.
constexpr int kMaxArrayBits = 24; // array part and hash part hold at most 2^24 entries
constexpr uint32_t kMaxArraySize = 1u << kMaxArrayBits;

// Allocation: requests of this many bytes or more are refused with "block too big".
constexpr std::size_t kMaxBlockSize = 4294967293u;
