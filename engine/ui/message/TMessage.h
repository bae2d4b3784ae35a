#pragma once

// The small command record that windows, widgets and window scripts exchange: a button
// press, a request to close a dialog, a changed text field, a moved slider. Messages are
// queued in the window manager and delivered on the next idle turn, or sent at once up
// the window tree (TWindow::SendMessage); whatever no window takes ends in the window
// script. Game code numbers its own types from kFirstGameMessage up.
//
// Whoever holds a message owns it: the queue, then the receiver's caller, finally the
// window script. A window that takes a message in OnMessage only observes it.

#include "engine/foundation/core/TString.h"

class TWindow;

class TMessage
{
public:
    // Types of the engine's own messages (the names scripts know them by, where any).
    static constexpr int kCloseWindow = 1;   // name: id string of the modal to close
    static constexpr int kDefaultAction = 2; // Enter in a dialog; sent to the focus window
    static constexpr int kButtonPress = 3;   // name: the button's name
    static constexpr int kPressAnyKey = 4;   // name: "mouse:up" or "raw:" + the key
    static constexpr int kQuitNow = 5;       // dispatching it ends the application
    static constexpr int kModalClosed = 6;   // name: id string of the closed modal
    static constexpr int kEditChanged = 7;   // name: the text field's name
    static constexpr int kLuaAction = 8;     // name: "LuaAction:" + the button's name
    static constexpr int kSliderMoved = 9;   // names of 9 to 12: the slider's name
    static constexpr int kSliderReleased = 10;
    static constexpr int kSliderPageBack = 11;
    static constexpr int kSliderPageForward = 12;
    static constexpr int kFirstGameMessage = 1000;

    // target is not owned; null for an untargeted message.
    TMessage(int type, const TString& name, TWindow* target = nullptr);
    virtual ~TMessage() = default;
    TMessage(const TMessage&) = delete;
    TMessage& operator=(const TMessage&) = delete;

    // Class identity, as for windows: the id is the address of the class's ClassId.
    static const void* ClassId();
    virtual const char* GetClassName() const { return "TMessage"; }
    virtual bool IsKindOf(const void* classId) const { return classId == ClassId(); }

    int GetType() const { return mType; }
    const TString& GetName() const { return mName; }
    TWindow* GetTarget() const { return mTarget; }
    void SetTarget(TWindow* target) { mTarget = target; }

protected:
    void SetContents(int type, const TString& name, TWindow* target);

private:
    int mType;
    TString mName;
    TWindow* mTarget;
};
