#pragma once

// The window toolkit: windows in a tree, routed input, a stack of modal dialogs, window
// messages and the frame loop that draws them (TWindowManager).
//
// TWindow is the base of every window: the engine's widgets and the game's windows
// derive from it and override its virtual operations, which are the contract game code
// builds on. A window is a rectangle in its parent's coordinates with a name, flags, a
// process-wide id and an ordered list of children it owns (front = topmost: drawn last,
// hit first). This file also holds the class identity of windows, the event dispatch
// inside the tree (the manager picks the first receiver), message sending up the tree,
// drawing through the renderer, and placement from a style.
//
// Ownership: a window owns its children (std::unique_ptr); every other pointer to a
// window observes it. AdoptChild takes a child over (unless the child refuses it and is
// handed back); RemoveChild hands a child back to the caller, who lets it go or passes
// it to TWindowServices::ScheduleDelete. A window dies through its owner only: a window
// still attached to a parent is never destroyed. Deleting a window deletes its subtree.
//
// Depth: a tree may be as deep as content makes it. Every walk over it (deletion,
// drawing, searches, hit tests, bubbling) loops instead of recursing, so its stack does
// not grow with the depth, and each window knows its modal parent, kept up to date as
// windows move, so making a window costs the same at any depth.
//
// Main thread only.

#include "engine/foundation/core/TString.h"
#include "engine/foundation/math/TRect.h"
#include "engine/ui/window/TPoint.h"

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <vector>

class TMessage;
class TModalWindow;
class TWindow;
class TWindowAnim;
class TWindowSpider;
class TWindowStyle;
struct TEvent;

// A window class's identity: the address of the creator registered for its type name,
// or, for classes never created by name, of its own ClassId function.
using TClassId = const void*;
// Makes one new window of a class; the caller owns it. Null when it cannot.
using TWindowCreator = std::unique_ptr<TWindow> (*)();

class TWindow
{
public:
    // Logged when a window outside any modal window is asked to animate (its name).
    static constexpr const char* kAnimateOutsideModalLog =
        "ui: window %s: cannot animate outside a modal window";

    // Flag bits.
    static constexpr unsigned int kModalRoot = 0x1;   // set by TModalWindow only
    static constexpr unsigned int kTakesFocus = 0x2;  // a left press gives it the focus
    static constexpr unsigned int kBeginsGroup = 0x8; // begins a radio-button group
    static constexpr unsigned int kShown = 0x100;
    static constexpr unsigned int kOpaque = 0x800; // covers what lies under it

    // Relative coordinates of styles: positions above 40000 are measured from the
    // centre (kCenter) or, from 106667 on, from the far edge (kMax is the far edge);
    // negative positions count from the far edge; sizes above 80000 reach the far edge.
    static constexpr int kCenter = 80000;
    static constexpr int kMax = 160000;
    // Resolved positions and sizes are held within plus or minus this, far beyond any
    // screen, so that a style's value near the ends of the int range cannot overflow
    // the rectangle it gives or the sums of its ancestors' offsets.
    static constexpr int kCoordinateLimit = 1 << 20;
    // Bits of a style's "align".
    static constexpr int kAlignCenterX = 1;
    static constexpr int kAlignRight = 2;
    static constexpr int kAlignCenterY = 4;
    static constexpr int kAlignBottom = 8;

    // No parent, an empty rectangle, shown, and the next id.
    TWindow();
    // Deletes its subtree (depth first, each window before its children; a window deleted
    // inside another one's deletion leaves its children to the outermost deletion, which
    // deletes them next, so the stack does not grow with the depth) and makes the window
    // manager forget it. The window must be detached: its owner took it out of its parent.
    virtual ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    static std::unique_ptr<TWindow> Create();
    static TClassId ClassId();

