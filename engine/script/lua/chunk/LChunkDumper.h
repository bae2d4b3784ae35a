#pragma once

#include <cstddef>
#include <cstdint>

struct LProto;
struct LString;
struct lua_State;

// Receives one piece of a dumped chunk; a non-zero result stops the dump. (The same
// type as the script API's.)
using lua_Chunkwriter = int (*)(lua_State* L, const void* p, std::size_t size, void* ud);

// Writes a function prototype as a precompiled chunk in the machine's byte order (see
// LChunkFormat.h), one writer call per item. A writer result other than 0 stops the
// dump; that result is returned, else 0. Nothing here raises or allocates inside the
// interpreter.
class LChunkDumper
{
public:
    LChunkDumper(lua_State* L, lua_Chunkwriter writer, void* data);

    int Dump(const LProto* proto);

private:
    void WriteHeader();
    void WriteFunction(const LProto* f, const LString* parentSource);
    void WriteConstants(const LProto* f);
    void WriteBlock(const void* bytes, size_t size);
    void WriteByte(uint8_t value);
    void WriteInt(int32_t value);
    void WriteSize(uint32_t value);
    void WriteNumber(double value);
    void WriteUnsigned(uint64_t value, int byteCount);
    void WriteString(const LString* s);
    void WriteWideString(const LString* s);

    lua_State* mL;
    lua_Chunkwriter mWriter;
    void* mData;
    int mStatus = 0;
};

int luaU_dump(lua_State* L, const LProto* proto, lua_Chunkwriter writer, void* data);
