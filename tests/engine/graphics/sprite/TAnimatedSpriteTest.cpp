#include "engine/graphics/sprite/TAnimatedSprite.h"

#include "engine/foundation/core/TClock.h"
#include "engine/foundation/core/TTaskList.h"
#include "engine/graphics/TGraphicsHost.h"
#include "engine/graphics/anim/TAnimatedTexture.h"
#include "engine/platform/TTimeSource.h"
#include "engine/script/TScript.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/graphics/RendererTestSupport.h"
#include "tests/engine/graphics/anim/AnimationTestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

class TAnimatedSpriteTest : public EngineStateTest
{
protected:
    void SetUp() override { PutSheet(mFolder, "fx/sheet.png", 64, 16); }
    // Whatever the test let go of is deleted now.
    void TearDown() override { TGraphicsHost::Get().GetAnimationTasks().RunAll(kPassEveryTurn); }

    // An animation of count 8 x 8 frames side by side on the sheet, registration (2, 3),
    // with script (none: the default script).
    std::shared_ptr<TAnimatedTexture> Animation(const std::string& name, int count,
                                                const std::string& script = "")
    {
        const std::string extra = script.empty() ? "" : "<script luascript=\"" + script + "\"/>";
        mFolder.Put("fx/" + name + ".xml", StripXml("sheet.png", count, 8, 8, 2, 3, extra));
        std::shared_ptr<TAnimatedTexture> texture =
            TAnimatedTexture::Get(("user:fx/" + name).c_str());
        EXPECT_NE(texture, nullptr);
        return texture;
    }
    std::shared_ptr<TAnimatedSprite> SpriteOf(const std::shared_ptr<TTexture>& texture)
    {
        std::shared_ptr<TAnimatedSprite> sprite = TAnimatedSprite::Create();
        sprite->SetTexture(texture);
        return sprite;
    }
    // Lets ms pass and runs the tasks that are due.
    void Step(int ms)
    {
        mTime.Advance(static_cast<uint32_t>(ms));
        TGraphicsHost::Get().GetAnimationTasks().RunAll(kPassEveryTurn);
    }
    // The frame shown after each of the steps.
    std::vector<int> Frames(TAnimatedSprite& sprite, const std::vector<int>& steps)
    {
        std::vector<int> frames;
        for (int ms : steps) {
            Step(ms);
            frames.push_back(sprite.GetCurrentFrame());
        }
        return frames;
    }
    static double Global(TAnimatedSprite& sprite, const char* name)
    {
        return sprite.GetScriptState()->GetGlobalNumber(name);
    }

    TManualTimeSource mTime{1000};
    TImageFolder mFolder;
};

using TInts = std::vector<int>;

TEST_F(TAnimatedSpriteTest, TheDefaultScriptShowsEachFrameSixtyMillisecondsApart)
{
    std::shared_ptr<TAnimatedSprite> sprite = SpriteOf(Animation("three", 3));
    EXPECT_STREQ(sprite->GetClassName(), "TAnimatedSprite");
    EXPECT_EQ(SpriteCast<TAnimatedSprite>(std::shared_ptr<TSprite>(sprite)), sprite);
    EXPECT_EQ(SpriteCast<TAnimatedSprite>(TSprite::Create()), nullptr);
    sprite->SetCurrentFrame(2);
    EXPECT_EQ(sprite->GetScriptState(), nullptr) << "no script before the first Play";
    sprite->Play("DoAnim");
    EXPECT_EQ(sprite->GetCurrentFrame(), 0) << "frame 0 at once";
    EXPECT_TRUE(sprite->IsPlaying(0));
    EXPECT_EQ(Frames(*sprite, {59, 1, 59, 1, 59}), TInts({0, 1, 1, 2, 2}));
    EXPECT_TRUE(sprite->IsPlaying(0));
    Step(1);
    EXPECT_FALSE(sprite->IsPlaying(0)) << "finished after 180 ms";
    EXPECT_EQ(sprite->GetCurrentFrame(), 2);
    EXPECT_EQ(mFolder.LogLines(), std::vector<std::string>());
}

