#include "engine/ui/widgets/TText.h"

#include "engine/graphics/text/TTextLayout.h"
#include "engine/ui/widgets/TTextEdit.h"
#include "engine/ui/window/TDefaultButton.h"
#include "tests/engine/graphics/ImageFolder.h"
#include "tests/engine/ui/UiTestSupport.h"
#include "tests/engine/ui/script/WindowScriptTestSupport.h"

#include <string>
#include <vector>

namespace {

constexpr uint32_t kBlack = 0xff000000;

bool IsEmpty(const TRect& rect)
{
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

// A button as a link presses it: it counts the commands it runs.
class TPressCounter : public TWindow, public TDefaultButton
{
public:
    explicit TPressCounter(const char* name) { SetName(name); }
    bool IsDefaultButton() const override { return false; }
    bool DoCommand() override
    {
        ++presses;
        return true;
    }

    int presses = 0;
};

class TTextTest : public TUiTest
{
protected:
    // A text window made from a style in the root screen.
    TText* MakeText(const TMapStyle& style, TWindow* parent = nullptr)
    {
        auto* text = (parent != nullptr ? parent : mRoot)->Adopt(std::make_unique<TText>());
        text->Init(style);
        return text;
    }
    // A text window of width x height in parent showing label at fontSize.
    TText* MakeSized(const char* label, int width, int height, unsigned int fontSize,
                     TWindow* parent = nullptr)
    {
        TText* text = MakeText(TMapStyle{}, parent);
        text->CreateLayout(label, width, height, 0, TText::kDefaultFace, fontSize,
                           TColor(0, 1, 0, 1));
        return text;
    }
    void DrawFrame()
    {
        BackBuffer().Fill(TRect(0, 0, kWidth, kHeight), kBlack);
        Manager().Invalidate();
        IdleFor(20);
    }
    // Columns and rows of the back buffer holding other than black, as a rectangle
    // (empty when none).
    TRect LitBounds()
    {
        TRect lit(kWidth, kHeight, 0, 0);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (BackBuffer().At(x, y) != kBlack) {
                    lit.left = std::min(lit.left, x);
                    lit.top = std::min(lit.top, y);
                    lit.right = std::max(lit.right, x + 1);
                    lit.bottom = std::max(lit.bottom, y + 1);
                }
        return lit;
    }

    TImageFolder mFolder;
    TScreen* mRoot = MakeRoot();
};

TEST_F(TTextTest, LabelsGoThroughTheStringTableWhileTranslationIsOn)
{
    TRecordingScript* script = AttachRecordingScript();
    Host().strings["greeting"] = "Welcome";
    struct TCase
    {
        bool translate;
        const char* label;
        const char* shown;
    };
    const TCase cases[] = {
        {true, "#greeting", "greeting"},
        {true, "12.5", "12.5"},
        {true, "greeting", "Welcome"},
        {true, "absent", "#####"},
        {true, "", ""},
        {false, "#greeting", "#greeting"},
        {false, "greeting", "greeting"},
        {false, "absent", "absent"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.label) + (c.translate ? " translated" : ""));
        script->translateLabels = c.translate;
        TMapStyle style{{"w", 40}, {"h", 20}};
        style.strings["label"] = c.label;
        TText* text = MakeText(style);
        EXPECT_EQ(std::string(text->GetText().CStr()), c.shown);
        EXPECT_EQ(std::string(text->GetLabel().CStr()), c.shown);
    }
}

TEST_F(TTextTest, AZeroSizedTextLogsAndStaysEmpty)
{
    for (const auto& [w, h] : {std::pair{0, 20}, std::pair{30, 0}}) {
        TMapStyle style{{"w", w}, {"h", h}};
        style.strings["name"] = "empty";
        style.strings["label"] = "words";
        TText* text = MakeText(style);
        EXPECT_EQ(text->GetLayout(), nullptr);
        text->SetText("more");
        text->SetScroll(1.0f);
        EXPECT_EQ(std::string(text->GetText().CStr()), "");
        EXPECT_FALSE(text->OnMouseDown(TPoint{1, 1}));
        EXPECT_FALSE(text->OnMouseUp(TPoint{1, 1}));
        EXPECT_FALSE(text->CreateLayout("x", w, h, 0, TText::kDefaultFace, 16, TColor()));
    }
    EXPECT_EQ(
        mFolder.CountLogLines(TString::Printf(TText::kEmptyWindowLog, "empty", "words").CStr()), 2);
    DrawFrame();
    EXPECT_TRUE(IsEmpty(LitBounds()));
}

TEST_F(TTextTest, EveryChangeOfTheTextAsksForAFrame)
{
    TText* text = MakeSized("", 40, 20, 10);
    const char* texts[] = {"first", "second", ""};
    for (const char* shown : texts) {
        SCOPED_TRACE(shown);
        DrawFrame();
        ASSERT_FALSE(Manager().NeedsRedraw());
        text->SetText(shown);
        EXPECT_TRUE(Manager().NeedsRedraw());
        EXPECT_EQ(std::string(text->GetText().CStr()), shown);
        DrawFrame();
        text->SetText(shown); // the same text again needs no frame
        EXPECT_FALSE(Manager().NeedsRedraw());
    }
}

TEST_F(TTextTest, ScrollingGoesByLinesWithHalfALineAtTheEnd)
{
    // Ten lines of 10 pixels in a box of 30: the last three fit from line 7.
    TText* text = MakeSized("0\n1\n2\n3\n4\n5\n6\n7\n8\n9", 40, 30, 10);
    ASSERT_EQ(text->GetLayout()->CountLinesThatFit(1.0f, 0), 7);
    const std::pair<float, float> cases[] = {{1.0f, 7.5f}, {0.0f, 0.0f}, {0.5f, 3.75f}};
    for (const auto& [fraction, line] : cases) {
        SCOPED_TRACE(fraction);
        DrawFrame();
        text->SetScroll(fraction);
        EXPECT_FLOAT_EQ(text->GetLayout()->GetScrollPosition(), line);
        EXPECT_TRUE(Manager().NeedsRedraw());
        DrawFrame();
        text->SetScroll(fraction);
        EXPECT_FALSE(Manager().NeedsRedraw());
    }
}

class TTextLinkTest : public TTextTest
{
protected:
    TTextLinkTest()
    {
        mDialog = Manager().PushModal(std::make_unique<TProbeModal>("dialog", kWidth, kHeight));
        mButton = mDialog->Adopt(std::make_unique<TPressCounter>("ok"));
        auto plain = std::make_unique<TWindow>();
        plain->SetName("plain");
        mDialog->Adopt(std::move(plain));
    }

