#include "engine/ui/widgets/TXSellWindow.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/WebLink.h"
#include "engine/foundation/files/FileProblem.h"
#include "engine/foundation/xml/TXmlNode.h"
#include "engine/ui/widgets/TText.h"
#include "engine/ui/widgets/TXSellWindowBinding.h"
#include "engine/ui/window/TWindowManagerHost.h"
#include "engine/ui/window/TWindowServices.h"

namespace {

constexpr const char* kDataFile = "xsell/xsell.xml";

TString Numbered(const char* prefix, int number)
{
    return TString::Printf("%s%d", prefix, number);
}

// The description followed by an underlined link that presses the entry's button.
TString DescriptionWithLink(const TString& description, const TString& linkText, int entry)
{
    if (linkText.Length() == 0)
        return description;
    return description + " <u><font color=\"003cff\"><a id='" + Numbered("xsellbutton", entry) +
           "'>" + linkText + "</a></font></u>";
}

} // namespace

TXSellWindow::TXSellWindow()
{
    PublishXSellWindow(*this, mLifeline);
}

std::unique_ptr<TWindow> TXSellWindow::Create()
{
    return std::make_unique<TXSellWindow>();
}

TClassId TXSellWindow::ClassId()
{
    return reinterpret_cast<TClassId>(&TXSellWindow::Create);
}

void TXSellWindow::SetupXSell()
{
    for (TString& link : mLinks)
        link = TString();
    int count = 0;
    TXmlNode root;
    TXmlNode* xsell = root.LoadFile(kDataFile) ? root.FindChild("xsell") : nullptr;
    if (xsell == nullptr) {
        const TString problem = DescribeFileProblem(kDataFile);
        if (problem.Length() > 0)
            TraceLog(kDataProblemLog, kDataFile, problem.CStr());
        else
            TraceLog(kNoXsellElementLog, kDataFile);
        Hide("gamesite");
    } else {
        count = ReadEntries(*xsell);
        ReadSiteLink(*xsell);
        ReadCentreTexts(*xsell);
    }
    for (int slot = count + 1; slot <= kSlotCount; ++slot) {
        Hide(Numbered("descrip", slot));
        Hide(Numbered("xsellbutton", slot));
    }
    for (int button = 1; button <= kCentredButtons; ++button)
        CentreOnPosition(Numbered("xsellbutton", button));
    for (const char* name : {"sitelogo", "halvornlogo", "gamesite"})
        CentreOnPosition(name);
}

int TXSellWindow::ReadEntries(TXmlNode& xsell)
{
    int count = 0;
    TString name;
    TXmlNode* node = nullptr;
    xsell.ResetChildIterator();
    while (count < kMaxGames && xsell.NextChild(name, node)) {
        if (name != TString("gameinfo"))
            continue;
        ++count;
        SetText(Numbered("descrip", count),
                DescriptionWithLink(node->GetAttribute("description"),
                                    node->GetAttribute("linktext"), count));
        mLinks[count] = node->GetAttribute("link");
    }
    return count;
}

void TXSellWindow::ReadSiteLink(const TXmlNode& xsell)
{
    if (const TXmlNode* site = xsell.FindChild("sitelink"))
        mLinks[0] = site->GetAttribute("link");
    // The site's button opens nothing without a web address to open.
    if (!IsWebLink(mLinks[0]))
        Hide("gamesite");
}

void TXSellWindow::ReadCentreTexts(const TXmlNode& xsell)
{
    const TXmlNode* centre = xsell.FindChild("centertext");
    if (centre == nullptr)
        return;
    SetText("centertext1", centre->GetAttribute("text1"));
    SetText("centertext2", centre->GetAttribute("text2"));
}

void TXSellWindow::LaunchGameLink(int entry)
{
    if (entry < 0 || entry >= kLinkCount) {
        TraceLog(kNoSuchLinkLog, entry, kLinkCount - 1);
        return;
    }
    const TString& link = mLinks[entry];
    if (link.Length() == 0) {
        TraceLog(kEmptyLinkLog, entry);
        return;
    }
    if (!IsWebLink(link)) {
        TraceLog(kNotAWebLinkLog, entry, link.CStr());
        return;
    }
    if (mOpenLink) {
        mOpenLink(mLinks[entry]);
        return;
    }
    if (TWindowServices* manager = GetWindowServices())
        manager->GetHost().OpenURL(mLinks[entry]);
    else
        TraceLog("ui: xsell: no window manager to open %s", mLinks[entry].CStr());
}

TString TXSellWindow::GetLink(int entry) const
{
    return entry >= 0 && entry < kLinkCount ? mLinks[entry] : TString();
}

void TXSellWindow::SetText(const TString& name, const TString& text)
{
    if (TText* window = FindChild<TText>(name))
        window->SetText(text);
}

void TXSellWindow::Hide(const TString& name)
{
    if (TWindow* window = FindChild(name))
        window->SetFlags(window->GetFlags() & ~kShown);
}

void TXSellWindow::CentreOnPosition(const TString& name)
{
    // The rectangle in the parent's coordinates, as MoveTo takes it: the screen
    // rectangle would shift the window by its ancestors' offset.
    TWindow* window = FindChild(name);
    if (window == nullptr)
        return;
    const TRect& rect = window->GetRect();
    window->MoveTo(rect.left - (rect.right - rect.left) / 2,
                   rect.top - (rect.bottom - rect.top) / 2);
}
