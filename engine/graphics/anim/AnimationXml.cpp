#include "engine/graphics/anim/AnimationXml.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/xml/TXmlNode.h"
#include "engine/graphics/anim/AnimationLogLines.h"
#include "engine/graphics/anim/TAnimationData.h"

#include <algorithm>
#include <cstdlib>

namespace {

int IntAttribute(const TXmlNode& node, const char* name)
{
    return node.GetAttribute(name).ToInt();
}

// Up to six numbers separated by blanks, from the first; stops at the first text that
// is not a number, leaving the remaining values as they are.
void ReadTransform(const TString& text, float* values)
{
    const char* at = text.CStr();
    for (int i = 0; i < 6; ++i) {
        char* end = nullptr;
        const float value = std::strtof(at, &end);
        if (end == at)
            return;
        values[i] = value;
        at = end;
    }
}

int CountChildren(TXmlNode& node, const TString& name)
{
    int count = 0;
    TString childName;
    TXmlNode* child = nullptr;
    node.ResetChildIterator();
    while (node.NextChild(childName, child))
        count += childName == name;
    return count;
}

void ReadImage(const TXmlNode& image, TAnimationData& data)
{
    if (image.GetAttribute("regx").Length() > 0) {
        data.imageRegX = IntAttribute(image, "regx");
        data.imageRegY = IntAttribute(image, "regy");
    }
    data.imageWidth = IntAttribute(image, "w");
    data.imageHeight = IntAttribute(image, "h");
    data.imageName = image.GetAttribute("name");
    data.maskName = image.GetAttribute("mask");
}

void ReadAnchors(TXmlNode& frameNode, TAnimationFrame& frame)
{
    TString name;
    TXmlNode* child = nullptr;
    frameNode.ResetChildIterator();
    while (frameNode.NextChild(name, child)) {
        if (name == TString("anchor"))
            frame.anchors.push_back({child->GetAttribute("name"), IntAttribute(*child, "x"),
                                     IntAttribute(*child, "y")});
    }
}

// previous: the frame read before this one, or null for the first.
TAnimationFrame ReadFrame(TXmlNode& node, const TAnimationFrame* previous)
{
    TAnimationFrame frame;
    frame.x = IntAttribute(node, "x");
    frame.y = IntAttribute(node, "y");
    frame.w = IntAttribute(node, "w");
    frame.h = IntAttribute(node, "h");
    frame.name = node.GetAttribute("name");
    const TString alpha = node.GetAttribute("alpha");
    if (alpha.Length() > 0)
        frame.alpha = static_cast<float>(std::atof(alpha.CStr()));
    if (node.GetAttribute("regx").Length() > 0) {
        frame.regX = IntAttribute(node, "regx");
        frame.regY = IntAttribute(node, "regy");
    } else if (previous != nullptr) {
        frame.regX = previous->regX;
        frame.regY = previous->regY;
    }
    const TString transform = node.GetAttribute("xform");
    if (transform.Length() > 0 || previous == nullptr)
        ReadTransform(transform, frame.transform);
    else
        std::copy(previous->transform, previous->transform + 6, frame.transform);
    ReadAnchors(node, frame);
    return frame;
}

bool ReadFrames(TXmlNode& frameList, const TString& path, TAnimationData& data)
{
    const int count = CountChildren(frameList, "frame");
    if (count == 0) {
        TraceLog(kAnimationXmlNoFramesLog, path.CStr());
        return false;
    }
    data.frames.reserve(static_cast<size_t>(count));
    TString name;
    TXmlNode* child = nullptr;
    frameList.ResetChildIterator();
    while (frameList.NextChild(name, child)) {
        if (!(name == TString("frame")))
            continue;
        const TAnimationFrame* previous = data.frames.empty() ? nullptr : &data.frames.back();
        data.frames.push_back(ReadFrame(*child, previous));
        data.NoteFrameSize(data.frames.back());
    }
    return true;
}

} // namespace

bool LoadAnimationXml(const TString& path, TAnimationData& data)
{
    TXmlNode root;
    if (!root.LoadFile(path)) {
        TraceLog(kAnimationCannotOpenLog, path.CStr());
        return false;
    }
    TXmlNode* sequence = root.FindChild("sequence");
    if (sequence == nullptr) {
        TraceLog(kAnimationXmlNoSequenceLog, path.CStr());
        return false;
    }
    data.sequenceName = sequence->GetAttribute("name");
    data.sequenceSource = sequence->GetAttribute("source");

    bool complete = true;
    if (const TXmlNode* image = sequence->FindChild("img")) {
        ReadImage(*image, data);
    } else {
        TraceLog(kAnimationXmlNoImageLog, path.CStr());
        complete = false;
    }
    TXmlNode* frameList = sequence->FindChild("framelist");
    if (frameList == nullptr) {
        TraceLog(kAnimationXmlNoFrameListLog, path.CStr());
        return false;
    }
    if (!ReadFrames(*frameList, path, data))
        return false;
    if (!data.AreFramesInRange()) {
        TraceLog(kAnimationRefusedLog, path.CStr(), kAnimationOutOfRange);
        data.frames.clear();
        return false;
    }

    if (const TXmlNode* script = sequence->FindChild("script")) {
        data.script = script->GetAttribute("luascript");
        if (data.script.Length() == 0)
            data.script = script->GetText();
    } else {
        data.script = TAnimationData::MakeDefaultScript(data.GetFrameCount());
    }
    return complete;
}
