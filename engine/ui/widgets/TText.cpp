#include "engine/ui/widgets/TText.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/graphics/TDraw2dScope.h"
#include "engine/graphics/text/TTextLayout.h"
#include "engine/script/TLuaTable.h"
#include "engine/ui/window/TDefaultButton.h"
#include "engine/ui/window/TModalWindow.h"
#include "engine/ui/window/TWindowManagerHost.h"
#include "engine/ui/window/TWindowScriptLink.h"
#include "engine/ui/window/TWindowServices.h"
#include "engine/ui/window/TWindowStyle.h"

#include <climits>
#include <cmath>
#include <cstring>

namespace {

bool IsTranslatingLabels(const TWindowServices* manager)
{
    const TWindowScriptLink* script = manager != nullptr ? manager->GetWindowScript() : nullptr;
    return script != nullptr && script->GetTranslateLabels();
}

bool IsNumberText(const TString& label)
{
    return std::strspn(label.CStr(), "0123456789.") == static_cast<size_t>(label.Length());
}

// The label as shown: "#text" is text itself, numbers stay, anything else is a key of the
// string table, while the window script translates labels.
TString TranslateLabel(const TString& label)
{
    TWindowServices* manager = GetWindowServices();
    if (label.Length() == 0 || !IsTranslatingLabels(manager))
        return label;
    if (label.CStr()[0] == '#')
        return TString(label.CStr() + 1);
    if (IsNumberText(label))
        return label;
    return manager->GetHost().GetString(label, {});
}

TVec2 ToVec2(const TPoint& point)
{
    return TVec2(static_cast<float>(point.x), static_cast<float>(point.y));
}

} // namespace

TText::TText() = default;

TText::~TText() = default;

std::unique_ptr<TWindow> TText::Create()
{
    return std::make_unique<TText>();
}

TClassId TText::ClassId()
{
    return reinterpret_cast<TClassId>(&TText::Create);
}

void TText::ReadFont(const TWindowStyle& style)
{
    std::unique_ptr<TLuaTable> font = style.GetTable("font");
    if (!font)
        return;
    mFace = font->GetStringByIndex(1, kDefaultFace);
    const double size = font->GetNumberByIndex(2, kDefaultFontSize);
    // A size of 0 means "small"; a negative one (or nonsense) would become a huge unsigned
    // line height.
    mFontSize = size >= 1.0 && size <= static_cast<double>(INT_MAX)
                    ? static_cast<unsigned int>(size)
                    : kSmallFontSize;
    mColour = font->GetColorByIndex(3, TColor(0, 1, 0, 1));
}

void TText::Init(const TWindowStyle& style)
{
    ReadFont(style);
    const TString name = style.GetString("name", "");
    const TString label = TranslateLabel(style.GetString("label", ""));
    const int defaultFlags = style.GetInt("defflags", 0);
    const int flags = style.GetInt("flags", defaultFlags);
    const int padding = style.GetInt("padding", 0);
    const float rotation = static_cast<float>(style.GetNumber("rotation", 0.0));
    const int originX = style.GetInt("rotationOriginX", 0);
    const int originY = style.GetInt("rotationOriginY", 0);
    const int rotationAlign = style.GetInt("rotationAlign", 0);

    TWindow::Init(style);

    if (GetWidth() == 0 || GetHeight() == 0) {
        TraceLog(kEmptyWindowLog, name.CStr(), label.CStr());
        return;
    }
    mLineSpacing = padding;
    CreateLayout(label, GetWidth(), GetHeight(), flags, mFace, mFontSize, mColour);
    if (rotation != 0.0f)
        ApplyRotation(rotation, originX, originY, rotationAlign);
}

void TText::ApplyRotation(float degrees, int originX, int originY, int align)
{
    int ignoredSize = 0;
    ResolveCoordinate(originX, ignoredSize, GetWidth(), (align & kAlignCenterX) != 0,
                      (align & kAlignRight) != 0, true);
    ignoredSize = 0;
    ResolveCoordinate(originY, ignoredSize, GetHeight(), (align & kAlignCenterY) != 0,
                      (align & kAlignBottom) != 0, true);
    SetRotation(degrees, originX, originY);
}

