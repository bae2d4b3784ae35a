#include "engine/foundation/core/TTaskList.h"

#include <algorithm>
#include <iterator>

namespace {

bool Holds(const std::vector<TTask*>& tasks, TTask* task)
{
    return std::find(tasks.begin(), tasks.end(), task) != tasks.end();
}

void Drop(std::vector<TTask*>& tasks, TTask* task)
{
    tasks.erase(std::remove(tasks.begin(), tasks.end(), task), tasks.end());
}

} // namespace

TTaskList::~TTaskList()
{
    // Destructors of deleted tasks may add tasks of their own; those go as well.
    while (!mTasks.empty())
        DeleteAll();
}

void TTaskList::AddTask(TTask* task)
{
    if (task)
        mTasks.push_back(task);
}

bool TTaskList::RemoveTask(TTask* task)
{
    if (std::find(mTasks.begin(), mTasks.end(), task) == mTasks.end())
        return false;
    if (!mRunning) {
        Unlink(task);
        return true;
    }
    if (!IsPendingRemove(task))
        mPendingRemove.push_back(task);
    Drop(mPendingDelete, task); // the remover owns it now
    return true;
}

void TTaskList::DeleteAll()
{
    if (mRunning) {
        for (TTask* task : mTasks) {
            if (IsPendingRemove(task))
                continue;
            mPendingRemove.push_back(task);
            mPendingDelete.push_back(task);
        }
        return;
    }
    // Outside a run nothing is pending. Take the list first, so that destructors that
    // use this list see a consistent one.
    const std::list<TTask*> tasks = std::move(mTasks);
    mTasks.clear();
    for (TTask* task : tasks)
        delete task;
}

void TTaskList::RunAll(TTaskPass pass)
{
    if (mRunning)
        return;
    mRunning = true;
    for (auto node = mTasks.begin(); node != mTasks.end();) {
        const auto next = std::next(node);
        TTask* task = *node;
        if (!IsPendingRemove(task) && task->Ready(pass) && !task->DoTask()) {
            mTasks.erase(node);
            Drop(mPendingRemove, task);
            Drop(mPendingDelete, task);
            delete task;
        }
        node = next;
    }
    FinishRun();
}

int TTaskList::TimeUntilDue() const
{
    int earliest = TTask::kNeverDue;
    for (TTask* task : mTasks) {
        if (!IsPendingRemove(task))
            earliest = std::min(earliest, task->TimeUntilDue());
    }
    return earliest;
}

void TTaskList::FinishRun()
{
    mRunning = false;
    const std::vector<TTask*> removals = std::move(mPendingRemove);
    const std::vector<TTask*> deletions = std::move(mPendingDelete);
    mPendingRemove.clear();
    mPendingDelete.clear();
    for (TTask* task : removals)
        Unlink(task);
    for (TTask* task : deletions)
        delete task;
}

bool TTaskList::IsPendingRemove(TTask* task) const
{
    return !mPendingRemove.empty() && Holds(mPendingRemove, task);
}

void TTaskList::Unlink(TTask* task)
{
    const auto node = std::find(mTasks.begin(), mTasks.end(), task);
    if (node != mTasks.end())
        mTasks.erase(node);
}
