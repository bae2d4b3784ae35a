#include "engine/ui/window/TDefaultButton.h"
#include "engine/ui/window/TLayeredWindow.h"
#include "engine/ui/window/TWindowAnim.h"
#include "tests/engine/LogLine.h"
#include "tests/engine/ui/UiTestSupport.h"

#include <algorithm>

namespace {

using TModalWindows = TUiTest;

std::unique_ptr<TWindow> Opaque(int width, int height)
{
    auto window = std::make_unique<TWindow>();
    window->SetFlags(window->GetFlags() | TWindow::kOpaque);
    window->SetSize(width, height);
    return window;
}

bool IsOpaque(const TWindow* window)
{
    return (window->GetFlags() & TWindow::kOpaque) != 0;
}

TEST_F(TModalWindows, AFullSizeOpaqueChildMakesTheModalOpaque)
{
    MakeRoot();
    auto* dialog =
        Manager().PushModal(std::make_unique<TProbeModal>("dialog")); // takes the root's size
    ASSERT_EQ(dialog->GetWidth(), kWidth);
    EXPECT_FALSE(IsOpaque(dialog));

    // Covering, shrinking, growing back, removing.
    TWindow* panel = dialog->Adopt(Opaque(kWidth, kHeight));
    panel->SetSize(kWidth, kHeight); // placed windows are sized after adoption
    EXPECT_TRUE(IsOpaque(dialog));
    panel->SetSize(kWidth - 1, kHeight);
    EXPECT_FALSE(IsOpaque(dialog));
    panel->SetSize(kWidth, kHeight);
    EXPECT_TRUE(IsOpaque(dialog));
    std::unique_ptr<TWindow> removed = dialog->RemoveChild(panel);
    EXPECT_FALSE(IsOpaque(dialog));
    removed.reset();

    // Inside an intermediate window: taking that window out uncovers the dialog too.
    auto* group = dialog->Adopt(std::make_unique<TWindow>());
    TWindow* deep = group->Adopt(Opaque(0, 0));
    deep->SetSize(kWidth, kHeight);
    EXPECT_TRUE(dialog->IsCoveredBy(deep));
    removed = dialog->RemoveChild(group);
    EXPECT_FALSE(IsOpaque(dialog));
    EXPECT_FALSE(dialog->IsCoveredBy(deep));
    removed.reset();

    // A covering window deleted by its owner uncovers the dialog as well.
    TWindow* doomed = dialog->Adopt(Opaque(0, 0));
    doomed->SetSize(kWidth, kHeight);
    EXPECT_TRUE(IsOpaque(dialog));
    dialog->RemoveChild(doomed).reset();
    EXPECT_FALSE(IsOpaque(dialog));
}

TEST_F(TModalWindows, OpacityChainsToTheParentModalWhenTheSizesMatch)
{
    TScreen* root = MakeRoot();
    auto* lower = Manager().PushModal(std::make_unique<TProbeModal>("lower"));
    auto* upper = Manager().PushModal(std::make_unique<TProbeModal>("upper"));
    EXPECT_FALSE(IsOpaque(lower)); // nothing covers it yet

    TWindow* panel = upper->Adopt(Opaque(0, 0));
    panel->SetSize(kWidth, kHeight);
    EXPECT_TRUE(IsOpaque(upper));
    EXPECT_TRUE(IsOpaque(lower));
    EXPECT_TRUE(root->IsCoveredBy(lower));

    upper->SetSize(kWidth, kHeight - 1); // no longer the size of its parent
    upper->SetFlags(upper->GetFlags());
    EXPECT_TRUE(IsOpaque(upper));
    EXPECT_FALSE(IsOpaque(lower));
}

// A button that Enter can press; its command may close the dialog.
class TFakeButton final : public TProbe, public TDefaultButton
{
public:
    TFakeButton(const char* name, bool isDefault) : TProbe(name, 0, 0, 10, 10), mDefault(isDefault)
    {
    }
    bool IsDefaultButton() const override { return mDefault; }
    bool DoCommand() override
    {
        Record("command");
        if (closes) {
            GetWindowManager()->ScheduleDelete(GetParent()->RemoveChild(this));
            return false;
        }
        return true;
    }
    bool closes = false;

private:
    bool mDefault;
};

TEST_F(TModalWindows, EnterPressesTheShownDefaultButtonOrSendsTheDefaultAction)
{
    struct TCase
    {
        const char* what;
        bool hasDefault;
        bool hidden;
        bool closes;
        std::vector<std::string> expected;
    };
    const TCase cases[] = {
        {"no default button", false, false, false, {"field char 13", "field message 2 "}},
        {"a hidden default button", true, true, false, {"field char 13", "field message 2 "}},
        {"a default button",
         true,
         false,
         false,
         {"field char 13", "ok command", "field message 2 "}},
        {"a default button that closes", true, false, true, {"field char 13", "ok command"}},
    };
    for (const TCase& c : cases) {
        MakeRoot();
        auto* dialog = Manager().PushModal(std::make_unique<TProbeModal>("dialog"));
        auto* group = dialog->Adopt(std::make_unique<TWindow>());
        auto buttonOwned = std::make_unique<TFakeButton>("ok", c.hasDefault);
        auto* button = buttonOwned.get();
        button->closes = c.closes;
        group->Adopt(std::move(buttonOwned));
        if (c.hidden)
            button->SetFlags(button->GetFlags() & ~TWindow::kShown);
        auto fieldOwned = std::make_unique<TProbe>("field", 20, 0, 10, 10);
        auto* field = fieldOwned.get();
        field->takesMessages = true;
        dialog->Adopt(std::move(fieldOwned));
        Manager().SetFocusWindow(field);
        Idle(); // the dialogs of earlier cases announce their closing now
        ProbeLog().clear();

        Send(TEvent::kChar, 0, 0, 13);
        EXPECT_EQ(ProbeLog(), c.expected) << c.what;
        while (Manager().GetTopModal() != nullptr)
            Manager().PopModal();
    }
}

TEST_F(TModalWindows, TheFocusPassesOnToTheFocusChild)
{
    MakeRoot();
    auto dialogOwned = std::make_unique<TProbeModal>("dialog");
    auto* dialog = dialogOwned.get();
    auto* field = dialog->Adopt(std::make_unique<TProbe>("field", 0, 0, 10, 10));
    dialog->SetFocusChild(field);
    Manager().PushModal(std::move(dialogOwned));
    EXPECT_EQ(Manager().GetFocusWindow(), field);

    // A new focus child takes the focus at once while the dialog has it.
    auto* other = dialog->Adopt(std::make_unique<TProbe>("other", 0, 10, 10, 10));
    dialog->SetFocusChild(nullptr);
    Manager().SetFocusWindow(dialog);
    ASSERT_EQ(Manager().GetFocusWindow(), dialog);
    dialog->SetFocusChild(other);
    EXPECT_EQ(Manager().GetFocusWindow(), other);
    dialog->SetFocusChild(nullptr);
    EXPECT_EQ(Manager().GetFocusWindow(), other); // the dialog no longer had the focus
}

TEST_F(TModalWindows, LayersShowOneSetOfChildrenAtATime)
{
    TLogCapture log;
    TLayeredWindow layered(3);
    auto add = [&layered](const char* name) {
        auto child = std::make_unique<TWindow>();
        child->SetName(name);
        layered.Adopt(std::move(child));
    };
    auto shown = [&layered] {
        std::string names;
        for (const std::unique_ptr<TWindow>& child : layered.GetChildren())
            if ((child->GetFlags() & TWindow::kShown) != 0)
                names += child->GetName().CStr();
        return names;
    };
    layered.SelectLayer(-1);
    add("a"); // in every layer
    layered.SelectLayer(1);
    add("b");
    layered.SelectLayer(2);
    add("c");

    struct TStep
    {
        int select;
        const char* shown;
    };
    const TStep steps[] = {{0, "a"}, {1, "ba"}, {2, "ca"}, {-1, "a"}, {5, "a"}, {-2, "a"}};
    for (const TStep& step : steps) {
        layered.SelectLayer(step.select);
        EXPECT_EQ(shown(), step.shown) << "layer " << step.select;
    }
    EXPECT_TRUE(log.Has(LogLine(TLayeredWindow::kNoLayerLog, layered.GetName().CStr(), 5, 3u)));
    EXPECT_EQ(layered.GetCurrentLayer(), -1);

    // Selecting the current layer again changes nothing, even a child hidden meanwhile.
    layered.SelectLayer(2);
    TWindow* c = layered.FindChild("c", 1);
    c->SetFlags(c->GetFlags() & ~TWindow::kShown);
    layered.SelectLayer(2);
    EXPECT_EQ(shown(), "a");

    // A removed child leaves every layer.
    EXPECT_NE(layered.RemoveChild(c), nullptr);
    EXPECT_TRUE(layered.GetLayer(2).size() == 1);
}

TEST_F(TModalWindows, TheClockPausesUnderADialogAndRunsAgainAfterDoPopModal)
{
    TScreen* root = MakeRoot();
    EXPECT_FALSE(root->GetClock().IsPaused());
    Manager().PushModal(std::make_unique<TProbeModal>("one"));
    EXPECT_TRUE(root->GetClock().IsPaused());

    Manager().PopModal(); // a plain pop leaves it paused
    EXPECT_TRUE(root->GetClock().IsPaused());
    auto* two = Manager().PushModal(std::make_unique<TProbeModal>("two"));
    EXPECT_FALSE(two->GetClock().IsPaused());
    Manager().DoPopModal("two");
    EXPECT_FALSE(root->GetClock().IsPaused());
}

TEST_F(TModalWindows, AClosedDialogAnnouncesItselfByItsIdString)
{
    TRecordingScript* script = AttachRecordingScript();
    MakeRoot();
    auto* dialog = Manager().PushModal(std::make_unique<TProbeModal>("dialog"));
    const std::string id = dialog->GetIdString().CStr();

    // kCloseWindow named with the id string closes it; the next event deletes it.
    Manager().QueueMessage(std::make_unique<TMessage>(TMessage::kCloseWindow, id.c_str()));
    Idle();
    EXPECT_EQ(Manager().GetTopModal(), Manager().GetRootWindow());
    Idle();
    EXPECT_EQ(script->delivered, (std::vector<std::string>{"6 " + id}));
}

TEST_F(TModalWindows, WindowAnimationsRunOnTheirDialogsTasks)
{
    MakeRoot();
    auto* dialog = Manager().PushModal(std::make_unique<TProbeModal>("dialog"));
    auto* spinner = dialog->Adopt(std::make_unique<TProbe>("spinner", 0, 0, 5, 5));
    spinner->StartAnim(0, true, true, false);
    ProbeLog().clear();
    TWindowAnim* anim = spinner->GetAnimTask();
    ASSERT_NE(anim, nullptr);
    EXPECT_EQ(anim->GetWindow(), spinner);

    dialog->RunTasks(kPassEveryTurn);
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"spinner update"}));

    // A false Update ends the task; the next StartAnim makes a new one.
    spinner->keepAnimating = false;
    dialog->RunTasks(kPassEveryTurn);
    EXPECT_NE(spinner->GetAnimTask(), nullptr);

    // A window deleted while animating leaves a task that ends at its next step.
    spinner->StartAnim(0, true, true, false);
    EXPECT_NE(dialog->RemoveChild(spinner), nullptr);
    ProbeLog().clear();
    dialog->RunTasks(kPassEveryTurn);
    EXPECT_TRUE(ProbeLog().empty());

    // A window outside every dialog cannot animate.
    TLogCapture log;
    TProbe loose("loose", 0, 0, 1, 1);
    EXPECT_EQ(loose.GetAnimTask(), nullptr);
    EXPECT_TRUE(log.Has(LogLine(TWindow::kAnimateOutsideModalLog, "loose")));
}

