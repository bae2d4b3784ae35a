#include "engine/ui/manager/TWindowManager.h"

#include "engine/foundation/app/TEvent.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/graphics/TRenderer.h"
#include "engine/script/TLuaFunction.h"
#include "engine/script/TScript.h"
#include "engine/ui/manager/TWindowManagerBinding.h"
#include "engine/ui/message/TMessage.h"
#include "engine/ui/window/TModalWindow.h"
#include "engine/ui/window/TScreen.h"
#include "engine/ui/window/TWindowManagerHost.h"
#include "engine/ui/window/TWindowScriptLink.h"
#include "engine/ui/window/TWindowSpider.h"

#include <algorithm>
#include <cassert>

namespace {

TWindowManager* sInstance = nullptr;

constexpr uint32_t kActiveFrameMs = 12;
constexpr uint32_t kInactiveFrameMs = 200;

// Tells every window of a popped modal's subtree, the deepest first.
class TModalPoppedSpider final : public TWindowSpider
{
public:
    bool Visit(TWindow* window) override
    {
        window->OnModalPopped();
        return true;
    }
};

bool IsKeyEvent(int type)
{
    return type >= TEvent::kKeyDown && type <= TEvent::kWideChar;
}

template <class T> void EraseAll(T& list, const TWindow* window)
{
    list.erase(std::remove(list.begin(), list.end(), window), list.end());
}

} // namespace

TWindowManager* GetWindowManager()
{
    return sInstance;
}

TWindowManager::TWindowManager(std::unique_ptr<TWindowManagerHost> host) : mHost(std::move(host))
{
    sInstance = this;
    SetCurrent(this);
}

TWindowManager::~TWindowManager()
{
    // Closing modal windows queue kModalClosed; nobody is left to take those.
    mTearingDown = true;
    mMessageQueue.clear();
    while (!mOverlays.empty()) {
        const std::unique_ptr<TWindow> overlay = std::move(mOverlays.front());
        mOverlays.pop_front();
    }
    mCaptures.clear();
    while (!mModalStack.empty())
        PopModal();
    DeleteClosedWindows();
    mMessageQueue.clear();
    if (sInstance == this) {
        sInstance = nullptr;
        SetCurrent(nullptr);
    }
}

// ---- the platform's side ----

void TWindowManager::AttachScript(std::unique_ptr<TWindowScriptSeam> script)
{
    mScriptSeam = script.get();
    mScript = dynamic_cast<TWindowScriptLink*>(script.get());
    auto* task = dynamic_cast<TScript*>(script.get());
    TModalWindow* top = GetTopModal();
    if (mScript != nullptr && top != nullptr)
        mScript->PushParent(top);
    if (task != nullptr && task->IsValid())
        PublishWindowManager(task->GetState(), *this, mLifeline);
    if (task != nullptr && mHost->AddMainTask(task))
        script.release(); // the main task list owns it now
    else
        mOwnedScript = std::move(script);
}

void TWindowManager::SetTranslateLabels(bool translate)
{
    if (mScript != nullptr)
        mScript->SetTranslateLabels(translate);
}

void TWindowManager::CreateRootScreen(int width, int height)
{
    SetRootWindow(std::make_unique<TScreen>())->SetSize(width, height);
}

// ---- events ----

void TWindowManager::HandleEvent(const TEvent& event)
{
    if (event.type == TEvent::kNothing)
        return;
    DeleteClosedWindows();
    if (mModalStack.empty())
        return;
    TModalWindow* top = mModalStack.front();
    if (top == nullptr) {
        mHost->PostQuitMessage(0);
        return;
    }
    if (event.type == TEvent::kIdle) {
        top->RunTasks(kPassEveryTurn);
        ProcessMessages();
        Update();
        ProcessMessages();
    } else if (TWindow::IsPointerEvent(event.type)) {
        RoutePointerEvent(event, top);
        ProcessMessages();
    } else if (event.type == TEvent::kMouseLeave) {
        TellCapturesMouseLeft(top);
        ProcessMessages();
    } else if (IsKeyEvent(event.type)) {
        (mFocusWindow != nullptr ? mFocusWindow : top)->HandleEvent(event, false);
        ProcessMessages();
    } else if (event.type == TEvent::kRedraw) {
        Invalidate();
        ProcessMessages();
        Update();
        ProcessMessages();
    } else if (event.type != TEvent::kActivation) {
        ProcessMessages();
        top->HandleEvent(event, false);
    }
}

