#include "engine/graphics/vector/TOutlineBuilder.h"

#include "engine/foundation/core/LittleEndian.h"

#include <algorithm>

void TOutlineBuilder::Command(TOutlineCommand command)
{
    mBytes.push_back(static_cast<uint8_t>(command));
}

void TOutlineBuilder::Value(int value)
{
    AppendLE16(mBytes,
               static_cast<uint16_t>(static_cast<int16_t>(std::clamp(value, -32768, 32767))));
}

TOutlineBuilder& TOutlineBuilder::NewLayer()
{
    Command(TOutlineCommand::NewLayer);
    return *this;
}

TOutlineBuilder& TOutlineBuilder::FillSlot(uint8_t slot)
{
    Command(TOutlineCommand::FillSlot);
    mBytes.push_back(slot);
    return *this;
}

TOutlineBuilder& TOutlineBuilder::StrokeSlot(uint8_t slot)
{
    Command(TOutlineCommand::StrokeSlot);
    mBytes.push_back(slot);
    return *this;
}

TOutlineBuilder& TOutlineBuilder::MoveTo(int x, int y)
{
    Command(TOutlineCommand::MoveTo);
    Value(x);
    Value(y);
    return *this;
}

TOutlineBuilder& TOutlineBuilder::LineTo(int x, int y)
{
    Command(TOutlineCommand::LineTo);
    Value(x);
    Value(y);
    return *this;
}

TOutlineBuilder& TOutlineBuilder::QuadTo(int controlX, int controlY, int x, int y)
{
    Command(TOutlineCommand::QuadTo);
    Value(controlX);
    Value(controlY);
    Value(x);
    Value(y);
    return *this;
}

TOutlineBuilder& TOutlineBuilder::DefineColor(uint8_t red, uint8_t green, uint8_t blue)
{
    Command(TOutlineCommand::DefineColor);
    mBytes.insert(mBytes.end(), {red, green, blue});
    return *this;
}

TOutlineBuilder& TOutlineBuilder::End()
{
    Command(TOutlineCommand::End);
    return *this;
}

TOutlineBuilder& TOutlineBuilder::Rectangle(int left, int top, int right, int bottom)
{
    return MoveTo(left, top)
        .LineTo(right, top)
        .LineTo(right, bottom)
        .LineTo(left, bottom)
        .LineTo(left, top);
}
