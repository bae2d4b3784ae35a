#pragma once

// A dialog layer: every entry of the window manager's modal stack is one. It owns a task
// list and a clock, so the animations and scripts of a dialog pause while another dialog
// lies over it; it passes the focus on to its focus child; Enter presses its default
// button (TDefaultButton) or sends kDefaultAction; and it keeps a cover set, the windows
// inside it that cover it completely, which make it opaque in turn.

#include "engine/foundation/core/TClock.h"
#include "engine/ui/window/TWindow.h"

#include <memory>
#include <set>

class TTask;
class TTaskList;
enum TTaskPass : int;

class TModalWindow : public TWindow
{
public:
    // Modal root and focus taker; the clock is paused and not started.
    TModalWindow();
    // Queues kModalClosed named with the id string while a window manager exists, then
    // deletes the tasks (before the windows, whose animations they are).
    ~TModalWindow() override;

    static TClassId ClassId();
    const char* GetClassName() const override { return "TModalWindow"; }
    bool IsKindOf(TClassId classId) const override
    {
        return classId == ClassId() || TWindow::IsKindOf(classId);
    }

    // Starts the clock.
    bool OnAttach() override;
    // FitToChildren, then the base behaviour.
    void PostChildrenInit(const TWindowStyle& style) override;
    // kCloseWindow pops the modal windows down to the one it names.
    bool OnMessage(TMessage* message) override;
    // Enter: the default button, or kDefaultAction to the focus window.
    bool OnChar(int character) override;
    // The focus moves on to the focus child, when there is one.
    void OnSetFocus(TWindow* previous) override;

    void RunTasks(TTaskPass pass);
    // Milliseconds until one of its tasks is due (TTaskList::TimeUntilDue).
    int TimeUntilTaskDue() const;
    // Deletes every task.
    void StopTasks();
    void AddTask(std::unique_ptr<TTask> task);
    TClock& GetClock() { return mClock; }

    TWindow* GetFocusChild() const { return mFocusChild; }
    // When the modal has the focus, the focus moves to child at once (none for null).
    void SetFocusChild(TWindow* child);

    // Records whether window covers the modal completely; opaque (kOpaque) while any
    // window does. No longer covering also drops the window's descendants.
    void SetCovering(TWindow* window, bool covers);
    bool IsCoveredBy(const TWindow* window) const;

private:
    std::unique_ptr<TTaskList> mTasks;
    TWindow* mFocusChild = nullptr;
    std::set<const TWindow*> mCovers;
    TClock mClock;
};
