#pragma once

#include "engine/foundation/core/TTask.h"

#include <list>
#include <memory>
#include <vector>

// An ordered list of tasks that it owns and runs, in order of addition. Tasks may add,
// remove or delete tasks (themselves included) while the list runs: removals and
// deletions asked for during a run take effect when the walk ends, and a task removed
// during a run is not run again in it. Main thread only.
class TTaskList
{
public:
    TTaskList() = default;
    ~TTaskList(); // deletes every task still owned
    TTaskList(const TTaskList&) = delete;
    TTaskList& operator=(const TTaskList&) = delete;

    // Appends task; the list owns it from now on. A task added during a run is reached
    // in the same run, unless it was added while the last task was running.
    void AddTask(TTask* task);
    void AddTask(std::unique_ptr<TTask> task) { AddTask(task.release()); }

    // Takes task out of the list without deleting it: at once, or when the current run
    // ends. Ownership goes back to the caller. False when task is not in the list.
    // NOTE: a task that removes itself and then answers false from DoTask is deleted by
    // the list anyway (the false answer wins), exactly once.
    bool RemoveTask(TTask* task);

    // Deletes every task. During a run the remaining tasks are not run, and all are
    // deleted when the walk ends; tasks already removed in this run are left to their
    // removers.
    void DeleteAll();

    // Runs every task that is Ready for pass; deletes those whose DoTask answers false.
    // A call from inside a task of this same list does nothing.
    void RunAll(TTaskPass pass);

    bool IsEmpty() const { return mTasks.empty(); }

    // The earliest TimeUntilDue of the tasks (those on their way out left aside);
    // TTask::kNeverDue when none will be due by itself.
    int TimeUntilDue() const;

private:
    bool IsPendingRemove(TTask* task) const;
    void Unlink(TTask* task);
    void FinishRun();

    bool mRunning = false;
    std::list<TTask*> mTasks;
    std::vector<TTask*> mPendingRemove; // removals asked for during the current run
    std::vector<TTask*> mPendingDelete; // deletions asked for during the current run
};
