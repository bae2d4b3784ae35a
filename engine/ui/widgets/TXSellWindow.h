#pragma once

// A page that points players to other games of the publisher (window type "XSellWindow").
// Its window script lays out description texts, link buttons and logos, then calls the
// script function SetupXSell, which fills the texts from "xsell/xsell.xml", hides the slots
// without an entry and centres the buttons and logos on the positions the script gave;
// LaunchGameLink(n) opens entry n's web page through the platform (a program started with
// an argument vector, never a shell command line). Only http:// and https:// addresses
// with a host open (IsWebLink): a link from the file could otherwise name a local file,
// a program or an option of the opener.
//
// "xsell/xsell.xml":
//   <xsell>
//     <gameinfo description="..." linktext="..." link="https://..."/>   entries 1, 2, ... (7 used)
//     <sitelink link="https://..."/>                                    entry 0
//     <centertext text1="..." text2="..."/>
//   </xsell>
// Windows the script may provide (all optional): "descrip1".."descrip8" (texts),
// "xsellbutton1".."xsellbutton8" (buttons); the texts are filled only when they are TTexts,
// "centertext1", "centertext2", "sitelogo", "halvornlogo", "gamesite". An entry's description ends
// in an underlined link that presses the button of its number.
//
// Each new window binds both script functions to itself, so they act on the window made
// last; once that window is gone they do nothing (a log line says so).
//
// Main thread only.

#include "engine/script/TLifeline.h"
#include "engine/ui/window/TWindow.h"

#include <functional>

class TXmlNode;

class TXSellWindow : public TWindow
{
public:
    // Entry 0 is the publisher's site, 1 to 7 the games.
    static constexpr int kLinkCount = 8;
    static constexpr int kMaxGames = kLinkCount - 1;
    // Log lines: the data file cannot be read (its name, the problem), or has no "xsell"
    // element (its name); a link that is not opened (the entry, and the last entry or
    // the link).
    static constexpr const char* kDataProblemLog = "ui: xsell: %s %s; the page stays empty";
    static constexpr const char* kNoXsellElementLog =
        "ui: xsell: %s has no \"xsell\" element; the page stays empty";
    static constexpr const char* kNoSuchLinkLog =
        "ui: xsell: there is no link %d (0 to %d); nothing opened";
    static constexpr const char* kEmptyLinkLog = "ui: xsell: entry %d has no link; nothing opened";
    static constexpr const char* kNotAWebLinkLog =
        "ui: xsell: the link of entry %d, \"%s\", is no http:// or https:// address with a "
        "host; nothing opened";
    // Numbered description and button slots the script may lay out.
    static constexpr int kSlotCount = 8;
    // Buttons 1 to this number are centred on their position.
    static constexpr int kCentredButtons = 6;

    // Opens a web page; the window host's OpenURL unless a test or host sets another.
    using TLinkOpener = std::function<void(const TString& url)>;

    // Publishes SetupXSell and LaunchGameLink to the window manager's script, bound to the
    // new window.
    TXSellWindow();

    static std::unique_ptr<TWindow> Create();
    static TClassId ClassId();
    const char* GetClassName() const override { return "TXSellWindow"; }
    bool IsKindOf(TClassId classId) const override
    {
        return classId == ClassId() || TWindow::IsKindOf(classId);
    }

    // Fills the page from "xsell/xsell.xml" (see above). A missing file or element leaves
    // its texts and links empty (the log says why: the file does not exist, is a folder,
    // is empty or has no "xsell" element); the slots without an entry are hidden either
    // way, and so is "gamesite" without a site link that is a web address. Centring
    // moves the windows again at every call.
    void SetupXSell();
    // Opens entry's link when it is a web address (IsWebLink); an empty link, another
    // link and entries outside 0 to 7 are ignored with a log line.
    void LaunchGameLink(int entry);
    // Entry's link; "" outside 0 to 7.
    TString GetLink(int entry) const;
    void SetLinkOpener(TLinkOpener opener) { mOpenLink = std::move(opener); }

private:
    // The entries' texts and links; the number of entries.
    int ReadEntries(TXmlNode& xsell);
    void ReadSiteLink(const TXmlNode& xsell);
    void ReadCentreTexts(const TXmlNode& xsell);
    // Sets the text of the TText of that name (markup as written, not translated).
    void SetText(const TString& name, const TString& text);
    void Hide(const TString& name);
    // Moves the window so that its position becomes its centre.
    void CentreOnPosition(const TString& name);

    TString mLinks[kLinkCount];
    TLinkOpener mOpenLink;
    TLifeline mLifeline; // the script functions' hold on the window
};