    // ---- the operations subclasses override, with their defaults ----
    virtual const char* GetClassName() const { return "TWindow"; }
    // True for the class's own id and the id of each base class.
    virtual bool IsKindOf(TClassId classId) const { return classId == ClassId(); }
    // False refuses an attachment (AdoptChild with attach).
    virtual bool OnAttach() { return true; }
    // Name and rectangle from the style.
    virtual void Init(const TWindowStyle& style);
    // After the children were made: "fit", then the rectangle again.
    virtual void PostChildrenInit(const TWindowStyle& style);
    virtual void Draw() {}
    // Runs after the children were drawn.
    virtual void PostDraw() {}
    // Takes child (a window without a parent) over and puts it at the front. With attach,
    // the child's OnAttach may refuse: the child is then left out of the tree and handed
    // back. Null when the child joined (or was null).
    [[nodiscard]] virtual std::unique_ptr<TWindow> AdoptChild(std::unique_ptr<TWindow> child,
                                                              bool attach);
    // Takes child out of the list and hands it back; null when it is not a child.
    [[nodiscard]] virtual std::unique_ptr<TWindow> RemoveChild(TWindow* child);
    // AdoptChild for a caller that keeps an eye on the child: the child once it joined;
    // null when it refused (it is then deleted) or was null.
    template <class T> T* Adopt(std::unique_ptr<T> child, bool attach = true);
    // Called on every window of a modal window's subtree when the modal is popped.
    virtual void OnModalPopped() {}
    virtual void SetScroll(float position) { (void)position; }
    // A message offered to the window; true takes it. The window does not delete it.
    virtual bool OnMessage(TMessage* message)
    {
        (void)message;
        return false;
    }
    // The animation step (StartAnim); false ends the animation.
    virtual bool Update() { return false; }
    // Input. Points are in the window's own coordinates; the answer is "handled".
    virtual bool OnMouseDown(const TPoint& point);
    // button: the event parameter (TEvent::kRightDown, kWheelAway, ...).
    virtual bool OnMouseButton(const TPoint& point, int button);
    virtual bool OnMouseUp(const TPoint& point);
    virtual bool OnMouseMove(const TPoint& point);
    virtual bool OnMouseExit() { return false; }
    // character and key: the low byte of the event parameter.
    virtual bool OnChar(int character);
    // utf8: one code point.
    virtual bool OnWideChar(const TString& utf8);
    // flags: the event flags (TEvent::kShift, ...).
    virtual bool OnKeyDown(int key, int flags);
    virtual bool OnKeyUp(int key);
    virtual bool OnMouseHover(const TPoint& point);
    // The window became the focus window; previous may be null.
    virtual void OnSetFocus(TWindow* previous) { (void)previous; }

    // ---- identity ----
    void SetName(const TString& name) { mName = name; }
    const TString& GetName() const { return mName; }
    int GetId() const { return mId; }
    // The id as "%8x": eight characters, hexadecimal, padded with blanks.
    TString GetIdString() const;

    // ---- geometry ----
    const TRect& GetRect() const { return mRect; } // in the parent's coordinates
    int GetLeft() const { return mRect.left; }
    int GetTop() const { return mRect.top; }
    int GetWidth() const { return mRect.right - mRect.left; }
    int GetHeight() const { return mRect.bottom - mRect.top; }
    TRect GetLocalRect() const { return TRect(0, 0, GetWidth(), GetHeight()); }
    // Held within plus or minus 2^30 on every side.
    TRect GetScreenRect() const;
    TPoint LocalToScreen(const TPoint& point) const;
    TPoint ScreenToLocal(const TPoint& point) const;
    TPoint LocalToParent(const TPoint& point) const;
    TPoint ParentToLocal(const TPoint& point) const;
    void MoveTo(int x, int y);
    // Also tells the modal parent whether the window now covers it (opaque and of the
    // root window's size).
    void SetSize(int width, int height);
    void SetRectFromStyle(const TWindowStyle& style);
    // Resolves a relative position and size along one axis against the parent's extent
    // (width or height); centre and far are the axis's align bits. Leaves the size
    // alone when it is needed but still 0. Computed in 64 bits; both results are held
    // within kCoordinateLimit.
    void ResolveCoordinate(int& position, int& size, int extent, bool centre, bool far,
                           bool alignPresent) const;

    // ---- flags ----
    unsigned int GetFlags() const { return mFlags; }
    // Replaces bits 8 to 15 only: the low byte keeps what the classes set themselves.
    // Tells the modal parent whether the window now covers it (opaque and of the
    // modal's size).
    void SetFlags(unsigned int value);
    // Flag kShown on the window and every ancestor up to and including its modal root.
    bool IsShown() const;

    // ---- the tree ----
    TWindow* GetParent() const { return mParent; }
    // Sets the parent pointer only (the lists are the caller's business) and learns the
    // modal parent anew; the previous parent.
    TWindow* SetParent(TWindow* parent);
    using TChildList = std::list<std::unique_ptr<TWindow>>;
    const TChildList& GetChildren() const { return mChildren; }
    bool IsAncestorOf(const TWindow* window) const;
    // Within the parent's list: 0 to the back, 1 to the front, 2 one place toward the
    // front, 3 one place toward the back, 4 (and others) directly in front of sibling (to
    // the back when sibling is not a child).
    void SetZOrder(int mode, TWindow* sibling = nullptr);
    void MoveBefore(TWindow* sibling) { SetZOrder(4, sibling); }
    // The window itself when named so, else the first hit among the children, front to
    // back, depth levels down (-1: no limit).
    TWindow* FindChild(const TString& name, int depth = -1);
    template <class T> T* FindChild(const TString& name);
    // The frontmost shown child containing point (in this window's coordinates), or the
    // window itself. The second form starts at start and scans toward the back.
    TWindow* ChildAt(const TPoint& point);
    TWindow* ChildAt(const TPoint& point, TWindow* start);
    // The deepest shown window under point, at most depth levels down (-1: no limit);
    // null for depth 0.
    TWindow* FindWindowAt(const TPoint& point, int depth);
    // Visits the direct children front to back, or back to front; a visit may remove
    // the visited child. False when a visit stopped the walk.
    bool ForEachChild(TWindowSpider& spider, bool backToFront = false);
    // Visits every window below this one, depth first, children front to back at every
    // level: each window before its children, or with childrenFirst after them. A visit
    // must leave the rest of the tree as it is; without childrenFirst the visited window
    // must outlive its visit. False when a visit stopped the walk.
    bool ForEachDescendant(TWindowSpider& spider, bool childrenFirst = false);
    // Grows the window to hold every child.
    void FitToChildren();
    // Detaches every child and schedules it for deletion.
    void DeleteChildren();
    // The nearest ancestor (not the window itself) that is a modal root, when it is a
    // TModalWindow; else null. Learnt from the parent when the parent changes.
    TModalWindow* GetModalParent() const { return mModalParent; }

