#include "engine/ui/window/TWindow.h"
#include "tests/engine/ui/UiTestSupport.h"

namespace {

constexpr int kCenter = TWindow::kCenter;
constexpr int kMax = TWindow::kMax;

struct TPlacement
{
    const char* what;
    TMapStyle style;
    TRect expected; // in the 800 x 600 parent
};

TEST(TWindowPlacement, StylesPlaceWindowsInAnEightHundredWideParent)
{
    const TPlacement cases[] = {
        {"centred", {{"x", kCenter}, {"w", 200}, {"h", 10}}, {300, 0, 500, 10}},
        {"from the far edge", {{"x", kMax - 10}, {"w", 100}, {"h", 10}}, {790, 0, 890, 10}},
        {"right edge 10 before the far edge",
         {{"x", kMax - 10}, {"w", 100}, {"h", 10}, {"align", 2}},
         {690, 0, 790, 10}},
        {"reaching the far edge", {{"x", 20}, {"w", kMax}, {"h", 10}}, {20, 0, 800, 10}},
        {"reaching 10 before the far edge",
         {{"x", 20}, {"w", kMax - 10}, {"h", 10}},
         {20, 0, 790, 10}},
        {"negative x without align", {{"x", -50}, {"w", 40}, {"h", 10}}, {750, 0, 790, 10}},
        {"negative x with align",
         {{"x", -50}, {"w", 40}, {"h", 10}, {"align", 0}},
         {-50, 0, -10, 10}},
        {"right-aligned absolute",
         {{"x", 700}, {"w", 100}, {"h", 10}, {"align", 2}},
         {600, 0, 700, 10}},
        {"centred on an absolute x",
         {{"x", 400}, {"w", 100}, {"h", 10}, {"align", 1}},
         {350, 0, 450, 10}},
        {"negative size ends at x", {{"x", 300}, {"w", -100}, {"h", 10}}, {200, 0, 300, 10}},
        {"inset from the centre code",
         {{"x", kCenter + 10}, {"w", kMax}, {"h", 10}},
         {20, 0, 800, 10}},
        {"inset before the centre code",
         {{"x", kCenter - 10}, {"w", kMax}, {"h", 10}},
         {0, 0, 780, 10}},
        {"inset from a negated far size",
         {{"x", kCenter + 10}, {"w", -kMax}, {"h", 10}},
         {20, 0, 800, 10}},
        {"negated far size at an absolute x",
         {{"x", 20}, {"w", -kMax}, {"h", 10}},
         {20, 0, 800, 10}},
        {"centred vertically", {{"y", kCenter}, {"w", 10}, {"h", 100}}, {0, 250, 10, 350}},
        {"centred on an absolute y",
         {{"y", 300}, {"w", 10}, {"h", 100}, {"align", 4}},
         {0, 250, 10, 350}},
        {"bottom-aligned", {{"y", 600}, {"w", 10}, {"h", 100}, {"align", 8}}, {0, 500, 10, 600}},
        {"from the bottom edge", {{"y", -20}, {"w", 10}, {"h", 10}}, {0, 580, 10, 590}},
        {"relative x waits for a width", {{"x", kCenter}, {"h", 10}}, {0, 0, 0, 0}},
        {"relative y waits for a height", {{"y", kCenter}, {"w", 10}}, {0, 0, 0, 0}},
    };
    for (const TPlacement& c : cases) {
        TWindow parent;
        parent.SetSize(800, 600);
        auto* child = new TWindow();
        parent.AdoptChild(child, true);
        child->SetRectFromStyle(c.style);
        const TRect& r = child->GetRect();
        EXPECT_EQ((std::vector<int>{r.left, r.top, r.right, r.bottom}),
                  (std::vector<int>{c.expected.left, c.expected.top, c.expected.right,
                                    c.expected.bottom}))
            << c.what;
    }
}

TEST(TWindowPlacement, RelativeValuesWaitForThePartsTheyNeed)
{
    // A parent without a width: a relative x changes nothing yet.
    TWindow parent;
    parent.SetSize(0, 600);
    auto* child = new TWindow();
    parent.AdoptChild(child, true);
    child->SetRectFromStyle(TMapStyle{{"x", kCenter}, {"w", 100}, {"h", 10}});
    EXPECT_EQ(child->GetWidth(), 0);

    // The style fills in only what is still 0: a placed window keeps its place.
    parent.SetSize(800, 600);
    child->MoveTo(5, 7);
    child->SetRectFromStyle(TMapStyle{{"x", 100}, {"y", 200}, {"w", 30}, {"h", 10}});
    EXPECT_EQ(child->GetLeft(), 5);
    EXPECT_EQ(child->GetTop(), 7);
    EXPECT_EQ(child->GetWidth(), 30);

    // Without a parent only the alignment applies.
    TWindow alone;
    alone.SetRectFromStyle(TMapStyle{{"x", 300}, {"w", 100}, {"h", 10}, {"align", 1}});
    EXPECT_EQ(alone.GetLeft(), 250);
}

TEST(TWindowPlacement, AWindowSizedByItsChildrenIsPlacedAfterThem)
{
    TWindow parent;
    parent.SetSize(800, 600);
    auto* window = new TWindow();
    parent.AdoptChild(window, true);
    TMapStyle style{{"x", kCenter}, {"y", 40}, {"fit", 1}};
    style.strings["name"] = "panel";

    window->Init(style);
    EXPECT_EQ(window->GetName(), TString("panel"));
    EXPECT_EQ(window->GetLeft(), 0); // no width yet: not placed
    auto* content = new TWindow();
    content->SetSize(100, 50);
    window->AdoptChild(content, true);
    window->PostChildrenInit(style);
    EXPECT_EQ(window->GetLeft(), 350);
    EXPECT_EQ(window->GetTop(), 40);
    EXPECT_EQ(window->GetWidth(), 100);
    EXPECT_EQ(window->GetHeight(), 50);
}

} // namespace
