// Sliders: the value and the knob's place, orientation and size, the messages of presses
// and drags (driven by synthetic pointer events), and the rail as drawn.

#include "engine/ui/widgets/TSlider.h"

#include "engine/graphics/TTexture.h"
#include "engine/graphics/image/PngImage.h"
#include "engine/ui/widgets/TImage.h"
#include "tests/engine/LogLine.h"
#include "tests/engine/graphics/ImageFolder.h"
#include "tests/engine/ui/UiTestSupport.h"
#include "tests/engine/ui/script/WindowScriptTestSupport.h"

#include <cmath>
#include <limits>

namespace {

constexpr uint32_t kRed = 0xffff0000;
constexpr uint32_t kYellow = 0xffffff00;
constexpr uint32_t kGreen = 0xff00ff00;
constexpr uint32_t kBlue = 0xff0000ff;
constexpr uint32_t kKnob = 0xffffffff;
constexpr uint32_t kKnobOver = 0xff808080;
constexpr uint32_t kBlack = 0xff000000;

// The slider lies at (2, 4) in a probe that records the messages it is offered.
constexpr int kLeft = 2;
constexpr int kTop = 4;

class TSliderTest : public TUiTest
{
protected:
    TSliderTest()
    {
        mParent = mRoot->Adopt(std::make_unique<TProbe>("dialog", 0, 0, kWidth, kHeight));
        // Rail pictures drawn for a vertical rail, 6 across: the top cap's left half red
        // and its right half yellow, so a transposed rail shows which way it turned.
        std::vector<uint32_t> top(6 * 4);
        for (int i = 0; i < 24; ++i)
            top[size_t(i)] = i % 6 < 3 ? kRed : kYellow;
        mStyle.strings["railtop"] = Put("top.png", 6, 4, top);
        mStyle.strings["railmid"] = Put("mid.png", 6, 1, std::vector<uint32_t>(6, kGreen));
        mStyle.strings["railbot"] = Put("bot.png", 6, 4, std::vector<uint32_t>(24, kBlue));
        mStyle.strings["sliderimage"] = Put("knob.png", 8, 10, std::vector<uint32_t>(80, kKnob));
        mStyle.strings["sliderrollimage"] =
            Put("knobover.png", 8, 10, std::vector<uint32_t>(80, kKnobOver));
        mStyle.strings["name"] = "volume";
        mStyle.numbers = {{"x", kLeft}, {"y", kTop}, {"w", 60}, {"h", 10}};
    }

    std::string Put(const std::string& name, int width, int height,
                    const std::vector<uint32_t>& pixels)
    {
        const std::string path = "user:" + name;
        EXPECT_TRUE(WritePngImage(path.c_str(), pixels.data(), width, height, width * 4));
        return path;
    }
    TSlider* MakeSlider(const TMapStyle& style)
    {
        auto* slider = mParent->Adopt(std::make_unique<TSlider>());
        slider->Init(style);
        ProbeLog().clear();
        return slider;
    }
    // The messages the parent was offered since the last call.
    std::vector<std::string> Messages()
    {
        std::vector<std::string> messages;
        for (const std::string& line : ProbeLog()) {
            if (line.rfind("dialog message ", 0) == 0)
                messages.push_back(line.substr(15));
        }
        ProbeLog().clear();
        return messages;
    }
    // n copies of "<type> volume".
    static std::vector<std::string> Sent(int type, int n = 1)
    {
        return std::vector<std::string>(size_t(n), std::to_string(type) + " volume");
    }
    void DrawFrame()
    {
        BackBuffer().Fill(TRect(0, 0, kWidth, kHeight), kBlack);
        Manager().Invalidate();
        IdleFor(20);
    }

