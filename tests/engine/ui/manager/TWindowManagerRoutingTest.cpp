#include "tests/engine/ui/UiTestSupport.h"

#include <algorithm>

namespace {

using TWindowManagerRouting = TUiTest;

TEST_F(TWindowManagerRouting, PointerEventsGoToTheDeepestShownWindowOfTheTopModal)
{
    TScreen* root = MakeRoot();
    root->Adopt(std::make_unique<TProbe>("under", 0, 0, kWidth, kHeight));
    auto* dialog = Manager().PushModal(std::make_unique<TProbeModal>("dialog", 40, 30));
    dialog->MoveTo(10, 10);
    auto boxOwned = std::make_unique<TProbe>("box", 5, 5, 20, 20);
    auto* box = boxOwned.get();
    auto buttonOwned = std::make_unique<TProbe>("button", 2, 3, 4, 4);
    auto* button = buttonOwned.get();
    button->handles = true;
    box->Adopt(std::move(buttonOwned));
    dialog->Adopt(std::move(boxOwned));
    ProbeLog().clear();

    const int types[] = {TEvent::kLeftDown, TEvent::kMouseButton, TEvent::kLeftUp,
                         TEvent::kMouseMove, TEvent::kMouseHover};
    for (int type : types)
        Send(type, 18, 19);
    // The press also gives the dialog (which takes the focus) the focus.
    EXPECT_EQ(ProbeLog(),
              (std::vector<std::string>{"button down 1,1", "dialog focus", "button button 1,1",
                                        "button up 1,1", "button move 1,1", "button hover 1,1"}));

    // Keys go to the focus window, else to the top modal.
    Manager().SetFocusWindow(box);
    ProbeLog().clear();
    Send(TEvent::kKeyDown, 0, 0, 'K');
    Manager().SetFocusWindow(nullptr);
    Send(TEvent::kKeyDown, 0, 0, 'L');
    // Nobody handles them: at the dialog they become press-any-key messages.
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"box key 75", "box message 4 raw:K"}));
}

TEST_F(TWindowManagerRouting, CapturedWindowsGetPointerEventsFirst)
{
    TScreen* root = MakeRoot();
    auto* first = root->Adopt(std::make_unique<TProbe>("first", 0, 0, 10, 10));
    auto* second = root->Adopt(std::make_unique<TProbe>("second", 20, 0, 10, 10));
    auto* third = root->Adopt(std::make_unique<TProbe>("third", 40, 0, 10, 10));
    for (TProbe* probe : {first, second, third})
        probe->handles = true;
    Manager().AddCapture(third);
    Manager().AddCapture(second);
    Manager().AddCapture(first);
    Manager().AddCapture(first); // once only
    ProbeLog().clear();

    // Outside a captured window it is told first; one that stays captured still gets it.
    second->onExit = [this](TProbe& self) { Manager().ReleaseCapture(&self); };
    Send(TEvent::kMouseMove, 5, 5);
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"first move 5,5", "second exit", "third exit",
                                                    "third move -35,5"}));
    EXPECT_FALSE(Manager().HasCapture(second));

    // A handler that releases a window later in the list: that one is not served.
    ProbeLog().clear();
    first->onEvent = [this, third](TProbe&) { Manager().ReleaseCapture(third); };
    Send(TEvent::kLeftDown, 5, 5);
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"first down 5,5"}));

    // A handler that pushes a modal window ends the delivery (and releases everyone).
    ProbeLog().clear();
    Manager().ReleaseCapture(first);
    Manager().AddCapture(third);
    Manager().AddCapture(first);
    first->onEvent = [this](TProbe&) {
        Manager().PushModal(std::make_unique<TProbeModal>("dialog"));
    };
    Send(TEvent::kLeftUp, 5, 5);
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"first up 5,5", "first exit", "third exit",
                                                    "dialog focus"}));
    EXPECT_FALSE(Manager().HasCapture(first));

    // The pointer leaving the window tells every captured window.
    Manager().PopModal();
    Manager().AddCapture(first);
    Manager().AddCapture(second);
    first->onEvent = nullptr;
    ProbeLog().clear();
    Send(TEvent::kMouseLeave, -1, -1);
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"second exit", "first exit"}));
}

