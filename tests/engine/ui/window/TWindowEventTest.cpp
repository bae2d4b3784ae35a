#include "tests/engine/ui/UiTestSupport.h"

namespace {

using TWindowEvents = TUiTest;

// A probe that takes the focus on a left press, as text fields do.
class TFocusProbe : public TProbe
{
public:
    using TProbe::TProbe;
    TFocusProbe(const char* name, int l, int t, int w, int h) : TProbe(name, l, t, w, h)
    {
        SetClassFlags(kTakesFocus, true);
    }
};

TEST_F(TWindowEvents, UnhandledClicksReachTheShownSiblingBehind)
{
    TScreen* root = MakeRoot();
    auto* back = new TProbe("back", 0, 0, 40, 40);
    auto* hidden = new TProbe("hidden", 0, 0, 40, 40);
    auto* front = new TProbe("front", 10, 10, 20, 20);
    back->handles = hidden->handles = true;
    hidden->SetFlags(hidden->GetFlags() & ~TWindow::kShown);
    root->AdoptChild(back, true);
    root->AdoptChild(hidden, true);
    root->AdoptChild(front, true);

    Send(TEvent::kLeftDown, 12, 13);
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"front down 2,3", "back down 12,13"}));

    // With nothing behind it under the point, the press goes to the parent.
    ProbeLog().clear();
    back->MoveTo(35, 0);
    Send(TEvent::kMouseMove, 12, 13);
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"front move 2,3"}));

    // Inside a hidden window nothing is found: the root gets it.
    ProbeLog().clear();
    auto* box = new TWindow();
    box->SetSize(64, 48);
    box->SetFlags(box->GetFlags() & ~TWindow::kShown);
    auto* inside = new TProbe("inside", 0, 0, 64, 48);
    box->AdoptChild(inside, true);
    root->AdoptChild(box, true);
    root->AdoptChild(new TProbe("top", 50, 40, 5, 5), true);
    Send(TEvent::kLeftDown, 51, 41);
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"top down 1,1"}));
}

TEST_F(TWindowEvents, ALeftPressGivesTheFocusToTheNearestFocusTaker)
{
    TScreen* root = MakeRoot();
    root->SetName("screen");
    auto* edit = new TFocusProbe("edit", 10, 10, 30, 30);
    auto* inner = new TProbe("inner", 5, 5, 10, 10);
    inner->handles = true;
    edit->AdoptChild(inner, true);
    root->AdoptChild(edit, true);
    ASSERT_EQ(Manager().GetFocusWindow(), root);

    Send(TEvent::kLeftDown, 16, 16);
    EXPECT_EQ(Manager().GetFocusWindow(), edit);
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"inner down 1,1", "edit focus from screen"}));

    // Unhandled, the press bubbles on, but the focus is not given again on the way.
    ProbeLog().clear();
    Manager().SetFocusWindow(root);
    inner->handles = false;
    Send(TEvent::kLeftDown, 16, 16);
    EXPECT_EQ(Manager().GetFocusWindow(), edit);
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"inner down 1,1", "edit focus from screen",
                                                    "edit down 6,6"}));
}

TEST_F(TWindowEvents, UnhandledReleasesAndKeysAtTheModalRootBecomePressAnyKey)
{
    TRecordingScript* script = AttachRecordingScript();
    MakeRoot();
    struct TCase
    {
        int type;
        int param;
        std::vector<std::string> delivered;
    };
    const TCase cases[] = {
        {TEvent::kKeyDown, 'A', {"4 raw:A"}},
        {TEvent::kKeyDown, 0x141, {"4 raw:A"}}, // the low byte
        {TEvent::kLeftUp, 0, {"4 mouse:up"}},
        {TEvent::kLeftDown, 0, {}},
        {TEvent::kKeyUp, 'A', {}},
        {TEvent::kChar, 'a', {}},
    };
    for (const TCase& c : cases) {
        script->delivered.clear();
        Send(c.type, 3, 3, c.param);
        EXPECT_EQ(script->delivered, c.delivered) << "event " << c.type;
    }
}

TEST_F(TWindowEvents, AWideCharacterOfOneByteIsAlsoOfferedAsACharacter)
{
    TScreen* root = MakeRoot();
    auto* field = new TProbe("field", 0, 0, 10, 10);
    root->AdoptChild(field, true);
    Manager().SetFocusWindow(field);
    ProbeLog().clear();

    Send(TEvent::kWideChar, 0, 0, 'A');
    Send(TEvent::kWideChar, 0, 0, 0x263A);
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"field wide A", "field char 65",
                                                    "field wide \xE2\x98\xBA"}));
}

} // namespace
