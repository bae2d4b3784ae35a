#include "engine/ui/window/TWindow.h"
#include "tests/engine/ui/UiTestSupport.h"

#include <climits>

namespace {

constexpr int kCenter = TWindow::kCenter;
constexpr int kMax = TWindow::kMax;

struct TPlacement
{
    const char* what;
    TMapStyle style;
    TRect expected; // in the 800 x 600 parent
};

// Places a child of an 800 x 600 parent by the case's style.
void ExpectPlaced(const TPlacement& c)
{
    TWindow parent;
    parent.SetSize(800, 600);
    auto* child = parent.Adopt(std::make_unique<TWindow>());
    child->SetRectFromStyle(c.style);
    const TRect& r = child->GetRect();
    EXPECT_EQ(
        (std::vector<int>{r.left, r.top, r.right, r.bottom}),
        (std::vector<int>{c.expected.left, c.expected.top, c.expected.right, c.expected.bottom}))
        << c.what;
}

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
    for (const TPlacement& c : cases)
        ExpectPlaced(c);
}

TEST(TWindowPlacement, RelativeValuesWaitForThePartsTheyNeed)
{
    // A parent without a width: a relative x changes nothing yet.
    TWindow parent;
    parent.SetSize(0, 600);
    auto* child = parent.Adopt(std::make_unique<TWindow>());
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
    auto* window = parent.Adopt(std::make_unique<TWindow>());
    TMapStyle style{{"x", kCenter}, {"y", 40}, {"fit", 1}};
    style.strings["name"] = "panel";

    window->Init(style);
    EXPECT_EQ(window->GetName(), TString("panel"));
    EXPECT_EQ(window->GetLeft(), 0); // no width yet: not placed
    auto contentOwned = std::make_unique<TWindow>();
    auto* content = contentOwned.get();
    content->SetSize(100, 50);
    window->Adopt(std::move(contentOwned));
    window->PostChildrenInit(style);
    EXPECT_EQ(window->GetLeft(), 350);
    EXPECT_EQ(window->GetTop(), 40);
    EXPECT_EQ(window->GetWidth(), 100);
    EXPECT_EQ(window->GetHeight(), 50);
}

// Coordinates and sizes at the ends of the int range are resolved without overflow and
// held to kCoordinateLimit, so the rectangle they give can be moved and summed safely.
TEST(TWindowPlacement, StyleValuesAtTheIntLimitsAreHeldToTheCoordinateLimit)
{
    constexpr int kLimit = TWindow::kCoordinateLimit;
    const TPlacement cases[] = {
        {"far x", {{"x", 2147483000}, {"w", 100}, {"h", 10}}, {kLimit, 0, kLimit + 100, 10}},
        {"largest x", {{"x", INT_MAX}, {"w", 100}, {"h", 10}}, {kLimit, 0, kLimit + 100, 10}},
        {"smallest x", {{"x", INT_MIN}, {"w", 100}, {"h", 10}}, {-kLimit, 0, -kLimit + 100, 10}},
        {"smallest x with align",
         {{"x", INT_MIN}, {"w", 100}, {"h", 10}, {"align", 0}},
         {-kLimit, 0, -kLimit + 100, 10}},
        {"largest x right-aligned",
         {{"x", INT_MAX}, {"w", 100}, {"h", 10}, {"align", 2}},
         {kLimit, 0, kLimit + 100, 10}},
        {"largest width", {{"x", 20}, {"w", INT_MAX}, {"h", 10}}, {20, 0, 20 + kLimit, 10}},
        {"largest width at the largest x",
         {{"x", INT_MAX}, {"w", INT_MAX}, {"h", 10}},
         {kLimit, 0, 0, 10}},
        {"smallest width", {{"x", 20}, {"w", INT_MIN}, {"h", 10}}, {20, 0, 20 + kLimit, 10}},
        {"smallest width at the smallest x",
         {{"x", INT_MIN}, {"w", INT_MIN}, {"h", 10}},
         {-kLimit, 0, 0, 10}},
        {"largest y bottom-aligned",
         {{"y", INT_MAX}, {"w", 10}, {"h", INT_MAX}, {"align", 8}},
         {0, 0, 10, kLimit}},
        {"centred on the largest y",
         {{"y", INT_MAX}, {"w", 10}, {"h", 100}, {"align", 4}},
         {0, kLimit, 10, kLimit + 100}},
        {"smallest y and height",
         {{"y", INT_MIN}, {"w", 10}, {"h", INT_MIN}, {"align", 0}},
         {0, -kLimit, 10, 0}},
    };
    for (const TPlacement& c : cases)
        ExpectPlaced(c);
}

// Without a parent only the alignment applies, and it too is held to the limit.
TEST(TWindowPlacement, AlignmentAtTheIntLimitsWithoutAParent)
{
    constexpr int kLimit = TWindow::kCoordinateLimit;
    struct TCase
    {
        int position, size;
        bool centre, far;
        int expectedPosition, expectedSize;
    } cases[] = {
        {INT_MIN, INT_MAX, false, true, -kLimit, kLimit},
        {INT_MIN, INT_MAX, true, false, -kLimit, kLimit},
        {INT_MAX, INT_MIN, false, true, kLimit, -kLimit},
        {INT_MAX, 100, false, false, kLimit, 100},
    };
    for (const TCase& c : cases) {
        TWindow alone;
        int position = c.position;
        int size = c.size;
        alone.ResolveCoordinate(position, size, 800, c.centre, c.far, true);
        EXPECT_EQ(position, c.expectedPosition) << c.position << " " << c.size;
        EXPECT_EQ(size, c.expectedSize) << c.position << " " << c.size;
    }
}

// A chain of windows each placed as far as a style can place it: the screen rectangle
// of the deepest is still in range.
TEST(TWindowPlacement, ADeepChainOfFarWindowsKeepsItsScreenRectangleInRange)
{
    TWindow root;
    root.SetSize(800, 600);
    TWindow* parent = &root;
    for (int level = 0; level < 3000; ++level) {
        auto* child = parent->Adopt(std::make_unique<TWindow>());
        child->SetRectFromStyle(TMapStyle{{"x", INT_MAX}, {"y", INT_MIN}, {"w", 10}, {"h", 10}});
        parent = child;
    }
    const TRect screen = parent->GetScreenRect();
    EXPECT_EQ(screen.left, 1 << 30);
    EXPECT_EQ(screen.top, -(1 << 30));
    EXPECT_EQ(parent->LocalToScreen({5, 5}).x, (1 << 30) + 5);
}

} // namespace
