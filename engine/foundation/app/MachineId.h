#pragma once

#include "engine/foundation/core/TString.h"

#include <cstdint>

// The machine identifier stored as the setting "computerid": 16 characters derived from
// the first network adapter's hardware address, or from random bytes when the machine has
// no usable adapter (the identifier then changes from run to run). Characters at even
// positions lie in "@".."_", those at odd positions in "B".."P".
TString GetMachineId();

// The derivation itself, from the six address bytes (exposed for tests).
TString MachineIdFromAddress(const uint8_t address[6]);
