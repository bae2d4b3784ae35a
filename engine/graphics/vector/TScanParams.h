#pragma once

// How an outline is turned into quarter pixels: every parameter that changes the shape
// of the result (and so part of the span cache's key).
struct TScanParams
{
    float xScale = 1.0f; // font units to quarter pixels
    float yScale = 1.0f;
    float cosine = 1.0f; // rotation
    float sine = 0.0f;
    float outlineWidth = 0.0f; // pixels; 0 turns both strokes off
    float boldWidth = 0.0f;    // pixels
    bool italic = false;       // x -= y / 3 before scaling
};
