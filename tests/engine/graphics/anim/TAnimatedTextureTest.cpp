#include "engine/graphics/anim/TAnimatedTexture.h"

#include "engine/foundation/assets/TAssetMap.h"
#include "engine/graphics/DrawState.h"
#include "engine/graphics/anim/AnimationLogLines.h"
#include "engine/graphics/install/GraphicsInstall.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/LogLine.h"
#include "tests/engine/graphics/RendererTestSupport.h"
#include "tests/engine/graphics/anim/AnimationTestSupport.h"
#include "tools/anmconvert/writer/AnmWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TAnimatedTextureTest : public EngineStateTest
{
protected:
    void SetUp() override { mSheet = PutSheet(mFolder, "fx/sheet.png", 64, 16); }

    // Writes an animation file; its engine path.
    std::string Put(const std::string& name, const std::string& bytes)
    {
        return mFolder.Put(name, bytes);
    }

    TImageFolder mFolder;
    std::string mSheet;
};

TEST_F(TAnimatedTextureTest, FindsTheFilePreferringXmlAndTheSheetBesideIt)
{
    TAnimationData fromAnm;
    fromAnm.sequenceName = "from anm";
    fromAnm.imageName = "sheet.png";
    fromAnm.frames.resize(1);
    fromAnm.frames[0].w = 8;
    fromAnm.script = "function DoAnim() end";
    const std::string anm = MakeAnmBytes(fromAnm);
    Put("fx/both.xml", StripXml("sheet.png", 2, 16, 16));
    Put("fx/both.anm", anm);
    Put("fx/binary.anm", anm);

    const std::shared_ptr<TAnimatedTexture> both = TAnimatedTexture::Get("user:fx/both");
    ASSERT_NE(both, nullptr);
    EXPECT_EQ(both->GetAnimation().sequenceName, TString("strip"));
    EXPECT_EQ(both->GetAnimation().folder, TString("user:fx/"));
    EXPECT_EQ(both->GetData().GetSourceName(), TString("user:fx/sheet.png"));
    const std::shared_ptr<TAnimatedTexture> binary = TAnimatedTexture::Get("user:fx/binary");
    ASSERT_NE(binary, nullptr);
    EXPECT_EQ(binary->GetAnimation().sequenceName, TString("from anm"));
    const std::shared_ptr<TAnimatedTexture> exact = TAnimatedTexture::Get("user:fx/both.anm");
    ASSERT_NE(exact, nullptr);
    EXPECT_EQ(exact->GetAnimation().sequenceName, TString("from anm"));

    // An image override that is not in the folder is taken as named.
    PutSheet(mFolder, "elsewhere.png", 32, 16);
    const std::shared_ptr<TAnimatedTexture> moved =
        TAnimatedTexture::Get("user:fx/both", "user:elsewhere.png");
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->GetData().GetSourceName(), TString("user:elsewhere.png"));
    EXPECT_TRUE(moved->HasAlpha());

    EXPECT_EQ(TAnimatedTexture::Get("user:fx/none"), nullptr);
    EXPECT_EQ(mFolder.CountLogLines(LogLine(kAnimationNotFoundLog, "user:fx/none")), 1);
    Put("fx/nosheet.xml", StripXml("missing.png", 1, 8, 8));
    EXPECT_EQ(TAnimatedTexture::Get("user:fx/nosheet"), nullptr);
}

TEST_F(TAnimatedTextureTest, OverridesMakeTexturesOfTheirOwnAndTheSameKeyShares)
{
    Put("fx/walk.xml", StripXml("sheet.png", 4, 16, 16));
    PutSheet(mFolder, "fx/other.png", 64, 16);
    const std::shared_ptr<TAnimatedTexture> plain = TAnimatedTexture::Get("user:fx/walk");
    const std::shared_ptr<TAnimatedTexture> other =
        TAnimatedTexture::Get("user:fx/walk", "other.png");
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(plain, other);
    EXPECT_EQ(other->GetData().GetSourceName(), TString("user:fx/other.png"));
    EXPECT_EQ(TAnimatedTexture::Get("user:fx/walk"), plain);
    EXPECT_EQ(TAnimatedTexture::MakeKey("a", "b", "c"), TString("a:b:c"));
    EXPECT_TRUE(plain->IsKindOf(TTexture::ClassId()));
    EXPECT_TRUE(plain->IsKindOf(TAsset::ClassId()));
    EXPECT_STREQ(plain->GetClassName(), "TAnimatedTexture");
}