bool TText::CreateLayout(const TString& label, int width, int height, int flags,
                         const TString& face, unsigned int fontSize, const TColor& colour)
{
    if (width == 0 || height == 0)
        return false;
    mLayout = CreateTextLayout(label, width, height, flags, face.CStr(), fontSize, colour);
    mLayout->SetHorizontalScale(mHorizontalScale);
    SetSize(width, height);
    SetText(label);
    return true;
}

void TText::SetRotation(float degrees, int originX, int originY)
{
    if (mLayout)
        mLayout->SetRotation(degrees, originX, originY);
}

void TText::SetHorizontalScale(float scale)
{
    mHorizontalScale = scale;
    if (mLayout)
        mLayout->SetHorizontalScale(scale);
    InvalidateWindows();
}

void TText::SetDrawScale(float scale)
{
    mDrawScale = scale;
    InvalidateWindows();
}

void TText::SetDrawAlpha(float alpha)
{
    mDrawAlpha = alpha;
    InvalidateWindows();
}

void TText::Draw()
{
    if (!mLayout)
        return;
    TDraw2dScope scope;
    if (!scope.HasBegun())
        return;
    mLayout->DrawInRect(GetLocalRect(), mDrawScale, mLineSpacing, mDrawAlpha);
}

void TText::SetText(const TString& text)
{
    if (!mLayout || text == mLayout->GetText())
        return;
    // Every change asks for a frame, the first text of an empty window included.
    InvalidateWindows();
    mLayout->SetText(text);
}

TString TText::GetText() const
{
    return mLayout ? mLayout->GetText() : TString();
}

void TText::SetScroll(float position)
{
    if (!mLayout)
        return;
    const int last = mLayout->CountLinesThatFit(mDrawScale, mLineSpacing);
    const float scroll = (mScrollBias + static_cast<float>(last)) * position;
    if (scroll == mLayout->GetScrollPosition())
        return;
    mLayout->SetScrollPosition(scroll);
    InvalidateWindows();
}

bool TText::OnMouseDown(const TPoint& point)
{
    if (!mLayout)
        return false;
    mPressedLink = mLayout->GetLinkAt(ToVec2(point), mLineSpacing);
    return mPressedLink.Length() > 0;
}

bool TText::OnMouseUp(const TPoint& point)
{
    if (mPressedLink.Length() == 0)
        return false;
    // The pressed link is cleared first: the button's command may close this dialog.
    const TString pressed = mPressedLink;
    mPressedLink = TString();
    if (mLayout && mLayout->GetLinkAt(ToVec2(point), mLineSpacing) == pressed)
        PressLinkedButton(pressed);
    return true;
}

void TText::PressLinkedButton(const TString& link)
{
    // A text outside any dialog (an overlay) has no modal parent to search.
    TModalWindow* dialog = GetModalParent();
    TWindow* found = dialog != nullptr ? dialog->FindChild(link, -1) : nullptr;
    if (found == nullptr) {
        TraceLog(kNoLinkedWindowLog, link.CStr());
        return;
    }
    // A link runs the button's command as Enter does for a default button: no press
    // sound and no change of a toggle's state.
    auto* button = dynamic_cast<TDefaultButton*>(found);
    if (button == nullptr) {
        TraceLog(kLinkedWindowNotButtonLog, link.CStr());
        return;
    }
    button->DoCommand();
}

bool TText::OnMouseMove(const TPoint& point)
{
    if (!mLayout)
        return false;
    const TVec2 at = ToVec2(point);
    if (!mLayout->UpdateHoverLink(&at, mLineSpacing))
        return false;
    InvalidateWindows();
    if (TWindowServices* manager = GetWindowServices())
        manager->AddCapture(this);
    return true;
}

bool TText::OnMouseExit()
{
    if (mLayout) {
        mLayout->UpdateHoverLink(nullptr, mLineSpacing);
        InvalidateWindows();
    }
    if (TWindowServices* manager = GetWindowServices())
        manager->ReleaseCapture(this);
    return true;
}
