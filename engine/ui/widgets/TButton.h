#pragma once

// The engine's push, toggle and radio button (window type "Button"): a layered window
// whose four layers hold the pictures of its states (up, down, over, and for toggle and
// radio buttons over-while-on), with an optional label child named "label". A press plays
// the press sound, runs the button's command (Action) and queues kButtonPress for its
// dialog; a close button also closes its dialog and leaves its own name in the window
// script's "gReturnValue", which DoModal answers.
//
// States: up, then over when the pointer comes onto it (the button captures the mouse),
// down on a press, over again after a release on it (the press runs), or up when the
// pointer leaves it (the capture is released and nothing runs). A radio button switched on
// switches off the other buttons of its group: the siblings from the last one that begins
// a group (kBeginsGroup, before or at this button in creation order) up to the next one
// that begins a group.
//
// Style keys, read by Init after the name and rectangle (flags default to false):
// "graphics" (a table of picture names, up, down, over and over-while-on; each becomes a
// TImage child "image<i>" of its layer and the button fits itself to them), "scale" (1),
// "hflip", "vflip", "rotate" (applied to every picture), "sound" (press) and
// "rolloversound" (.ogg, kept in memory, volume group 0), "mask" (a picture whose dark
// pixels, red, green and blue all below 20, are not part of the button), "type" (Type),
// "sendToParent" (the press message goes to the parent of the top modal window),
// "beginGroup", "close", "default" (Enter in the dialog presses it), "on" and "command" (a
// script function run by every press).
//
// Missing pictures, sounds or masks leave that layer, sound or mask empty; the button
// still works. Main thread only.

#include "engine/ui/window/TButtonWindow.h"
#include "engine/ui/window/TDefaultButton.h"
#include "engine/ui/window/TLabelWindow.h"
#include "engine/ui/window/TLayeredWindow.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class TSound;
class TTexture;

class TButton : public TLayeredWindow,
                public TButtonWindow,
                public TDefaultButton,
                public TLabelWindow
{
public:
    enum class Type
    {
        Push = 0,
        Toggle = 1,
        Radio = 2,
    };
    // Pressed lasts only while a press runs: it shows no other layer and plays nothing.
    enum class State
    {
        Up = 0,
        Down = 1,
        Over = 2,
        Pressed = 3,
    };
    // Button flags (GetButtonFlags).
    static constexpr unsigned int kSendToParent = 0x1;
    static constexpr unsigned int kOn = 0x2;
    static constexpr unsigned int kClose = 0x4;
    static constexpr unsigned int kDefault = 0x8;

    // What a press runs.
    class Action
    {
    public:
        virtual ~Action() = default;
        virtual void Execute(TButton& button) = 0;
    };
    class LuaAction;

    // Four layers, a push button, up, no flags, command, sounds or mask.
    TButton();
    // Releases the capture.
    ~TButton() override;

    static std::unique_ptr<TWindow> Create();
    static TClassId ClassId();
    const char* GetClassName() const override { return "TButton"; }
    bool IsKindOf(TClassId classId) const override
    {
        return classId == ClassId() || TLayeredWindow::IsKindOf(classId);
    }

    // ---- TWindow ----
    bool OnAttach() override;
    void Init(const TWindowStyle& style) override;
    void PostChildrenInit(const TWindowStyle& style) override;
    bool OnMouseDown(const TPoint& point) override;
    bool OnMouseUp(const TPoint& point) override;
    bool OnMouseMove(const TPoint& point) override;
    bool OnMouseExit() override;

    // ---- TButtonWindow ----
    // The function becomes the button's command (a LuaAction).
    void SetCommand(std::unique_ptr<TLuaFunction> function) override;
    bool GetToggleState() const override { return (mButtonFlags & kOn) != 0; }
    // Stores the on state and shows the matching layer; a radio button switched on first
    // switches off the others of its group.
    void SetToggleState(bool on) override;
    // As a click's release on the button does (see PressButton).
    void Press();

    // ---- TDefaultButton ----
    bool IsDefaultButton() const override { return (mButtonFlags & kDefault) != 0; }
    // A close button queues kCloseWindow for its dialog and sets "gReturnValue" to its
    // name; then the command runs and kButtonPress (named after the button) is queued to
    // its parent, or to the top modal window's parent for sendToParent. When the command
    // took the button out of the window tree the press message is dropped (unless
    // sendToParent) and the answer is false.
    bool DoCommand() override;

    // ---- TLabelWindow: the text of the child named "label" ("" without one) ----
    TString GetLabel() const override;
    void SetLabel(const TString& text) override;

    // Plays the press sound, then DoCommand. When the button is still in the tree and its
    // dialog is still the top modal window, a radio button switches on and a toggle button
    // flips, and the answer is true; otherwise the button goes back to up (OnMouseExit)
    // and the answer is false.
    bool PressButton();

    void SetType(Type type);
    Type GetType() const { return mType; }
    State GetState() const { return mState; }
    // Stores state and shows it (ShowState with the previous state).
    virtual void SetState(State state);
    // Plays the sound of newState when it differs from oldState (the roll-over sound for
    // Over; Down and Pressed have none here: the press plays the press sound) and shows
    // its layer: push buttons the layer of the state, toggle and radio buttons layer 1
    // (up and on), 0 (down and on), 3 (over and on), or the state's own layer when off.
    virtual void ShowState(State newState, State oldState);
    unsigned int GetButtonFlags() const { return mButtonFlags; }
    // Flips the on flag (no layer change); the flags before.
    unsigned int ToggleOn();

    // The command from now on (null: none); the previous one is deleted, or, while it
    // runs, once it has returned.
    void SetAction(std::unique_ptr<Action> action);
    Action* GetAction() const { return mAction.get(); }
    // The sound of a state: Down's is the press sound, Over's the roll-over sound. Up and
    // Pressed have none (refused, logged). An empty name removes it.
    void SetSound(State state, const TString& name);
    const std::shared_ptr<TSound>& GetSound(State state) const;
    // Copies the texture's pixels as the hit-test mask (none for null or a texture that
    // cannot be locked).
    void SetMask(const std::shared_ptr<TTexture>& texture);
    bool HasMask() const { return !mMask.empty(); }

private:
    static constexpr size_t kSoundCount = 3; // one per state Up, Down, Over

    // True, after OnMouseExit, when point (in the button) is not on the button: outside
    // its rectangle or on a dark mask pixel.
    bool IsOutside(const TPoint& point);
    bool IsOnMask(const TPoint& point) const;
    void PlaySound(State state);
    // The parent chain reaches the window manager's root window.
    bool IsInWindowTree() const;
    void RunAction();
    void SwitchOffGroup();
    void ReadGraphics(const TWindowStyle& style, float scale);
    TLabelWindow* FindLabel() const;

    Type mType = Type::Push;
    State mState = State::Up;
    unsigned int mButtonFlags = 0;
    std::unique_ptr<Action> mAction;
    bool mRunningAction = false;
    bool mReplacedWhileRunning = false;
    std::array<std::shared_ptr<TSound>, kSoundCount> mSounds;
    std::vector<uint32_t> mMask;
    int mMaskWidth = 0;
    int mMaskHeight = 0;
};
