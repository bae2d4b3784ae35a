#include "engine/graphics/sprite/TSprite.h"

#include "engine/foundation/core/Settings.h"
#include "engine/graphics/TTexture.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/graphics/RendererTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

std::vector<std::string> gDrawn;

// A texture of a given size that records its draws by name instead of drawing.
class TRecordingTexture : public TTexture
{
public:
    TRecordingTexture(const std::string& name, int width, int height) : mName(name)
    {
        GetData().CreateSurface(width, height, true);
    }
    void Draw(const DrawState& state) override
    {
        gDrawn.push_back(mName);
        mLastAlpha = state.alpha;
    }
    float mLastAlpha = 0.0f;

private:
    std::string mName;
};

std::shared_ptr<TSprite> Recorded(const std::string& name, int layer, int width = 10,
                                  int height = 10)
{
    return TSprite::Create(layer, std::make_shared<TRecordingTexture>(name, width, height));
}

// Counts the parent's sorts.
class TCountingSprite : public TSprite
{
public:
    static std::shared_ptr<TCountingSprite> Create()
    {
        return std::shared_ptr<TCountingSprite>(new TCountingSprite());
    }
    void SortChildren() override
    {
        ++mSorts;
        TSprite::SortChildren();
    }
    int mSorts = 0;

private:
    TCountingSprite() : TSprite(0) {}
};

class TSpriteTest : public EngineStateTest
{
protected:
    void SetUp() override { gDrawn.clear(); }
};

using TNames = std::vector<std::string>;

TEST_F(TSpriteTest, ChildrenDrawInLayerOrderAroundTheOwnPicture)
{
    std::shared_ptr<TSprite> root = Recorded("own", 0);
    for (auto [name, layer] : {std::pair{"-1", -1}, {"0", 0}, {"2", 2}, {"-3", -3}})
        root->AddChild(Recorded(name, layer));
    root->AddChild(Recorded("2b", 2)); // equal layers: the first added stays first
    root->AddChild(Recorded("0b", 0));
    root->Draw(DrawState());
    EXPECT_EQ(gDrawn, TNames({"-3", "-1", "own", "0", "0b", "2", "2b"}));

    gDrawn.clear();
    root->Draw(DrawState(), 0);
    EXPECT_EQ(gDrawn, TNames({"own"}));

    // A new layer re-sorts; hidden sprites and their children are not drawn.
    root->GetChildren()[0]->SetLayer(5);       // "-3"
    root->GetChildren()[0]->SetVisible(false); // now "-1"
    gDrawn.clear();
    root->Draw(DrawState());
    EXPECT_EQ(gDrawn, TNames({"own", "0", "0b", "2", "2b", "-3"}));
    root->SetVisible(false);
    gDrawn.clear();
    root->Draw(DrawState());
    EXPECT_TRUE(gDrawn.empty());
}

TEST_F(TSpriteTest, AddingAndRemovingKeepsOneParent)
{
    std::shared_ptr<TCountingSprite> first = TCountingSprite::Create();
    std::shared_ptr<TSprite> second = TSprite::Create();
    std::shared_ptr<TSprite> child = Recorded("child", 1);
    first->AddChild(child);
    EXPECT_EQ(child->GetParent(), first.get());
    const int sorts = first->mSorts;
    first->AddChild(child); // already a child: nothing
    EXPECT_EQ(first->GetChildren().size(), 1u);
    child->SetLayer(1); // the same layer: no sort
    EXPECT_EQ(first->mSorts, sorts);
    child->SetLayer(2);
    EXPECT_EQ(first->mSorts, sorts + 1);

    second->AddChild(child); // moves
    EXPECT_TRUE(first->GetChildren().empty());
    EXPECT_EQ(child->GetParent(), second.get());
    EXPECT_FALSE(first->RemoveChild(child.get()));
    // No cycles: neither the sprite itself nor an ancestor becomes a child.
    child->AddChild(second);
    child->AddChild(child);
    EXPECT_TRUE(child->GetChildren().empty());
    EXPECT_EQ(second->GetParent(), nullptr);

    // The list's reference may be the last one.
    std::weak_ptr<TSprite> watch = child;
    child.reset();
    EXPECT_TRUE(second->RemoveChild(second->GetChildren()[0].get()));
    EXPECT_TRUE(watch.expired());

    // A dying parent detaches its children.
    std::shared_ptr<TSprite> orphan = TSprite::Create();
    second->AddChild(orphan);
    second.reset();
    EXPECT_EQ(orphan->GetParent(), nullptr);
}

