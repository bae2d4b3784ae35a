#include "engine/ui/window/TWindowRef.h"

#include "tests/engine/ui/UiTestSupport.h"

#include <functional>
#include <map>
#include <string>

namespace {

using TWindowRefs = TUiTest;

TEST(TWindowRef, AnEmptyRefAndAResetRefReadNull)
{
    const TWindowRef empty;
    EXPECT_EQ(empty.Get(), nullptr);
    EXPECT_FALSE(empty);
    EXPECT_EQ(TWindowRef(nullptr).Get(), nullptr);

    TWindow window;
    TWindowRef ref(&window);
    const TWindowRef copy = ref;
    EXPECT_EQ(ref.Get(), &window);
    EXPECT_TRUE(ref.IsAlive());
    EXPECT_EQ(ref.GetAs<TModalWindow>(), nullptr);
    ref.Reset();
    EXPECT_EQ(ref.Get(), nullptr);
    EXPECT_EQ(copy.Get(), &window); // a copy is a handle of its own
}

TEST(TWindowRef, RefsMadeBeforeAndAfterOthersAllSeeTheDeletion)
{
    auto window = std::make_unique<TModalWindow>();
    const TWindowRef first(window.get());
    const TWindowRef second(window.get());
    EXPECT_EQ(second.GetAs<TModalWindow>(), window.get());
    window.reset();
    EXPECT_EQ(first.Get(), nullptr);
    EXPECT_EQ(second.Get(), nullptr);
    EXPECT_EQ(second.GetAs<TModalWindow>(), nullptr);
}

// The windows of every case, by name:
//   root screen: "keeper", and the modal "dialog" over it:
//     "group" ("target", "sibling"), "neighbour"
//   overlays "ghost" and "lasting"; "loose", a window of the test outside the manager.
class TRefScene
{
public:
    TRefScene(TWindowManager& manager, TModalWindow* root)
    {
        Keep(root->Adopt(std::make_unique<TProbe>("keeper", 0, 0, 4, 4)));
        TModalWindow* dialog = Keep(manager.PushModal(std::make_unique<TProbeModal>("dialog")));
        TWindow* group = Keep(dialog->Adopt(std::make_unique<TProbe>("group", 0, 0, 20, 20)));
        Keep(group->Adopt(std::make_unique<TProbe>("target", 0, 0, 5, 5)));
        Keep(group->Adopt(std::make_unique<TProbe>("sibling", 5, 0, 5, 5)));
        Keep(dialog->Adopt(std::make_unique<TProbe>("neighbour", 30, 0, 5, 5)));
        Keep(manager.AddOverlay(std::make_unique<TProbe>("ghost", 0, 0, 2, 2)));
        Keep(manager.AddOverlay(std::make_unique<TProbe>("lasting", 0, 0, 2, 2)));
        mLoose.SetName("loose");
        Keep(&mLoose);
    }

    TWindow* operator[](const std::string& name) const { return mWindows.at(name); }

private:
    template <class T> T* Keep(T* window)
    {
        mWindows[window->GetName().CStr()] = window;
        return window;
    }

    TWindow mLoose;
    std::map<std::string, TWindow*> mWindows;
};

// Each way the window manager deletes a window, each case with a manager of its own: the ref to the
// window deleted reads null, after the next event turn where the manager defers the deletion (the
// window lives on until then), and the ref to a window that survives keeps reading it.
TEST_F(TWindowRefs, AWindowDeletedInAnyWayReadsAsGoneAndItsSurvivorsStay)
{
    struct TCase
    {
        const char* how;
        const char* deleted;
        const char* survivor;
        bool atOnce; // gone before the next event turn
        std::function<void(TWindowManager&, const TRefScene&)> remove;
    };
    const TCase cases[] = {
        {"scheduled delete", "target", "sibling", false,
         [](TWindowManager& manager, const TRefScene& scene) {
             manager.ScheduleDelete(scene["group"]->RemoveChild(scene["target"]));
         }},
        {"let go by its owner", "target", "sibling", true,
         [](TWindowManager&, const TRefScene& scene) {
             scene["group"]->RemoveChild(scene["target"]).reset();
         }},
        {"parent scheduled for deletion", "target", "neighbour", false,
         [](TWindowManager& manager, const TRefScene& scene) {
             manager.ScheduleDelete(scene["dialog"]->RemoveChild(scene["group"]));
         }},
        {"parent deleted by its owner", "target", "neighbour", true,
         [](TWindowManager&, const TRefScene& scene) {
             scene["dialog"]->RemoveChild(scene["group"]).reset();
         }},
        {"children deleted", "sibling", "group", false,
         [](TWindowManager&, const TRefScene& scene) { scene["group"]->DeleteChildren(); }},
        {"modal popped", "target", "keeper", false,
         [](TWindowManager& manager, const TRefScene&) { manager.PopModal(); }},
        {"modal popped by name", "neighbour", "keeper", false,
         [](TWindowManager& manager, const TRefScene&) { manager.DoPopModal("dialog"); }},
        {"overlay removed", "ghost", "lasting", true,
         [](TWindowManager& manager, const TRefScene& scene) {
             manager.RemoveOverlay(scene["ghost"]).reset();
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.how);
        ProbeLog().clear();
        TWindowManager manager(std::make_unique<TFakeWindowHost>());
        manager.CreateRootScreen(kWidth, kHeight);
        const TRefScene scene(manager, manager.GetRootWindow());
        const TWindowRef deleted(scene[c.deleted]);
        const TWindowRef survivor(scene[c.survivor]);
        ASSERT_EQ(deleted.Get(), scene[c.deleted]);

        c.remove(manager, scene);
        if (!c.atOnce) {
            EXPECT_EQ(deleted.Get(), scene[c.deleted]) << "lives until the next turn";
            TEvent idle;
            idle.type = TEvent::kIdle;
            manager.HandleEvent(idle);
        }
        EXPECT_EQ(deleted.Get(), nullptr);
        EXPECT_FALSE(deleted);
        EXPECT_EQ(survivor.Get(), scene[c.survivor]);
        EXPECT_EQ(survivor.Get()->GetName(), TString(c.survivor));
    }
}

// Closing the manager deletes the whole tree and the overlays; a window it never held
// stays.
TEST_F(TWindowRefs, AllWindowsOfAClosedManagerReadAsGone)
{
    const TRefScene scene(Manager(), MakeRoot());
    std::vector<TWindowRef> gone;
    for (const char* name :
         {"keeper", "dialog", "group", "target", "sibling", "neighbour", "ghost", "lasting"})
        gone.emplace_back(scene[name]);
    gone.emplace_back(Manager().GetRootWindow());
    const TWindowRef loose(scene["loose"]);

    CloseManager();
    for (const TWindowRef& ref : gone)
        EXPECT_EQ(ref.Get(), nullptr);
    EXPECT_EQ(loose.Get(), scene["loose"]);
}

} // namespace
