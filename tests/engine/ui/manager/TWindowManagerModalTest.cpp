#include "tests/engine/ui/UiTestSupport.h"

namespace {

using TWindowManagerModals = TUiTest;

std::string StackNames(const TWindowManager& manager)
{
    std::string names;
    for (const TModalWindow* modal : manager.GetModalStack())
        names += std::string(modal->GetName().CStr()) + " ";
    return names;
}

TEST_F(TWindowManagerModals, PushesAndPops)
{
    TRecordingScript* script = AttachRecordingScript();
    TScreen* root = MakeRoot();
    root->SetName("root");
    EXPECT_TRUE(Manager().HasRootWindow());
    EXPECT_EQ(root->GetWidth(), kWidth);

    // Pushed without a size, each takes its parent's: the previous top's.
    auto* a = Manager().PushModal(std::make_unique<TProbeModal>("a"));
    a->SetSize(30, 20);
    auto* b = Manager().PushModal(std::make_unique<TProbeModal>("b"));
    EXPECT_EQ(b->GetParent(), a);
    EXPECT_EQ(b->GetWidth(), 30);
    EXPECT_EQ(b->GetHeight(), 20);
    auto* c = Manager().PushModal(std::make_unique<TProbeModal>("c", 5, 5));
    EXPECT_EQ(c->GetWidth(), 5);
    EXPECT_EQ(StackNames(Manager()), "c b a root ");
    EXPECT_EQ(Manager().GetFocusWindow(), c);
    EXPECT_EQ(script->parents, (std::vector<TWindow*>{c}));

    struct TStep
    {
        const char* name; // for DoPopModal; null: PopModal
        const char* stack;
    };
    const TStep steps[] = {
        {"unknown", "c b a root "}, // pops nothing
        {"b", "a root "},           // the second from the top pops two
        {nullptr, "root "},
    };
    for (const TStep& step : steps) {
        if (step.name != nullptr)
            Manager().DoPopModal(step.name);
        else
            Manager().PopModal();
        EXPECT_EQ(StackNames(Manager()), step.stack) << (step.name ? step.name : "PopModal");
    }
    EXPECT_EQ(Manager().GetFocusWindow(), root);
    EXPECT_EQ(script->parents, (std::vector<TWindow*>{root}));

    // By id string; then popping the root and an empty stack are harmless.
    auto* d = Manager().PushModal(std::make_unique<TProbeModal>("d"));
    Manager().DoPopModal(d->GetIdString());
    EXPECT_EQ(StackNames(Manager()), "root ");
    Manager().PopModal();
    Manager().PopModal();
    Manager().DoPopModal("root");
    EXPECT_TRUE(script->parents.empty());
    EXPECT_TRUE(Manager().GetModalStack().empty());
    Idle(); // deletes what was popped; with no modal window nothing else happens
}

TEST_F(TWindowManagerModals, PoppedWindowsHearItAndLiveUntilTheNextEvent)
{
    MakeRoot();
    auto* dialog = Manager().PushModal(std::make_unique<TProbeModal>("dialog"));
    auto* group = dialog->Adopt(std::make_unique<TProbe>("group", 0, 0, 10, 10));
    group->Adopt(std::make_unique<TProbe>("leaf", 0, 0, 5, 5));
    ProbeLog().clear();

    Manager().PopModal();
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"leaf popped", "group popped"}));
    EXPECT_EQ(dialog->GetParent(), nullptr);
    EXPECT_EQ(group->GetName(), TString("group")); // still alive
    Idle();
    EXPECT_EQ(Manager().GetTopModal(), Manager().GetRootWindow());
}

TEST_F(TWindowManagerModals, TheRootScreenClearsWhatLiesUnderTranslucentDialogs)
{
    MakeRoot();
    auto* dialog = Manager().PushModal(std::make_unique<TProbeModal>("dialog", 20, 20));
    auto panelOwned = std::make_unique<TProbe>("panel", 0, 0, 20, 20);
    auto* panel = panelOwned.get();
    panel->fill = TColor(1, 0, 0, 1);
    dialog->Adopt(std::move(panelOwned));
    dialog->MoveTo(10, 10);
    BackBuffer().Fill(TRect(0, 0, kWidth, kHeight), 0xFF00FF00u); // an earlier frame

    Manager().Update();
    EXPECT_EQ(BackBuffer().At(0, 0), 0xFF000000u);   // cleared by the screen
    EXPECT_EQ(BackBuffer().At(10, 10), 0xFFFF0000u); // the dialog's panel
    EXPECT_EQ(BackBuffer().At(29, 29), 0xFFFF0000u);
    EXPECT_EQ(BackBuffer().At(30, 30), 0xFF000000u);
}

} // namespace
