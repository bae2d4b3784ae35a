#include "engine/ui/widgets/TTextEdit.h"

#include "engine/foundation/app/TEvent.h"
#include "engine/platform/TKeyCode.h"
#include "engine/ui/message/TMessage.h"
#include "engine/ui/window/TModalWindow.h"
#include "engine/ui/window/TWindowManagerHost.h"
#include "engine/ui/window/TWindowScriptLink.h"
#include "engine/ui/window/TWindowServices.h"
#include "engine/ui/window/TWindowSpider.h"
#include "engine/ui/window/TWindowStyle.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kBackspace = 8;
constexpr int kTab = 9;
constexpr int kEnter = 13;
constexpr int kLetterV = 'V';
// Key codes from here on (system keys, the keypad, function keys) are never edits.
constexpr int kFirstIgnoredKey = 91;

// The first text edit other than self in a window tree (over ForEachDescendant: depth
// first, children front to back).
class TTextSpider final : public TWindowSpider
{
public:
    explicit TTextSpider(const TTextEdit* self) : mSelf(self) {}

    bool Visit(TWindow* window) override
    {
        if (auto* edit = WindowCast<TTextEdit>(window); edit != nullptr && edit != mSelf) {
            found = edit;
            return false;
        }
        return true;
    }

    TTextEdit* found = nullptr;

private:
    const TTextEdit* mSelf;
};

// text with "\" and "<" escaped for the layout's markup, and the caret tag before the
// character at caret (none for a negative caret).
TString MarkUpForDisplay(const std::string& text, int caret)
{
    std::string display;
    display.reserve(text.size() + 16);
    for (size_t i = 0; i <= text.size(); ++i) {
        if (static_cast<int>(i) == caret)
            display += "<cursor>";
        if (i == text.size())
            break;
        if (text[i] == '\\' || text[i] == '<')
            display += '\\';
        display += text[i];
    }
    return TString(display.data(), static_cast<int>(display.size()));
}

} // namespace

TTextEdit::TTextEdit()
{
    mCaretClock.Start();
    SetClassFlags(kTakesFocus, true);
}

TTextEdit::~TTextEdit()
{
    LeaveEditGroup();
    DetachAnim();
}

std::unique_ptr<TWindow> TTextEdit::Create()
{
    return std::make_unique<TTextEdit>();
}

TClassId TTextEdit::ClassId()
{
    return reinterpret_cast<TClassId>(&TTextEdit::Create);
}

void TTextEdit::Init(const TWindowStyle& style)
{
    JoinEditGroup();
    const bool password = style.GetBool("password", false);
    const int length = style.GetInt("length", kDefaultLengthLimit);
    const TString ignore = style.GetString("ignore", "");
    // The label is the field's initial text, never a string-table key.
    TWindowServices* manager = GetWindowServices();
    TWindowScriptLink* script = manager != nullptr ? manager->GetWindowScript() : nullptr;
    const bool translated = script != nullptr && script->SetTranslateLabels(false);
    if (password)
        SetPassword(true);
    TText::Init(style);
    if (script != nullptr)
        script->SetTranslateLabels(translated);
    mLengthLimit = length;
    mIgnore = ignore;
}

void TTextEdit::Draw()
{
    JoinEditGroup();
    TText::Draw();
}

bool TTextEdit::Update()
{
    UpdateDisplay();
    return true;
}

void TTextEdit::SetText(const TString& text)
{
    mText = text;
    mCaret = Length();
    UpdateDisplay();
}

void TTextEdit::SetPassword(bool on)
{
    mPassword = on;
    UpdateDisplay();
}

bool TTextEdit::IsCaretPhase() const
{
    const TWindowServices* manager = GetWindowServices();
    if (manager == nullptr || manager->GetFocusWindow() != this)
        return false;
    const unsigned int phase = static_cast<unsigned int>(mCaretClock.GetTime()) % kCaretPeriodMs;
    return phase > kCaretPeriodMs / 2;
}

void TTextEdit::UpdateDisplay()
{
    const std::string shown = mPassword ? std::string(static_cast<size_t>(Length()), '*')
                                        : std::string(mText.CStr(), static_cast<size_t>(Length()));
    const bool caret = IsCaretPhase();
    if (caret != mCaretShown) {
        mCaretShown = caret;
        InvalidateWindows();
    }
    TText::SetText(MarkUpForDisplay(shown, caret ? mCaret : -1));
}

// ---- the edit list ----

void TTextEdit::JoinEditGroup()
{
    if (mEditList)
        return;
    TModalWindow* dialog = GetModalParent();
    if (dialog == nullptr)
        return;
    StartAnim(kCaretRefreshMs, true, true, false);
    TTextSpider spider(this);
    dialog->ForEachDescendant(spider);
    if (spider.found == nullptr) {
        mEditList = std::make_shared<TEditList>(TEditList{this});
        return;
    }
    // The edit found may not have joined yet (it was made outside the dialog and moved
    // in): the two start a list together.
    if (!spider.found->mEditList)
        spider.found->mEditList = std::make_shared<TEditList>(TEditList{spider.found});
    mEditList = spider.found->mEditList;
    mEditList->push_back(this);
}