TEST_F(TSpriteTest, BoundsUniteTheOwnBoxWithTheChildren)
{
    std::shared_ptr<TSprite> group = TSprite::Create();
    TRect box;
    group->GetBounds(box, DrawState());
    EXPECT_EQ(box.left, TSprite::kEmptyBound);
    EXPECT_EQ(box.top, TSprite::kEmptyBound);
    EXPECT_EQ(box.right, -TSprite::kEmptyBound);
    EXPECT_EQ(box.bottom, -TSprite::kEmptyBound);

    // A 10 x 6 picture centred at (20, 30), scaled by 2 under a parent at (100, 0).
    std::shared_ptr<TSprite> centred = Recorded("centred", 0, 10, 6);
    centred->SetPosition(TVec2(20, 30));
    centred->GetDrawState().matrix.ScaleUniform(2.0f);
    // A picture with an origin and a source rectangle: spans from (0, 0) to its right
    // and bottom, minus the origin.
    std::shared_ptr<TSprite> placed = Recorded("placed", 0, 64, 64);
    placed->SetFlags(DrawState::kUseOrigin | DrawState::kUseSourceRect);
    placed->SetSourceRect(TRect(4, 4, 8, 9));
    placed->SetOrigin(TVec2(1, 2));
    placed->SetPosition(TVec2(-5, -5));
    placed->SetVisible(false); // still measured
    group->AddChild(centred);
    group->AddChild(placed);
    group->SetPosition(TVec2(100, 0));

    centred->GetBounds(box, group->GetDrawState());
    EXPECT_EQ(box.left, 110);
    EXPECT_EQ(box.top, 24);
    EXPECT_EQ(box.right, 130);
    EXPECT_EQ(box.bottom, 36);
    group->GetBounds(box, DrawState());
    EXPECT_EQ(box.left, 94);
    EXPECT_EQ(box.top, -7);
    EXPECT_EQ(box.right, 130);
    EXPECT_EQ(box.bottom, 36);
    group->GetBounds(box, DrawState(), 0);
    EXPECT_EQ(box.left, TSprite::kEmptyBound) << "depth 0 measures the own picture only";

    // Far-away and undefined positions give clamped boxes, not overflows.
    centred->SetPosition(TVec2(1e30f, -1e30f));
    centred->GetBounds(box, DrawState());
    EXPECT_GT(box.left, 2000000000);
    EXPECT_LT(box.bottom, -2000000000);
    centred->SetPosition(TVec2(std::nanf(""), 0));
    centred->GetBounds(box, DrawState());
    EXPECT_EQ(box.left, 0);
}

TEST_F(TSpriteTest, HitTestsCheckTheBoxAndOptionallyThePixel)
{
    TTestDisplay display(32, 32);
    // 4 x 4: the left half opaque, the right half transparent.
    std::vector<uint32_t> texels(16, 0u);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x)
            texels[size_t(y * 4 + x)] = 0xff204060u;
    std::shared_ptr<TSprite> sprite = TSprite::Create(0, TextureOf(4, 4, true, texels));
    sprite->SetFlags(DrawState::kUseOrigin);
    const DrawState parent(TVec2(10, 10)); // the picture spans (10, 10) - (14, 14)
    struct TCase
    {
        float x, y;
        int minAlpha;
        bool hit;
    } cases[] = {
        {11, 11, -1, true}, {13, 11, -1, true}, {14, 11, -1, false},
        {9, 12, -1, false}, {11, 11, 1, true},  {11, 13, 255, true},
        {13, 11, 1, false}, {12, 12, 0, true},  {14, 14, 0, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " min " << c.minAlpha);
        EXPECT_EQ(sprite->HitTest(TVec2(c.x, c.y), parent, c.minAlpha), c.hit);
    }
    // The test draws nothing onto the screen.
    EXPECT_EQ(display.BackBuffer().At(11, 11), 0u);
    // Hidden sprites and sprites without a picture are never hit.
    sprite->SetVisible(false);
    EXPECT_FALSE(sprite->HitTest(TVec2(11, 11), parent, -1));
    EXPECT_FALSE(TSprite::Create()->HitTest(TVec2(0, 0), DrawState(), -1));
    // Inside a frame the pixels answer as well, and nothing is drawn into the frame.
    sprite->SetVisible(true);
    ASSERT_TRUE(display.renderer->BeginDraw(false));
    EXPECT_TRUE(sprite->HitTest(TVec2(11, 11), parent, 1));
    EXPECT_FALSE(sprite->HitTest(TVec2(13, 11), parent, 1));
    display.renderer->EndDraw(false);
    EXPECT_EQ(display.BackBuffer().At(11, 11), 0u);
}

TEST_F(TSpriteTest, TheLiveCountIsPublished)
{
    const int before = TSprite::GetLiveCount();
    {
        std::shared_ptr<TSprite> root = TSprite::Create();
        root->AddChild(TSprite::Create());
        EXPECT_EQ(GetConfig("current_sprite_count", ""), TString::Printf("%d", before + 2));
    }
    EXPECT_EQ(GetConfig("current_sprite_count", ""), TString::Printf("%d", before));
    EXPECT_EQ(before, 0) << "no sprite outlives its test";
    EXPECT_EQ(GetConfig("current_sprite_count", ""), TString("0"));
}

} // namespace