    TImageFolder mFolder;
    TScreen* mRoot = MakeRoot();
    TProbe* mParent = nullptr;
    TMapStyle mStyle;
};

TEST_F(TSliderTest, TheValueIsHeldToTheRangeAndPlacesTheKnob)
{
    TSlider* slider = MakeSlider(mStyle);
    ASSERT_NE(slider->GetKnob(), nullptr);
    struct TCase
    {
        float value;
        float stored;
        int knobLeft; // of 60 - 8 places
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const TCase cases[] = {
        {1.5f, 1.0f, 52},   {-0.2f, 0.0f, 0},
        {0.5f, 0.5f, 26},   {nan, 0.5f, 26}, // refused: the value stays
        {0.25f, 0.25f, 13},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.value);
        slider->SetValue(c.value, false);
        EXPECT_EQ(slider->GetValue(), c.stored);
        EXPECT_EQ(RectText(slider->GetKnob()->GetRect()),
                  std::to_string(c.knobLeft) + ",0," + std::to_string(c.knobLeft + 8) + ",10");
        EXPECT_EQ(Messages(), std::isnan(c.value) ? std::vector<std::string>{} : Sent(9));
    }
    EXPECT_EQ(mFolder.CountLogLines(LogLine(TSlider::kNotANumberLog, slider->GetName().CStr())), 1);
    slider->SetValue(0.75f, true); // silent
    EXPECT_EQ(slider->GetValue(), 0.75f);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(TSliderTest, TheStyleChoosesTheOrientationAndThePicturesTheThickness)
{
    struct TCase
    {
        const char* what;
        int w, h;
        double hslider; // NaN: absent
        double yoffset;
        bool horizontal;
        const char* rect;    // of the slider in its parent
        const char* knobAt1; // the knob's rectangle at value 1
    };
    const double absent = std::numeric_limits<double>::quiet_NaN();
    const TCase cases[] = {
        {"wide", 200, 20, absent, 0, true, "2,4,202,14", "192,0,200,10"},
        {"wide, told vertical", 200, 20, 0, 0, false, "2,4,10,24", "0,10,8,20"},
        {"tall", 20, 40, absent, 0, false, "2,4,10,44", "0,30,8,40"},
        {"tall, told horizontal", 20, 40, 1, 0, true, "2,4,22,14", "12,0,20,10"},
        {"negative: by the size", 200, 20, -1, 0, true, "2,4,202,14", "192,0,200,10"},
        {"knob offset across", 200, 20, absent, -3, true, "2,4,202,17", "192,-3,200,7"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        TMapStyle style = mStyle;
        style.numbers["w"] = c.w;
        style.numbers["h"] = c.h;
        if (!std::isnan(c.hslider))
            style.numbers["hslider"] = c.hslider;
        style.numbers["yoffset"] = c.yoffset;
        TSlider* slider = MakeSlider(style);
        EXPECT_EQ(slider->IsHorizontal(), c.horizontal);
        EXPECT_EQ(RectText(slider->GetRect()), c.rect);
        slider->SetValue(1.0f, true);
        EXPECT_EQ(RectText(slider->GetKnob()->GetRect()), c.knobAt1);
    }
    // The rail's thickness at the scale wins over a thinner knob.
    TMapStyle scaled = mStyle;
    scaled.numbers["scale"] = 2;
    EXPECT_EQ(MakeSlider(scaled)->GetThickness(), 20); // knob 20 high, rail 12 across
    TMapStyle thin = mStyle;
    thin.strings.erase("sliderimage");
    thin.numbers["scale"] = 2;
    EXPECT_EQ(MakeSlider(thin)->GetThickness(), 12);
}

TEST_F(TSliderTest, APressOnTheRailSendsAPageMessageAndLeavesTheKnob)
{
    TSlider* slider = MakeSlider(mStyle);
    slider->SetValue(0.5f, true); // knob at 26..34
    struct TCase
    {
        int x;
        int type;
    };
    const TCase cases[] = {{kLeft + 40, 12}, {kLeft + 3, 11}, {kLeft + 25, 11}, {kLeft + 34, 12}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.x);
        Send(TEvent::kLeftDown, c.x, kTop + 5);
        Send(TEvent::kLeftUp, c.x, kTop + 5);
        EXPECT_EQ(Messages(), Sent(c.type));
        EXPECT_EQ(slider->GetValue(), 0.5f);
        EXPECT_EQ(slider->GetKnob()->GetLeft(), 26);
        EXPECT_FALSE(slider->IsDragging());
    }
}

TEST_F(TSliderTest, DraggingTheKnobPastTheEndStaysAtOneAndReleasingSendsOneMessage)
{
    TSlider* slider = MakeSlider(mStyle);
    const auto picture = [this](const char* key) {
        return TTexture::Get(mStyle.strings[key].c_str());
    };
    Send(TEvent::kMouseMove, kLeft + 20, kTop + 5); // on the rail: the knob stays as it is
    EXPECT_EQ(slider->GetKnob()->GetTexture(), picture("sliderimage"));
    EXPECT_TRUE(Manager().HasCapture(slider));
    Send(TEvent::kMouseMove, kLeft + 4, kTop + 5); // on the knob
    EXPECT_EQ(slider->GetKnob()->GetTexture(), picture("sliderrollimage"));
    Send(TEvent::kLeftDown, kLeft + 4, kTop + 5);
    EXPECT_TRUE(slider->IsDragging());
    EXPECT_TRUE(Messages().empty());
    struct TStep
    {
        int x, y;
        float value;
    };
    const TStep steps[] = {
        {kLeft + 30, kTop + 5, 0.5f},  {kLeft + 60, kTop + 5, 1.0f},
        {kLeft + 61, kTop + 30, 1.0f}, // outside the slider, still dragging
        {kLeft + 90, kTop + 5, 1.0f},  {kLeft + 90, kTop + 5, 1.0f},
        {kLeft - 2, kTop + 5, 0.0f},
    };
    for (const TStep& step : steps) {
        SCOPED_TRACE(step.x);
        Send(TEvent::kMouseMove, step.x, step.y);
        EXPECT_EQ(slider->GetValue(), step.value);
        EXPECT_EQ(Messages(), Sent(9)); // every move, changed or not
    }
    Send(TEvent::kMouseMove, kLeft + 200, kTop + 5);
    Send(TEvent::kLeftUp, kLeft + 200, kTop + 5);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"9 volume", "10 volume"}));
    EXPECT_FALSE(slider->IsDragging());
    EXPECT_FALSE(Manager().HasCapture(slider));
    EXPECT_EQ(slider->GetKnob()->GetLeft(), 52);
    EXPECT_EQ(slider->GetKnob()->GetTexture(), picture("sliderimage"));
    // Released: moves no longer change the value.
    Send(TEvent::kMouseMove, kLeft + 10, kTop + 5);
    EXPECT_EQ(slider->GetValue(), 1.0f);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(TSliderTest, ASliderWithoutLengthHoldsZero)
{
    TMapStyle style = mStyle;
    style.numbers.erase("w");
    style.numbers.erase("h");
    TSlider* slider = MakeSlider(style);
    ASSERT_FALSE(slider->IsHorizontal());
    ASSERT_EQ(slider->GetHeight(), 0);
    slider->SetValue(1.0f, true);
    EXPECT_EQ(slider->GetKnob()->GetTop(), -10); // no room: the knob stands before it
    ASSERT_TRUE(slider->OnMouseDown({3, -5}));
    ASSERT_TRUE(slider->IsDragging());
    EXPECT_TRUE(slider->OnMouseMove({3, 7}));
    EXPECT_EQ(slider->GetValue(), 0.0f);
    EXPECT_EQ(slider->GetKnob()->GetTop(), 0);
}