    // ---- input, messages, drawing ----
    // Events 5 to 8 and 10, which carry a point.
    static bool IsPointerEvent(int type);
    // Delivers an event whose point is in this window's coordinates; what the window
    // does not handle bubbles to the sibling behind it under the point, or to the parent.
    // The receiver of a bubbled event must not be deleted by the window it came from.
    void HandleEvent(const TEvent& event, bool focusHandled);
    // Offers message to the window and its ancestors up to its modal root, then to that
    // modal's focus child, then to the window script. Takes message over.
    void SendMessage(std::unique_ptr<TMessage> message);
    // Draws the window and its subtree (not modal windows in it); false when hidden.
    bool DrawTree();

    // ---- animation ----
    // The window's animation task, made on first use on the task list and clock of its
    // modal window; null (logged) when the window is in no modal window.
    TWindowAnim* GetAnimTask();
    // Update is called every delay ms while it answers true (see TAnimTask::Start).
    void StartAnim(int delay, bool repeat, bool fromNow, bool catchUp);
    // Forgets the task; the task ends at its next step.
    void DetachAnim();

protected:
    // Sets or clears bits a class manages itself (kModalRoot, kTakesFocus,
    // kBeginsGroup): no redraw, no covering. SetFlags leaves these alone.
    void SetClassFlags(unsigned int bits, bool on);

private:
    friend class TWindowAnim;
    friend class TWindowRef;

    struct TDrawFrame;

    void Deliver(const TEvent& event, bool& handled);
    void TakeFocus();
    void QueuePressAnyKey(const TEvent& event);
    // The window an unhandled event goes on to, with the event in its coordinates; null
    // at the top of the tree. shown: whether that window is shown (IsShown), when known.
    TWindow* Bubble(TEvent& event, std::optional<bool>& shown);
    // The frontmost child from from on that is shown and contains point, or this window.
    // shown: whether this window is (IsShown); asked only when needed.
    TWindow* ScanChildren(TChildList::iterator from, const TPoint& point,
                          std::optional<bool>& shown);
    TChildList::iterator FindInChildren(const TWindow* child);
    // The deepest shown window under point at most depth levels down (-1: no limit),
    // point becoming its coordinates; shown as for ScanChildren.
    TWindow* Descend(TPoint& point, int depth, std::optional<bool> shown);
    // Drawing one window: its part before the children, given the screen position of its
    // parent, and its part after them. False when the window's clip is empty.
    bool BeginDraw(int64_t parentX, int64_t parentY, std::vector<TDrawFrame>& frames);
    void EndDraw(bool viewport);
    void TellModalParentAboutCovering(const TWindow* sizeOf);
    // Takes the modal parent from the parent and passes a change on to the windows below
    // that learnt theirs through this one.
    void LearnModalParent();
    // Detaches every child (each learns it has no modal parent) and hands them to the
    // deletion under way, or deletes them here.
    void DeleteSubtree();
    void ResolveWide(int64_t& position, int64_t& size, int64_t extent, bool centre, bool far,
                     bool alignPresent) const;

    TWindow* mParent = nullptr;
    TModalWindow* mModalParent = nullptr;
    TChildList mChildren;
    TRect mRect;
    TString mName;
    unsigned int mFlags = kShown;
    int mId;
    TWindowAnim* mAnim = nullptr; // owned by the modal window's task list
    // What weak handles (TWindowRef) read: this window, null once it died. Made with the
    // first handle.
    std::shared_ptr<TWindow*> mHandleCell;
};

// The window as a T when it is one (TWindow::IsKindOf), else null.
template <class T> T* WindowCast(TWindow* window)
{
    return window != nullptr && window->IsKindOf(T::ClassId()) ? static_cast<T*>(window) : nullptr;
}

template <class T> T* TWindow::Adopt(std::unique_ptr<T> child, bool attach)
{
    T* window = child.get();
    return AdoptChild(std::move(child), attach) == nullptr ? window : nullptr;
}

template <class T> T* TWindow::FindChild(const TString& name)
{
    return WindowCast<T>(FindChild(name, -1));
}
