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
    auto backOwned = std::make_unique<TProbe>("back", 0, 0, 40, 40);
    auto* back = backOwned.get();
    auto hidden = std::make_unique<TProbe>("hidden", 0, 0, 40, 40);
    back->handles = hidden->handles = true;
    hidden->SetFlags(hidden->GetFlags() & ~TWindow::kShown);
    root->Adopt(std::move(backOwned));
    root->Adopt(std::move(hidden));
    root->Adopt(std::make_unique<TProbe>("front", 10, 10, 20, 20));

    Send(TEvent::kLeftDown, 12, 13);
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"front down 2,3", "back down 12,13"}));

    // With nothing behind it under the point, the press goes to the parent.
    ProbeLog().clear();
    back->MoveTo(35, 0);
    Send(TEvent::kMouseMove, 12, 13);
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"front move 2,3"}));

    // Inside a hidden window nothing is found: the root gets it.
    ProbeLog().clear();
    auto box = std::make_unique<TWindow>();
    box->SetSize(64, 48);
    box->SetFlags(box->GetFlags() & ~TWindow::kShown);
    box->Adopt(std::make_unique<TProbe>("inside", 0, 0, 64, 48));
    root->Adopt(std::move(box));
    root->Adopt(std::make_unique<TProbe>("top", 50, 40, 5, 5));
    Send(TEvent::kLeftDown, 51, 41);
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"top down 1,1"}));
}

TEST_F(TWindowEvents, ALeftPressGivesTheFocusToTheNearestFocusTaker)
{
    TScreen* root = MakeRoot();
    root->SetName("screen");
    auto editOwned = std::make_unique<TFocusProbe>("edit", 10, 10, 30, 30);
    auto* edit = editOwned.get();
    auto innerOwned = std::make_unique<TProbe>("inner", 5, 5, 10, 10);
    auto* inner = innerOwned.get();
    inner->handles = true;
    edit->Adopt(std::move(innerOwned));
    root->Adopt(std::move(editOwned));
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
    auto* field = root->Adopt(std::make_unique<TProbe>("field", 0, 0, 10, 10));
    Manager().SetFocusWindow(field);
    ProbeLog().clear();

    Send(TEvent::kWideChar, 0, 0, 'A');
    Send(TEvent::kWideChar, 0, 0, 0x263A);
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"field wide A", "field char 65",
                                                    "field wide \xE2\x98\xBA"}));
}

} // namespace
