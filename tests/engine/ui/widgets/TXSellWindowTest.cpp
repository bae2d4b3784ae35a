// The cross-promotion page: its layout filled from "xsell/xsell.xml" by a window script,
// the links it opens, and its script functions once the page has gone.

#include "engine/ui/widgets/TXSellWindow.h"

#include "engine/foundation/files/TPathMap.h"
#include "engine/ui/widgets/TButton.h"
#include "engine/ui/widgets/TText.h"
#include "engine/ui/widgets/TXSellWindowBinding.h"
#include "tests/engine/LogLine.h"
#include "tests/engine/ui/script/WindowScriptTestSupport.h"

namespace {

constexpr const char* kThreeGames = R"(<xsell>
  <gameinfo description="Steam rooms on a glacier" linktext="Climb up"
            link="https://games.example.org/glacier"/>
  <gameinfo description="A garden of stone lanterns" link="https://games.example.org/garden"/>
  <note text="not an entry"/>
  <gameinfo description="Tea at the harbour" linktext="Set sail"
            link="https://games.example.org/harbour"/>
  <sitelink link="https://games.example.org/"/>
  <centertext text1="More from our studio" text2="Pick a journey"/>
</xsell>
)";

// A page at (30, 20) with every slot the page knows: descriptions and buttons 1 to 8 (the
// button of entry n at (100, 50 n), 40 x 20), the two centre texts and the three logos.
constexpr const char* kLayout =
    "local page = { name = 'xsell', x = 30, y = 20, w = 700, h = 560 } "
    "for i = 1, 8 do "
    "  table.insert(page, Text { name = 'descrip' .. i, x = 150, y = 50 * i, w = 300, h = 40 }) "
    "  table.insert(page, TestButton { name = 'xsellbutton' .. i, x = 100, y = 50 * i, "
    "                                  w = 40, h = 20 }) "
    "end "
    "table.insert(page, Text { name = 'centertext1', x = 10, y = 5, w = 200, h = 20 }) "
    "table.insert(page, Text { name = 'centertext2', x = 10, y = 25, w = 200, h = 20 }) "
    "table.insert(page, Window { name = 'sitelogo', x = 400, y = 480, w = 61, h = 31 }) "
    "table.insert(page, Window { name = 'halvornlogo', x = 500, y = 480, w = 60, h = 30 }) "
    "table.insert(page, Window { name = 'gamesite', x = 600, y = 480, w = 20, h = 10 }) "
    "MakeDialog { XSellWindow(page) } ";

std::string Link(const char* button, const char* text)
{
    return std::string(" <u><font color=\"003cff\"><a id='") + button + "'>" + text +
           "</a></font></u>";
}

class TXSellWindowTest : public TWindowScriptTest
{
protected:
    // Builds the page and lets it fill itself; the page.
    TXSellWindow* MakePage()
    {
        Run(std::string(kLayout) + "SetupXSell()");
        return Root()->FindChild<TXSellWindow>("xsell");
    }
    bool Shown(const char* name)
    {
        TWindow* window = Find(name);
        EXPECT_NE(window, nullptr) << name;
        return window != nullptr && (window->GetFlags() & TWindow::kShown) != 0;
    }
    std::string Label(const char* name)
    {
        auto* text = WindowCast<TText>(Find(name));
        EXPECT_NE(text, nullptr) << name;
        return text != nullptr ? text->GetText().CStr() : "";
    }
    std::string Position(const char* name)
    {
        TWindow* window = Find(name);
        EXPECT_NE(window, nullptr) << name;
        return window != nullptr ? RectText(window->GetRect()) : "";
    }
    // Records what the page would open.
    void RecordLinks(TXSellWindow* page)
    {
        page->SetLinkOpener([this](const TString& url) { opened.push_back(url.CStr()); });
    }

    std::vector<std::string> opened;
};

