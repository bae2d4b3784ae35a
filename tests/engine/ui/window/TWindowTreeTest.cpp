#include "engine/ui/window/TWindow.h"
#include "engine/ui/window/TWindowSpider.h"
#include "tests/engine/ui/UiTestSupport.h"

namespace {

// The children's names, front first.
std::string Order(const TWindow& parent)
{
    std::string names;
    for (const std::unique_ptr<TWindow>& child : parent.GetChildren())
        names += child->GetName().CStr();
    return names;
}

// A parent with children adopted so that the list reads "abc" (a at the front).
struct TThree
{
    TThree()
    {
        for (const char* name : {"c", "b", "a"}) {
            auto child = std::make_unique<TWindow>();
            child->SetName(name);
            parent.Adopt(std::move(child));
        }
    }
    TWindow* Named(const char* name) { return parent.FindChild(name, 1); }

    TWindow parent;
};

TEST(TWindowTree, ZOrderModesAtTheEdgesOfTheList)
{
    struct TCase
    {
        const char* window;
        int mode;
        const char* sibling; // null: none
        const char* expected;
    };
    const TCase cases[] = {
        {"a", 0, nullptr, "bca"}, {"c", 0, nullptr, "abc"}, {"c", 1, nullptr, "cab"},
        {"a", 1, nullptr, "abc"}, {"b", 2, nullptr, "bac"}, {"a", 2, nullptr, "abc"},
        {"b", 3, nullptr, "acb"}, {"c", 3, nullptr, "abc"}, {"c", 4, "a", "cab"},
        {"a", 4, "c", "bac"},     {"a", 4, nullptr, "bca"}, {"b", 9, "a", "bac"},
    };
    for (const TCase& c : cases) {
        TThree three;
        TWindow* sibling = c.sibling != nullptr ? three.Named(c.sibling) : nullptr;
        three.Named(c.window)->SetZOrder(c.mode, sibling);
        EXPECT_EQ(Order(three.parent), c.expected)
            << c.window << " mode " << c.mode << " sibling " << (c.sibling ? c.sibling : "-");
    }
}

TEST(TWindowTree, SetFlagsKeepsTheClassBitsAndIdsAreHexadecimal)
{
    TModalWindow modal;
    EXPECT_EQ(modal.GetFlags(), TWindow::kModalRoot | TWindow::kTakesFocus | TWindow::kShown);
    modal.SetFlags(0x10900);
    EXPECT_EQ(modal.GetFlags(), 0x903u); // bits 8 to 15 replaced, low byte kept, above dropped
    modal.SetFlags(0);
    EXPECT_EQ(modal.GetFlags(), 0x3u);

    TWindow first;
    TWindow second;
    EXPECT_EQ(second.GetId(), first.GetId() + 1);
    const std::string id = second.GetIdString().CStr();
    ASSERT_EQ(id.size(), 8u);
    char expected[16];
    std::snprintf(expected, sizeof expected, "%8x", static_cast<unsigned>(second.GetId()));
    EXPECT_EQ(id, expected);
}

TEST(TWindowTree, SearchesFindShownWindowsWithinTheirDepth)
{
    TWindow root;
    root.SetSize(100, 100);
    auto* box = root.Adopt(std::make_unique<TWindow>());
    box->SetName("box");
    box->MoveTo(10, 10);
    box->SetSize(50, 50);
    auto* inner = box->Adopt(std::make_unique<TWindow>());
    inner->SetName("inner");
    inner->MoveTo(5, 5);
    inner->SetSize(10, 10);
    auto* cover = root.Adopt(std::make_unique<TWindow>()); // in front, but hidden
    cover->SetName("cover");
    cover->SetSize(100, 100);
    cover->SetFlags(cover->GetFlags() & ~TWindow::kShown);

    EXPECT_EQ(root.FindChild("inner", -1), inner);
    EXPECT_EQ(root.FindChild("inner", 1), nullptr);
    EXPECT_EQ(root.FindChild(TString(""), 0), &root); // the window itself first
    EXPECT_EQ(root.FindChild<TModalWindow>("box"), nullptr);

    EXPECT_EQ(root.ChildAt({20, 20}), box); // the hidden cover is skipped
    EXPECT_EQ(root.ChildAt({90, 90}), &root);
    EXPECT_EQ(root.FindWindowAt({16, 16}, -1), inner);
    EXPECT_EQ(root.FindWindowAt({16, 16}, 0), nullptr);
    EXPECT_EQ(root.FindWindowAt({12, 12}, -1), box);
    EXPECT_EQ(root.FindWindowAt({16, 16}, 1), nullptr); // the depth runs out on the way
    // A window inside a hidden window is not shown either.
    box->SetFlags(box->GetFlags() & ~TWindow::kShown);
    EXPECT_FALSE(inner->IsShown());
    EXPECT_EQ(root.FindWindowAt({16, 16}, -1), &root);

    EXPECT_EQ(inner->GetScreenRect().left, 15);
    EXPECT_EQ(inner->LocalToScreen({1, 2}).y, 17);
    EXPECT_EQ(inner->ScreenToLocal({15, 15}).x, 0);
}

// Removes every visited window from its parent and lets it go.
class TRemovingSpider final : public TWindowSpider
{
public:
    bool Visit(TWindow* window) override
    {
        visited += window->GetName().CStr();
        EXPECT_NE(window->GetParent()->RemoveChild(window), nullptr);
        return visited.size() < 2;
    }
    std::string visited;
};

TEST(TWindowTree, SpidersMayRemoveWhatTheyVisit)
{
    TThree three;
    TRemovingSpider spider;
    EXPECT_FALSE(three.parent.ForEachChild(spider, true));
    EXPECT_EQ(spider.visited, "cb");
    EXPECT_EQ(Order(three.parent), "a");
}

TEST(TWindowTree, ChildrenComeAndGoSafely)
{
    TWindow parent;
    // A child that refuses its attachment stays out, and the caller keeps it.
    struct TRefusing : TWindow
    {
        bool OnAttach() override { return false; }
    };
    auto refusing = std::make_unique<TRefusing>();
    TWindow* refusingWindow = refusing.get();
    const std::unique_ptr<TWindow> refused = parent.AdoptChild(std::move(refusing), true);
    EXPECT_EQ(refused.get(), refusingWindow);
    EXPECT_EQ(refusingWindow->GetParent(), nullptr);
    EXPECT_TRUE(parent.GetChildren().empty());
    EXPECT_EQ(parent.Adopt(std::make_unique<TRefusing>()), nullptr);
    EXPECT_TRUE(parent.GetChildren().empty());
    EXPECT_EQ(parent.AdoptChild(nullptr, true), nullptr);

    // A window moved elsewhere leaves its old parent; one removed and let go is gone.
    TWindow other;
    auto* moving = parent.Adopt(std::make_unique<TWindow>());
    EXPECT_EQ(other.AdoptChild(parent.RemoveChild(moving), true), nullptr);
    EXPECT_TRUE(parent.GetChildren().empty());
    EXPECT_EQ(moving->GetParent(), &other);
    EXPECT_EQ(parent.RemoveChild(moving), nullptr); // not its child
    EXPECT_EQ(other.RemoveChild(moving).get(), moving);
    EXPECT_TRUE(other.GetChildren().empty());

    // Fitting grows to the children, never shrinks.
    parent.SetSize(30, 300);
    auto* wide = parent.Adopt(std::make_unique<TWindow>());
    wide->MoveTo(10, 5);
    wide->SetSize(100, 20);
    parent.FitToChildren();
    EXPECT_EQ(parent.GetWidth(), 110);
    EXPECT_EQ(parent.GetHeight(), 300);
}

} // namespace