void TWindowManager::RoutePointerEvent(const TEvent& event, TModalWindow* top)
{
    TWindow* under = top->FindWindowAt(top->ScreenToLocal({event.x, event.y}), -1);
    if (mCaptures.empty()) {
        if (under != nullptr)
            DeliverAtScreenPoint(under, event);
        return;
    }
    if (event.type == TEvent::kMouseMove)
        MovePointer(event, top, under);
    else
        ServeCaptures(event, top);
}

// Captured windows get pointer events first, in list order, while the top modal stays.
// The list may change while a window is served: each is served only while it is still
// captured.
void TWindowManager::ServeCaptures(const TEvent& event, TModalWindow* top)
{
    const std::vector<TWindow*> captures = mCaptures;
    for (TWindow* window : captures) {
        if (GetTopModal() != top)
            return;
        if (!HasCapture(window))
            continue;
        if (!window->GetScreenRect().Contains(event.x, event.y)) {
            window->OnMouseExit();
            if (!HasCapture(window))
                continue;
        }
        DeliverAtScreenPoint(window, event);
    }
}

// A move may carry the pointer from one window straight onto another: the windows it
// left hear their exit and the window now under it hears the move, in the same event.
// The pointer is on a captured window when that window, or a window inside it, is the
// window under the pointer; the other captured windows are told that it left them, in
// list order as ServeCaptures does. The move then goes to the window under the pointer
// as it would without captures (a captured window it lies in hears it on the way up),
// unless a window told that the pointer left kept its capture (a drag): then only the
// captured windows hear it. A captured window from which a window inside it took the
// pointer (a capture made inside it during the move) is told that the pointer left it,
// after that window heard the move.
void TWindowManager::MovePointer(const TEvent& event, TModalWindow* top, TWindow* under)
{
    const std::vector<TWindow*> captures = mCaptures;
    std::vector<TWindow*> around; // captured windows that under lies in
    bool dragged = false;
    bool underServed = false;
    for (TWindow* window : captures) {
        if (GetTopModal() != top)
            return;
        if (!HasCapture(window))
            continue;
        if (IsPointerOn(window, event, under)) {
            if (window != under) {
                around.push_back(window);
                continue;
            }
            underServed = true;
        } else {
            window->OnMouseExit();
            if (!HasCapture(window))
                continue;
            dragged = true;
        }
        DeliverAtScreenPoint(window, event);
    }
    if (dragged) {
        for (TWindow* window : around) {
            if (GetTopModal() != top)
                return;
            if (HasCapture(window))
                DeliverAtScreenPoint(window, event);
        }
        return;
    }
    if (GetTopModal() != top)
        return;
    if (!underServed && under != nullptr)
        DeliverAtScreenPoint(under, event);
    for (TWindow* window : captures) {
        if (GetTopModal() != top)
            return;
        if (HasCapture(window) && HasCaptureInside(window))
            window->OnMouseExit();
    }
}

bool TWindowManager::IsPointerOn(const TWindow* window, const TEvent& event,
                                 const TWindow* under) const
{
    return window->GetScreenRect().Contains(event.x, event.y) &&
           (window == under || window->IsAncestorOf(under));
}

bool TWindowManager::HasCaptureInside(const TWindow* window) const
{
    return std::any_of(mCaptures.begin(), mCaptures.end(), [window](const TWindow* captured) {
        return window->IsAncestorOf(captured);
    });
}

void TWindowManager::TellCapturesMouseLeft(TModalWindow* top)
{
    const std::vector<TWindow*> captures = mCaptures;
    for (TWindow* window : captures) {
        if (GetTopModal() != top)
            return;
        if (HasCapture(window))
            window->OnMouseExit();
    }
}

void TWindowManager::DeliverAtScreenPoint(TWindow* window, const TEvent& event)
{
    TEvent local = event;
    const TPoint point = window->ScreenToLocal({event.x, event.y});
    local.x = point.x;
    local.y = point.y;
    window->HandleEvent(local, false);
}

// ---- frames ----

