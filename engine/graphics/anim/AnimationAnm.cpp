#include "engine/graphics/anim/AnimationAnm.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/LittleEndian.h"
#include "engine/foundation/files/TFile.h"
#include "engine/graphics/anim/AnimationLogLines.h"
#include "engine/graphics/anim/TAnimationData.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// The smallest frame record: six u32, six f32, an empty name and no anchors (plus the
// alpha from version 2 on).
constexpr size_t kMinFrameBytes = 6 * 4 + 6 * 4 + 4 + 4;
// The smallest anchor record: two u32 and an empty name.
constexpr size_t kMinAnchorBytes = 4 + 4 + 4;

// Reads the file's bytes front to back. The first failing read records why and makes
// every later read fail too.
class TAnmCursor
{
public:
    TAnmCursor(const uint8_t* bytes, size_t size) : mAt(bytes), mEnd(bytes + size) {}

    size_t Left() const { return static_cast<size_t>(mEnd - mAt); }
    const char* GetFailure() const { return mFailure; }
    bool Fail(const char* why)
    {
        if (mFailure == nullptr)
            mFailure = why;
        return false;
    }

    // False when the next four bytes are not tag (they are consumed when they are).
    bool Tag(const char* tag)
    {
        if (!Take(4))
            return false;
        return std::memcmp(mAt - 4, tag, 4) == 0;
    }
    bool U32(uint32_t& value)
    {
        if (!Take(4))
            return false;
        value = ReadLE32(mAt - 4);
        return true;
    }
    bool Int(int& value)
    {
        uint32_t raw = 0;
        if (!U32(raw))
            return false;
        value = static_cast<int>(raw);
        return true;
    }
    bool F32(float& value)
    {
        uint32_t raw = 0;
        if (!U32(raw))
            return false;
        std::memcpy(&value, &raw, sizeof value);
        return std::isfinite(value) || Fail("a number is not finite");
    }
    bool String(TString& value)
    {
        uint32_t length = 0;
        if (!U32(length))
            return false;
        if (length > Left() || length > static_cast<uint32_t>(INT32_MAX))
            return Fail("a string is longer than the rest of the file");
        value = TString(reinterpret_cast<const char*>(mAt), static_cast<int>(length));
        mAt += length;
        return true;
    }
    // A count of records of at least recordBytes each that must fit in the bytes left.
    bool Count(size_t recordBytes, uint32_t& count)
    {
        if (!U32(count))
            return false;
        return count <= Left() / recordBytes || Fail("a count is larger than the file can hold");
    }
    bool Skip(size_t bytes) { return Take(bytes); }

private:
    bool Take(size_t bytes)
    {
        if (mFailure != nullptr)
            return false;
        if (bytes > Left())
            return Fail("the file is cut short");
        mAt += bytes;
        return true;
    }

    const uint8_t* mAt;
    const uint8_t* mEnd;
    const char* mFailure = nullptr;
};

bool ReadHeader(TAnmCursor& in, uint32_t& version, TAnimationData& data)
{
    uint32_t unused = 0;
    if (!in.Tag("ANIM"))
        return in.Fail("no \"ANIM\" tag");
    return in.U32(unused) && in.U32(version) && in.String(data.sequenceName) &&
           in.String(data.sequenceSource);
}

bool ReadImage(TAnmCursor& in, uint32_t version, TAnimationData& data)
{
    if (!in.Tag("IMGN"))
        return in.Fail("no \"IMGN\" tag");
    if (!in.Int(data.imageRegX) || !in.Int(data.imageRegY) || !in.Int(data.imageWidth) ||
        !in.Int(data.imageHeight))
        return false;
    if (version == 1 && !in.Skip(4 * 4))
        return false;
    return in.String(data.imageName) && in.String(data.maskName);
}

bool ReadAnchors(TAnmCursor& in, TAnimationFrame& frame)
{
    uint32_t count = 0;
    if (!in.Count(kMinAnchorBytes, count))
        return false;
    frame.anchors.resize(count);
    for (TAnimationAnchor& anchor : frame.anchors) {
        if (!in.Int(anchor.x) || !in.Int(anchor.y) || !in.String(anchor.name))
            return false;
    }
    return true;
}

bool ReadFrame(TAnmCursor& in, uint32_t version, TAnimationFrame& frame)
{
    if (!in.Int(frame.regX) || !in.Int(frame.regY) || !in.Int(frame.x) || !in.Int(frame.y) ||
        !in.Int(frame.w) || !in.Int(frame.h))
        return false;
    if (version > 1 && !in.F32(frame.alpha))
        return false;
    for (float& value : frame.transform) {
        if (!in.F32(value))
            return false;
    }
    return in.String(frame.name) && ReadAnchors(in, frame);
}

bool ReadFrames(TAnmCursor& in, uint32_t version, TAnimationData& data)
{
    if (!in.Tag("FRMS"))
        return in.Fail("no \"FRMS\" tag");
    uint32_t count = 0;
    if (!in.Count(kMinFrameBytes + (version > 1 ? 4 : 0), count))
        return false;
    data.frames.resize(count);
    for (TAnimationFrame& frame : data.frames) {
        if (!ReadFrame(in, version, frame))
            return false;
        data.NoteFrameSize(frame);
    }
    return true;
}

// The script chunk when one follows; the default script otherwise.
bool ReadScript(TAnmCursor& in, TAnimationData& data)
{
    if (in.Left() >= 4 && in.Tag("SCRP"))
        return in.String(data.script);
    data.script = TAnimationData::MakeDefaultScript(data.GetFrameCount());
    return true;
}

} // namespace

bool ParseAnimationAnm(const uint8_t* bytes, size_t size, const TString& path, TAnimationData& data)
{
    TAnmCursor in(bytes, size);
    uint32_t version = 0;
    if (ReadHeader(in, version, data) && ReadImage(in, version, data) &&
        ReadFrames(in, version, data) && ReadScript(in, data) &&
        (data.AreFramesInRange() || in.Fail(kAnimationOutOfRange)))
        return true;
    data.frames.clear();
    TraceLog(kAnimationRefusedLog, path.CStr(), in.GetFailure());
    return false;
}

bool LoadAnimationAnm(const TString& path, TAnimationData& data)
{
    TFile* file = FileOpen(path, kFileReadBinary);
    if (file == nullptr) {
        TraceLog(kAnimationCannotOpenLog, path.CStr());
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t block[4096];
    while (size_t got = FileRead(block, 1, sizeof block, file))
        bytes.insert(bytes.end(), block, block + got);
    FileClose(file);
    return ParseAnimationAnm(bytes.data(), bytes.size(), path, data);
}