TEST_F(TAnimatedTextureTest, XmlFramesInheritRegistrationAndTransform)
{
    Put("fx/inherit.xml", R"(<?xml version="1.0"?>
<sequence name="inherit" source="hand">
  <img regx="3" regy="4" w="64" h="16" name="sheet.png"/>
  <framelist>
    <frame x="0" y="0" w="8" h="8" name="first"/>
    <frame x="8" y="0" w="8" h="8" regx="5" regy="6" xform="1 0 0 1 10" alpha="0.5">
      <anchor name="hand" x="2" y="3"/>
      <anchor name="hand" x="9" y="9"/>
      <anchor name="foot" x="4" y="7"/>
    </frame>
    <frame x="16" y="0" w="12" h="9" alpha=""/>
    <frame x="28" y="0" w="4" h="4" xform="2 x"/>
  </framelist>
  <script luascript="function DoAnim() end"/>
</sequence>)");
    const std::shared_ptr<TAnimatedTexture> texture = TAnimatedTexture::Get("user:fx/inherit");
    ASSERT_NE(texture, nullptr);
    const TAnimationData& data = texture->GetAnimation();
    ASSERT_EQ(data.GetFrameCount(), 4);
    EXPECT_EQ(data.imageRegX, 3);
    EXPECT_EQ(data.imageRegY, 4);
    EXPECT_EQ(data.sequenceSource, TString("hand"));
    EXPECT_EQ(data.script, TString("function DoAnim() end"));
    EXPECT_EQ(data.maxFrameWidth, 12);
    EXPECT_EQ(data.maxFrameHeight, 9);

    const TAnimationFrame& first = data.frames[0];
    EXPECT_FALSE(first.HasTransform());
    EXPECT_EQ(first.regX, 0);
    EXPECT_EQ(first.alpha, 1.0f);
    const TAnimationFrame& second = data.frames[1];
    EXPECT_EQ(second.regX, 5);
    EXPECT_EQ(second.regY, 6);
    EXPECT_EQ(second.alpha, 0.5f);
    const float expected[6] = {1, 0, 0, 1, 10, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(second.transform[i], expected[i]) << i;
    const TAnimationFrame& third = data.frames[2];
    EXPECT_EQ(third.regX, 5) << "inherited";
    EXPECT_EQ(third.regY, 6);
    EXPECT_EQ(third.alpha, 1.0f);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(third.transform[i], expected[i]) << "inherited " << i;
    const TAnimationFrame& fourth = data.frames[3];
    EXPECT_EQ(fourth.transform[0], 2.0f);
    EXPECT_EQ(fourth.transform[1], 0.0f) << "reading stops at the first non-number";

    const TRect rect = texture->GetFrameRect(1);
    EXPECT_EQ(rect.left, 8);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 16);
    EXPECT_EQ(rect.bottom, 8);
    EXPECT_EQ(texture->GetFrameRect(4).right, 0);
    EXPECT_EQ(texture->GetFrameAnchor(1).x, 5.0f);
    EXPECT_EQ(texture->GetFrameAnchor(-1).x, 0.0f);
    int x = 0;
    int y = 0;
    EXPECT_TRUE(texture->FindFramePoint(1, "hand", x, y));
    EXPECT_EQ(x, 2) << "the first of that name";
    EXPECT_EQ(y, 3);
    EXPECT_TRUE(texture->FindFramePoint(1, "foot", x, y));
    EXPECT_EQ(y, 7);
    EXPECT_FALSE(texture->FindFramePoint(1, "Foot", x, y));
    EXPECT_FALSE(texture->FindFramePoint(0, "hand", x, y));
    EXPECT_FALSE(texture->FindFramePoint(9, "hand", x, y));
}

void ExpectSameFrames(const TAnimationData& a, const TAnimationData& b, bool alphas)
{
    EXPECT_EQ(a.sequenceName, b.sequenceName);
    EXPECT_EQ(a.sequenceSource, b.sequenceSource);
    EXPECT_EQ(a.imageName, b.imageName);
    EXPECT_EQ(a.maskName, b.maskName);
    EXPECT_EQ(a.script, b.script);
    EXPECT_EQ(a.imageWidth, b.imageWidth);
    EXPECT_EQ(a.maxFrameWidth, b.maxFrameWidth);
    ASSERT_EQ(a.GetFrameCount(), b.GetFrameCount());
    for (int i = 0; i < a.GetFrameCount(); ++i) {
        SCOPED_TRACE(i);
        const TAnimationFrame& p = a.frames[size_t(i)];
        const TAnimationFrame& q = b.frames[size_t(i)];
        EXPECT_EQ(p.name, q.name);
        EXPECT_EQ(p.x, q.x);
        EXPECT_EQ(p.y, q.y);
        EXPECT_EQ(p.w, q.w);
        EXPECT_EQ(p.h, q.h);
        EXPECT_EQ(p.regX, q.regX);
        EXPECT_EQ(p.regY, q.regY);
        EXPECT_EQ(q.alpha, alphas ? p.alpha : 1.0f);
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(p.transform[k], q.transform[k]);
        ASSERT_EQ(p.anchors.size(), q.anchors.size());
        for (size_t k = 0; k < p.anchors.size(); ++k) {
            EXPECT_EQ(p.anchors[k].name, q.anchors[k].name);
            EXPECT_EQ(p.anchors[k].x, q.anchors[k].x);
            EXPECT_EQ(p.anchors[k].y, q.anchors[k].y);
        }
    }
}