int TWindowManager::Update()
{
    mAbortModalDraw = false;
    if (mSuspended.load() || !mNeedsRedraw)
        return 0;
    if (!IsFrameDue())
        return 0;
    if (GetTopModal() != nullptr) {
        mHost->RunMainTasks(kPassEveryFrame);
        if (TModalWindow* top = GetTopModal())
            top->RunTasks(kPassEveryFrame);
    }
    DrawFrame();
    return 0;
}

bool TWindowManager::IsFrameDue()
{
    if (!mHost->IsFullScreen() && !mHost->IsPresentDone())
        return false;
    const uint32_t interval = GetFrameInterval();
    const uint32_t now = mHost->GetTimer();
    // The difference wraps with the timer, so frames go on across the timer's wrap.
    if (now - mLastFrameTime < interval)
        return false;
    mLastFrameTime = now;
    return true;
}

uint32_t TWindowManager::GetFrameInterval()
{
    const bool fast = mHost->IsActive() || mHost->HasPqSwitch() || mHost->IsHosted();
    return fast ? kActiveFrameMs : kInactiveFrameMs;
}

int TWindowManager::TimeUntilDue()
{
    if (mModalStack.empty())
        return TTask::kNeverDue;
    const TModalWindow* top = mModalStack.front();
    if (top == nullptr || !mMessageQueue.empty())
        return 0;
    return std::min(top->TimeUntilTaskDue(), TimeUntilFrameDue());
}

// Mirrors Update and IsFrameDue. A present still pending is asked about again at every
// turn: nothing tells when it is done.
int TWindowManager::TimeUntilFrameDue()
{
    if (mSuspended.load() || !mNeedsRedraw)
        return TTask::kNeverDue;
    if (!mHost->IsFullScreen() && !mHost->IsPresentDone())
        return 0;
    const uint32_t interval = GetFrameInterval();
    const uint32_t elapsed = mHost->GetTimer() - mLastFrameTime;
    return elapsed >= interval ? 0 : static_cast<int>(interval - elapsed);
}

void TWindowManager::DrawFrame()
{
    TRenderer* renderer = TRenderer::Get();
    if (!renderer->BeginDraw(false))
        return; // needsRedraw stays: the next due turn tries again
    mNeedsRedraw = false;
    DrawModals();
    std::vector<TWindow*> overlays;
    for (const std::unique_ptr<TWindow>& overlay : mOverlays)
        overlays.push_back(overlay.get());
    for (TWindow* overlay : overlays) {
        if (FindOverlay(overlay) != mOverlays.end())
            overlay->DrawTree();
    }
    renderer->EndDraw(true);
    ++mFrameCount;
}

void TWindowManager::DrawModals()
{
    if (mAbortModalDraw || mModalStack.empty() || !mHost->IsDisplayReady())
        return;
    if (mTopModalOnly) {
        mModalStack.front()->DrawTree();
        return;
    }
    // From the topmost opaque modal of the root's size (or the bottom one) upward.
    const std::vector<TModalWindow*> stack(mModalStack.begin(), mModalStack.end());
    size_t first = stack.size() - 1;
    for (size_t i = 0; i < stack.size(); ++i) {
        const TModalWindow* modal = stack[i];
        if ((modal->GetFlags() & TWindow::kOpaque) != 0 && mRootWindow != nullptr &&
            modal->GetWidth() == mRootWindow->GetWidth() &&
            modal->GetHeight() == mRootWindow->GetHeight()) {
            first = i;
            break;
        }
    }
    for (size_t i = first + 1; i-- > 0;) {
        if (!mHost->IsDisplayReady())
            return;
        stack[i]->DrawTree();
        if (mAbortModalDraw)
            return;
    }
}

// ---- modal windows ----

TModalWindow* TWindowManager::GetTopModal() const
{
    return mModalStack.empty() ? nullptr : mModalStack.front();
}