// Windows that take the pointer as buttons do: a move onto them captures it, the exit
// releases it (unless a drag holds on).
TEST_F(TWindowManagerRouting, AMoveStraightOntoAnotherWindowReachesItInTheSameEvent)
{
    TScreen* root = MakeRoot();
    auto outerOwned = std::make_unique<TProbe>("outer", 0, 20, 30, 20);
    auto* inner = outerOwned->Adopt(std::make_unique<TProbe>("inner", 10, 5, 10, 10));
    auto* left = root->Adopt(std::make_unique<TProbe>("left", 0, 0, 10, 10));
    auto* right = root->Adopt(std::make_unique<TProbe>("right", 20, 0, 10, 10));
    // drag: last made, in front
    auto* drag = root->Adopt(std::make_unique<TProbe>("drag", 40, 0, 10, 10));
    auto* outer = root->Adopt(std::move(outerOwned));
    for (TProbe* probe : {left, right, drag, outer, inner}) {
        probe->handles = true;
        probe->onEvent = [this](TProbe& self) { Manager().AddCapture(&self); };
        if (probe != drag)
            probe->onExit = [this](TProbe& self) { Manager().ReleaseCapture(&self); };
    }
    struct TCase
    {
        int x, y;
        std::vector<std::string> heard;
        std::vector<TWindow*> captured;
    };
    const TCase cases[] = {
        {5, 5, {"left move 5,5"}, {left}},
        {25, 5, {"left exit", "right move 5,5"}, {right}},
        {5, 5, {"right exit", "left move 5,5"}, {left}},
        {60, 45, {"left exit"}, {}},
        // Into a window inside another: the inner one takes the pointer from the outer.
        {2, 22, {"outer move 2,2"}, {outer}},
        {12, 27, {"inner move 2,2", "outer exit"}, {inner}},
        {13, 28, {"inner move 3,3"}, {inner}},
        {2, 22, {"inner exit", "outer move 2,2"}, {outer}},
        {12, 27, {"inner move 2,2", "outer exit"}, {inner}},
        {25, 5, {"inner exit", "right move 5,5"}, {right}},
        // A window that keeps the pointer after its exit (a drag) hears every move alone.
        {45, 5, {"right exit", "drag move 5,5"}, {drag}},
        {5, 5, {"drag exit", "drag move -35,5"}, {drag}},
    };
    ProbeLog().clear();
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        Send(TEvent::kMouseMove, c.x, c.y);
        EXPECT_EQ(ProbeLog(), c.heard);
        ProbeLog().clear();
        for (TProbe* probe : {left, right, drag, outer, inner}) {
            const bool expected =
                std::find(c.captured.begin(), c.captured.end(), probe) != c.captured.end();
            EXPECT_EQ(Manager().HasCapture(probe), expected) << probe->GetName().CStr();
        }
    }
}

TEST_F(TWindowManagerRouting, AWindowClosedWhileItHandlesAnEventLivesUntilTheNextOne)
{
    TRecordingScript* script = AttachRecordingScript();
    TScreen* root = MakeRoot();
    auto* closing = root->Adopt(std::make_unique<TProbe>("closing", 0, 0, 10, 10));
    bool aliveAfterClosing = false;
    closing->onEvent = [this, &aliveAfterClosing](TProbe& self) {
        std::unique_ptr<TWindow> removed = self.GetParent()->RemoveChild(&self);
        Manager().QueueMessage(std::make_unique<TMessage>(1000, "to it", &self));
        Manager().ScheduleDelete(std::move(removed));
        aliveAfterClosing = self.GetName() == TString("closing");
    };
    Send(TEvent::kLeftDown, 1, 1);
    EXPECT_TRUE(aliveAfterClosing);
    // Its message was delivered untargeted: through the focus window to the script.
    EXPECT_EQ(script->delivered, (std::vector<std::string>{"1000 to it"}));
    Send(TEvent::kLeftUp, 1, 1); // deleted first: nothing reaches it
    EXPECT_EQ(ProbeLog().back(), "closing down 1,1");
}

