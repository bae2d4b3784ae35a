#include "engine/ui/widgets/TTextEdit.h"

#include "engine/foundation/app/TEvent.h"
#include "engine/graphics/text/TTextLayout.h"
#include "engine/platform/TKeyCode.h"
#include "engine/platform/TTimeSource.h"
#include "tests/engine/ui/UiTestSupport.h"

#include <optional>
#include <string>
#include <vector>

namespace {

using TEditEvent = TTextEdit::TEditEvent;

// An edit field whose hook records every question ("0 5 ...") and may refuse or allow one
// kind.
class TRecordingEdit : public TTextEdit
{
public:
    bool OnEditEvent(TEditEvent kind, int character) override
    {
        kinds += (kinds.empty() ? "" : " ") + std::to_string(static_cast<int>(kind));
        if (refused == kind)
            return false;
        if (allowed == kind)
            return true;
        return TTextEdit::OnEditEvent(kind, character);
    }

    std::string kinds;
    std::optional<TEditEvent> refused;
    std::optional<TEditEvent> allowed;
};

// One input: a character (OnChar) or a key going down (OnKeyDown) with event flags.
struct TInput
{
    bool isKey;
    int code;
    int flags = 0;
};

TInput Char(int c)
{
    return {false, c};
}
TInput Key(int key, int flags = 0)
{
    return {true, key, flags};
}
std::vector<TInput> Typed(const std::string& text)
{
    std::vector<TInput> inputs;
    for (const char c : text)
        inputs.push_back(Char(static_cast<unsigned char>(c)));
    return inputs;
}

const TInput kLeft = Key(TKeyCode::kLeft);
const TInput kRight = Key(TKeyCode::kRight);
const TInput kDelete = Key(TKeyCode::kDelete);
const TInput kCtrlV = Key('V', TEvent::kControl);
const TInput kInsert = Key(TKeyCode::kInsert);
const TInput kBackspace = Char(8);

// How a field is styled: its initial text, "length", "ignore" and "password".
struct TOptions
{
    const char* text = "";
    int length = 10;
    const char* ignore = "";
    bool password = false;
};

class TTextEditTest : public TUiTest
{
protected:
    TTextEditTest()
    {
        mScript = AttachRecordingScript();
        mDialog = Manager().PushModal(std::make_unique<TProbeModal>("dialog", kWidth, kHeight));
    }

    // A field inside parent (it joins before its Init), or, without a parent, handed to
    // the caller in loose.
    TRecordingEdit* MakeEdit(const char* name, const TOptions& options, TWindow* parent,
                             std::unique_ptr<TRecordingEdit>* loose = nullptr)
    {
        auto owned = std::make_unique<TRecordingEdit>();
        TRecordingEdit* edit = owned.get();
        if (parent != nullptr)
            parent->Adopt(std::move(owned));
        else
            *loose = std::move(owned);
        TMapStyle style{{"w", 300}, {"h", 20}, {"length", options.length}};
        if (options.password)
            style.numbers["password"] = 1;
        style.strings["name"] = name;
        style.strings["label"] = options.text;
        style.strings["ignore"] = options.ignore;
        edit->Init(style);
        return edit;
    }
    TRecordingEdit* MakeEdit(const char* name, const TOptions& options = {})
    {
        return MakeEdit(name, options, mDialog);
    }

    // Feeds inputs to edit; the answer to the last one.
    static bool Feed(TTextEdit& edit, const std::vector<TInput>& inputs)
    {
        bool handled = false;
        for (const TInput& input : inputs)
            handled =
                input.isKey ? edit.OnKeyDown(input.code, input.flags) : edit.OnChar(input.code);
        return handled;
    }
    // The kEditChanged messages that reached the script since the last call.
    int TakeEditMessages()
    {
        Host().timer += 20;
        Idle();
        int count = 0;
        for (const std::string& message : mScript->delivered)
            count += message.rfind("7 ", 0) == 0;
        mScript->delivered.clear();
        return count;
    }

