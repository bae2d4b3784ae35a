#pragma once

#include <climits>

// Work that happens later or repeatedly: scripts resuming, window animations, refresh
// work after a display reset. A TTaskList owns its tasks and runs them in two passes.

enum TTaskPass : int
{
    kPassEveryTurn = 0,  // on every turn of the event loop
    kPassEveryFrame = 1, // once per drawn frame
};

class TTask
{
public:
    // TimeUntilDue's answer for a task that only something outside it can make due.
    static constexpr int kNeverDue = INT_MAX;

    virtual ~TTask() = default;

    // Whether the task wants to run in this pass.
    virtual bool Ready(TTaskPass pass)
    {
        (void)pass;
        return true;
    }

    // Milliseconds until Ready(kPassEveryTurn) may answer true: 0 when it may now,
    // kNeverDue when only an outside change (a call on the task, its clock starting) can
    // make it due. The event loop sleeps until the earliest answer of its tasks, so a task
    // must never answer later than it becomes due; one that cannot tell keeps this
    // default, which keeps the loop turning.
    virtual int TimeUntilDue() const { return 0; }

    // One step of work. Returning false means finished: the owning list deletes the task.
    virtual bool DoTask() = 0;
};