void TWindowManager::PushModalWindow(std::unique_ptr<TModalWindow> owned)
{
    TModalWindow* window = owned.get();
    if (window == nullptr) {
        TraceLog("ui: window manager: a null modal window was not pushed");
        return;
    }
    std::vector<TWindow*> released;
    released.swap(mCaptures);
    for (TWindow* captured : released)
        captured->OnMouseExit();
    TModalWindow* previous = GetTopModal();
    mModalStack.push_front(window);
    if (previous != nullptr) {
        // Without attach no window refuses a child.
        [[maybe_unused]] const std::unique_ptr<TWindow> refused =
            previous->AdoptChild(std::move(owned), false);
        assert(refused == nullptr);
        previous->GetClock().Pause();
    } else {
        mBottomModal = std::move(owned);
    }
    SetFocusWindow(window);
    if (mScript != nullptr)
        mScript->ResetParentStack(window);
    window->OnAttach();
    if (window->GetWidth() == 0 && window->GetParent() != nullptr)
        window->SetSize(window->GetParent()->GetWidth(), window->GetParent()->GetHeight());
    Invalidate();
}

void TWindowManager::PopModal()
{
    TModalWindow* window = GetTopModal();
    if (window == nullptr)
        return;
    // A modal taken out of its parent already waits for its deletion.
    if (TWindow* parent = window->GetParent())
        ScheduleDelete(parent->RemoveChild(window));
    else if (mBottomModal.get() == window)
        ScheduleDelete(std::move(mBottomModal));
    mModalStack.pop_front();
    window->StopTasks();
    TModalWindow* next = GetTopModal();
    if (mScript != nullptr)
        mScript->ResetParentStack(next);
    if (next != nullptr)
        SetFocusWindow(next);
    TModalPoppedSpider popped;
    window->ForEachDescendant(popped, true);
    Invalidate();
    mAbortModalDraw = true;
}

bool TWindowManager::Matches(const TWindow* window, const TString& name) const
{
    return window->GetName() == name || window->GetIdString() == name;
}

void TWindowManager::DoPopModal(const TString& name)
{
    bool found = false;
    for (TWindow* window = GetTopModal(); window != nullptr; window = window->GetParent()) {
        if (Matches(window, name)) {
            found = true;
            break;
        }
    }
    while (found && !mModalStack.empty()) {
        const bool last = Matches(mModalStack.front(), name);
        PopModal();
        if (last)
            break;
    }
    if (TModalWindow* top = GetTopModal())
        top->GetClock().Start();
}

TModalWindow* TWindowManager::SetRootWindow(std::unique_ptr<TModalWindow> owned)
{
    TModalWindow* window = owned.get();
    mRootWindow = window;
    PushModalWindow(std::move(owned));
    if (window == nullptr)
        return nullptr;
    const TRect viewport = TRenderer::Get()->GetViewport();
    window->SetSize(viewport.right - viewport.left, viewport.bottom - viewport.top);
    window->OnAttach();
    return window;
}

// ---- messages ----

void TWindowManager::QueueMessage(std::unique_ptr<TMessage> message)
{
    if (message && !mTearingDown)
        mMessageQueue.push_back(std::move(message));
}

void TWindowManager::ProcessMessages()
{
    while (!mMessageQueue.empty()) {
        std::unique_ptr<TMessage> message = std::move(mMessageQueue.front());
        mMessageQueue.pop_front();
        DispatchMessage(std::move(message));
    }
}

void TWindowManager::DispatchMessage(std::unique_ptr<TMessage> message)
{
    if (!message)
        return;
    if (message->GetType() == TMessage::kQuitNow) {
        mHost->PostQuitMessage(0);
        return;
    }
    TWindow* receiver = message->GetTarget();
    if (receiver == nullptr)
        receiver = mFocusWindow != nullptr ? mFocusWindow : GetTopModal();
    if (receiver != nullptr)
        receiver->SendMessage(std::move(message));
}

void TWindowManager::PassMessageToScript(std::unique_ptr<TMessage> message,
                                         std::unique_ptr<TLuaFunction> function)
{
    if (mScript != nullptr)
        mScript->DeliverMessage(std::move(message), std::move(function));
}

// ---- captures, focus, overlays ----

void TWindowManager::AddCapture(TWindow* window)
{
    if (window != nullptr && !HasCapture(window))
        mCaptures.insert(mCaptures.begin(), window);
}

void TWindowManager::ReleaseCapture(TWindow* window)
{
    const auto at = std::find(mCaptures.begin(), mCaptures.end(), window);
    if (at != mCaptures.end())
        mCaptures.erase(at);
}

