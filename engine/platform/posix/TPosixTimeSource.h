#pragma once

#include "engine/platform/TTimeSource.h"

// CLOCK_MONOTONIC in milliseconds, cut to 32 bits.
class TPosixTimeSource final : public TTimeSource
{
public:
    uint32_t GetMilliseconds() override;
};