TEST_F(TAnimatedTextureTest, XmlAndAnmOfOneAnimationGiveTheSameFrames)
{
    const std::string xml = R"(<sequence name="pour" source="hand">
  <img regx="1" regy="2" w="64" h="16" name="sheet.png" mask=""/>
  <framelist>
    <frame x="0" y="0" w="16" h="16" regx="8" regy="15" name="a" alpha="0.25">
      <anchor name="spout" x="12" y="3"/>
    </frame>
    <frame x="16" y="0" w="16" h="16" name="b" xform="0 1 -1 0 4 5"/>
    <frame x="32" y="0" w="32" h="8"/>
  </framelist>
</sequence>)";
    Put("fx/pour.xml", xml);
    const std::shared_ptr<TAnimatedTexture> fromXml = TAnimatedTexture::Get("user:fx/pour.xml");
    ASSERT_NE(fromXml, nullptr);
    for (uint32_t version : {1u, 2u, 3u}) {
        SCOPED_TRACE(version);
        const std::string name = "fx/pour" + std::to_string(version) + ".anm";
        Put(name, MakeAnmBytes(fromXml->GetAnimation(), version));
        const std::shared_ptr<TAnimatedTexture> fromAnm =
            TAnimatedTexture::Get(("user:" + name).c_str());
        ASSERT_NE(fromAnm, nullptr);
        ExpectSameFrames(fromXml->GetAnimation(), fromAnm->GetAnimation(), version > 1);
    }
}

TEST_F(TAnimatedTextureTest, WithoutAScriptTheDefaultShowsEveryFrame)
{
    EXPECT_EQ(TAnimationData::MakeDefaultScript(3),
              TString("function DoAnim()\n    delay(60);\n    frames{1,2,3};\nend\n"));
    EXPECT_EQ(TAnimationData::MakeDefaultScript(0),
              TString("function DoAnim()\n    delay(60);\nend\n"));
    Put("fx/plain.xml", StripXml("sheet.png", 2, 8, 8));
    const std::shared_ptr<TAnimatedTexture> texture = TAnimatedTexture::Get("user:fx/plain");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetScript(), TAnimationData::MakeDefaultScript(2));
    Put("fx/text.xml",
        StripXml("sheet.png", 1, 8, 8, 0, 0, "<script>function DoAnim()\n frames{1} end</script>"));
    const std::shared_ptr<TAnimatedTexture> text = TAnimatedTexture::Get("user:fx/text");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetScript(), TString("function DoAnim() frames{1} end"));
}

TEST_F(TAnimatedTextureTest, TheCurrentFrameTakesOnlyFramesThatExist)
{
    Put("fx/three.xml", StripXml("sheet.png", 3, 8, 8));
    const std::shared_ptr<TAnimatedTexture> texture = TAnimatedTexture::Get("user:fx/three");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetCurrentFrame(), 0);
    texture->SetCurrentFrame(2);
    EXPECT_EQ(texture->GetCurrentFrame(), 2);
    texture->SetCurrentFrame(3);
    EXPECT_EQ(texture->GetCurrentFrame(), 2);
    texture->SetCurrentFrame(-2);
    EXPECT_EQ(texture->GetCurrentFrame(), 2);
    texture->SetCurrentFrame(-1);
    EXPECT_EQ(texture->GetCurrentFrame(), -1);
    EXPECT_EQ(texture->GetWidth(), 0);
    texture->SetCurrentFrame(1);
    EXPECT_EQ(texture->GetWidth(), 8);
}

// The frames of fx/sheet.png used by the drawing tests: a 40 x 8 frame at (8, 4) with
// registration (10, 2), a frame with a transform and half alpha, and an empty one.
const char kDrawXml[] = R"(<sequence name="draw" source="">
  <img w="64" h="16" name="sheet.png"/>
  <framelist>
    <frame x="8" y="4" w="40" h="8" regx="10" regy="2"/>
    <frame x="0" y="0" w="4" h="4" regx="0" regy="0" xform="2 0 0 2 1 1" alpha="0.5"/>
    <frame x="0" y="0" w="0" h="4"/>
  </framelist>
