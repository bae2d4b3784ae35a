#pragma once

// A single-line text field (window type "TextEdit") on top of a text window. It keeps the
// real text and a caret, and shows the text (or one "*" a character for a password) with a
// caret tag that blinks while the field has the focus. Typed characters, Backspace, Delete,
// the arrows and paste (Ctrl+V, Shift+Insert) edit it; every character it takes queues a
// kEditChanged message named after the field for the dialog's script.
//
// The fields of one dialog share an edit list, in joining order, through which Tab moves
// the focus. Every edit asks the virtual hook OnEditEvent first; game fields derive from
// this class and override the hook to refuse edits or to react to them.
//
// What is shown goes through the text layout's markup, so typed "<" and "\" are escaped in
// the shown text only; GetText gives the text as typed.
//
// Style keys: "password" (false), "length" (the most characters typed in; 10), "ignore"
// (characters never inserted; "") and "label" (the initial text, never translated), besides
// those of the text window.

#include "engine/foundation/core/TClock.h"
#include "engine/ui/widgets/TText.h"

#include <memory>
#include <vector>

class TTextEdit : public TText
{
public:
    // What OnEditEvent is asked about.
    enum class TEditEvent : int
    {
        Insert = 0,       // insert the character
        DeleteOrMove = 1, // delete before the caret, or move the caret
        Enter = 2,
        Tab = 3,
        Paste = 4,
        NothingToDo = 5, // no room, nothing to delete, the caret at the edge
    };

    static constexpr int kDefaultLengthLimit = 10;
    // How often the caret is refreshed, and its blink period (half shown, half hidden).
    static constexpr int kCaretRefreshMs = 200;
    static constexpr int kCaretPeriodMs = 800;

    // Takes the focus on a click; the caret clock runs from now.
    TTextEdit();
    // Leaves the edit list and detaches the animation.
    ~TTextEdit() override;

    static std::unique_ptr<TWindow> Create();
    static TClassId ClassId();
    const char* GetClassName() const override { return "TTextEdit"; }
    bool IsKindOf(TClassId classId) const override
    {
        return classId == ClassId() || TText::IsKindOf(classId);
    }

    void Init(const TWindowStyle& style) override;
    void Draw() override;
    // Refreshes the caret; keeps the animation running.
    bool Update() override;
    bool OnChar(int character) override;
    bool OnKeyDown(int key, int flags) override;

    // Replaces the text; the caret goes to its end.
    void SetText(const TString& text) override;
    // The text as typed (not what is shown).
    TString GetText() const override { return mText; }

    // Whether the edit may happen; the default rules are those of TEditEvent's comments:
    // inserting while below the limit, deleting, moving and pasting are allowed; Enter and
    // Tab are refused (so they reach the dialog, and Tab moves the focus).
    virtual bool OnEditEvent(TEditEvent kind, int character);

    // Puts the shown text, with the caret during its visible phase, into the layout.
    void UpdateDisplay();
    // Joins the dialog's edit list (once, and only inside a dialog).
    void JoinEditGroup();
    // Removes the character before the caret.
    void DeleteBeforeCaret();
    void SetPassword(bool on);
    void SetIgnore(const TString& characters) { mIgnore = characters; }

    int GetCaret() const { return mCaret; }
    int GetLengthLimit() const { return mLengthLimit; }
    bool IsPassword() const { return mPassword; }
    // The text handed to the layout (with markup escapes and the caret tag).
    TString GetDisplayText() const { return TText::GetText(); }
    // The fields of this one's dialog, this one included; null before joining.
    const std::vector<TTextEdit*>* GetEditList() const { return mEditList.get(); }

private:
    using TEditList = std::vector<TTextEdit*>;

    bool OnCharacter(int character);
    bool OnTab();
    bool MoveCaret(int step);
    bool DeleteAtCaret();
    bool Paste();
    bool IsCaretPhase() const;
    bool IsIgnored(int character) const;
    int Length() const { return static_cast<int>(mText.Length()); }
    void QueueEditMessage();
    void LeaveEditGroup();

    int mLengthLimit = kDefaultLengthLimit;
    // Shared by every edit of the dialog; each removes itself when it goes.
    std::shared_ptr<TEditList> mEditList;
    TString mText;
    int mCaret = 0;
    bool mPassword = false;
    bool mCaretShown = false;
    TString mIgnore;
    TClock mCaretClock;
};
