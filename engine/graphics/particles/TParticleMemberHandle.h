#pragma once

// What a script's member handle names: an attribute of the particle record (its float
// offset and dimension 1 to 4), or with offset -k the custom node k (its dimension as
// the node reports it). Scripts hold handles as boxed pointers whose 32-bit value has
// the offset in the low 16 bits (signed) and the dimension in the high 16 bits.

#include <cstdint>

struct TParticleMemberHandle
{
    int offset = 0;
    int dimension = 0;

    // The boxed value; offset must fit 16 bits signed and dimension 16 bits unsigned.
    uintptr_t Pack() const
    {
        return static_cast<uintptr_t>(static_cast<uint32_t>(dimension) << 16 |
                                      static_cast<uint16_t>(offset));
    }
    static TParticleMemberHandle Unpack(uintptr_t value)
    {
        return {static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFFu)),
                static_cast<int>((value >> 16) & 0xFFFFu)};
    }
};
