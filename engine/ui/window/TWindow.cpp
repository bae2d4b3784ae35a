#include "engine/ui/window/TWindow.h"

#include "engine/foundation/app/TEvent.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/graphics/TRenderer.h"
#include "engine/ui/manager/TWindowManager.h"
#include "engine/ui/message/TLuaMessageWrapper.h"
#include "engine/ui/message/TMessage.h"
#include "engine/ui/window/TModalWindow.h"
#include "engine/ui/window/TWindowAnim.h"
#include "engine/ui/window/TWindowSpider.h"
#include "engine/ui/window/TWindowStyle.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

int sNextId = 0;

// Positions between these are measured from the centre; sizes above kFarSize reach the
// far edge.
constexpr int kRelativeFrom = 40000;
constexpr int kFarFrom = 106667;
constexpr int kFarSize = 80000;

// Screen rectangles are held within plus or minus this.
constexpr int64_t kScreenLimit = int64_t(1) << 30;

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
    ChildrenDelete(TWindow& parent, TWindowManager* manager) : mParent(parent), mManager(manager) {}

    bool Visit(TWindow* window) override
    {
        mParent.RemoveChild(window);
        if (mManager != nullptr)
            mManager->ScheduleDelete(window);
        else
            delete window;
        return true;
    }

private:
    TWindow& mParent;
    TWindowManager* mManager;
};

} // namespace

TWindow::TWindow() : mId(sNextId++) {}

TWindow::~TWindow()
{
    if (mAnim != nullptr) {
        mAnim->ForgetWindow();
        mAnim = nullptr;
    }
    InvalidateWindows();
    // A window deleted while still attached leaves its parent first; that also tells the
    // modal parent that nothing in this subtree covers it any more.
    if (mParent != nullptr)
        mParent->RemoveChild(this);
    // Each child is taken off the list before it dies, so it finds no half-destroyed
    // parent.
    while (!mChildren.empty()) {
        TWindow* child = mChildren.front();
        mChildren.pop_front();
        child->mParent = nullptr;
        delete child;
    }
    if (TWindowManager* manager = GetWindowManager())
        manager->ForgetWindow(this);
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
    // A deep tree of far-off windows may sum beyond the int range: the sums are wide and
    // held to a range that screen points can still be added to.
    int64_t x = 0;
    int64_t y = 0;
    for (const TWindow* ancestor = mParent; ancestor != nullptr; ancestor = ancestor->mParent) {
        x += ancestor->mRect.left;
        y += ancestor->mRect.top;
    }
    const auto held = [](int64_t value) {
        return static_cast<int>(std::clamp<int64_t>(value, -kScreenLimit, kScreenLimit));
    };
    return TRect(held(x + mRect.left), held(y + mRect.top), held(x + mRect.right),
                 held(y + mRect.bottom));
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
    TWindowManager* manager = GetWindowManager();
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
    mFlags = on ? mFlags | bits : mFlags & ~bits;
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
    return previous;
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

bool TWindow::AdoptChild(TWindow* child, bool attach)
{
    if (child == nullptr || child == this)
        return false;
    if (child->mParent != this) {
        // A window lives in one list only.
        if (child->mParent != nullptr)
            child->mParent->RemoveChild(child);
        mChildren.push_front(child);
        child->mParent = this;
        InvalidateWindows();
    }
    if (attach && !child->OnAttach()) {
        mChildren.remove(child);
        child->mParent = nullptr;
        child->SetSize(child->GetWidth(), child->GetHeight());
        return false;
    }
    return true;
}

void TWindow::RemoveChild(TWindow* child)
{
    const auto at = std::find(mChildren.begin(), mChildren.end(), child);
    if (at == mChildren.end())
        return;
    InvalidateWindows();
    mChildren.erase(at);
    if (TModalWindow* modal = child->GetModalParent())
        modal->SetCovering(child, false);
    child->mParent = nullptr;
}

void TWindow::SetZOrder(int mode, TWindow* sibling)
{
    if (mParent == nullptr)
        return;
    std::list<TWindow*>& list = mParent->mChildren;
    const auto at = std::find(list.begin(), list.end(), this);
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
        list.erase(at);
        const auto before = std::find(list.begin(), list.end(), sibling);
        list.insert(before, this);
        if (before == list.end())
            return; // no such sibling: at the back, nothing to redraw
        break;
    }
    }
    InvalidateWindows();
}

TWindow* TWindow::FindChild(const TString& name, int depth)
{
    if (mName == name)
        return this;
    if (depth == 0)
        return nullptr;
    for (TWindow* child : mChildren) {
        if (TWindow* found = child->FindChild(name, depth < 0 ? -1 : depth - 1))
            return found;
    }
    return nullptr;
}

