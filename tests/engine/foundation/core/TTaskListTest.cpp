#include "engine/foundation/core/TTaskList.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// A task that records its runs and deletion in a shared journal and does what its step
// function says.
class TJournalTask : public TTask
{
public:
    using TStep = std::function<bool(TJournalTask&)>;

    TJournalTask(std::string name, std::vector<std::string>& journal, TStep step = {})
        : mName(std::move(name)), mJournal(journal), mStep(std::move(step))
    {
    }
    ~TJournalTask() override { mJournal.push_back("~" + mName); }

    bool Ready(TTaskPass pass) override { return pass == kPassEveryTurn || mEveryFrame; }
    bool DoTask() override
    {
        mJournal.push_back(mName);
        return mStep ? mStep(*this) : true;
    }

    bool mEveryFrame = false;

private:
    std::string mName;
    std::vector<std::string>& mJournal;
    TStep mStep;
};

using TJournal = std::vector<std::string>;

class TTaskListTest : public testing::Test
{
protected:
    TJournalTask* Add(const std::string& name, TJournalTask::TStep step = {})
    {
        auto task = std::make_unique<TJournalTask>(name, mJournal, std::move(step));
        TJournalTask* added = task.get();
        mList.AddTask(std::move(task));
        return added;
    }
    // The journal since the last call.
    TJournal Take()
    {
        TJournal taken;
        taken.swap(mJournal);
        return taken;
    }

    TJournal mJournal;
    TTaskList mList;
};

TEST_F(TTaskListTest, RunsInOrderAndDeletesFinishedTasks)
{
    Add("a");
    Add("b", [](TJournalTask&) { return false; });
    Add("c");
    mList.RunAll(kPassEveryTurn);
    EXPECT_EQ(Take(), (TJournal{"a", "b", "~b", "c"}));
    mList.RunAll(kPassEveryTurn);
    EXPECT_EQ(Take(), (TJournal{"a", "c"}));
}

TEST_F(TTaskListTest, PassOneRunsOnlyReadyTasks)
{
    Add("a");
    Add("b")->mEveryFrame = true;
    mList.RunAll(kPassEveryFrame);
    EXPECT_EQ(Take(), (TJournal{"b"}));
}

TEST_F(TTaskListTest, RemoveOutsideARun)
{
    TJournalTask* a = Add("a");
    Add("b");
    std::unique_ptr<TTask> removed = mList.RemoveTask(a);
    EXPECT_EQ(removed.get(), a);
    EXPECT_EQ(mList.RemoveTask(a), nullptr);
    EXPECT_EQ(mList.RemoveTask(nullptr), nullptr);
    mList.RunAll(kPassEveryTurn);
    EXPECT_EQ(Take(), (TJournal{"b"}));
    removed.reset(); // ownership came back
    EXPECT_EQ(Take(), (TJournal{"~a"}));
}

TEST_F(TTaskListTest, SelfRemovalDuringRunKeepsTheTaskAlive)
{
    std::unique_ptr<TTask> removed;
    TJournalTask* a = Add("a", [this, &removed](TJournalTask& self) {
        removed = mList.RemoveTask(&self);
        EXPECT_EQ(removed.get(), &self);
        return true;
    });
    Add("b");
    mList.RunAll(kPassEveryTurn);
    EXPECT_EQ(Take(), (TJournal{"a", "b"}));
    mList.RunAll(kPassEveryTurn);
    EXPECT_EQ(Take(), (TJournal{"b"}));
    EXPECT_EQ(removed.get(), a);
    removed.reset();
    EXPECT_EQ(Take(), (TJournal{"~a"}));
}

// The remover holds the task from the moment it is removed: a false answer afterwards no
// longer makes the list delete it, and it dies once, when the remover lets it go.
TEST_F(TTaskListTest, SelfRemovalThenFinishingLeavesTheTaskToItsRemover)
{
    std::unique_ptr<TTask> removed;
    Add("a", [this, &removed](TJournalTask& self) {
        removed = mList.RemoveTask(&self);
        return false;
    });
    Add("b");
    mList.RunAll(kPassEveryTurn);
    mList.RunAll(kPassEveryTurn);
    EXPECT_EQ(Take(), (TJournal{"a", "b", "b"}));
    removed.reset();
    EXPECT_EQ(Take(), (TJournal{"~a"}));
}

TEST_F(TTaskListTest, RemovingALaterTaskStopsItRunning)
{
    TJournalTask* c = nullptr;
    std::unique_ptr<TTask> removed;
    Add("a", [this, &c, &removed](TJournalTask&) {
        removed = mList.RemoveTask(c);
        return true;
    });
    Add("b");
    c = Add("c");
    mList.RunAll(kPassEveryTurn);
    EXPECT_EQ(Take(), (TJournal{"a", "b"}));
    EXPECT_EQ(removed.get(), c);
    EXPECT_EQ(mList.RemoveTask(c), nullptr);
    removed.reset();
    EXPECT_EQ(Take(), (TJournal{"~c"}));
}

TEST_F(TTaskListTest, DeleteAllFromInsideATask)
{
    Add("a");
    Add("b", [this](TJournalTask&) {
        mList.DeleteAll();
        return true;
    });
    Add("c");
    Add("d");
    mList.RunAll(kPassEveryTurn);
    // c and d do not run; all four are deleted when the walk ends, in list order.
    EXPECT_EQ(Take(), (TJournal{"a", "b", "~a", "~b", "~c", "~d"}));
    EXPECT_TRUE(mList.IsEmpty());
}