// A window learns its modal parent from its parent, and a subtree that moves to another
// dialog learns the new one, down to (not into) the dialogs inside it.
TEST_F(TModalWindows, WindowsKnowTheirModalParentWhereverTheyMove)
{
    MakeRoot();
    auto* first = Manager().PushModal(std::make_unique<TProbeModal>("first"));
    auto* second = Manager().PushModal(std::make_unique<TProbeModal>("second"));

    auto groupOwned = std::make_unique<TWindow>();
    auto* group = groupOwned.get();
    auto leafOwned = std::make_unique<TWindow>();
    auto* leaf = leafOwned.get();
    auto innerOwned = std::make_unique<TProbeModal>("inner");
    auto* inner = innerOwned.get();
    auto innerLeafOwned = std::make_unique<TWindow>();
    auto* innerLeaf = innerLeafOwned.get();
    group->Adopt(std::move(leafOwned));
    group->Adopt(std::move(innerOwned), false);
    inner->Adopt(std::move(innerLeafOwned));
    // Outside every dialog, the subtree has none but its own.
    EXPECT_EQ(group->GetModalParent(), nullptr);
    EXPECT_EQ(leaf->GetModalParent(), nullptr);
    EXPECT_EQ(inner->GetModalParent(), nullptr);
    EXPECT_EQ(innerLeaf->GetModalParent(), inner);

    const auto expectUnder = [&](TModalWindow* dialog) {
        EXPECT_EQ(group->GetModalParent(), dialog);
        EXPECT_EQ(leaf->GetModalParent(), dialog);
        EXPECT_EQ(inner->GetModalParent(), dialog);
        EXPECT_EQ(innerLeaf->GetModalParent(), inner);
    };
    first->Adopt(std::move(groupOwned));
    expectUnder(first);
    // Moved straight from one dialog into the other.
    second->Adopt(first->RemoveChild(group));
    expectUnder(second);
    std::unique_ptr<TWindow> removed = second->RemoveChild(group);
    expectUnder(nullptr);

    // A covering window that moves tells its new dialog, and its old one forgets it.
    TWindow* panel = first->Adopt(Opaque(0, 0));
    panel->SetSize(kWidth, kHeight);
    EXPECT_TRUE(first->IsCoveredBy(panel));
    group->Adopt(first->RemoveChild(panel));
    EXPECT_FALSE(first->IsCoveredBy(panel));
    first->Adopt(std::move(removed));
    panel->SetSize(kWidth, kHeight);
    EXPECT_TRUE(first->IsCoveredBy(panel));
    first->RemoveChild(group).reset();
    EXPECT_FALSE(IsOpaque(first));
}