TEST_F(TAnimatedSpriteTest, TheLibraryTimesFramesLoopsAndPauses)
{
    std::shared_ptr<TAnimatedSprite> sprite = SpriteOf(Animation(
        "lib", 4,
        "function Go() loop(2, {2, 3}) pause(100) SetCurrentFrame(3) showFrame() delay(30) "
        "frames{1} end"));
    sprite->Play("Go");
    // 16 ms per frame by default; pause(100) waits 100 ms; showFrame waits a frame.
    EXPECT_EQ(sprite->GetCurrentFrame(), 1);
    EXPECT_EQ(Frames(*sprite, {16, 16, 16, 16, 99, 1, 16, 29}), TInts({2, 1, 2, 2, 2, 3, 0, 0}));
    EXPECT_TRUE(sprite->IsPlaying(0));
    Step(1);
    EXPECT_FALSE(sprite->IsPlaying(0));
}

TEST_F(TAnimatedSpriteTest, FadesStepOncePerShownFrame)
{
    std::shared_ptr<TAnimatedSprite> sprite =
        SpriteOf(Animation("fade", 2,
                           "function Out() fadeout(4) frames{1,2,1,2,1,2} end "
                           "function In() setAlpha(0.5) fadein(2) frames{1,1,1} end"));
    sprite->Play("Out");
    std::vector<float> alphas{sprite->GetAlpha()};
    for (int i = 0; i < 5; ++i) {
        Step(16);
        alphas.push_back(sprite->GetAlpha());
    }
    EXPECT_EQ(alphas, (std::vector<float>{0.75f, 0.5f, 0.25f, 0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(Global(*sprite, "alphadelta"), 0.0);
    EXPECT_EQ(Global(*sprite, "count"), 6.0) << "the library keeps the list's length";
    sprite->Play("In");
    alphas = {sprite->GetAlpha()};
    for (int i = 0; i < 2; ++i) {
        Step(16);
        alphas.push_back(sprite->GetAlpha());
    }
    EXPECT_EQ(alphas, (std::vector<float>{0.75f, 1.0f, 1.0f}));
}

TEST_F(TAnimatedSpriteTest, AWaitWithoutTimeHoldsUntilResumed)
{
    std::shared_ptr<TAnimatedSprite> sprite = SpriteOf(
        Animation("hold", 4,
                  "function Hold() SetCurrentFrame(1) WaitLuaNextFrame() SetCurrentFrame(2) end "
                  "function Halt() SetCurrentFrame(0) halt() showFrame() SetCurrentFrame(3) end"));
    sprite->Play("Hold");
    Step(5000);
    EXPECT_EQ(sprite->GetCurrentFrame(), 1);
    EXPECT_TRUE(sprite->IsPlaying(0)) << "waiting counts as playing";
    sprite->Pause(false, 0);
    Step(1);
    EXPECT_EQ(sprite->GetCurrentFrame(), 2);
    EXPECT_FALSE(sprite->IsPlaying(0));

    // halt() only stops the task: the next wait with a time starts it again.
    sprite->Play("Halt");
    Step(15);
    EXPECT_EQ(sprite->GetCurrentFrame(), 0);
    Step(1);
    EXPECT_EQ(sprite->GetCurrentFrame(), 3);
}

TEST_F(TAnimatedSpriteTest, PauseAndIsPlayingReachAnimatedChildrenToADepth)
{
    std::shared_ptr<TAnimatedTexture> texture = Animation("run", 4);
    std::shared_ptr<TAnimatedSprite> parent = SpriteOf(texture);
    std::shared_ptr<TAnimatedSprite> child = SpriteOf(texture);
    parent->AddChild(TSprite::Create()); // not animated: skipped
    parent->AddChild(child);
    parent->Play("DoAnim");
    child->Play("DoAnim");
    parent->Pause(true, 0);
    Step(60);
    EXPECT_EQ(parent->GetCurrentFrame(), 0);
    EXPECT_EQ(child->GetCurrentFrame(), 1) << "depth 0 leaves the children";
    parent->Pause(true, 1);
    Step(60);
    EXPECT_EQ(child->GetCurrentFrame(), 1);
    parent->Pause(false, -1);
    Step(1);
    EXPECT_EQ(parent->GetCurrentFrame(), 1);
    EXPECT_EQ(child->GetCurrentFrame(), 2);

    parent->StopAnimation();
    EXPECT_FALSE(parent->IsPlaying(0));
    EXPECT_TRUE(parent->IsPlaying(1)) << "the child still plays";
    EXPECT_TRUE(parent->IsPlaying(-1));
    parent->Pause(true, -1); // nothing without a coroutine of its own
    Step(60);
    EXPECT_EQ(child->GetCurrentFrame(), 3);
    Step(60);
    EXPECT_FALSE(parent->IsPlaying(-1));
}

TEST_F(TAnimatedSpriteTest, FramesOutsideTheTextureAreTheSpritesOwn)
{
    std::shared_ptr<TAnimatedTexture> texture = Animation("frames", 3);
    std::shared_ptr<TAnimatedSprite> sprite = SpriteOf(texture);
    sprite->SetCurrentFrame(1);
    EXPECT_EQ(texture->GetCurrentFrame(), 1);
    sprite->SetCurrentFrame(-2);
    EXPECT_EQ(sprite->GetCurrentFrame(), 1) << "ignored";
    sprite->SetCurrentFrame(3);
    EXPECT_EQ(sprite->GetCurrentFrame(), 3) << "stored";
    EXPECT_EQ(texture->GetCurrentFrame(), 1) << "the texture keeps its frame";

    TTestDisplay display(32, 32);
    display.renderer->Begin2d();
    sprite->SetCurrentFrame(-1);
    sprite->Draw(DrawState(TVec2(10, 10)));
    EXPECT_EQ(texture->GetCurrentFrame(), -1);
    display.renderer->End2d();
    EXPECT_EQ(display.BackBuffer().At(10, 10), 0u) << "frame -1 hides the picture";
}

TEST_F(TAnimatedSpriteTest, SpritesSharingATextureDrawTheirOwnFrames)
{
    std::shared_ptr<TAnimatedTexture> texture = Animation("shared", 4);
    std::shared_ptr<TSprite> root = TSprite::Create();
    std::shared_ptr<TAnimatedSprite> first = SpriteOf(texture);
    std::shared_ptr<TAnimatedSprite> second = SpriteOf(texture);
    first->SetPosition(TVec2(10, 10));
    second->SetPosition(TVec2(30, 10));
    first->SetCurrentFrame(0);
    second->SetCurrentFrame(2);
    root->AddChild(first);
    root->AddChild(second);
    TTestDisplay display(48, 24);
    display.renderer->Begin2d();
    display.renderer->SetFilter(TFilter::Point);
    root->Draw(DrawState());
    display.renderer->End2d();
    // Registration (2, 3): texel (fx + 2, 3) of each frame lands on the position.
    EXPECT_EQ(display.BackBuffer().At(10, 10), SheetPixel(2, 3));
    EXPECT_EQ(display.BackBuffer().At(30, 10), SheetPixel(16 + 2, 3));
    EXPECT_EQ(display.BackBuffer().At(8, 7), SheetPixel(0, 0));
    EXPECT_EQ(display.BackBuffer().At(35, 14), SheetPixel(16 + 7, 7));
}

TEST_F(TAnimatedSpriteTest, BoundsCentreOnTheRegistrationPointOfTheSpritesFrame)
{
    std::shared_ptr<TAnimatedSprite> sprite = SpriteOf(Animation("bounds", 2));
    sprite->SetPosition(TVec2(20, 20));
    struct TCase
    {
        const char* name;
        int flags;
        int frame;
        TRect box;
    } cases[] = {
        {"plain", 0, 0, TRect(18, 17, 26, 25)},
        {"mirrored", DrawState::kMirrorX | DrawState::kMirrorY, 1, TRect(14, 15, 22, 23)},
        {"no frame: an empty box at the position", 0, -1, TRect(20, 20, 20, 20)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        sprite->SetFlags(c.flags);
        sprite->SetCurrentFrame(c.frame);
        TRect box;
        sprite->GetBounds(box, DrawState());
        EXPECT_EQ(box.left, c.box.left);
        EXPECT_EQ(box.top, c.box.top);
        EXPECT_EQ(box.right, c.box.right);
        EXPECT_EQ(box.bottom, c.box.bottom);
        EXPECT_EQ(sprite->GetFlags(), c.flags) << "the origin flag is the call's only";
    }
}

TEST_F(TAnimatedSpriteTest, PlainTexturesAndMissingFunctionsPlayNothing)
{
    std::shared_ptr<TAnimatedSprite> plain = SpriteOf(TTexture::Create(4, 4, true));
    plain->Play("DoAnim");
    EXPECT_EQ(plain->GetScriptState(), nullptr);
    EXPECT_FALSE(plain->IsPlaying(-1));

    std::shared_ptr<TAnimatedSprite> sprite =
        SpriteOf(Animation("broken", 2, "function Broken() SetCurrentFrame(1) error('bad') end"));
    sprite->Play("Missing");
    EXPECT_EQ(
        mFolder.CountLogLines(TString::Printf(TAnimatedSprite::kNotAFunctionLog, "Missing").CStr()),
        1);
    sprite->Play("Broken");
    EXPECT_EQ(sprite->GetCurrentFrame(), 1);
    EXPECT_EQ(mFolder.CountLogLines("lua_resume error: "), 1); // Broken's error
    EXPECT_FALSE(sprite->IsPlaying(0));
}

TEST_F(TAnimatedSpriteTest, RandomNumbersStayInTheirRange)
{
    std::shared_ptr<TAnimatedSprite> sprite =
        SpriteOf(Animation("dice", 1,
                           "function Roll() same = random(3, 3) backwards = Random(7, 2) "
                           "wide = Random(-5, 5) end"));
    std::set<int> seen;
    for (int i = 0; i < 400; ++i)
        seen.insert(sprite->Random(3, 7));
    EXPECT_EQ(seen, (std::set<int>{3, 4, 5, 6}));
    sprite->Play("Roll");
    EXPECT_EQ(Global(*sprite, "same"), 3.0);
    EXPECT_EQ(Global(*sprite, "backwards"), 7.0);
    EXPECT_GE(Global(*sprite, "wide"), -5.0);
    EXPECT_LT(Global(*sprite, "wide"), 5.0);
}

TEST_F(TAnimatedSpriteTest, DieDropsTheStateAndPlayBuildsAFreshOne)
{
    std::shared_ptr<TAnimatedSprite> sprite = SpriteOf(
        Animation("die", 3,
                  "function Count() calls = (calls or 0) + 1 WaitLuaNextFrame(10) end "
                  "function Kill() SetCurrentFrame(1) die() die() SetCurrentFrame(2) end"));
    sprite->Play("Count");
    sprite->Play("Count");
    EXPECT_EQ(Global(*sprite, "calls"), 2.0);
    sprite->Play("Kill");
    EXPECT_EQ(sprite->GetScriptState(), nullptr);
    EXPECT_EQ(sprite->GetCurrentFrame(), 2) << "the coroutine ran on after dying";
    EXPECT_FALSE(sprite->IsPlaying(0));
    Step(10);
    sprite->Play("Count");
    ASSERT_NE(sprite->GetScriptState(), nullptr);
    EXPECT_EQ(Global(*sprite, "calls"), 1.0) << "globals start afresh";
    sprite->Die();
    sprite->Die();
    EXPECT_EQ(sprite->GetScriptState(), nullptr);
}

TEST_F(TAnimatedSpriteTest, ASpriteMayDieWhileItsCoroutineRuns)
{
    std::shared_ptr<TAnimatedTexture> texture =
        Animation("leave", 2,
                  "function Leave() WaitLuaNextFrame(10) RemoveSprite() SetCurrentFrame(1) end "
                  "function Stay() frames{1,2,1,2} end");
    std::shared_ptr<TSprite> parent = TSprite::Create();
    std::weak_ptr<TAnimatedSprite> leaving;
    {
        std::shared_ptr<TAnimatedSprite> sprite = SpriteOf(texture);
        parent->AddChild(sprite);
        sprite->Play("Leave");
        leaving = sprite;
    }
    Step(10); // the coroutine takes the sprite out of its parent, its last holder
    EXPECT_TRUE(leaving.expired());
    EXPECT_TRUE(parent->GetChildren().empty());
    EXPECT_EQ(mFolder.CountLogLines("SetCurrentFrame: its object no longer exists"), 1);

    // A sprite destroyed while its coroutine waits.
    std::shared_ptr<TAnimatedSprite> waiting = SpriteOf(texture);
    waiting->Play("Stay");
    waiting.reset();
    Step(100);
    TTaskList& tasks = TGraphicsHost::Get().GetAnimationTasks();
    Step(0);
    EXPECT_TRUE(tasks.IsEmpty()) << "every script has been deleted";
}

TEST_F(TAnimatedSpriteTest, GlobalsACoroutineGaveItselfOutliveIt)
{
    std::shared_ptr<TAnimatedSprite> sprite =
        SpriteOf(Animation("env", 1,
                           "function Swap() local env = {} for k, v in pairs(_G) do env[k] = v end "
                           "env._G = env env.marker = 7 setfenv(0, env) WaitLuaNextFrame(10) end"));
    sprite->Play("Swap");
    EXPECT_EQ(Global(*sprite, "marker"), 0.0) << "the coroutine's own globals";
    sprite->StopAnimation();
    EXPECT_EQ(Global(*sprite, "marker"), 7.0) << "handed to the script when it stops";
}

TEST_F(TAnimatedSpriteTest, TheAnimationFollowsTheSpritesClock)
{
    std::shared_ptr<TAnimatedSprite> sprite = SpriteOf(Animation("clocked", 3));
    TClock clock;
    clock.Start();
    sprite->SetClock(&clock);
    sprite->Play("DoAnim");
    clock.Pause();
    Step(500);
    EXPECT_EQ(sprite->GetCurrentFrame(), 0) << "a paused clock holds the animation";
    clock.Start();
    Step(60);
    EXPECT_EQ(sprite->GetCurrentFrame(), 1);
    sprite->SetClock(nullptr);
    Step(60);
    EXPECT_EQ(sprite->GetCurrentFrame(), 2);
}

TEST_F(TAnimatedSpriteTest, RunPlaysAnotherAnimationInTheSameCoroutine)
{
    Animation("other", 4, "function Other() SetCurrentFrame(3) WaitLuaNextFrame(5) end");
    std::shared_ptr<TAnimatedTexture> texture =
        Animation("caller", 2,
                  "function Go() run{'user:fx/other', anim = 'Other'} SetCurrentFrame(1) end "
                  "function Bad() loaded = Load('user:fx/absent', '', '') end");
    std::shared_ptr<TAnimatedSprite> sprite = SpriteOf(texture);
    sprite->Play("Go");
    EXPECT_EQ(sprite->GetCurrentFrame(), 3);
    ASSERT_NE(sprite->GetAnimation(), nullptr);
    EXPECT_EQ(sprite->GetAnimation()->GetAnimation().fileName, TString("user:fx/other"));
    EXPECT_EQ(sprite->GetAnimation()->GetCurrentFrame(), 3);
    EXPECT_EQ(sprite->GetTexture(), texture) << "the drawn texture stays";
    Step(5);
    EXPECT_EQ(sprite->GetCurrentFrame(), 1);

    sprite->Play("Bad");
    EXPECT_EQ(sprite->GetScriptState()->GetGlobalNumber("loaded"), 0.0);
    EXPECT_EQ(sprite->GetAnimation(), nullptr);
}

} // namespace