</sequence>)";

TEST_F(TAnimatedTextureTest, DrawsTheCurrentFrameAroundItsRegistrationPoint)
{
    Put("fx/draw.xml", kDrawXml);
    const std::shared_ptr<TAnimatedTexture> texture = TAnimatedTexture::Get("user:fx/draw");
    ASSERT_NE(texture, nullptr);
    struct TCase
    {
        const char* name;
        int flags;
        int left; // where the frame's left edge lands for position x = 50
    } cases[] = {{"plain", 0, 40}, {"mirrored", DrawState::kMirrorX, 20}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TTestDisplay display(100, 20);
        display.renderer->Begin2d();
        display.renderer->SetFilter(TFilter::Point);
        texture->SetCurrentFrame(0);
        texture->DrawAt(50, 10, 1, 1, 0, c.flags);
        display.renderer->End2d();
        const TSurface& out = display.BackBuffer();
        int wrong = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 100; ++x) {
                const bool inside = x >= c.left && x < c.left + 40 && y >= 8 && y < 16;
                const int fx = c.flags != 0 ? c.left + 39 - x : x - c.left;
                const uint32_t expected = inside ? SheetPixel(8 + fx, 4 + (y - 8)) : 0u;
                wrong += out.At(x, y) != expected;
            }
        EXPECT_EQ(wrong, 0);
    }

    // A source rectangle is taken inside the frame; the frame's transform applies first
    // and its alpha multiplies.
    TTestDisplay display(100, 20);
    display.renderer->Begin2d();
    display.renderer->SetFilter(TFilter::Point);
    DrawState part(TVec2(5, 5), 1.0f, 1.0f, DrawState::kUseSourceRect);
    part.sourceRect = TRect(2, 1, 100, 3); // cut to the frame: sheet (10, 5) - (48, 7)
    texture->SetCurrentFrame(0);
    texture->Draw(part);
    texture->SetCurrentFrame(1);
    texture->Draw(DrawState(TVec2(70, 10)));
    texture->SetCurrentFrame(2);
    texture->DrawAt(90, 5, 1, 1, 0, 0); // a frame of width 0 draws nothing
    texture->SetCurrentFrame(-1);
    texture->DrawAt(90, 15, 1, 1, 0, 0);
    display.renderer->End2d();
    const TSurface& out = display.BackBuffer();
    // Texel (10, 5) lands at (5, 5) - the registration point (10, 2): (-5, 3).
    EXPECT_EQ(out.At(0, 3), SheetPixel(15, 5));
    EXPECT_EQ(out.At(32, 4), SheetPixel(47, 6));
    EXPECT_EQ(out.At(33, 4), 0u);
    EXPECT_EQ(out.At(0, 5), 0u);
    // Frame 1: 4 x 4 texels scaled by 2 and moved by (1, 1) around (70, 10), alpha 0.5.
    // Over black, half of each colour byte.
    const uint32_t half00 = (SheetPixel(0, 0) >> 1) & 0x7f7f7fu;
    const uint32_t half33 = (SheetPixel(3, 3) >> 1) & 0x7f7f7fu;
    EXPECT_NEAR(double(out.At(71, 11) & 0xff), double(half00 & 0xff), 1.0);
    EXPECT_NEAR(double(out.At(78, 18) >> 8 & 0xff), double(half33 >> 8 & 0xff), 1.0);
    EXPECT_NEAR(double(out.At(78, 18) >> 16 & 0xff), double(half33 >> 16 & 0xff), 1.0);
    EXPECT_EQ(out.At(79, 19), 0u);
    EXPECT_EQ(out.At(70, 10), 0u);
    EXPECT_EQ(out.At(90, 5), 0u);
    EXPECT_EQ(out.At(90, 15), 0u);
}

TEST_F(TAnimatedTextureTest, AssetMapsLoadAnimationsAndModelsByExtension)
{
    InstallGraphics();
    Put("fx/mapped.xml", StripXml("sheet.png", 2, 8, 8));
    TAssetMap map;
    map.AddAsset("user:fx/mapped");
    const std::shared_ptr<TAnimatedTexture> texture = map.Get<TAnimatedTexture>("user:fx/mapped");
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture, TAnimatedTexture::Get("user:fx/mapped.xml"));
    EXPECT_NE(map.Get<TTexture>("user:fx/mapped"), nullptr) << "an animated texture is a texture";
    map.AddAsset("user:fx/sheet");
    EXPECT_NE(map.Get<TTexture>("user:fx/sheet"), nullptr);
    EXPECT_EQ(map.Get<TAnimatedTexture>("user:fx/sheet"), nullptr);
}

} // namespace