// A dialog holding a chain of 100,000 windows, each inside the one before, each opaque
// and as large as the screen: making, drawing, searching, routing input through and
// closing it take time in proportion to the number of windows, and none of it goes as
// deep into the stack as the tree.
TEST_F(TModalWindows, ADeepTreeOfWindowsIsMadeDrawnAndClosed)
{
    constexpr int kDepth = 100000;
    MakeRoot();
    auto* dialog = Manager().PushModal(std::make_unique<TProbeModal>("dialog"));
    TWindow* parent = dialog;
    for (int level = 0; level < kDepth; ++level) {
        auto windowOwned = std::make_unique<TWindow>();
        auto* window = windowOwned.get();
        window->SetFlags(window->GetFlags() | TWindow::kOpaque);
        parent->Adopt(std::move(windowOwned));
        window->SetSize(kWidth, kHeight);
        parent = window;
    }
    EXPECT_EQ(parent->GetModalParent(), dialog);
    EXPECT_TRUE(dialog->IsCoveredBy(parent));
    EXPECT_TRUE(parent->IsShown());
    EXPECT_EQ(dialog->FindWindowAt({1, 1}, -1), parent);
    Idle();
    EXPECT_NE(std::find(ProbeLog().begin(), ProbeLog().end(), "dialog draw"), ProbeLog().end());
    // A move nobody handles bubbles up the whole chain; Enter looks for a default button
    // in all of it; a name is looked for in all of it.
    Send(TEvent::kMouseMove, 1, 1);
    Send(TEvent::kChar, 0, 0, 13);
    EXPECT_EQ(dialog->FindChild("nowhere"), nullptr);

    const std::string id = dialog->GetIdString().CStr();
    Manager().DoPopModal(id.c_str());
    Idle();
    EXPECT_EQ(Manager().GetTopModal(), Manager().GetRootWindow());
    EXPECT_TRUE(Manager().GetRootWindow()->GetChildren().empty());
}

} // namespace
