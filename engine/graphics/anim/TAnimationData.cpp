#include "engine/graphics/anim/TAnimationData.h"

#include <algorithm>

void TAnimationData::NoteFrameSize(const TAnimationFrame& frame)
{
    maxFrameWidth = std::max(maxFrameWidth, frame.w);
    maxFrameHeight = std::max(maxFrameHeight, frame.h);
}

namespace {

bool InRange(int value)
{
    return value >= -TAnimationData::kMaxCoordinate && value <= TAnimationData::kMaxCoordinate;
}

} // namespace

bool TAnimationData::AreFramesInRange() const
{
    for (const TAnimationFrame& frame : frames) {
        for (int value : {frame.x, frame.y, frame.w, frame.h, frame.regX, frame.regY})
            if (!InRange(value))
                return false;
        for (const TAnimationAnchor& anchor : frame.anchors)
            if (!InRange(anchor.x) || !InRange(anchor.y))
                return false;
    }
    return true;
}

TString TAnimationData::MakeDefaultScript(int frameCount)
{
    TString text = "function DoAnim()\n    delay(60);\n";
    if (frameCount > 0) {
        text += "    frames{";
        for (int frame = 1; frame <= frameCount; ++frame)
            text += TString::Printf(frame == 1 ? "%d" : ",%d", frame);
        text += "};\n";
    }
    return text + "end\n";
}