    // Two lines of 10 pixels, each one link; kOnFirst and kOnSecond lie on them.
    static constexpr const char* kLinks = "<a id='%s'>AAAAAA</a><br><a id='%s'>BBBBBB</a>";
    static constexpr TPoint kOnFirst{8, 5};
    static constexpr TPoint kOnSecond{8, 15};

    TText* MakeLinks(const char* first, const char* second, TWindow* parent)
    {
        return MakeSized(TString::Printf(kLinks, first, second).CStr(), kWidth, 30, 10, parent);
    }

    TProbeModal* mDialog = nullptr;
    TPressCounter* mButton = nullptr;
};

TEST_F(TTextLinkTest, ReleasingOnThePressedLinkPressesTheButtonItNames)
{
    struct TCase
    {
        const char* what;
        const char* first;
        TPoint release;
        int presses;
        std::string logged; // "" for none
    };
    const TCase cases[] = {
        {"the same link", "ok", kOnFirst, 1, ""},
        {"another link", "ok", kOnSecond, 0, ""},
        {"no window of that name", "gone", kOnFirst, 0,
         TString::Printf(TText::kNoLinkedWindowLog, "gone").CStr()},
        {"a window that is no button", "plain", kOnFirst, 0,
         TString::Printf(TText::kLinkedWindowNotButtonLog, "plain").CStr()},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        mButton->presses = 0;
        TText* text = MakeLinks(c.first, "other", mDialog);
        ASSERT_EQ(std::string(text->GetLayout()->GetLinkAt(TVec2(8, 5), 0).CStr()), c.first);
        ASSERT_EQ(std::string(text->GetLayout()->GetLinkAt(TVec2(8, 15), 0).CStr()), "other");
        EXPECT_TRUE(text->OnMouseDown(kOnFirst));
        EXPECT_EQ(std::string(text->GetPressedLink().CStr()), c.first);
        EXPECT_TRUE(text->OnMouseUp(c.release));
        EXPECT_EQ(std::string(text->GetPressedLink().CStr()), "");
        EXPECT_EQ(mButton->presses, c.presses);
        if (!c.logged.empty()) {
            EXPECT_EQ(mFolder.CountLogLines(c.logged), 1);
        }
        EXPECT_FALSE(text->OnMouseUp(c.release)); // nothing pressed any more
    }
}

TEST_F(TTextLinkTest, APressBesideTheLinksIsNotHandled)
{
    TText* text = MakeSized("plain <a id='ok'>link</a>", kWidth, 30, 10, mDialog);
    EXPECT_FALSE(text->OnMouseDown(TPoint{2, 25})); // below the text
    EXPECT_FALSE(text->OnMouseUp(TPoint{2, 25}));
    EXPECT_EQ(mButton->presses, 0);
}

TEST_F(TTextLinkTest, ALinkOutsideAnyDialogFindsNoButton)
{
    // An overlay has no modal parent to search.
    auto* text = Manager().AddOverlay(std::make_unique<TText>());
    text->CreateLayout(TString::Printf(kLinks, "ok", "other"), kWidth, 30, 0, TText::kDefaultFace,
                       10, TColor(1, 1, 1, 1));
    EXPECT_TRUE(text->OnMouseDown(kOnFirst));
    EXPECT_TRUE(text->OnMouseUp(kOnFirst));
    EXPECT_EQ(mButton->presses, 0);
    EXPECT_EQ(mFolder.CountLogLines(TString::Printf(TText::kNoLinkedWindowLog, "ok").CStr()), 1);
}

TEST_F(TTextLinkTest, HoveringALinkCapturesTheMouseUntilItLeaves)
{
    TText* text = MakeLinks("ok", "other", mDialog);
    EXPECT_TRUE(text->OnMouseMove(kOnFirst));
    EXPECT_TRUE(Manager().HasCapture(text));
    EXPECT_EQ(std::string(text->GetLayout()->GetHoverLink().CStr()), "ok");
    EXPECT_FALSE(text->OnMouseMove(TPoint{9, 6})); // the same link: no change
    EXPECT_TRUE(text->OnMouseMove(kOnSecond));
    EXPECT_EQ(std::string(text->GetLayout()->GetHoverLink().CStr()), "other");
    DrawFrame();
    EXPECT_TRUE(text->OnMouseExit());
    EXPECT_FALSE(Manager().HasCapture(text));
    EXPECT_EQ(std::string(text->GetLayout()->GetHoverLink().CStr()), "");
    EXPECT_TRUE(Manager().NeedsRedraw());
}

TEST_F(TTextTest, TextIsDrawnInsideItsWindowAndStretchedByTheHorizontalScale)
{
    TText* text = MakeSized("IIII", 40, 16, 12);
    text->MoveTo(4, 8);
    DrawFrame();
    const TRect normal = LitBounds();
    ASSERT_FALSE(IsEmpty(normal));
    EXPECT_GE(normal.left, 4);
    EXPECT_GE(normal.top, 8);
    EXPECT_LE(normal.right, 44);
    EXPECT_LE(normal.bottom, 24);
    EXPECT_EQ(BackBuffer().At(normal.left + 1, (normal.top + normal.bottom) / 2) & 0xff0000,
              0u); // green text: no red

    text->SetHorizontalScale(2.0f);
    EXPECT_TRUE(Manager().NeedsRedraw());
    DrawFrame();
    const TRect wide = LitBounds();
    EXPECT_GT(wide.right - wide.left, (normal.right - normal.left) * 3 / 2);
    EXPECT_EQ(wide.top, normal.top);
    EXPECT_EQ(wide.bottom, normal.bottom);
    // A new layout keeps the scale.
    text->CreateLayout("IIII", 40, 16, 0, TText::kDefaultFace, 12, TColor(0, 1, 0, 1));
    EXPECT_FLOAT_EQ(text->GetLayout()->GetHorizontalScale(), 2.0f);
}

// Text windows built by window scripts.
using TTextScriptTest = TWindowScriptTest;

TEST_F(TTextScriptTest, TheFontKeyGivesFaceSizeAndColour)
{
    struct TCase
    {
        const char* font;
        const char* face;
        unsigned int size;
        TColor colour;
    };
    const TCase cases[] = {
        {"nil", "__DEFAULT", 16, TColor(0, 1, 0, 1)},
        {"{ 'arial', 0 }", "arial", 12, TColor(0, 1, 0, 1)},
        {"{ 'arial', -5 }", "arial", 12, TColor(0, 1, 0, 1)},
        {"{ }", "__DEFAULT", 16, TColor(0, 1, 0, 1)},
        {"{ '__DEFAULT', 24, { 1, 0, 0, 0.5 } }", "__DEFAULT", 24, TColor(1, 0, 0, 0.5f)},
    };
    int made = 0;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.font);
        const std::string name = "t" + std::to_string(made++);
        Run("MakeDialog { Text { name = '" + name +
            "', w = 40, h = 20, label = '#x', font = " + c.font + " } }");
        auto* text = WindowCast<TText>(Find(name.c_str()));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(std::string(text->GetFontFace().CStr()), c.face);
        EXPECT_EQ(text->GetFontSize(), c.size);
        EXPECT_FALSE(text->GetFontColor() != c.colour);
    }
}

