#pragma once

// The byte encoding of vector outlines (font glyphs, the text caret and underline, any
// shape): a stream of one-byte commands, each followed by its operands. Coordinates are
// signed 16-bit little-endian values in 1/128 of a font unit, y pointing down.

#include <cstddef>
#include <cstdint>

enum class TOutlineCommand : uint8_t
{
    NewLayer = 1,    // a new fill layer; slots defined so far become the layer's slot base
    FillSlot = 2,    // u8 slot
    StrokeSlot = 3,  // u8 slot
    MoveTo = 4,      // s16 x, s16 y
    LineTo = 5,      // s16 x, s16 y
    QuadTo = 6,      // s16 control x, y, s16 end x, y
    DefineColor = 7, // u8 red, green, blue
    End = 8,
};

// The bytes a command takes with its operands; 0 for a byte that is no command.
inline size_t OutlineCommandSize(uint8_t command)
{
    static constexpr uint8_t kSizes[9] = {0, 1, 2, 2, 5, 5, 9, 4, 1};
    return command < 9 ? kSizes[command] : 0;
}

// The length of the outline at data: through its end command, or up to the last whole
// command before size bytes or a byte that is no command. Never reads beyond size.
inline size_t MeasureOutline(const uint8_t* data, size_t size)
{
    size_t at = 0;
    while (at < size) {
        const size_t step = OutlineCommandSize(data[at]);
        if (step == 0 || step > size - at)
            return at;
        at += step;
        if (data[at - step] == static_cast<uint8_t>(TOutlineCommand::End))
            return at;
    }
    return at;
}
