#include "engine/foundation/core/TTaskList.h"

#include <algorithm>
#include <iterator>

TTaskList::~TTaskList()
{
    // Destructors of deleted tasks may add tasks of their own; those go as well.
    while (!mTasks.empty())
        DeleteAll();
}

void TTaskList::AddTask(std::unique_ptr<TTask> task)
{
    if (task)
        mTasks.push_back(std::move(task));
}

std::unique_ptr<TTask> TTaskList::RemoveTask(TTask* task)
{
    if (task == nullptr)
        return nullptr;
    const auto owns = [task](const std::unique_ptr<TTask>& entry) { return entry.get() == task; };
    const auto node = std::find_if(mTasks.begin(), mTasks.end(), owns);
    if (node != mTasks.end()) {
        std::unique_ptr<TTask> taken = std::move(*node);
        if (!mRunning)
            mTasks.erase(node);
        return taken;
    }
    // Put on the deletion list during this run: the remover takes it back.
    const auto pending = std::find_if(mPendingDelete.begin(), mPendingDelete.end(), owns);
    if (pending == mPendingDelete.end())
        return nullptr;
    std::unique_ptr<TTask> taken = std::move(*pending);
    mPendingDelete.erase(pending);
    return taken;
}

void TTaskList::DeleteAll()
{
    if (mRunning) {
        for (std::unique_ptr<TTask>& task : mTasks) {
            if (task)
                mPendingDelete.push_back(std::move(task));
        }
        return;
    }
    // Outside a run nothing is pending. Take the list first, so that destructors that
    // use this list see a consistent one.
    std::list<std::unique_ptr<TTask>> tasks = std::move(mTasks);
    mTasks.clear();
    while (!tasks.empty())
        tasks.pop_front();
}

void TTaskList::RunAll(TTaskPass pass)
{
    if (mRunning)
        return;
    mRunning = true;
    for (auto node = mTasks.begin(); node != mTasks.end();) {
        const auto next = std::next(node);
        TTask* task = node->get();
        // A task that answers false dies now, unless it left the list while it ran.
        if (task != nullptr && task->Ready(pass) && !task->DoTask() && node->get() == task) {
            // Out of the list before it dies, so that its destructor finds a list without it.
            const std::unique_ptr<TTask> finished = std::move(*node);
            mTasks.erase(node);
        }
        node = next;
    }
    FinishRun();
}

bool TTaskList::IsEmpty() const
{
    return std::none_of(mTasks.begin(), mTasks.end(),
                        [](const std::unique_ptr<TTask>& task) { return task != nullptr; });
}

int TTaskList::TimeUntilDue() const
{
    int earliest = TTask::kNeverDue;
    for (const std::unique_ptr<TTask>& task : mTasks) {
        if (task)
            earliest = std::min(earliest, task->TimeUntilDue());
    }
    return earliest;
}

void TTaskList::FinishRun()
{
    mRunning = false;
    mTasks.remove(nullptr);
    std::vector<std::unique_ptr<TTask>> deletions = std::move(mPendingDelete);
    mPendingDelete.clear();
    for (std::unique_ptr<TTask>& task : deletions)
        task.reset();
}
