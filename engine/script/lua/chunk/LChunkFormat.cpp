#include "engine/script/lua/chunk/LChunkFormat.h"

#include <bit>

int luaU_endianness()
{
    return std::endian::native == std::endian::little ? 1 : 0;
}