    TManualTimeSource mTime{1000};
    TRecordingScript* mScript = nullptr;
    TProbeModal* mDialog = nullptr;
};

TEST_F(TTextEditTest, KeySequencesEditTheTextAndReportEachTypedCharacter)
{
    struct TCase
    {
        const char* what;
        TOptions options;
        std::string clipboard;
        std::vector<TInput> inputs;
        const char* text;
        int caret;
        bool handled;
        int messages;
        const char* kinds;
    };
    const TCase cases[] = {
        {"typing", {}, "", Typed("ab"), "ab", 2, true, 2, "0 0"},
        {"a full field refuses", {.length = 3}, "", Typed("abcd"), "abc", 3, false, 3, "0 0 0 0 5"},
        {"Backspace at the start", {}, "", {kBackspace}, "", 0, false, 0, "5"},
        {"Backspace", {.text = "abc"}, "", {kLeft, kBackspace}, "ac", 1, true, 1, "1 1"},
        {"Delete at the end", {.text = "abc"}, "", {kDelete}, "abc", 3, true, 0, "5"},
        {"Delete", {.text = "abc"}, "", {kLeft, kLeft, kDelete}, "ac", 1, true, 0, "1 1"},
        {"Left at the start", {.text = "ab"}, "", {kLeft, kLeft, kLeft}, "ab", 0, true, 0, "1 1 5"},
        {"Right at the end",
         {.text = "ab"},
         "",
         {kLeft, kRight, kRight},
         "ab",
         2,
         true,
         0,
         "1 1 5"},
        {"inserting at the caret",
         {.text = "ac"},
         "",
         {kLeft, Char('b')},
         "abc",
         2,
         true,
         1,
         "1 0"},
        {"an ignored character", {.ignore = "x"}, "", Typed("x"), "", 0, true, 1, ""},
        {"Enter goes on to the dialog", {}, "", {Char(13)}, "", 0, false, 0, "2"},
        {"control characters", {}, "", {Char(1), Char(27)}, "", 0, false, 0, ""},
        {"8-bit letters in a plain field", {}, "", {Char(0xE9)}, "", 0, false, 0, ""},
        {"8-bit letters in a password field",
         {.password = true},
         "",
         {Char(0xE9), Char(0x1E9)}, // the low byte counts
         "\xE9\xE9",
         2,
         true,
         2,
         "0 0"},
        {"paste drops control bytes", {}, "a\tb", {kCtrlV}, "ab", 2, true, 0, "4"},
        {"paste keeps the limit", {.length = 5}, "abcdefgh", {kInsert}, "abcde", 5, true, 0, "4"},
        {"paste drops ignored and 8-bit bytes",
         {.text = "old", .ignore = "-"},
         "1-2\xE9x",
         {kCtrlV},
         "12x",
         3,
         true,
         0,
         "4"},
        {"paste of nothing", {.text = "old"}, "", {kCtrlV}, "old", 3, false, 0, "4"},
        {"V without Ctrl", {}, "xy", {Key('V')}, "", 0, false, 0, ""},
        {"keys from 91 up", {}, "", {Key(TKeyCode::kF1)}, "", 0, false, 0, ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        Host().clipboard = c.clipboard;
        TRecordingEdit* edit = MakeEdit("e", c.options);
        EXPECT_EQ(Feed(*edit, c.inputs), c.handled);
        EXPECT_EQ(std::string(edit->GetText().CStr()), c.text);
        EXPECT_EQ(edit->GetCaret(), c.caret);
        EXPECT_EQ(TakeEditMessages(), c.messages);
        EXPECT_EQ(edit->kinds, c.kinds);
    }
}

TEST_F(TTextEditTest, AHookThatRefusesAnEditBlocksIt)
{
    struct TCase
    {
        TEditEvent refused;
        std::vector<TInput> inputs;
        const char* text;
        bool handled;
    };
    const TCase cases[] = {
        {TEditEvent::Insert, Typed("a"), "xy", false},
        {TEditEvent::DeleteOrMove, {kBackspace}, "xy", false},
        {TEditEvent::DeleteOrMove, {kLeft}, "xy", false},
        {TEditEvent::Paste, {kCtrlV}, "xy", false},
    };
    Host().clipboard = "pasted";
    for (const TCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.refused));
        TRecordingEdit* edit = MakeEdit("e", {.text = "xy"});
        edit->refused = c.refused;
        EXPECT_EQ(Feed(*edit, c.inputs), c.handled);
        EXPECT_EQ(std::string(edit->GetText().CStr()), c.text);
        EXPECT_EQ(edit->GetCaret(), 2);
        EXPECT_EQ(TakeEditMessages(), 0);
    }
}

TEST_F(TTextEditTest, ThePasswordCaretBlinksWhileTheFieldHasTheFocus)
{
    TRecordingEdit* edit = MakeEdit("pw", {.text = "abc", .password = true});
    Feed(*edit, {kLeft});
    EXPECT_EQ(std::string(edit->GetDisplayText().CStr()), "***"); // no focus: no caret
    Manager().SetFocusWindow(edit);
    struct TCase
    {
        uint32_t advance;
        const char* shown;
    };
    // The clock started when the field was made: 400 ms without the caret, 400 with it.
    const TCase cases[] = {{400, "***"}, {1, "**<cursor>*"}, {398, "**<cursor>*"}, {1, "***"}};
    for (const TCase& c : cases) {
        mTime.Advance(c.advance);
        edit->Update();
        EXPECT_EQ(std::string(edit->GetDisplayText().CStr()), c.shown);
    }
    EXPECT_EQ(std::string(edit->GetText().CStr()), "abc");
}

