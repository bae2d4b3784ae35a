#pragma once

// Integer helpers of the rasteriser and the sampler, for their fixed-point coordinates.

#include <cstdint>

// floor(numerator / denominator) for denominator > 0.
static inline int64_t FloorDiv(int64_t numerator, int64_t denominator)
{
    int64_t quotient = numerator / denominator;
    if (numerator % denominator != 0 && numerator < 0)
        --quotient;
    return quotient;
}

// ceil(numerator / denominator) for denominator > 0.
static inline int64_t CeilDiv(int64_t numerator, int64_t denominator)
{
    return -FloorDiv(-numerator, denominator);
}

// value rounded to the nearest integer, halves away from zero (|value| < 2^62).
static inline int64_t RoundToInteger(double value)
{
    return static_cast<int64_t>(value + (value < 0.0 ? -0.5 : 0.5));
}
