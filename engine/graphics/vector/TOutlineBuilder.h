#pragma once

// Writes outlines in the TOutlineCommand encoding. Coordinates are the encoded values
// (1/128 of a font unit), cut to the signed 16-bit range.

#include "engine/graphics/vector/TOutlineCommand.h"

#include <cstdint>
#include <vector>

class TOutlineBuilder
{
public:
    TOutlineBuilder& NewLayer();
    TOutlineBuilder& FillSlot(uint8_t slot);
    TOutlineBuilder& StrokeSlot(uint8_t slot);
    TOutlineBuilder& MoveTo(int x, int y);
    TOutlineBuilder& LineTo(int x, int y);
    TOutlineBuilder& QuadTo(int controlX, int controlY, int x, int y);
    TOutlineBuilder& DefineColor(uint8_t red, uint8_t green, uint8_t blue);
    TOutlineBuilder& End();
    // A closed rectangle from (left, top) to (right, bottom).
    TOutlineBuilder& Rectangle(int left, int top, int right, int bottom);

    const std::vector<uint8_t>& Bytes() const { return mBytes; }
    std::vector<uint8_t> Take() { return std::move(mBytes); }

private:
    void Command(TOutlineCommand command);
    void Value(int value);

    std::vector<uint8_t> mBytes;
};
