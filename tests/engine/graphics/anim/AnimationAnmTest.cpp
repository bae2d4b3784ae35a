#include "engine/graphics/anim/AnimationAnm.h"

#include "engine/foundation/core/LittleEndian.h"
#include "engine/graphics/anim/AnimationLogLines.h"
#include "engine/graphics/anim/TAnimatedTexture.h"
#include "engine/graphics/anim/TAnimationData.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/LogLine.h"
#include "tests/engine/graphics/anim/AnimationTestSupport.h"
#include "tools/anmconvert/writer/AnmWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

namespace {

// Two frames, the first with two anchors, and a script.
TAnimationData SampleAnimation()
{
    TAnimationData data;
    data.sequenceName = "sample";
    data.sequenceSource = "tests";
    data.imageName = "sheet.png";
    data.maskName = "mask.png";
    data.frames.resize(2);
    data.frames[0].w = 16;
    data.frames[0].h = 8;
    data.frames[0].name = "a";
    data.frames[0].alpha = 0.5f;
    data.frames[0].anchors = {{"hand", 1, 2}, {"foot", 3, 4}};
    data.frames[1].x = 16;
    data.frames[1].w = 16;
    data.frames[1].h = 8;
    data.frames[1].transform[0] = 1;
    data.frames[1].transform[3] = 1;
    data.script = "function DoAnim() frames{1,2} end";
    return data;
}

bool Parse(const std::string& bytes, TAnimationData& data)
{
    return ParseAnimationAnm(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                             "test.anm", data);
}

void PutLE32(std::string& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + size_t(i)] = char((value >> (8 * i)) & 0xff);
}

void PutFloat(std::string& bytes, size_t at, float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    PutLE32(bytes, at, bits);
}

// Byte offsets in the version 2 file of SampleAnimation.
constexpr size_t kVersionAt = 8;
constexpr size_t kNameLengthAt = 12;
constexpr size_t kImageTagAt = 12 + 4 + 6 + 4 + 5;                   // after "sample", "tests"
constexpr size_t kFrameTagAt = kImageTagAt + 4 + 16 + 4 + 9 + 4 + 8; // after the image names
constexpr size_t kFrameCountAt = kFrameTagAt + 4;
constexpr size_t kFirstFrameAt = kFrameCountAt + 4;
constexpr size_t kFirstAlphaAt = kFirstFrameAt + 24;
constexpr size_t kFirstTransformAt = kFirstAlphaAt + 4;
constexpr size_t kAnchorCountAt = kFirstTransformAt + 24 + 4 + 1; // after the name "a"
constexpr size_t kFirstAnchorAt = kAnchorCountAt + 4;

using AnimationAnmTest = EngineStateTest;

TEST_F(AnimationAnmTest, ReadsWhatTheWriterWrote)
{
    const std::string bytes = MakeAnmBytes(SampleAnimation());
    ASSERT_EQ(bytes.substr(kFrameTagAt, 4), "FRMS");
    ASSERT_EQ(bytes.substr(kFirstAnchorAt + 8 + 4, 4), "hand");
    TAnimationData data;
    ASSERT_TRUE(Parse(bytes, data));
    EXPECT_EQ(data.maskName, TString("mask.png"));
    ASSERT_EQ(data.GetFrameCount(), 2);
    EXPECT_EQ(data.frames[0].alpha, 0.5f);
    ASSERT_EQ(data.frames[0].anchors.size(), 2u);
    EXPECT_EQ(data.frames[0].anchors[1].name, TString("foot"));
    EXPECT_EQ(data.frames[0].anchors[1].y, 4);
    EXPECT_FALSE(data.frames[0].HasTransform());
    EXPECT_TRUE(data.frames[1].HasTransform());
    EXPECT_EQ(data.maxFrameWidth, 16);
    EXPECT_EQ(data.script, TString("function DoAnim() frames{1,2} end"));

    // Version 1 files have no alphas: every frame reads 1.
    TAnimationData old;
    ASSERT_TRUE(Parse(MakeAnmBytes(SampleAnimation(), 1), old));
    EXPECT_EQ(old.frames[0].alpha, 1.0f);
    EXPECT_EQ(old.frames[0].anchors[0].name, TString("hand"));
}