TEST_F(TTextScriptTest, ScriptsMakeTextsAndReadAndChangeTheirLabels)
{
    Script().SetTranslateLabels(true);
    Run("MakeDialog { Text { name = 't', w = 40, h = 20, label = '#Hello', flags = kHAlignCenter, "
        "padding = 3 }, TextEdit { name = 'e', w = 40, h = 20, label = '#raw' } }");
    auto* text = WindowCast<TText>(Find("t"));
    auto* edit = WindowCast<TTextEdit>(Find("e"));
    ASSERT_NE(text, nullptr);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(WindowCast<TTextEdit>(static_cast<TWindow*>(text)), nullptr);
    EXPECT_NE(WindowCast<TText>(static_cast<TWindow*>(edit)), nullptr);
    EXPECT_STREQ(edit->GetClassName(), "TTextEdit");
    EXPECT_EQ(text->GetLineSpacing(), 3);
    EXPECT_EQ(Eval("GetLabel('t')"), "Hello");
    EXPECT_EQ(Eval("GetLabel('e')"), "#raw"); // an entry's label is never translated
    EXPECT_TRUE(Script().GetTranslateLabels());
    Run("SetLabel('t', 'Bye') SetLabel('e', 'typed')");
    EXPECT_EQ(std::string(text->GetText().CStr()), "Bye");
    EXPECT_EQ(std::string(edit->GetText().CStr()), "typed");
}

} // namespace