TEST_F(TXSellWindowTest, ThreeEntriesFillTheirSlotsAndHideTheRest)
{
    AddFile("xsell/xsell.xml", kThreeGames);
    TXSellWindow* page = MakePage();
    ASSERT_NE(page, nullptr);
    EXPECT_STREQ(page->GetClassName(), "TXSellWindow");

    EXPECT_EQ(Label("descrip1"), "Steam rooms on a glacier" + Link("xsellbutton1", "Climb up"));
    EXPECT_EQ(Label("descrip2"), "A garden of stone lanterns"); // no link text, no link
    EXPECT_EQ(Label("descrip3"), "Tea at the harbour" + Link("xsellbutton3", "Set sail"));
    EXPECT_EQ(Label("centertext1"), "More from our studio");
    EXPECT_EQ(Label("centertext2"), "Pick a journey");
    for (int slot = 1; slot <= 8; ++slot) {
        SCOPED_TRACE(slot);
        const std::string n = std::to_string(slot);
        EXPECT_EQ(Shown(("descrip" + n).c_str()), slot <= 3);
        EXPECT_EQ(Shown(("xsellbutton" + n).c_str()), slot <= 3);
    }
    EXPECT_TRUE(Shown("gamesite"));

    const char* links[] = {"https://games.example.org/",
                           "https://games.example.org/glacier",
                           "https://games.example.org/garden",
                           "https://games.example.org/harbour",
                           "",
                           "",
                           "",
                           ""};
    for (int entry = 0; entry < TXSellWindow::kLinkCount; ++entry)
        EXPECT_STREQ(page->GetLink(entry).CStr(), links[entry]) << entry;
}

