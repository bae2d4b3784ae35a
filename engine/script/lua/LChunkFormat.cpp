#include "engine/script/lua/LChunkFormat.h"

#include <bit>

int luaU_endianness()
{
    return std::endian::native == std::endian::little ? 1 : 0;
}
