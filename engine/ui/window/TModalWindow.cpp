#include "engine/ui/window/TModalWindow.h"

#include "engine/foundation/core/TTaskList.h"
#include "engine/ui/message/TMessage.h"
#include "engine/ui/window/FindDefault.h"
#include "engine/ui/window/TDefaultButton.h"
#include "engine/ui/window/TWindowServices.h"
#include "engine/ui/window/TWindowSpider.h"

namespace {

constexpr int kEnter = 13;

// Takes every window it visits out of a cover set.
class TForgetCovers final : public TWindowSpider
{
public:
    explicit TForgetCovers(std::set<const TWindow*>& covers) : mCovers(covers) {}

    bool Visit(TWindow* window) override
    {
        mCovers.erase(window);
        return true;
    }

private:
    std::set<const TWindow*>& mCovers;
};

} // namespace

TModalWindow::TModalWindow() : mTasks(std::make_unique<TTaskList>())
{
    SetClassFlags(kModalRoot | kTakesFocus, true);
}

TModalWindow::~TModalWindow()
{
    if (TWindowServices* manager = GetWindowServices())
        manager->QueueMessage(std::make_unique<TMessage>(TMessage::kModalClosed, GetIdString()));
    mTasks.reset();
    mCovers.clear();
}

TClassId TModalWindow::ClassId()
{
    return reinterpret_cast<TClassId>(&TModalWindow::ClassId);
}

bool TModalWindow::OnAttach()
{
    mClock.Start();
    return true;
}

void TModalWindow::PostChildrenInit(const TWindowStyle& style)
{
    FitToChildren();
    TWindow::PostChildrenInit(style);
}

bool TModalWindow::OnMessage(TMessage* message)
{
    if (message->GetType() != TMessage::kCloseWindow)
        return false;
    if (TWindowServices* manager = GetWindowServices())
        manager->DoPopModal(message->GetName());
    return true;
}

bool TModalWindow::OnChar(int character)
{
    if (character != kEnter)
        return false;
    auto action = std::make_unique<TMessage>(TMessage::kDefaultAction, "");
    FindDefault finder;
    ForEachDescendant(finder);
    // A default button whose command took it out of the tree has closed the dialog.
    if (TDefaultButton* button = finder.GetButton()) {
        if (!button->DoCommand())
            return true;
    }
    TWindowServices* manager = GetWindowServices();
    TWindow* focus = manager != nullptr ? manager->GetFocusWindow() : nullptr;
    (focus != nullptr ? focus : this)->SendMessage(std::move(action));
    return true;
}

void TModalWindow::OnSetFocus(TWindow*)
{
    if (mFocusChild == nullptr)
        return;
    if (TWindowServices* manager = GetWindowServices())
        manager->SetFocusWindow(mFocusChild);
}

void TModalWindow::RunTasks(TTaskPass pass)
{
    mTasks->RunAll(pass);
}

int TModalWindow::TimeUntilTaskDue() const
{
    return mTasks->TimeUntilDue();
}

void TModalWindow::StopTasks()
{
    mTasks->DeleteAll();
}

void TModalWindow::AddTask(std::unique_ptr<TTask> task)
{
    mTasks->AddTask(std::move(task));
}

void TModalWindow::SetFocusChild(TWindow* child)
{
    mFocusChild = child;
    TWindowServices* manager = GetWindowServices();
    if (manager != nullptr && manager->GetFocusWindow() == this)
        manager->SetFocusWindow(child);
}

void TModalWindow::SetCovering(TWindow* window, bool covers)
{
    if (covers) {
        mCovers.insert(window);
    } else if (!mCovers.empty()) {
        mCovers.erase(window);
        // What lies inside the window can no longer cover the modal through it either.
        TForgetCovers forget(mCovers);
        window->ForEachDescendant(forget);
    }
    const unsigned int flags = GetFlags();
    SetFlags(mCovers.empty() ? flags & ~kOpaque : flags | kOpaque);
}

bool TModalWindow::IsCoveredBy(const TWindow* window) const
{
    return mCovers.count(window) != 0;
}
