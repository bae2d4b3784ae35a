// anmconvert as its users meet it: the .anm file it writes reads back as the XML did, in
// both versions, and an XML file the engine would refuse is refused with the reason.

#include "engine/graphics/anim/AnimationAnm.h"
#include "engine/graphics/anim/AnimationXml.h"
#include "engine/graphics/anim/TAnimationData.h"
#include "tests/tools/ToolTest.h"

#include <string>

namespace {

using AnmconvertTest = ToolTest;

const char kXml[] = R"(<sequence name="wave" source="test">
    <img w="64" h="16" name="wave.png"/>
    <framelist>
        <frame x="0" y="0" w="16" h="16" regx="8" regy="15" alpha="0.5">
            <anchor name="hand" x="3" y="4"/>
        </frame>
        <frame x="16" y="0" w="16" h="16" xform="1 0 0 1 2 3"/>
    </framelist>
</sequence>)";

TAnimationData ReadAnm(const std::string& bytes)
{
    TAnimationData data;
    EXPECT_TRUE(ParseAnimationAnm(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                  "out.anm", data));
    return data;
}

TEST_F(AnmconvertTest, TheBinaryFileHoldsWhatTheXmlSaid)
{
    Write("wave.xml", kXml);
    for (const char* version : {"2", "1"}) {
        SCOPED_TRACE(version);
        const TToolResult result = Run("anmconvert", {"--version", version, "wave.xml", "out.anm"});
        ASSERT_EQ(result.mStatus, 0) << result.mErr;
        EXPECT_EQ(result.mErr, "");
        const TAnimationData data = ReadAnm(Read(mFolder / "out.anm"));
        EXPECT_EQ(data.sequenceName, TString("wave"));
        EXPECT_EQ(data.imageName, TString("wave.png"));
        ASSERT_EQ(data.GetFrameCount(), 2);
        EXPECT_EQ(data.frames[0].alpha, std::string(version) == "2" ? 0.5f : 1.0f);
        EXPECT_EQ(data.frames[0].anchors.size(), 1u);
        EXPECT_EQ(data.frames[1].regY, 15) << "inherited in the XML, written out";
        EXPECT_EQ(data.frames[1].transform[5], 3.0f);
        EXPECT_EQ(data.script, TAnimationData::MakeDefaultScript(2));
    }
}

TEST_F(AnmconvertTest, RefusalsSayWhy)
{
    Write("empty.xml", "<sequence><img/><framelist/></sequence>");
    const TToolResult empty = Run("anmconvert", {"empty.xml", "out.anm"});
    EXPECT_EQ(empty.mStatus, 1);
    EXPECT_NE(empty.mErr.find(TString::Printf(kAnimationXmlNoFramesLog, "empty.xml").CStr()),
              std::string::npos)
        << empty.mErr;
    EXPECT_NE(empty.mErr.find("anmconvert: cannot convert empty.xml\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(mFolder / "out.anm"));
    EXPECT_EQ(Run("anmconvert", {"--version", "3", "a.xml", "b.anm"}).mStatus, 2);
    EXPECT_EQ(Run("anmconvert", {"a.xml"}).mStatus, 2);
}

} // namespace
