#include "engine/ui/window/TWindow.h"
#include "engine/ui/window/TWindowSpider.h"
#include "tests/engine/ui/UiTestSupport.h"

namespace {

// The children's names, front first.
std::string Order(const TWindow& parent)
{
    std::string names;
    for (const TWindow* child : parent.GetChildren())
        names += child->GetName().CStr();
    return names;
}

// A parent with children adopted so that the list reads "abc" (a at the front).
struct TThree
{
    TThree()
    {
        for (const char* name : {"c", "b", "a"}) {
            auto* child = new TWindow();
            child->SetName(name);
            parent.AdoptChild(child, true);
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
    auto* box = new TWindow();
    box->SetName("box");
    box->MoveTo(10, 10);
    box->SetSize(50, 50);
    root.AdoptChild(box, true);
    auto* inner = new TWindow();
    inner->SetName("inner");
    inner->MoveTo(5, 5);
    inner->SetSize(10, 10);
    box->AdoptChild(inner, true);
    auto* cover = new TWindow();
    cover->SetName("cover");
    cover->SetSize(100, 100);
    cover->SetFlags(cover->GetFlags() & ~TWindow::kShown);
    root.AdoptChild(cover, true); // in front, but hidden

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

// Removes every visited window from its parent and deletes it.
class TRemovingSpider final : public TWindowSpider
{
public:
    bool Visit(TWindow* window) override
    {
        visited += window->GetName().CStr();
        window->GetParent()->RemoveChild(window);
        delete window;
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
    EXPECT_FALSE(parent.AdoptChild(refusing.get(), true));
    EXPECT_EQ(refusing->GetParent(), nullptr);
    EXPECT_TRUE(parent.GetChildren().empty());

    // A window adopted elsewhere leaves its old parent; a deleted one leaves its parent.
    TWindow other;
    auto* moving = new TWindow();
    parent.AdoptChild(moving, true);
    other.AdoptChild(moving, true);
    EXPECT_TRUE(parent.GetChildren().empty());
    EXPECT_EQ(moving->GetParent(), &other);
    delete moving;
    EXPECT_TRUE(other.GetChildren().empty());

    // Fitting grows to the children, never shrinks.
    parent.SetSize(30, 300);
    auto* wide = new TWindow();
    wide->MoveTo(10, 5);
    wide->SetSize(100, 20);
    parent.AdoptChild(wide, true);
    parent.FitToChildren();
    EXPECT_EQ(parent.GetWidth(), 110);
    EXPECT_EQ(parent.GetHeight(), 300);
}

} // namespace
