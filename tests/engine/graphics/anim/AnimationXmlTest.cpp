#include "engine/graphics/anim/AnimationXml.h"

#include "engine/graphics/anim/AnimationLogLines.h"
#include "engine/graphics/anim/TAnimationData.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/LogLine.h"
#include "tests/engine/graphics/ImageFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using AnimationXmlTest = EngineStateTest;

TEST_F(AnimationXmlTest, FilesMissingAPartAreRefusedWithTheirMessage)
{
    const std::string frames = "<framelist><frame w=\"4\" h=\"4\"/></framelist>";
    struct TCase
    {
        const char* name;
        std::string text;
        const char* message; // of the path
        int frames;          // read all the same
    } cases[] = {
        {"no sequence", "<sequenze/>", kAnimationXmlNoSequenceLog, 0},
        {"no img", "<sequence>" + frames + "</sequence>", kAnimationXmlNoImageLog, 1},
        {"no framelist", "<sequence><img/></sequence>", kAnimationXmlNoFrameListLog, 0},
        {"no frame", "<sequence><img/><framelist><fram/></framelist></sequence>",
         kAnimationXmlNoFramesLog, 0},
    };
    TImageFolder folder;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        folder.Put(std::string(c.name) + ".xml", c.text);
        TAnimationData data;
        const std::string path = "user:" + std::string(c.name) + ".xml";
        EXPECT_FALSE(LoadAnimationXml(path.c_str(), data));
        EXPECT_EQ(data.GetFrameCount(), c.frames);
        EXPECT_EQ(folder.CountLogLines(TString::Printf(c.message, path.c_str()).CStr()), 1);
    }
    TAnimationData data;
    EXPECT_FALSE(LoadAnimationXml("user:absent.xml", data));
    EXPECT_EQ(folder.CountLogLines(LogLine(kAnimationCannotOpenLog, "user:absent.xml")), 1);

    folder.Put("far.xml",
               "<sequence><img/><framelist><frame x=\"99999999\"/></framelist></sequence>");
    EXPECT_FALSE(LoadAnimationXml("user:far.xml", data));
    EXPECT_EQ(
        folder.CountLogLines(LogLine(kAnimationRefusedLog, "user:far.xml", kAnimationOutOfRange)),
        1);
}

} // namespace
