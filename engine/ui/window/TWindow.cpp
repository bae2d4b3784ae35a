#include "engine/ui/window/TWindow.h"

#include "engine/foundation/app/TEvent.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/graphics/TRenderer.h"
#include "engine/ui/message/TLuaMessageWrapper.h"
#include "engine/ui/message/TMessage.h"
#include "engine/ui/window/TModalWindow.h"
#include "engine/ui/window/TWindowAnim.h"
#include "engine/ui/window/TWindowServices.h"
#include "engine/ui/window/TWindowSpider.h"
#include "engine/ui/window/TWindowStyle.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <vector>

namespace {

int sNextId = 0;

// The windows that the deletion under way still has to delete, the next one last; null
// while no deletion is under way.
std::vector<std::unique_ptr<TWindow>>* sAwaitingDelete = nullptr;

// Positions between these are measured from the centre; sizes above kFarSize reach the
// far edge.
constexpr int kRelativeFrom = 40000;
constexpr int kFarFrom = 106667;
constexpr int kFarSize = 80000;

// Screen rectangles are held within plus or minus this.
constexpr int64_t kScreenLimit = int64_t(1) << 30;

// rect moved by (x, y). A deep tree of far-off windows may sum beyond the int range: the
// sums are wide and held to a range that screen points can still be added to.
TRect ScreenRect(const TRect& rect, int64_t x, int64_t y)
{
    const auto held = [](int64_t value) {
        return static_cast<int>(std::clamp<int64_t>(value, -kScreenLimit, kScreenLimit));
    };
    return TRect(held(x + rect.left), held(y + rect.top), held(x + rect.right),
                 held(y + rect.bottom));
}

int HeldToLimit(int64_t value)
{
    return static_cast<int>(
        std::clamp<int64_t>(value, -TWindow::kCoordinateLimit, TWindow::kCoordinateLimit));
}

bool IsEmpty(const TRect& rect)
{
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

// Raises a largest right and bottom to every child's.
class GetLargest final : public TWindowSpider
{
public:
    GetLargest(int right, int bottom) : mRight(right), mBottom(bottom) {}

    bool Visit(TWindow* window) override
    {
        mRight = std::max(mRight, window->GetRect().right);
        mBottom = std::max(mBottom, window->GetRect().bottom);
        return true;
    }
    int Right() const { return mRight; }
    int Bottom() const { return mBottom; }

private:
    int mRight;
    int mBottom;
};

// Detaches each child and schedules it for deletion.
class ChildrenDelete final : public TWindowSpider
{
public:
    ChildrenDelete(TWindow& parent, TWindowServices* manager) : mParent(parent), mManager(manager)
    {
    }

    bool Visit(TWindow* window) override
    {
        std::unique_ptr<TWindow> child = mParent.RemoveChild(window);
        if (mManager != nullptr)
            mManager->ScheduleDelete(std::move(child));
        return true;
    }

private:
    TWindow& mParent;
    TWindowServices* mManager;
};

} // namespace

TWindow::TWindow() : mId(sNextId++) {}

TWindow::~TWindow()
{
    if (mHandleCell != nullptr)
        *mHandleCell = nullptr;
    if (mAnim != nullptr) {
        mAnim->ForgetWindow();
        mAnim = nullptr;
    }
    InvalidateWindows();
    // Its owner took it out of its parent (RemoveChild), which also told the modal parent
    // that nothing in this subtree covers it any more.
    assert(mParent == nullptr && "a window dies through its owner, detached");
    DeleteSubtree();
    if (TWindowServices* manager = GetWindowServices())
        manager->ForgetWindow(this);
}

void TWindow::DeleteSubtree()
{
    if (mChildren.empty())
        return;
    std::vector<std::unique_ptr<TWindow>> awaiting;
    const bool outermost = sAwaitingDelete == nullptr;
    if (outermost)
        sAwaitingDelete = &awaiting;
    // Each child is taken off the list before it dies, so it finds no half-destroyed
    // parent. Pushed back to front: the front child is deleted first, and the children of
    // a deleted window come before its siblings, as a recursive deletion would go.
    for (auto at = mChildren.rbegin(); at != mChildren.rend(); ++at) {
        TWindow* child = at->get();
        child->mParent = nullptr;
        child->LearnModalParent();
        sAwaitingDelete->push_back(std::move(*at));
    }
    mChildren.clear();
    if (!outermost)
        return;
    while (!awaiting.empty()) {
        // Out of the list before it dies: its deletion appends its own children.
        const std::unique_ptr<TWindow> next = std::move(awaiting.back());
        awaiting.pop_back();
    }
    sAwaitingDelete = nullptr;
}

std::unique_ptr<TWindow> TWindow::Create()
{
    return std::make_unique<TWindow>();
}

TClassId TWindow::ClassId()
{
    return reinterpret_cast<TClassId>(&TWindow::Create);
}

void TWindow::Init(const TWindowStyle& style)
{
    mName = style.GetString("name", "");
    SetRectFromStyle(style);
}

void TWindow::PostChildrenInit(const TWindowStyle& style)
{
    if (style.GetBool("fit", false))
        FitToChildren();
    SetRectFromStyle(style);
}

bool TWindow::OnMouseDown(const TPoint&)
{
    return false;
}

bool TWindow::OnMouseButton(const TPoint&, int)
{
    return false;
}

bool TWindow::OnMouseUp(const TPoint&)
{
    return false;
}

bool TWindow::OnMouseMove(const TPoint&)
{
    return false;
}

bool TWindow::OnChar(int)
{
    return false;
}

bool TWindow::OnWideChar(const TString&)
{
    return false;
}

bool TWindow::OnKeyDown(int, int)
{
    return false;
}

bool TWindow::OnKeyUp(int)
{
    return false;
}

bool TWindow::OnMouseHover(const TPoint&)
{
    return false;
}

TString TWindow::GetIdString() const
{
    return TString::Printf("%8x", static_cast<unsigned int>(mId));
}

// ---- geometry ----

TRect TWindow::GetScreenRect() const
{
    int64_t x = 0;
    int64_t y = 0;
    for (const TWindow* ancestor = mParent; ancestor != nullptr; ancestor = ancestor->mParent) {
        x += ancestor->mRect.left;
        y += ancestor->mRect.top;
    }
    return ScreenRect(mRect, x, y);
}

TPoint TWindow::LocalToScreen(const TPoint& point) const
{
    const TRect screen = GetScreenRect();
    return {point.x + screen.left, point.y + screen.top};
}

TPoint TWindow::ScreenToLocal(const TPoint& point) const
{
    const TRect screen = GetScreenRect();
    return {point.x - screen.left, point.y - screen.top};
}

TPoint TWindow::LocalToParent(const TPoint& point) const
{
    return {point.x + mRect.left, point.y + mRect.top};
}

TPoint TWindow::ParentToLocal(const TPoint& point) const
{
    return {point.x - mRect.left, point.y - mRect.top};
}

void TWindow::MoveTo(int x, int y)
{
    const int width = GetWidth();
    const int height = GetHeight();
    mRect = TRect(x, y, x + width, y + height);
    InvalidateWindows();
}

void TWindow::SetSize(int width, int height)
{
    mRect.right = mRect.left + width;
    mRect.bottom = mRect.top + height;
    InvalidateWindows();
    TWindowServices* manager = GetWindowServices();
    TellModalParentAboutCovering(manager != nullptr ? manager->GetRootWindow() : nullptr);
}

void TWindow::SetFlags(unsigned int value)
{
    const unsigned int old = mFlags;
    mFlags = (value & 0xFF00u) | (old & 0xFFu);
    if (((old ^ mFlags) & kShown) != 0)
        InvalidateWindows();
    TellModalParentAboutCovering(GetModalParent());
}

// The window covers its modal parent while it is opaque and exactly as large as sizeOf.
void TWindow::TellModalParentAboutCovering(const TWindow* sizeOf)
{
    TModalWindow* modal = GetModalParent();
    if (modal == nullptr)
        return;
    const bool covers = (mFlags & kOpaque) != 0 && sizeOf != nullptr &&
                        GetWidth() == sizeOf->GetWidth() && GetHeight() == sizeOf->GetHeight();
    modal->SetCovering(this, covers);
}

void TWindow::SetRectFromStyle(const TWindowStyle& style)
{
    int x = style.GetInt("x", 0);
    int y = style.GetInt("y", 0);
    int w = style.GetInt("w", GetWidth());
    int h = style.GetInt("h", GetHeight());
    const bool relativeX = x < 0 || x > kRelativeFrom;
    const bool relativeY = y < 0 || y > kRelativeFrom;
    const bool relativeW = w < 0 || w > kFarSize;
    const bool relativeH = h < 0 || h > kFarSize;
    // Relative values wait until the parent, and the window itself, have a size.
    if (mParent != nullptr) {
        if ((relativeX || relativeW) && mParent->GetWidth() == 0)
            return;
        if ((relativeY || relativeH) && mParent->GetHeight() == 0)
            return;
    }
    if ((relativeX && w == 0) || (relativeY && h == 0))
        return;

    int align = style.GetInt("align", -1);
    const bool alignPresent = align != -1;
    if (!alignPresent)
        align = 0;
    const int parentWidth = mParent != nullptr ? mParent->GetWidth() : 0;
    const int parentHeight = mParent != nullptr ? mParent->GetHeight() : 0;
    ResolveCoordinate(x, w, parentWidth, (align & kAlignCenterX) != 0, (align & kAlignRight) != 0,
                      alignPresent);
    ResolveCoordinate(y, h, parentHeight, (align & kAlignCenterY) != 0, (align & kAlignBottom) != 0,
                      alignPresent);

    // The style fills in only what is still 0.
    MoveTo(mRect.left != 0 ? mRect.left : x, mRect.top != 0 ? mRect.top : y);
    SetSize(GetWidth() != 0 ? GetWidth() : w, GetHeight() != 0 ? GetHeight() : h);
}

void TWindow::ResolveCoordinate(int& position, int& size, int extent, bool centre, bool far,
                                bool alignPresent) const
{
    int64_t p = position;
    int64_t s = size;
    ResolveWide(p, s, extent, centre, far, alignPresent);
    position = HeldToLimit(p);
    size = HeldToLimit(s);
}

void TWindow::ResolveWide(int64_t& position, int64_t& size, int64_t extent, bool centre, bool far,
                          bool alignPresent) const
{
    // Pre-alignment: the position names the centre or the far edge of the window.
    if (position < kRelativeFrom || position >= kFarFrom) {
        if ((centre || far) && size == 0)
            return;
        if (centre)
            position -= size / 2;
        else if (far)
            position -= size;
    }
    if (mParent == nullptr)
        return;

    const auto place = [&](int64_t& p, int64_t s) {
        if (p >= kFarFrom)
            p = p + extent - kMax;
        else if (p > kRelativeFrom)
            p = extent / 2 - s / 2 + (p - kCenter);
        else if (p < 0 && !alignPresent)
            p = extent + p;
    };
    // Inset from the centre code: the window starts 2b in (b >= 0) or ends 2|b| short of
    // the far edge (b < 0).
    const auto inset = [&](int64_t& p, int64_t& s) {
        const int64_t b = p < kFarFrom ? p - kCenter : p + extent - kMax;
        if (b >= 0) {
            s = s + extent - 2 * b - kMax;
            p = 2 * b;
        } else {
            s = s + extent + 2 * b - kMax;
            p = 0;
        }
    };

    if (size >= 0 && size <= kFarSize) {
        place(position, size);
    } else if (size > kFarSize && position <= kRelativeFrom) {
        place(position, size);
        size = size + extent - position - kMax;
    } else if (size > kFarSize) {
        inset(position, size);
    } else if (size >= -kFarSize) {
        size = -size;
        place(position, size);
        position -= size;
    } else if (position > kRelativeFrom) {
        size = -size;
        inset(position, size);
    } else {
        // A far-reaching size given negated: read as the positive size.
        size = -size;
        place(position, size);
        size = size + extent - position - kMax;
    }
}

void TWindow::SetClassFlags(unsigned int bits, bool on)
{
    const unsigned int old = mFlags;
    mFlags = on ? mFlags | bits : mFlags & ~bits;
    if (((old ^ mFlags) & kModalRoot) != 0) {
        for (const std::unique_ptr<TWindow>& child : mChildren)
            child->LearnModalParent();
    }
}

bool TWindow::IsPointerEvent(int type)
{
    return (type >= TEvent::kLeftDown && type <= TEvent::kMouseMove) || type == TEvent::kMouseHover;
}

bool TWindow::IsShown() const
{
    for (const TWindow* window = this; window != nullptr; window = window->mParent) {
        if ((window->mFlags & kShown) == 0)
            return false;
        if ((window->mFlags & kModalRoot) != 0)
            return true;
    }
    return true;
}

// ---- the tree ----

TWindow* TWindow::SetParent(TWindow* parent)
{
    TWindow* previous = mParent;
    mParent = parent;
    LearnModalParent();
    return previous;
}

void TWindow::LearnModalParent()
{
    std::vector<TWindow*> pending{this};
    while (!pending.empty()) {
        TWindow* window = pending.back();
        pending.pop_back();
        const TWindow* parent = window->mParent;
        TModalWindow* modal = nullptr;
        if (parent != nullptr)
            modal = (parent->mFlags & kModalRoot) != 0 ? WindowCast<TModalWindow>(window->mParent)
                                                       : parent->mModalParent;
        // Unchanged: the windows below learnt theirs through this one already.
        if (modal == window->mModalParent)
            continue;
        window->mModalParent = modal;
        // Below a modal root, the windows have that root as theirs.
        if ((window->mFlags & kModalRoot) == 0) {
            for (const std::unique_ptr<TWindow>& child : window->mChildren)
                pending.push_back(child.get());
        }
    }
}

bool TWindow::IsAncestorOf(const TWindow* window) const
{
    for (const TWindow* up = window != nullptr ? window->mParent : nullptr; up != nullptr;
         up = up->mParent) {
        if (up == this)
            return true;
    }
    return false;
}

std::unique_ptr<TWindow> TWindow::AdoptChild(std::unique_ptr<TWindow> child, bool attach)
{
    if (!child)
        return nullptr;
    // An owned window has no parent: a parent would own it too.
    assert(child->mParent == nullptr && "an adopted window comes without a parent");
    TWindow* window = child.get();
    mChildren.push_front(std::move(child));
    window->mParent = this;
    window->LearnModalParent();
    InvalidateWindows();
    if (attach && !window->OnAttach()) {
        std::unique_ptr<TWindow> refused = std::move(mChildren.front());
        mChildren.pop_front();
        window->mParent = nullptr;
        window->LearnModalParent();
        window->SetSize(window->GetWidth(), window->GetHeight());
        return refused;
    }
    return nullptr;
}

std::unique_ptr<TWindow> TWindow::RemoveChild(TWindow* child)
{
    const auto at = FindInChildren(child);
    if (at == mChildren.end())
        return nullptr;
    InvalidateWindows();
    std::unique_ptr<TWindow> removed = std::move(*at);
    mChildren.erase(at);
    if (TModalWindow* modal = child->GetModalParent())
        modal->SetCovering(child, false);
    child->mParent = nullptr;
    child->LearnModalParent();
    return removed;
}

TWindow::TChildList::iterator TWindow::FindInChildren(const TWindow* child)
{
    return std::find_if(
        mChildren.begin(), mChildren.end(),
        [child](const std::unique_ptr<TWindow>& entry) { return entry.get() == child; });
}

void TWindow::SetZOrder(int mode, TWindow* sibling)
{
    if (mParent == nullptr)
        return;
    TChildList& list = mParent->mChildren;
    const auto at = mParent->FindInChildren(this);
    if (at == list.end())
        return;
    switch (mode) {
    case 0:
        list.splice(list.end(), list, at);
        break;
    case 1:
        list.splice(list.begin(), list, at);
        break;
    case 2:
        if (at != list.begin())
            std::iter_swap(std::prev(at), at);
        break;
    case 3:
        if (std::next(at) != list.end())
            std::iter_swap(at, std::next(at));
        break;
    default: {
        const auto before = std::find_if(list.begin(), list.end(),
                                         [sibling, this](const std::unique_ptr<TWindow>& entry) {
                                             return entry.get() == sibling && sibling != this;
                                         });
        list.splice(before, list, at);
        if (before == list.end())
            return; // no such sibling: at the back, nothing to redraw
        break;
    }
    }
    InvalidateWindows();
}

TWindow* TWindow::FindChild(const TString& name, int depth)
{
    // Depth first, children front to back, each with the levels still allowed below it.
    std::vector<std::pair<TWindow*, int>> pending{{this, depth}};
    while (!pending.empty()) {
        const auto [window, levels] = pending.back();
        pending.pop_back();
        if (window->mName == name)
            return window;
        if (levels == 0)
            continue;
        for (auto at = window->mChildren.rbegin(); at != window->mChildren.rend(); ++at)
            pending.emplace_back(at->get(), levels < 0 ? -1 : levels - 1);
    }
    return nullptr;
}

TWindow* TWindow::ScanChildren(TChildList::iterator from, const TPoint& point,
                               std::optional<bool>& shown)
{
    // A child is shown when its own flag is and it is a modal root or this window is shown.
    for (auto at = from; at != mChildren.end(); ++at) {
        TWindow* child = at->get();
        if (!child->mRect.Contains(point.x, point.y) || (child->mFlags & kShown) == 0)
            continue;
        if ((child->mFlags & kModalRoot) != 0)
            return child;
        if (!shown)
            shown = IsShown();
        if (*shown)
            return child;
    }
    return this;
}

TWindow* TWindow::ChildAt(const TPoint& point)
{
    std::optional<bool> shown;
    return ScanChildren(mChildren.begin(), point, shown);
}

TWindow* TWindow::ChildAt(const TPoint& point, TWindow* start)
{
    std::optional<bool> shown;
    return ScanChildren(FindInChildren(start), point, shown);
}

TWindow* TWindow::FindWindowAt(const TPoint& point, int depth)
{
    TPoint local = point;
    return Descend(local, depth, std::nullopt);
}

TWindow* TWindow::Descend(TPoint& point, int depth, std::optional<bool> shown)
{
    TWindow* window = this;
    while (depth != 0) {
        TWindow* child = window->ScanChildren(window->mChildren.begin(), point, shown);
        if (child == window)
            return window;
        point = child->ParentToLocal(point);
        window = child;
        shown = true; // a child is taken only when it is shown
        if (depth > 0)
            --depth;
    }
    return nullptr;
}

bool TWindow::ForEachDescendant(TWindowSpider& spider, bool childrenFirst)
{
    std::vector<TWindow*> pending;
    const auto pushBackToFront = [&pending](const TWindow& window) {
        for (auto at = window.mChildren.rbegin(); at != window.mChildren.rend(); ++at)
            pending.push_back(at->get());
    };
    if (!childrenFirst) {
        pushBackToFront(*this);
        while (!pending.empty()) {
            TWindow* window = pending.back();
            pending.pop_back();
            if (!spider.Visit(window))
                return false;
            pushBackToFront(*window);
        }
        return true;
    }
    // Children first, front to back, is the reverse of windows first with the children
    // taken back to front.
    const auto pushFrontToBack = [&pending](const TWindow& window) {
        for (const std::unique_ptr<TWindow>& child : window.mChildren)
            pending.push_back(child.get());
    };
    std::vector<TWindow*> order;
    pushFrontToBack(*this);
    while (!pending.empty()) {
        TWindow* window = pending.back();
        pending.pop_back();
        order.push_back(window);
        pushFrontToBack(*window);
    }
    for (auto at = order.rbegin(); at != order.rend(); ++at) {
        if (!spider.Visit(*at))
            return false;
    }
    return true;
}

bool TWindow::ForEachChild(TWindowSpider& spider, bool backToFront)
{
    if (backToFront) {
        if (mChildren.empty())
            return true;
        for (auto at = std::prev(mChildren.end());;) {
            TWindow* child = at->get();
            const bool last = at == mChildren.begin();
            const auto next = last ? at : std::prev(at);
            if (!spider.Visit(child))
                return false;
            if (last)
                return true;
            at = next;
        }
    }
    for (auto at = mChildren.begin(); at != mChildren.end();) {
        TWindow* child = (at++)->get();
        if (!spider.Visit(child))
            return false;
    }
    return true;
}

void TWindow::FitToChildren()
{
    GetLargest largest(GetWidth(), GetHeight());
    ForEachChild(largest);
    SetSize(largest.Right(), largest.Bottom());
}

void TWindow::DeleteChildren()
{
    ChildrenDelete deleter(*this, GetWindowServices());
    ForEachChild(deleter);
}

// ---- input ----

void TWindow::HandleEvent(const TEvent& event, bool focusHandled)
{
    TEvent current = event;
    std::optional<bool> shown;
    for (TWindow* window = this; window != nullptr; window = window->Bubble(current, shown)) {
        bool handled = false;
        window->Deliver(current, handled);
        if (current.type == TEvent::kLeftDown && !focusHandled) {
            window->TakeFocus();
            focusHandled = true;
        }
        if (handled)
            return;
        if ((window->mFlags & kModalRoot) != 0) {
            window->QueuePressAnyKey(current);
            return;
        }
    }
}

void TWindow::Deliver(const TEvent& event, bool& handled)
{
    const TPoint point{event.x, event.y};
    const int low = event.param & 0xFF;
    switch (event.type) {
    case TEvent::kLeftDown:
        handled = OnMouseDown(point);
        break;
    case TEvent::kMouseButton:
        handled = OnMouseButton(point, event.param);
        break;
    case TEvent::kLeftUp:
        handled = OnMouseUp(point);
        break;
    case TEvent::kMouseMove:
        handled = OnMouseMove(point);
        break;
    case TEvent::kMouseHover:
        handled = OnMouseHover(point);
        break;
    case TEvent::kKeyDown:
        handled = OnKeyDown(low, event.flags);
        break;
    case TEvent::kKeyUp:
        handled = OnKeyUp(low);
        break;
    case TEvent::kChar:
        handled = OnChar(low);
        break;
    case TEvent::kWideChar: {
        const TString utf8 = TString::FromCodepoint(static_cast<uint32_t>(event.param));
        handled = OnWideChar(utf8);
        if (!handled && utf8.Length() == 1)
            handled = OnChar(low);
        break;
    }
    default:
        break;
    }
}

// A left press gives the focus to the nearest window, from this one up, that takes it.
void TWindow::TakeFocus()
{
    for (TWindow* window = this; window != nullptr; window = window->mParent) {
        if ((window->mFlags & kTakesFocus) != 0) {
            if (TWindowServices* manager = GetWindowServices())
                manager->SetFocusWindow(window);
            return;
        }
    }
}

// At a modal root, a release or a key press nobody handled is a press-any-key.
void TWindow::QueuePressAnyKey(const TEvent& event)
{
    TString text;
    if (event.type == TEvent::kLeftUp) {
        text = "mouse:up";
    } else if (event.type == TEvent::kKeyDown) {
        text = TString("raw:") + static_cast<char>(event.param & 0xFF);
    }
    TWindowServices* manager = GetWindowServices();
    if (text.Length() == 0 || manager == nullptr)
        return;
    manager->QueueMessage(std::make_unique<TMessage>(TMessage::kPressAnyKey, text));
}

// To the deepest window under the point in the sibling behind this window, else to the
// parent. shown comes in for this window (a window that is not a modal root is shown
// only when its parent is) and goes out for the window returned.
TWindow* TWindow::Bubble(TEvent& event, std::optional<bool>& shown)
{
    TWindow* parent = mParent;
    if (parent == nullptr)
        return nullptr;
    if (shown && !*shown)
        shown.reset(); // a hidden window may still have a shown parent
    const bool pointer = IsPointerEvent(event.type);
    if (pointer) {
        event.x += mRect.left;
        event.y += mRect.top;
    }
    TPoint point{event.x, event.y};
    auto at = parent->FindInChildren(this);
    if (at != parent->mChildren.end() && ++at != parent->mChildren.end()) {
        TWindow* sibling = parent->ScanChildren(at, point, shown);
        if (sibling != parent) {
            point = sibling->ParentToLocal(point);
            TWindow* target = sibling->Descend(point, -1, true);
            if (pointer) {
                event.x = point.x;
                event.y = point.y;
            }
            shown = true;
            return target;
        }
    }
    return parent;
}

void TWindow::SendMessage(std::unique_ptr<TMessage> message)
{
    if (!message)
        return;
    TWindow* window = this;
    while (true) {
        if (window->OnMessage(message.get()))
            return;
        if ((window->mFlags & kModalRoot) != 0)
            break;
        window = window->mParent;
        if (window == nullptr)
            return; // no modal root above: nobody else may take it
    }
    if (auto* modal = WindowCast<TModalWindow>(window)) {
        if (TWindow* focusChild = modal->GetFocusChild()) {
            TMessage* offered = message.get();
            if (message->IsKindOf(TLuaMessageWrapper::ClassId()))
                offered = static_cast<TLuaMessageWrapper*>(message.get())->GetMessage();
            if (offered != nullptr && focusChild->OnMessage(offered))
                return;
        }
    }
    if (TWindowServices* manager = GetWindowServices())
        manager->PassMessageToScript(std::move(message));
}

// ---- drawing ----

// A window being drawn: its children as they were when it was drawn, the next one to
// draw, and where it is on the screen.
struct TWindow::TDrawFrame
{
    TWindow* window;
    std::vector<TWindow*> children;
    size_t next;
    bool viewport;
    int64_t x;
    int64_t y;
};

bool TWindow::DrawTree()
{
    if ((mFlags & kShown) == 0)
        return false;
    int64_t x = 0;
    int64_t y = 0;
    for (const TWindow* ancestor = mParent; ancestor != nullptr; ancestor = ancestor->mParent) {
        x += ancestor->mRect.left;
        y += ancestor->mRect.top;
    }
    std::vector<TDrawFrame> frames;
    BeginDraw(x, y, frames);
    while (!frames.empty()) {
        TDrawFrame& frame = frames.back();
        if (frame.next < frame.children.size()) {
            // Drawing may change the tree: a child is drawn only while it stays.
            TWindow* child = frame.children[frame.next++];
            if (child->mParent == frame.window && (child->mFlags & (kModalRoot | kShown)) == kShown)
                child->BeginDraw(frame.x, frame.y, frames);
            continue;
        }
        TWindow* window = frame.window;
        const bool viewport = frame.viewport;
        frames.pop_back();
        window->EndDraw(viewport);
    }
    return true;
}

bool TWindow::BeginDraw(int64_t parentX, int64_t parentY, std::vector<TDrawFrame>& frames)
{
    TRenderer* renderer = TRenderer::Get();
    const TRect screen = ScreenRect(mRect, parentX, parentY);
    TRect clip;
    clip.Intersect(renderer->GetClipRect(), screen);
    if (IsEmpty(clip))
        return false;
    const bool viewport = screen.right != 0;
    if (viewport)
        renderer->PushViewport(screen);
    renderer->PushClipRect(clip);
    Draw();
    std::vector<TWindow*> backToFront;
    backToFront.reserve(mChildren.size());
    for (auto at = mChildren.rbegin(); at != mChildren.rend(); ++at)
        backToFront.push_back(at->get());
    frames.push_back(TDrawFrame{this, std::move(backToFront), 0, viewport, parentX + mRect.left,
                                parentY + mRect.top});
    return true;
}

void TWindow::EndDraw(bool viewport)
{
    PostDraw();
    TRenderer* renderer = TRenderer::Get();
    if (viewport)
        renderer->PopViewport();
    renderer->PopClipRect();
}

// ---- animation ----

TWindowAnim* TWindow::GetAnimTask()
{
    if (mAnim != nullptr)
        return mAnim;
    TModalWindow* modal = WindowCast<TModalWindow>(this);
    if (modal == nullptr)
        modal = GetModalParent();
    if (modal == nullptr) {
        TraceLog(kAnimateOutsideModalLog, mName.CStr());
        return nullptr;
    }
    auto anim = std::make_unique<TWindowAnim>(this);
    mAnim = anim.get();
    modal->AddTask(std::move(anim));
    mAnim->SetClock(&modal->GetClock());
    return mAnim;
}

void TWindow::StartAnim(int delay, bool repeat, bool fromNow, bool catchUp)
{
    if (TWindowAnim* anim = GetAnimTask())
        anim->Start(delay, repeat, fromNow, catchUp);
}

void TWindow::DetachAnim()
{
    if (mAnim == nullptr)
        return;
    mAnim->ForgetWindow();
    mAnim = nullptr;
}