bool TWindowManager::HasCapture(const TWindow* window) const
{
    return std::find(mCaptures.begin(), mCaptures.end(), window) != mCaptures.end();
}

void TWindowManager::SetFocusWindow(TWindow* window)
{
    TWindow* previous = mFocusWindow;
    mFocusWindow = window;
    if (window != nullptr)
        window->OnSetFocus(previous);
}

void TWindowManager::AddOverlayWindow(std::unique_ptr<TWindow> window)
{
    if (window != nullptr)
        mOverlays.push_front(std::move(window));
}

std::unique_ptr<TWindow> TWindowManager::RemoveOverlay(TWindow* window)
{
    const auto at = FindOverlay(window);
    if (at == mOverlays.end())
        return nullptr;
    std::unique_ptr<TWindow> removed = std::move(*at);
    mOverlays.erase(at);
    return removed;
}

std::list<std::unique_ptr<TWindow>>::iterator TWindowManager::FindOverlay(const TWindow* window)
{
    return std::find_if(
        mOverlays.begin(), mOverlays.end(),
        [window](const std::unique_ptr<TWindow>& overlay) { return overlay.get() == window; });
}

// ---- deletion ----

void TWindowManager::ScheduleDelete(std::unique_ptr<TWindow> owned)
{
    TWindow* window = owned.get();
    if (window == nullptr)
        return;
    mClosedWindows.push_back(std::move(owned));
    for (const std::unique_ptr<TMessage>& message : mMessageQueue) {
        TWindow* target = message->GetTarget();
        if (target == window || window->IsAncestorOf(target))
            message->SetTarget(nullptr);
    }
    EraseAll(mCaptures, window);
    // Scripts must not build into a window that is about to go.
    if (mScript != nullptr)
        mScript->ForgetParent(window);
}

void TWindowManager::DeleteClosedWindows()
{
    if (mClosedWindows.empty())
        return;
    // One at a time, each out of the list before it dies: deletions may schedule more.
    while (!mClosedWindows.empty()) {
        const std::unique_ptr<TWindow> window = std::move(mClosedWindows.front());
        mClosedWindows.pop_front();
    }
    Invalidate();
}

void TWindowManager::ForgetWindow(TWindow* window)
{
    if (mFocusWindow == window)
        mFocusWindow = nullptr;
    EraseAll(mCaptures, window);
    for (TWindow* up = GetTopModal(); up != nullptr; up = up->GetParent()) {
        auto* modal = WindowCast<TModalWindow>(up);
        if (modal == nullptr)
            break;
        if (modal->GetFocusChild() == window)
            modal->SetFocusChild(nullptr);
    }
    // Nothing the manager keeps may point at it afterwards.
    for (const std::unique_ptr<TMessage>& message : mMessageQueue) {
        if (message->GetTarget() == window)
            message->SetTarget(nullptr);
    }
    EraseAll(mModalStack, window);
    if (mRootWindow == window)
        mRootWindow = nullptr;
    if (mScript != nullptr)
        mScript->ForgetParent(window);
}

// ---- log lines ----

bool TWindowManager::IsFirstMissingPicture(const TString& picture)
{
    return mMissingPictures.insert(picture).second;
}

// ---- the window script ----

void TWindowManager::RegisterWindowType(const TString& typeName, TWindowCreator creator)
{
    if (mScript != nullptr)
        mScript->RegisterWindowType(typeName, creator);
}

bool TWindowManager::RunScriptFile(TWindow* parent, const TString& file)
{
    auto* script = dynamic_cast<TScript*>(mScriptSeam);
    if (mScript == nullptr || script == nullptr)
        return false;
    mScript->PushParent(parent);
    const bool ran = script->RunScript(file, mHost->GetAssetManager());
    mScript->PopParent();
    return ran;
}

bool TWindowManager::HasDialogFlow() const
{
    const auto* script = dynamic_cast<const TScript*>(mScriptSeam);
    return script != nullptr && script->GetCoroutine() != nullptr;
}

void TWindowManager::RunScriptString(TWindow* parent, const TString& text)
{
    auto* script = dynamic_cast<TScript*>(mScriptSeam);
    if (mScript == nullptr || script == nullptr)
        return;
    mScript->PushParent(parent);
    script->DoLuaString(text);
    mScript->PopParent();
}
