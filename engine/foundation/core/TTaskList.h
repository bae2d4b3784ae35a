#pragma once

#include "engine/foundation/core/TTask.h"

#include <list>
#include <memory>
#include <vector>

// An ordered list of tasks that it owns and runs, in order of addition. Tasks may add,
// remove or delete tasks (themselves included) while the list runs: a task removed during
// a run belongs to its remover at once and is neither run nor deleted by the list again;
// deletions asked for during a run take effect when the walk ends. Main thread only.
class TTaskList
{
public:
    TTaskList() = default;
    ~TTaskList(); // deletes every task still owned
    TTaskList(const TTaskList&) = delete;
    TTaskList& operator=(const TTaskList&) = delete;

    // Appends task; the list owns it from now on. A task added during a run is reached
    // in the same run, unless it was added while the last task was running. Null is
    // ignored.
    void AddTask(std::unique_ptr<TTask> task);

    // Takes task out of the list and hands it back; null when the list does not own it.
    // During a run the task is not run again in it, also when it removed itself: its
    // remover decides when it dies (never inside its own DoTask), whatever DoTask answers.
    std::unique_ptr<TTask> RemoveTask(TTask* task);

    // Deletes every task. During a run the remaining tasks are not run, and all are
    // deleted when the walk ends, in list order; tasks already removed are their
    // removers'.
    void DeleteAll();

    // Runs every task that is Ready for pass; deletes those whose DoTask answers false.
    // A call from inside a task of this same list does nothing.
    void RunAll(TTaskPass pass);

    bool IsEmpty() const;

    // The earliest TimeUntilDue of the tasks (those on their way out left aside);
    // TTask::kNeverDue when none will be due by itself.
    int TimeUntilDue() const;

private:
    void FinishRun();

    bool mRunning = false;
    // During a run, a task taken out (removed, or put on the deletion list) leaves an
    // empty entry behind, erased when the walk ends.
    std::list<std::unique_ptr<TTask>> mTasks;
    std::vector<std::unique_ptr<TTask>> mPendingDelete; // deletions asked for during the run
};
