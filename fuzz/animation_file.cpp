// The animation file readers over arbitrary files: each input is read as a ".anm" file
// (LoadAnimationAnm) and as an XML file (LoadAnimationXml) through the engine's own
// file functions from a memory file. What a reader accepts must keep its frames within
// range; an accepted ".anm" animation, written again and read back, must come out the
// same. Seeds: fuzz/corpus/animation_file/ (XML by hand, ".anm" made by anmconvert in
// tools/make-fuzz-seeds).
#include "engine/foundation/files/TMemoryFile.h"
#include "engine/graphics/anim/AnimationAnm.h"
#include "engine/graphics/anim/AnimationXml.h"
#include "engine/graphics/anim/TAnimationData.h"
#include "tools/anmconvert/writer/AnmWriter.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void CheckFrames(const TAnimationData& data)
{
    if (!data.AreFramesInRange())
        std::abort();
    for (const TAnimationFrame& frame : data.frames)
        if (frame.w > data.maxFrameWidth || frame.h > data.maxFrameHeight)
            std::abort();
}

bool SameFrame(const TAnimationFrame& a, const TAnimationFrame& b)
{
    if (!(a.name == b.name) || a.x != b.x || a.y != b.y || a.w != b.w || a.h != b.h ||
        a.regX != b.regX || a.regY != b.regY || a.alpha != b.alpha ||
        a.anchors.size() != b.anchors.size())
        return false;
    for (int i = 0; i < 6; ++i)
        if (a.transform[i] != b.transform[i])
            return false;
    for (size_t i = 0; i < a.anchors.size(); ++i)
        if (!(a.anchors[i].name == b.anchors[i].name) || a.anchors[i].x != b.anchors[i].x ||
            a.anchors[i].y != b.anchors[i].y)
            return false;
    return true;
}

void CheckRoundTrip(const TAnimationData& data)
{
    const std::string bytes = MakeAnmBytes(data);
    TAnimationData again;
    if (!ParseAnimationAnm(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                           "again.anm", again) ||
        again.frames.size() != data.frames.size() || !(again.script == data.script) ||
        !(again.imageName == data.imageName) || !(again.maskName == data.maskName))
        std::abort();
    for (size_t i = 0; i < data.frames.size(); ++i)
        if (!SameFrame(data.frames[i], again.frames[i]))
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RegisterMemoryFile("fuzz.anm", data, size);
    TAnimationData anm;
    if (LoadAnimationAnm("fuzz.anm", anm)) {
        CheckFrames(anm);
        CheckRoundTrip(anm);
    }
    RegisterMemoryFile("fuzz.anm", nullptr, 0);

    RegisterMemoryFile("fuzz.xml", data, size);
    TAnimationData xml;
    if (LoadAnimationXml("fuzz.xml", xml)) {
        CheckFrames(xml);
        if (xml.frames.empty())
            std::abort();
    }
    RegisterMemoryFile("fuzz.xml", nullptr, 0);
    return 0;
}
