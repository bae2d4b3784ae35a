#include "tools/anmconvert/writer/AnmWriter.h"

#include "engine/foundation/core/LittleEndian.h"
#include "engine/graphics/anim/TAnimationData.h"

#include <cstring>

namespace {

void AppendTag(std::string& out, const char* tag)
{
    out.append(tag, 4);
}

void AppendInt(std::string& out, int value)
{
    AppendLE32(out, static_cast<uint32_t>(value));
}

void AppendFloat(std::string& out, float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    AppendLE32(out, bits);
}

void AppendString(std::string& out, const TString& text)
{
    AppendLE32(out, static_cast<uint32_t>(text.Length()));
    out.append(text.CStr(), static_cast<size_t>(text.Length()));
}

void AppendFrame(std::string& out, const TAnimationFrame& frame, uint32_t version)
{
    for (int value : {frame.regX, frame.regY, frame.x, frame.y, frame.w, frame.h})
        AppendInt(out, value);
    if (version > 1)
        AppendFloat(out, frame.alpha);
    for (float value : frame.transform)
        AppendFloat(out, value);
    AppendString(out, frame.name);
    AppendLE32(out, static_cast<uint32_t>(frame.anchors.size()));
    for (const TAnimationAnchor& anchor : frame.anchors) {
        AppendInt(out, anchor.x);
        AppendInt(out, anchor.y);
        AppendString(out, anchor.name);
    }
}

} // namespace

std::string MakeAnmBytes(const TAnimationData& data, uint32_t version)
{
    std::string out;
    AppendTag(out, "ANIM");
    AppendLE32(out, 0u);
    AppendLE32(out, version);
    AppendString(out, data.sequenceName);
    AppendString(out, data.sequenceSource);

    AppendTag(out, "IMGN");
    for (int value : {data.imageRegX, data.imageRegY, data.imageWidth, data.imageHeight})
        AppendInt(out, value);
    if (version == 1) {
        for (int i = 0; i < 4; ++i)
            AppendFloat(out, 0.0f);
    }
    AppendString(out, data.imageName);
    AppendString(out, data.maskName);

    AppendTag(out, "FRMS");
    AppendLE32(out, static_cast<uint32_t>(data.frames.size()));
    for (const TAnimationFrame& frame : data.frames)
        AppendFrame(out, frame, version);

    AppendTag(out, "SCRP");
    AppendString(out, data.script);
    return out;
}
