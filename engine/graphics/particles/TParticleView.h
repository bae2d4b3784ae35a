#pragma once

// One particle as the nodes of a stream see it during a pass, with the bounds checks of
// every node that reads or writes the record at offsets that come from the script.

#include <cstdint>

struct TParticleView
{
    float* floats = nullptr; // the particle's record
    int floatCount = 0;      // floats per particle
    // By float offset (floatCount entries): the dimension of the attribute that starts
    // there, 0 inside an attribute.
    const uint8_t* attributeAt = nullptr;
    uint32_t elapsedMs = 0; // of the pass; 0 while spawning
    bool alive = true;      // cleared by fExpire: the particle is freed after the pass

    // The n floats from trunc(offset) on; null unless they lie inside the record.
    float* Range(float offset, int n) const;
    // Component trunc(component) (1-based) of the attribute starting at trunc(offset);
    // null unless an attribute starts there and has that component.
    float* Component(float offset, float component) const;
};

// trunc(value) in out; false for NaN and values outside the int range.
bool TruncateToInt(float value, int& out);