TEST_F(TTaskListTest, DeleteAllThenFinishingDeletesOnce)
{
    Add("a", [this](TJournalTask&) {
        mList.DeleteAll();
        return false;
    });
    Add("b");
    mList.RunAll(kPassEveryTurn);
    EXPECT_EQ(Take(), (TJournal{"a", "~a", "~b"}));
}

TEST_F(TTaskListTest, DeleteAllLeavesTasksRemovedEarlierToTheirRemover)
{
    TJournalTask* b = nullptr;
    std::unique_ptr<TTask> removed;
    Add("a", [this, &b, &removed](TJournalTask&) {
        removed = mList.RemoveTask(b);
        mList.DeleteAll();
        return true;
    });
    b = Add("b");
    mList.RunAll(kPassEveryTurn);
    EXPECT_EQ(Take(), (TJournal{"a", "~a"}));
    EXPECT_EQ(removed.get(), b);
    removed.reset();
    EXPECT_EQ(Take(), (TJournal{"~b"}));
}

TEST_F(TTaskListTest, RemoveAfterDeleteAllHandsTheTaskBack)
{
    TJournalTask* b = nullptr;
    std::unique_ptr<TTask> removed;
    Add("a", [this, &b, &removed](TJournalTask&) {
        mList.DeleteAll();
        removed = mList.RemoveTask(b);
        EXPECT_EQ(removed.get(), b);
        return true;
    });
    b = Add("b");
    mList.RunAll(kPassEveryTurn);
    EXPECT_EQ(Take(), (TJournal{"a", "~a"}));
    removed.reset();
    EXPECT_EQ(Take(), (TJournal{"~b"}));
}

TEST_F(TTaskListTest, TasksAddedDuringARun)
{
    // Added by a task that is not the last: reached in the same run.
    Add("a", [this](TJournalTask&) {
        if (mJournal.size() == 1)
            Add("new-from-a");
        return true;
    });
    Add("b");
    mList.RunAll(kPassEveryTurn);
    EXPECT_EQ(Take(), (TJournal{"a", "b", "new-from-a"}));

    // Added while the last task runs: waits for the next run.
    TJournal journal; // outlives the list, whose tasks write to it when deleted
    TTaskList list;
    list.AddTask(std::make_unique<TJournalTask>("only", journal, [&](TJournalTask&) {
        if (journal.size() == 1)
            list.AddTask(std::make_unique<TJournalTask>("late", journal));
        return true;
    }));
    list.RunAll(kPassEveryTurn);
    EXPECT_EQ(journal, (TJournal{"only"}));
    list.RunAll(kPassEveryTurn);
    EXPECT_EQ(journal, (TJournal{"only", "only", "late"}));
}

TEST_F(TTaskListTest, NestedRunDoesNothing)
{
    Add("a", [this](TJournalTask&) {
        mList.RunAll(kPassEveryTurn);
        return true;
    });
    Add("b");
    mList.RunAll(kPassEveryTurn);
    EXPECT_EQ(Take(), (TJournal{"a", "b"}));
}

TEST_F(TTaskListTest, DestructorDeletesEverything)
{
    TJournal journal;
    {
        TTaskList list;
        list.AddTask(std::make_unique<TJournalTask>("x", journal));
        list.AddTask(std::make_unique<TJournalTask>("y", journal));
    }
    EXPECT_EQ(journal, (TJournal{"~x", "~y"}));
}

// A task that is due after a set time; when it runs, it may take another out of the list
// and ask the list when it is due next.
class TDueTask final : public TTask
{
public:
    explicit TDueTask(int dueIn) : mDueIn(dueIn) {}
    bool DoTask() override
    {
        if (mList != nullptr) {
            mRemoved = mList->RemoveTask(mRemoves);
            mAnswerDuringRun = mList->TimeUntilDue();
        }
        return true;
    }
    int TimeUntilDue() const override { return mDueIn; }

    TTaskList* mList = nullptr;
    TTask* mRemoves = nullptr;
    std::unique_ptr<TTask> mRemoved;
    int mAnswerDuringRun = -1;

private:
    int mDueIn;
};

// The list's answer is its earliest task's; a task on its way out of a running list no
// longer counts.
TEST_F(TTaskListTest, TimeUntilDueIsTheEarliestTasks)
{
    EXPECT_EQ(mList.TimeUntilDue(), TTask::kNeverDue);
    auto ownedRemover = std::make_unique<TDueTask>(TTask::kNeverDue);
    TDueTask* remover = ownedRemover.get();
    mList.AddTask(std::move(ownedRemover));
    EXPECT_EQ(mList.TimeUntilDue(), TTask::kNeverDue);
    auto ownedSoon = std::make_unique<TDueTask>(12);
    TDueTask* soon = ownedSoon.get();
    mList.AddTask(std::move(ownedSoon));
    mList.AddTask(std::make_unique<TDueTask>(40));
    EXPECT_EQ(mList.TimeUntilDue(), 12);

    remover->mList = &mList;
    remover->mRemoves = soon;
    mList.RunAll(kPassEveryTurn);
    EXPECT_EQ(remover->mAnswerDuringRun, 40);
    EXPECT_EQ(mList.TimeUntilDue(), 40);
    EXPECT_EQ(remover->mRemoved.get(), soon);

    // A task without a due time of its own may run on every turn.
    Add("plain");
    EXPECT_EQ(mList.TimeUntilDue(), 0);
}

} // namespace