void TTextEdit::LeaveEditGroup()
{
    if (!mEditList)
        return;
    std::erase(*mEditList, this);
    mEditList.reset();
}

// ---- typing ----

void TTextEdit::QueueEditMessage()
{
    if (TWindowServices* manager = GetWindowServices())
        manager->QueueMessage(std::make_unique<TMessage>(TMessage::kEditChanged, GetName()));
}

bool TTextEdit::OnChar(int character)
{
    // The low byte, unsigned: 128 to 255 are letters of the 8-bit character set.
    const int c = character & 0xFF;
    bool handled = false;
    if (c == kBackspace) {
        if (mCaret == 0) {
            handled = OnEditEvent(TEditEvent::NothingToDo, c);
        } else if (OnEditEvent(TEditEvent::DeleteOrMove, c)) {
            DeleteBeforeCaret();
            handled = true;
        }
    } else if (c == kTab) {
        handled = OnTab();
    } else if (c == kEnter) {
        handled = OnEditEvent(TEditEvent::Enter, c);
    } else if ((c >= 32 && c <= 127) || (c >= 128 && mPassword)) {
        handled = OnCharacter(c);
    }
    if (handled)
        QueueEditMessage();
    return handled;
}

bool TTextEdit::OnCharacter(int character)
{
    if (IsIgnored(character))
        return true;
    if (!OnEditEvent(TEditEvent::Insert, character))
        return false;
    const char byte = static_cast<char>(character);
    std::string text(mText.CStr(), static_cast<size_t>(Length()));
    text.insert(static_cast<size_t>(mCaret), 1, byte);
    mText = TString(text.data(), static_cast<int>(text.size()));
    ++mCaret;
    UpdateDisplay();
    return true;
}

bool TTextEdit::OnTab()
{
    if (OnEditEvent(TEditEvent::Tab, kTab))
        return true;
    if (!mEditList || mEditList->empty())
        return false;
    const auto self = std::find(mEditList->begin(), mEditList->end(), this);
    auto next = self == mEditList->end() ? mEditList->begin() : std::next(self);
    if (next == mEditList->end())
        next = mEditList->begin();
    if (TWindowServices* manager = GetWindowServices())
        manager->SetFocusWindow(*next);
    return false;
}

bool TTextEdit::IsIgnored(int character) const
{
    return mIgnore.FindChar(static_cast<char>(character)) >= 0;
}

void TTextEdit::DeleteBeforeCaret()
{
    if (mCaret <= 0)
        return;
    mText.Erase(mCaret - 1, 1);
    --mCaret;
    UpdateDisplay();
}

bool TTextEdit::OnKeyDown(int key, int flags)
{
    JoinEditGroup();
    switch (key) {
    case TKeyCode::kLeft:
        return MoveCaret(-1);
    case TKeyCode::kRight:
        return MoveCaret(1);
    case TKeyCode::kDelete:
        return DeleteAtCaret();
    default:
        break;
    }
    if (key >= kFirstIgnoredKey)
        return false;
    if ((key == kLetterV && (flags & TEvent::kControl) != 0) || key == TKeyCode::kInsert)
        return Paste();
    return false;
}

bool TTextEdit::MoveCaret(int step)
{
    const int target = mCaret + step;
    if (target < 0 || target > Length()) {
        OnEditEvent(TEditEvent::NothingToDo, 0);
        return true;
    }
    if (!OnEditEvent(TEditEvent::DeleteOrMove, 0))
        return false;
    mCaret = target;
    UpdateDisplay();
    return true;
}

bool TTextEdit::DeleteAtCaret()
{
    if (mCaret >= Length()) {
        OnEditEvent(TEditEvent::NothingToDo, 0);
        return true;
    }
    mText.Erase(mCaret, 1);
    UpdateDisplay();
    return true;
}

bool TTextEdit::Paste()
{
    if (!OnEditEvent(TEditEvent::Paste, 0))
        return false;
    TWindowServices* manager = GetWindowServices();
    const TString clipboard =
        manager != nullptr ? manager->GetHost().GetClipboardText() : TString();
    if (clipboard.Length() == 0)
        return false;
    const std::string kept(clipboard.CStr(), static_cast<size_t>(std::min(
                                                 clipboard.Length(), std::max(mLengthLimit, 0))));
    std::string text;
    for (const char byte : kept) {
        const int c = static_cast<unsigned char>(byte);
        if (c >= 32 && c <= 127 && !IsIgnored(c))
            text += byte;
    }
    SetText(TString(text.data(), static_cast<int>(text.size())));
    return true;
}

bool TTextEdit::OnEditEvent(TEditEvent kind, int character)
{
    switch (kind) {
    case TEditEvent::Insert:
        if (Length() < mLengthLimit)
            return true;
        // The game's hook hears that the field is full (a refusal sound, say).
        OnEditEvent(TEditEvent::NothingToDo, character);
        return false;
    case TEditEvent::DeleteOrMove:
    case TEditEvent::Paste:
        return true;
    case TEditEvent::Enter:
    case TEditEvent::Tab:
    case TEditEvent::NothingToDo:
        return false;
    }
    return false;
}