// Buttons 1 to 6 and the logos are centred on the position the script gave them, in
// their parent's coordinates (the page itself sits at (30, 20)); buttons 7 and 8 stay.
TEST_F(TXSellWindowTest, ButtonsAndLogosAreCentredOnTheirPositions)
{
    AddFile("xsell/xsell.xml", kThreeGames);
    ASSERT_NE(MakePage(), nullptr);
    struct TCase
    {
        const char* name;
        const char* rect;
    };
    const TCase cases[] = {
        {"xsellbutton1", "80,40,120,60"},    {"xsellbutton3", "80,140,120,160"},
        {"xsellbutton6", "80,290,120,310"},  {"xsellbutton7", "100,350,140,370"},
        {"xsellbutton8", "100,400,140,420"}, {"sitelogo", "370,465,431,496"}, // halves truncated
        {"halvornlogo", "470,465,530,495"},  {"gamesite", "590,475,610,485"},
        {"descrip1", "150,50,450,90"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Position(c.name), c.rect) << c.name;
}

// Without the file every slot is hidden, texts and links stay empty, and the log says
// why; without a site link that is a web address the site's button is hidden.
TEST_F(TXSellWindowTest, MissingDataHidesWhatHasNoEntry)
{
    struct TCase
    {
        const char* file; // null: no file
        int entries;
        bool siteShown;
        std::string logged; // "": nothing
    };
    const TCase cases[] = {
        {nullptr, 0, false,
         LogLine(TXSellWindow::kDataProblemLog, "xsell/xsell.xml", "does not exist")},
        {"", 0, false, LogLine(TXSellWindow::kDataProblemLog, "xsell/xsell.xml", "is empty")},
        {R"(<other><gameinfo description="x" link="y"/></other>)", 0, false,
         LogLine(TXSellWindow::kNoXsellElementLog, "xsell/xsell.xml")},
        {R"(<xsell><gameinfo description="Only one" link="https://games.example.org/1"/></xsell>)",
         1, false, ""},
        {R"(<xsell><sitelink link=""/></xsell>)", 0, false, ""},
        {R"(<xsell><sitelink link="file:///etc/passwd"/></xsell>)", 0, false, ""},
        {R"(<xsell><sitelink link="https://games.example.org/"/></xsell>)", 0, true, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.file != nullptr ? c.file : "no file");
        if (c.file != nullptr)
            AddFile("xsell/xsell.xml", c.file);
        if (!c.logged.empty()) {
            EXPECT_FALSE(Logged(c.logged));
        }
        TXSellWindow* page = MakePage();
        ASSERT_NE(page, nullptr);
        for (int slot = 1; slot <= 8; ++slot) {
            const std::string n = std::to_string(slot);
            EXPECT_EQ(Shown(("descrip" + n).c_str()), slot <= c.entries) << slot;
            EXPECT_EQ(Shown(("xsellbutton" + n).c_str()), slot <= c.entries) << slot;
        }
        EXPECT_EQ(Shown("gamesite"), c.siteShown);
        EXPECT_EQ(Label("centertext1"), "");
        if (!c.logged.empty()) {
            EXPECT_TRUE(Logged(c.logged));
        }
        EXPECT_NE(page->GetParent()->RemoveChild(page), nullptr);
    }
}

// A folder where the file should be is said as such.
TEST_F(TXSellWindowTest, AFolderInPlaceOfTheFileIsSaid)
{
    AddFile("xsell/xsell.xml/inside.xml", kThreeGames);
    ASSERT_NE(MakePage(), nullptr);
    EXPECT_FALSE(Shown("descrip1"));
    EXPECT_FALSE(Shown("gamesite"));
    EXPECT_TRUE(Logged(LogLine(TXSellWindow::kDataProblemLog, "xsell/xsell.xml", "is a folder")));
}

// Entries 0 to 7 open their links; an empty link, other numbers and non-numbers open
// nothing.
TEST_F(TXSellWindowTest, LaunchGameLinkOpensOnlyEntriesZeroToSeven)
{
    AddFile("xsell/xsell.xml", kThreeGames);
    TXSellWindow* page = MakePage();
    ASSERT_NE(page, nullptr);
    RecordLinks(page);
    Run("LaunchGameLink(1) LaunchGameLink(0) LaunchGameLink(3.9) LaunchGameLink(7) "
        "LaunchGameLink(8) LaunchGameLink(-1) LaunchGameLink(9) LaunchGameLink(2147483648) "
        "LaunchGameLink('one') LaunchGameLink() gAfter = true");
    EXPECT_EQ(opened, (std::vector<std::string>{"https://games.example.org/glacier",
                                                "https://games.example.org/",
                                                "https://games.example.org/harbour"}));
    EXPECT_EQ(GlobalString("gAfter"), "true");
    EXPECT_TRUE(Logged(LogLine(TXSellWindow::kEmptyLinkLog, 7)));
    EXPECT_TRUE(Logged(LogLine(TXSellWindow::kNoSuchLinkLog, 9, TXSellWindow::kLinkCount - 1)));
    EXPECT_TRUE(Logged(LogLine(kXSellEntryNotANumberLog, "LaunchGameLink")));
}

// Without an opener of its own the page opens links through the window host.
TEST_F(TXSellWindowTest, LinksOpenThroughTheWindowHostByDefault)
{
    AddFile("xsell/xsell.xml", kThreeGames);
    ASSERT_NE(MakePage(), nullptr);
    Run("LaunchGameLink(2) LaunchGameLink(1)");
    EXPECT_EQ(Host().opened, (std::vector<std::string>{"https://games.example.org/garden",
                                                       "https://games.example.org/glacier"}));
}

// Only web addresses open: what the file names as a link might otherwise be a local file,
// a program, a script address, a share or an option of the opener.
TEST_F(TXSellWindowTest, OnlyWebAddressesOpen)
{
    AddFile("xsell/xsell.xml", R"xml(<xsell>
  <gameinfo description="1" link="file:///etc/passwd"/>
  <gameinfo description="2" link="--help"/>
  <gameinfo description="3" link="/usr/bin/xterm"/>
  <gameinfo description="4" link="javascript:alert(1)"/>
  <gameinfo description="5" link="smb://server/share"/>
  <gameinfo description="6" link="HTTPS://Games.Example.org/six"/>
  <gameinfo description="7" link="http:///nohost"/>
</xsell>)xml");
    TXSellWindow* page = MakePage();
    ASSERT_NE(page, nullptr);
    RecordLinks(page);
    Run("for i = 0, 7 do LaunchGameLink(i) end");
    EXPECT_EQ(opened, std::vector<std::string>{"HTTPS://Games.Example.org/six"});
    EXPECT_TRUE(Logged(LogLine(TXSellWindow::kNotAWebLinkLog, 2, "--help")));
    EXPECT_TRUE(Logged(LogLine(TXSellWindow::kEmptyLinkLog, 0)));
}

// The functions act on the page made last; once it is gone they do nothing, and the
// script goes on. An older page's end leaves the newer page's functions alone.
TEST_F(TXSellWindowTest, TheFunctionsFollowTheLastPageAndOutliveIt)
{
    AddFile("xsell/xsell.xml", kThreeGames);
    TXSellWindow* older = MakePage();
    ASSERT_NE(older, nullptr);
    older->SetName("older");
    TXSellWindow* newer = MakePage();
    ASSERT_NE(newer, nullptr);
    ASSERT_NE(newer, older);
    RecordLinks(older);
    std::vector<std::string> openedByNewer;
    newer->SetLinkOpener([&](const TString& url) { openedByNewer.push_back(url.CStr()); });

    EXPECT_NE(older->GetParent()->RemoveChild(older), nullptr);
    Run("LaunchGameLink(2)");
    EXPECT_EQ(openedByNewer, std::vector<std::string>{"https://games.example.org/garden"});
    EXPECT_TRUE(opened.empty());

    EXPECT_NE(newer->GetParent()->RemoveChild(newer), nullptr);
    Run("SetupXSell() LaunchGameLink(1) gAfter = true");
    EXPECT_EQ(GlobalString("gAfter"), "true");
    EXPECT_EQ(openedByNewer.size(), 1u);
    EXPECT_TRUE(Logged(LogLine(kXSellWindowGoneLog, "SetupXSell")));
    EXPECT_TRUE(Logged(LogLine(kXSellWindowGoneLog, "LaunchGameLink")));
}

// Only text windows get texts: another window of a description's name (here one that
// shows a label) is left as it was, but still shown or hidden with its slot.
TEST_F(TXSellWindowTest, OnlyTextWindowsGetTheirTexts)
{
    AddFile("xsell/xsell.xml", kThreeGames);
    Run("MakeDialog { XSellWindow { name = 'xsell', w = 400, h = 300, "
        "  Label { name = 'descrip1', w = 100, h = 20 }, Label { name = 'descrip5', w = 100, h = "
        "20 }, "
        "  Text { name = 'descrip2', w = 100, h = 20 } } } SetupXSell()");
    auto* probe = dynamic_cast<TLabelProbe*>(Find("descrip1"));
    ASSERT_NE(probe, nullptr);
    EXPECT_STREQ(probe->label.CStr(), "");
    EXPECT_TRUE(Shown("descrip1"));
    EXPECT_FALSE(Shown("descrip5"));
    EXPECT_EQ(Label("descrip2"), "A garden of stone lanterns");
}

// The page the game ships: its window script lays out the slots, the placeholder file
// fills three entries, the entry buttons open their links and Back closes the page.
TEST_F(TXSellWindowTest, TheShippedPageFillsThreeEntries)
{
    TPathMap::Get().SetWorkingFolder(VELMORA_SOURCE_DIR);
    TPathMap::Get().LoadFinalList();
    StartDialog("gClosedBy = DoModal('scripts/windows/xsell.lua')");
    Turns(2);
    auto* page = Root()->FindChild<TXSellWindow>("xsell");
    ASSERT_NE(page, nullptr);
    RecordLinks(page);
    EXPECT_EQ(Label("centertext1"), "More games from our studio");
    EXPECT_EQ(Label("descrip1").rfind("Lantern Garden: ", 0), 0u) << Label("descrip1");
    EXPECT_NE(Label("descrip3").find("<a id='xsellbutton3'>Climb up</a>"), std::string::npos);
    for (int slot = 1; slot <= 7; ++slot) {
        const std::string n = std::to_string(slot);
        EXPECT_EQ(Shown(("descrip" + n).c_str()), slot <= 3) << slot;
        EXPECT_EQ(Shown(("xsellbutton" + n).c_str()), slot <= 3) << slot;
    }
    EXPECT_TRUE(Shown("gamesite"));

    for (const char* name : {"xsellbutton2", "gamesite"}) {
        auto* button = WindowCast<TButton>(Find(name));
        ASSERT_NE(button, nullptr) << name;
        button->Press();
        Turns(2);
    }
    EXPECT_EQ(opened, (std::vector<std::string>{"https://games.example.org/tidepool-tea-house",
                                                "https://games.example.org/"}));
    auto* back = WindowCast<TButton>(Find("back"));
    ASSERT_NE(back, nullptr);
    back->Press();
    Turns(3);
    EXPECT_EQ(GlobalString("gClosedBy"), "back");
    EXPECT_EQ(Depth(), 1);
}

} // namespace