TEST_F(TTextEditTest, TypedMarkupIsShownAsTyped)
{
    TRecordingEdit* edit = MakeEdit("e", {.length = 20});
    Feed(*edit, Typed("a<br>b\\<c"));
    EXPECT_EQ(std::string(edit->GetText().CStr()), "a<br>b\\<c");
    EXPECT_EQ(std::string(edit->GetDisplayText().CStr()), "a\\<br>b\\\\\\<c");
    EXPECT_EQ(edit->GetLayout()->GetLineCount(), 1);
    Manager().SetFocusWindow(edit);
    Feed(*edit, {kLeft});
    mTime.Advance(500);
    edit->Update();
    EXPECT_EQ(std::string(edit->GetDisplayText().CStr()), "a\\<br>b\\\\\\<<cursor>c");
}

TEST_F(TTextEditTest, TabMovesTheFocusThroughTheDialogsFields)
{
    TRecordingEdit* first = MakeEdit("first");
    TRecordingEdit* second = MakeEdit("second");
    TRecordingEdit* third = MakeEdit("third");
    ASSERT_NE(first->GetEditList(), nullptr);
    EXPECT_EQ(*first->GetEditList(), (std::vector<TTextEdit*>{first, second, third}));
    EXPECT_EQ(second->GetEditList(), first->GetEditList());
    const std::pair<TTextEdit*, TTextEdit*> steps[] = {
        {first, second}, {second, third}, {third, first}};
    for (const auto& [from, to] : steps) {
        Manager().SetFocusWindow(from);
        EXPECT_FALSE(from->OnChar(9));
        EXPECT_EQ(Manager().GetFocusWindow(), to);
    }
    EXPECT_EQ(TakeEditMessages(), 0);

    EXPECT_NE(mDialog->RemoveChild(second), nullptr); // a field that goes leaves the list

    EXPECT_EQ(*first->GetEditList(), (std::vector<TTextEdit*>{first, third}));
}

TEST_F(TTextEditTest, TabInTheOnlyFieldKeepsTheFocus)
{
    TRecordingEdit* only = MakeEdit("only");
    Manager().SetFocusWindow(only);
    EXPECT_FALSE(only->OnChar(9));
    EXPECT_EQ(Manager().GetFocusWindow(), only);
}

TEST_F(TTextEditTest, AFieldWhoseHookTakesTabOrEnterKeepsTheKey)
{
    TRecordingEdit* first = MakeEdit("first");
    MakeEdit("second");
    Manager().SetFocusWindow(first);
    for (const auto& [kind, character] :
         {std::pair{TEditEvent::Tab, 9}, std::pair{TEditEvent::Enter, 13}}) {
        first->allowed = kind;
        EXPECT_TRUE(first->OnChar(character));
        EXPECT_EQ(Manager().GetFocusWindow(), first);
        EXPECT_EQ(TakeEditMessages(), 1);
    }
}

TEST_F(TTextEditTest, TheFocusedFieldGetsTheKeysOfTheEventLoop)
{
    TRecordingEdit* edit = MakeEdit("e");
    Send(TEvent::kLeftDown, 5, 5); // a click gives it the focus
    Send(TEvent::kLeftUp, 5, 5);
    ASSERT_EQ(Manager().GetFocusWindow(), edit);
    Host().clipboard = "Ann";
    TEvent paste;
    paste.type = TEvent::kKeyDown;
    paste.param = TKeyCode::kInsert;
    paste.flags = TEvent::kShift;
    Manager().HandleEvent(paste);
    Send(TEvent::kChar, 0, 0, 'a');
    EXPECT_EQ(std::string(edit->GetText().CStr()), "Anna");
    EXPECT_EQ(TakeEditMessages(), 1);
}

TEST_F(TTextEditTest, AnEmptyFieldWithTheFocusShowsOnlyTheCaret)
{
    TRecordingEdit* edit = MakeEdit("e");
    Manager().SetFocusWindow(edit);
    mTime.Advance(500);
    edit->Update();
    EXPECT_EQ(std::string(edit->GetDisplayText().CStr()), "<cursor>");
    EXPECT_EQ(edit->GetLayout()->GetLineCount(), 1);
}

TEST_F(TTextEditTest, AFieldMadeOutsideTheDialogJoinsWithTheNextOne)
{
    std::unique_ptr<TRecordingEdit> loose;
    TRecordingEdit* outside = MakeEdit("outside", {}, nullptr, &loose);
    EXPECT_EQ(outside->GetEditList(), nullptr);
    mDialog->Adopt(std::move(loose));
    TRecordingEdit* inside = MakeEdit("inside");
    ASSERT_NE(outside->GetEditList(), nullptr);
    EXPECT_EQ(outside->GetEditList(), inside->GetEditList());
    EXPECT_EQ(*inside->GetEditList(), (std::vector<TTextEdit*>{outside, inside}));
    Manager().SetFocusWindow(inside);
    EXPECT_FALSE(inside->OnChar(9));
    EXPECT_EQ(Manager().GetFocusWindow(), outside);
}

} // namespace