TEST_F(AnimationAnmTest, EveryCutIsRefusedExceptJustBeforeTheScript)
{
    const std::string bytes = MakeAnmBytes(SampleAnimation());
    const size_t scriptTag = bytes.rfind("SCRP");
    ASSERT_NE(scriptTag, std::string::npos);
    for (size_t length = 0; length < bytes.size(); ++length) {
        SCOPED_TRACE(length);
        TAnimationData data;
        const bool loaded = Parse(bytes.substr(0, length), data);
        // Cut before the script's tag is complete, the file simply has no script.
        const bool scriptless = length >= scriptTag && length < scriptTag + 4;
        EXPECT_EQ(loaded, scriptless);
        if (loaded)
            EXPECT_EQ(data.script, TAnimationData::MakeDefaultScript(2));
        else
            EXPECT_EQ(data.GetFrameCount(), 0);
    }
}

TEST_F(AnimationAnmTest, DamagedFilesAreRefusedWithTheirCause)
{
    struct TCase
    {
        const char* name;
        size_t at;
        uint32_t value; // written as a u32 at offset at
        const char* cause;
    } cases[] = {
        {"wrong first tag", 0, 0x4d494e41 + 1, "no \"ANIM\" tag"},
        {"wrong image tag", kImageTagAt, 0, "no \"IMGN\" tag"},
        {"wrong frame tag", kFrameTagAt, 0, "no \"FRMS\" tag"},
        {"string past the end", kNameLengthAt, 0xffffffffu,
         "a string is longer than the rest of the file"},
        {"frame count past the end", kFrameCountAt, 0x7fffffffu,
         "a count is larger than the file can hold"},
        {"frame count one too many", kFrameCountAt, 3, "the file is cut short"},
        {"anchor count past the end", kAnchorCountAt, 1000000u,
         "a count is larger than the file can hold"},
        {"frame coordinate out of range", kFirstFrameAt + 8, 0x7fffffffu,
         "a frame coordinate is out of range"},
        {"negative width out of range", kFirstFrameAt + 16, 0x80000000u,
         "a frame coordinate is out of range"},
        {"anchor out of range", kFirstAnchorAt, 0x01000001u, "a frame coordinate is out of range"},
        {"alpha not a number", kFirstAlphaAt, 0x7fc00000u, "a number is not finite"},
        {"transform infinite", kFirstTransformAt + 4, 0x7f800000u, "a number is not finite"},
    };
    TImageFolder folder; // for the log
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bytes = MakeAnmBytes(SampleAnimation());
        PutLE32(bytes, c.at, c.value);
        TAnimationData data;
        const std::string line = LogLine(kAnimationRefusedLog, "test.anm", c.cause);
        const int before = folder.CountLogLines(line);
        EXPECT_FALSE(Parse(bytes, data));
        EXPECT_EQ(data.GetFrameCount(), 0);
        EXPECT_EQ(folder.CountLogLines(line), before + 1);
    }
    // Version 1 files skip four floats whatever they hold.
    std::string old = MakeAnmBytes(SampleAnimation(), 1);
    PutFloat(old, kImageTagAt + 4 + 16, std::numeric_limits<float>::quiet_NaN());
    TAnimationData data;
    EXPECT_TRUE(Parse(old, data));
    PutLE32(old, kVersionAt, 2); // now the skipped floats are read as names
    EXPECT_FALSE(Parse(old, data));
}

TEST_F(AnimationAnmTest, ADamagedFileGivesNoTexture)
{
    TImageFolder folder;
    PutSheet(folder, "fx/sheet.png", 32, 8);
    TAnimationData sample = SampleAnimation();
    sample.maskName = "";
    std::string bytes = MakeAnmBytes(sample);
    folder.Put("fx/good.anm", bytes);
    EXPECT_NE(TAnimatedTexture::Get("user:fx/good"), nullptr);
    PutLE32(bytes, bytes.find("FRMS") + 4, 0x40000000u);
    folder.Put("fx/bad.anm", bytes);
    EXPECT_EQ(TAnimatedTexture::Get("user:fx/bad"), nullptr);
    EXPECT_EQ(folder.CountLogLines(LogLine(kAnimationRefusedLog, "user:fx/bad.anm",
                                           "a count is larger than the file can hold")),
              1);
}

} // namespace