TWindow* TWindow::ScanChildren(std::list<TWindow*>::iterator from, const TPoint& point)
{
    for (auto at = from; at != mChildren.end(); ++at) {
        TWindow* child = *at;
        if (child->mRect.Contains(point.x, point.y) && child->IsShown())
            return child;
    }
    return this;
}

TWindow* TWindow::ChildAt(const TPoint& point)
{
    return ScanChildren(mChildren.begin(), point);
}

TWindow* TWindow::ChildAt(const TPoint& point, TWindow* start)
{
    return ScanChildren(std::find(mChildren.begin(), mChildren.end(), start), point);
}

TWindow* TWindow::FindWindowAt(const TPoint& point, int depth)
{
    TWindow* window = this;
    TPoint local = point;
    while (depth != 0) {
        TWindow* child = window->ChildAt(local);
        if (child == window)
            return window;
        local = child->ParentToLocal(local);
        window = child;
        if (depth > 0)
            --depth;
    }
    return nullptr;
}

bool TWindow::ForEachChild(TWindowSpider& spider, bool backToFront)
{
    if (backToFront) {
        if (mChildren.empty())
            return true;
        for (auto at = std::prev(mChildren.end());;) {
            TWindow* child = *at;
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
        TWindow* child = *at++;
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
    ChildrenDelete deleter(*this, GetWindowManager());
    ForEachChild(deleter);
}

TModalWindow* TWindow::GetModalParent() const
{
    for (TWindow* ancestor = mParent; ancestor != nullptr; ancestor = ancestor->mParent) {
        if ((ancestor->mFlags & kModalRoot) != 0)
            return WindowCast<TModalWindow>(ancestor);
    }
    return nullptr;
}

// ---- input ----

void TWindow::HandleEvent(const TEvent& event, bool focusHandled)
{
    bool handled = false;
    Deliver(event, handled);
    if (event.type == TEvent::kLeftDown && !focusHandled) {
        TakeFocus();
        focusHandled = true;
    }
    if (handled)
        return;
    if ((mFlags & kModalRoot) != 0) {
        QueuePressAnyKey(event);
        return;
    }
    Bubble(event, focusHandled);
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
            if (TWindowManager* manager = GetWindowManager())
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
    TWindowManager* manager = GetWindowManager();
    if (text.Length() == 0 || manager == nullptr)
        return;
    manager->QueueMessage(std::make_unique<TMessage>(TMessage::kPressAnyKey, text));
}

// To the sibling behind this window under the point, else to the parent.
void TWindow::Bubble(const TEvent& event, bool focusHandled)
{
    TWindow* parent = mParent;
    if (parent == nullptr)
        return;
    TEvent copy = event;
    const bool pointer = IsPointerEvent(event.type);
    if (pointer) {
        copy.x += mRect.left;
        copy.y += mRect.top;
    }
    const TPoint inParent{copy.x, copy.y};
    auto at = std::find(parent->mChildren.begin(), parent->mChildren.end(), this);
    if (at != parent->mChildren.end() && ++at != parent->mChildren.end()) {
        TWindow* sibling = parent->ChildAt(inParent, *at);
        if (sibling != parent) {
            const TPoint screen = parent->LocalToScreen(inParent);
            TWindow* target = sibling->FindWindowAt(sibling->ScreenToLocal(screen), -1);
            if (pointer) {
                const TPoint local = target->ScreenToLocal(screen);
                copy.x = local.x;
                copy.y = local.y;
            }
            target->HandleEvent(copy, focusHandled);
            return;
        }
    }
    parent->HandleEvent(copy, focusHandled);
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
    if (TWindowManager* manager = GetWindowManager())
        manager->PassMessageToScript(std::move(message));
}

// ---- drawing ----

bool TWindow::DrawTree()
{
    if ((mFlags & kShown) == 0)
        return false;
    TRenderer* renderer = TRenderer::Get();
    const TRect screen = GetScreenRect();
    TRect clip;
    clip.Intersect(renderer->GetClipRect(), screen);
    if (IsEmpty(clip))
        return true;
    const bool viewport = screen.right != 0;
    if (viewport)
        renderer->PushViewport(screen);
    renderer->PushClipRect(clip);
    Draw();
    // Drawing may change the tree: draw the children as they were, while they stay.
    const std::vector<TWindow*> children(mChildren.rbegin(), mChildren.rend());
    for (TWindow* child : children) {
        if (child->mParent == this && (child->mFlags & kModalRoot) == 0)
            child->DrawTree();
    }
    PostDraw();
    if (viewport)
        renderer->PopViewport();
    renderer->PopClipRect();
    return true;
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
        TraceLog("window %s: cannot animate outside a modal window", mName.CStr());
        return nullptr;
    }
    mAnim = new TWindowAnim(this);
    modal->AddTask(mAnim);
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