TEST_F(TWindowManagerRouting, DeletingASubtreeLeavesNoReferenceBehind)
{
    MakeRoot();
    auto* dialog = Manager().PushModal(std::make_unique<TProbeModal>("dialog"));
    auto* group = dialog->Adopt(std::make_unique<TWindow>());
    auto fieldOwned = std::make_unique<TProbe>("field", 0, 0, 10, 10);
    auto* field = fieldOwned.get();
    auto capturedOwned = std::make_unique<TProbe>("captured", 10, 0, 10, 10);
    auto* captured = capturedOwned.get();
    group->Adopt(std::move(fieldOwned));
    group->Adopt(std::move(capturedOwned));
    dialog->SetFocusChild(field);
    Manager().SetFocusWindow(field);
    Manager().AddCapture(captured);
    Manager().QueueMessage(std::make_unique<TMessage>(1000, "late", captured));

    // Holding the focus, a capture, a focus child and a target.
    dialog->RemoveChild(group).reset();
    EXPECT_EQ(Manager().GetFocusWindow(), nullptr);
    EXPECT_FALSE(Manager().HasCapture(captured));
    EXPECT_EQ(dialog->GetFocusChild(), nullptr);
    EXPECT_TRUE(dialog->GetChildren().empty());
    Idle(); // the message goes to the dialog now
    Send(TEvent::kLeftDown, 15, 5);
}

TEST_F(TWindowManagerRouting, MessagesClimbToTheModalRootThenItsFocusChildThenTheScript)
{
    TRecordingScript* script = AttachRecordingScript();
    MakeRoot();
    auto* dialog = Manager().PushModal(std::make_unique<TProbeModal>("dialog"));
    auto groupOwned = std::make_unique<TProbe>("group", 0, 0, 30, 30);
    auto* group = groupOwned.get();
    auto* leaf = group->Adopt(std::make_unique<TProbe>("leaf", 0, 0, 5, 5));
    dialog->Adopt(std::move(groupOwned));
    auto* focus = dialog->Adopt(std::make_unique<TProbe>("focus", 40, 0, 5, 5));
    dialog->SetFocusChild(focus);
    ProbeLog().clear();

    leaf->SendMessage(std::make_unique<TMessage>(1001, "up"));
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"leaf message 1001 up", "group message 1001 up",
                                                    "focus message 1001 up"}));
    EXPECT_EQ(script->delivered, (std::vector<std::string>{"1001 up"}));

    // Taken on the way: it goes no further.
    ProbeLog().clear();
    group->takesMessages = true;
    leaf->SendMessage(std::make_unique<TMessage>(1002, "taken"));
    EXPECT_EQ(ProbeLog().size(), 2u);
    EXPECT_EQ(script->delivered.size(), 1u);

    // Above no modal root nobody else may take it.
    TProbe loose("loose", 0, 0, 1, 1);
    loose.SendMessage(std::make_unique<TMessage>(1003, "lost"));
    EXPECT_EQ(script->delivered.size(), 1u);

    // Queued: targeted to its window, else to the focus window; kQuitNow ends the game.
    Manager().SetFocusWindow(focus);
    ProbeLog().clear();
    Manager().QueueMessage(std::make_unique<TMessage>(1004, "targeted", leaf));
    Manager().QueueMessage(std::make_unique<TMessage>(1005, "untargeted"));
    Manager().QueueMessage(std::make_unique<TMessage>(TMessage::kQuitNow, ""));
    Manager().ProcessMessages();
    // The focus child is offered the untargeted one twice: as its sender and as the
    // dialog's focus child.
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{
                              "leaf message 1004 targeted", "group message 1004 targeted",
                              "focus message 1005 untargeted", "focus message 1005 untargeted"}));
    EXPECT_EQ(Host().quitsPosted, 1);
}

} // namespace