TEST_F(TSliderTest, TheRailIsDrawnFromItsThreePicturesAlongTheSlider)
{
    mRoot->SetClearColor(TColor(0, 0, 0, 1));
    struct TCase
    {
        const char* what;
        int w, h;
        // Screen points (relative to the slider) and the colours expected there.
        std::vector<std::tuple<int, int, uint32_t>> points;
    };
    const TCase cases[] = {
        {
            "horizontal: the pictures turned onto their side",
            60,
            10,
            {{1, 3, kRed},
             {1, 6, kYellow},
             {3, 2, kRed},
             {4, 4, kGreen},
             {20, 7, kGreen},
             {56, 2, kBlue},
             {59, 7, kBlue},
             {20, 1, kBlack}, // across, the rail is 6 of 10 wide, centred
             {20, 8, kBlack},
             {30, 5, kKnob}}, // the knob over the rail at 0.5
        },
        {"vertical",
         10,
         40,
         {{3, 1, kRed},
          {6, 1, kYellow},
          {4, 4, kGreen},
          {4, 37, kBlue},
          {0, 30, kBlack}, // the knob's 8 across make the slider 8 wide
          {1, 30, kGreen},
          {4, 17, kKnob}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        TMapStyle style = mStyle;
        style.numbers["w"] = c.w;
        style.numbers["h"] = c.h;
        TSlider* slider = MakeSlider(style);
        slider->SetValue(0.5f, true);
        DrawFrame();
        for (const auto& [x, y, color] : c.points) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            EXPECT_EQ(BackBuffer().At(kLeft + x, kTop + y), color);
        }
        EXPECT_NE(mParent->RemoveChild(slider), nullptr);
    }
}

using TSliderScriptTest = TWindowScriptTest;

TEST_F(TSliderScriptTest, ScriptsMakeSlidersAndHearTheirMessages)
{
    const std::string knob = PutPng("knob.png", 8, 10, kKnob);
    Run("MakeDialog { Slider { name = 's', x = 0, y = 0, w = 40, h = 10, sliderimage = '" + knob +
        "' } }");
    auto* slider = WindowCast<TSlider>(Find("s"));
    ASSERT_NE(slider, nullptr);
    EXPECT_TRUE(slider->IsHorizontal());
    EXPECT_EQ(RectText(slider->GetRect()), "0,0,40,10");
    slider->SetValue(0.5f, false);
    // No window took it: the message waits for the dialog code.
    EXPECT_EQ(Eval("gMessageQueue[1].type .. ' ' .. gMessageQueue[1].name"), "9 s");
}

} // namespace
