#include "engine/ui/widgets/TButton.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/seams/TWindowManagerSeam.h"
#include "engine/graphics/TTexture.h"
#include "engine/script/TScript.h"
#include "engine/sound/TSound.h"
#include "engine/ui/message/TMessage.h"
#include "engine/ui/widgets/TButtonLuaAction.h"
#include "engine/ui/widgets/TImage.h"
#include "engine/ui/widgets/WindowPicture.h"
#include "engine/ui/window/TModalWindow.h"
#include "engine/ui/window/TWindowManagerHost.h"
#include "engine/ui/window/TWindowServices.h"
#include "engine/ui/window/TWindowStyle.h"

namespace {

constexpr unsigned int kLayerCount = 4;
// A mask pixel whose red, green and blue are all below this is not part of the button.
constexpr uint32_t kMaskThreshold = 20;
// Volume group of button sounds.
constexpr int kSoundGroup = 0;

bool IsMaskPixelOn(uint32_t pixel)
{
    return ((pixel >> 16) & 0xFF) >= kMaskThreshold || ((pixel >> 8) & 0xFF) >= kMaskThreshold ||
           (pixel & 0xFF) >= kMaskThreshold;
}

// The layer a state shows, or -1 for none (Pressed, and states of unknown types).
int LayerOf(TButton::Type type, TButton::State state, bool on)
{
    if (type == TButton::Type::Push)
        return state == TButton::State::Pressed ? -1 : static_cast<int>(state);
    switch (state) {
    case TButton::State::Up:
        return on ? 1 : 0;
    case TButton::State::Down:
        return on ? 0 : 1;
    case TButton::State::Over:
        return on ? 3 : 2;
    default:
        return -1;
    }
}

} // namespace

TButton::TButton() : TLayeredWindow(kLayerCount) {}

TButton::~TButton()
{
    if (TWindowServices* manager = GetWindowServices())
        manager->ReleaseCapture(this);
}

std::unique_ptr<TWindow> TButton::Create()
{
    return std::make_unique<TButton>();
}

TClassId TButton::ClassId()
{
    return reinterpret_cast<TClassId>(&TButton::Create);
}

// ---- building ----

bool TButton::OnAttach()
{
    SetState(State::Up);
    return true;
}

void TButton::Init(const TWindowStyle& style)
{
    TWindow::Init(style);
    const int type = style.GetInt("type", 0);
    if (type < 0 || type > static_cast<int>(Type::Radio)) {
        TraceLog("ui: button %s: no button type %d; a push button instead", GetName().CStr(), type);
        SetType(Type::Push);
    } else {
        SetType(static_cast<Type>(type));
    }
    const float scale = static_cast<float>(style.GetNumber("scale", 1.0));
    unsigned int flags = 0;
    if (style.GetBool("sendToParent", false))
        flags |= kSendToParent;
    if (style.GetBool("close", false))
        flags |= kClose;
    if (style.GetBool("default", false))
        flags |= kDefault;
    mButtonFlags = flags;
    // Before "on": a radio button that begins its own group must not switch off the
    // group before it.
    SetClassFlags(kBeginsGroup, style.GetBool("beginGroup", false));
    if (style.GetBool("on", false))
        SetToggleState(true);

    SetSound(State::Down, style.GetString("sound", ""));
    SetSound(State::Over, style.GetString("rolloversound", ""));
    const TString mask = style.GetString("mask", "");
    if (mask.Length() > 0)
        SetMask(LoadWindowPicture(mask, 0, DescribeAsker(*this, style)));
    ReadGraphics(style, scale);
    if (std::unique_ptr<TLuaFunction> command = style.GetFunction("command"))
        SetCommand(std::move(command));
    // From now on children (the label, decorations) belong to every layer.
    SelectLayer(-1);
}

void TButton::ReadGraphics(const TWindowStyle& style, float scale)
{
    std::unique_ptr<TLuaTable> graphics = style.GetTable("graphics");
    if (!graphics)
        return;
    int flip = 0;
    if (style.GetBool("hflip", false))
        flip |= TImage::kFlipHorizontal;
    if (style.GetBool("vflip", false))
        flip |= TImage::kFlipVertical;
    const bool rotate = style.GetBool("rotate", false);
    const int count = mType == Type::Push ? 3 : 4;
    const TString asker = DescribeAsker(*this, style);
    for (int i = 0; i < count; ++i) {
        const TString name = graphics->GetStringByIndex(i + 1, "");
        if (name.Length() == 0)
            continue;
        auto image = std::make_unique<TImage>();
        image->SetName(TString::Printf("image%d", i));
        image->SetFlip(flip);
        image->SetRotate(rotate);
        image->SetImage(LoadWindowPicture(name, 0, asker), scale);
        SelectLayer(i);
        Adopt(std::move(image));
    }
    FitToChildren();
}

void TButton::PostChildrenInit(const TWindowStyle& style)
{
    TLayeredWindow::PostChildrenInit(style);
    SetState(State::Up);
}

// ---- input ----

bool TButton::OnMouseDown(const TPoint& point)
{
    if (mState == State::Up) {
        if (TWindowServices* manager = GetWindowServices())
            manager->AddCapture(this);
    }
    SetState(State::Down);
    IsOutside(point);
    return true;
}

bool TButton::OnMouseUp(const TPoint& point)
{
    if (mState == State::Up || IsOutside(point))
        return true;
    if (mState == State::Down && !PressButton())
        return true;
    if (IsShown())
        SetState(State::Over);
    else
        OnMouseExit();
    return true;
}

bool TButton::OnMouseMove(const TPoint& point)
{
    if (IsOutside(point))
        return false;
    if (mState == State::Up) {
        SetState(State::Over);
        if (TWindowServices* manager = GetWindowServices())
            manager->AddCapture(this);
    }
    return true;
}

bool TButton::OnMouseExit()
{
    if (mState != State::Up) {
        if (TWindowServices* manager = GetWindowServices())
            manager->ReleaseCapture(this);
        SetState(State::Up);
    }
    return true;
}

bool TButton::IsOutside(const TPoint& point)
{
    const bool inside = point.x >= 0 && point.x < GetWidth() && point.y >= 0 &&
                        point.y < GetHeight() && (mMask.empty() || IsOnMask(point));
    if (inside)
        return false;
    OnMouseExit();
    return true;
}

bool TButton::IsOnMask(const TPoint& point) const
{
    // The mask is stretched over the button.
    const int64_t x = int64_t(point.x) * mMaskWidth / GetWidth();
    const int64_t y = int64_t(point.y) * mMaskHeight / GetHeight();
    if (x < 0 || y < 0 || x >= mMaskWidth || y >= mMaskHeight)
        return false;
    return IsMaskPixelOn(mMask[size_t(y) * size_t(mMaskWidth) + size_t(x)]);
}

// ---- states ----

void TButton::SetState(State state)
{
    const State old = mState;
    mState = state;
    ShowState(state, old);
}

void TButton::ShowState(State newState, State oldState)
{
    // Only states that own a sound entry play one: Pressed (shown while a press runs)
    // has none.
    const bool hasSound = static_cast<size_t>(newState) < kSoundCount;
    if (hasSound && newState != oldState && newState != State::Down && oldState != State::Pressed &&
        IsShown())
        PlaySound(newState);
    const int layer = LayerOf(mType, newState, GetToggleState());
    if (layer >= 0)
        SelectLayer(layer);
}

void TButton::PlaySound(State state)
{
    const std::shared_ptr<TSound>& sound = GetSound(state);
    if (sound)
        sound->Play(false);
}

void TButton::SetType(Type type)
{
    mType = type;
    InvalidateWindows();
}

unsigned int TButton::ToggleOn()
{
    const unsigned int previous = mButtonFlags;
    mButtonFlags ^= kOn;
    return previous;
}

void TButton::SetToggleState(bool on)
{
    if (on && mType == Type::Radio && GetParent() != nullptr)
        SwitchOffGroup();
    mButtonFlags = on ? mButtonFlags | kOn : mButtonFlags & ~kOn;
    SetState(mState);
}

// The parent's children from the back of the list to the front are the order in which
// they were made.
void TButton::SwitchOffGroup()
{
    const TChildList& children = GetParent()->GetChildren();
    std::vector<TWindow*> made;
    for (auto at = children.rbegin(); at != children.rend(); ++at)
        made.push_back(at->get());
    size_t start = made.size();
    for (size_t i = 0; i < made.size(); ++i) {
        if ((made[i]->GetFlags() & kBeginsGroup) != 0)
            start = i;
        if (made[i] == this)
            break;
    }
    for (size_t i = start; i < made.size(); ++i) {
        if (i > start && (made[i]->GetFlags() & kBeginsGroup) != 0)
            break;
        auto* other = WindowCast<TButton>(made[i]);
        if (other != nullptr && other != this)
            other->SetToggleState(false);
    }
}

// ---- pressing ----

void TButton::Press()
{
    PressButton();
}

bool TButton::PressButton()
{
    ShowState(State::Pressed, State::Down);
    if (IsShown())
        PlaySound(State::Down);
    TWindowServices* manager = GetWindowServices();
    if (DoCommand() && manager != nullptr && manager->GetTopModal() == GetModalParent()) {
        if (mType == Type::Radio)
            SetToggleState(true);
        else if (mType == Type::Toggle)
            SetToggleState(!GetToggleState());
        return true;
    }
    OnMouseExit();
    return false;
}

bool TButton::DoCommand()
{
    TWindowServices* manager = GetWindowServices();
    const bool toParentOfTop = (mButtonFlags & kSendToParent) != 0;
    if ((mButtonFlags & kClose) != 0 && manager != nullptr) {
        if (TModalWindow* modal = GetModalParent()) {
            manager->QueueMessage(
                std::make_unique<TMessage>(TMessage::kCloseWindow, modal->GetIdString()));
        } else {
            TraceLog("ui: button %s: a close button outside any dialog closes nothing",
                     GetName().CStr());
        }
        if (auto* script = dynamic_cast<TScript*>(manager->GetScript()))
            script->SetGlobalString("gReturnValue", GetName());
    }
    TWindow* target = GetParent();
    if (toParentOfTop) {
        TModalWindow* top = manager != nullptr ? manager->GetTopModal() : nullptr;
        target = top != nullptr ? top->GetParent() : nullptr;
    }
    auto message = std::make_unique<TMessage>(TMessage::kButtonPress, GetName(), target);
    if (mAction)
        RunAction();
    // A command that closed the dialog took the button out of the tree: its press
    // message has nobody left to tell.
    const bool stayed = IsInWindowTree();
    if ((stayed || toParentOfTop) && manager != nullptr)
        manager->QueueMessage(std::move(message));
    return stayed;
}

// The action may replace the command (SetCommand from inside the command): the running
// one is kept alive until it has returned.
void TButton::RunAction()
{
    std::unique_ptr<Action> running = std::move(mAction);
    mRunningAction = true;
    mReplacedWhileRunning = false;
    running->Execute(*this);
    mRunningAction = false;
    if (!mReplacedWhileRunning)
        mAction = std::move(running);
}

bool TButton::IsInWindowTree() const
{
    TWindowServices* manager = GetWindowServices();
    const TWindow* root = manager != nullptr ? manager->GetRootWindow() : nullptr;
    if (root == nullptr)
        return false;
    for (const TWindow* window = GetParent(); window != nullptr; window = window->GetParent()) {
        if (window == root)
            return true;
    }
    return false;
}

void TButton::SetAction(std::unique_ptr<Action> action)
{
    mAction = std::move(action);
    if (mRunningAction)
        mReplacedWhileRunning = true;
}

void TButton::SetCommand(std::unique_ptr<TLuaFunction> function)
{
    SetAction(function ? std::make_unique<LuaAction>(std::move(function)) : nullptr);
}

// ---- sounds and mask ----

void TButton::SetSound(State state, const TString& name)
{
    if (state != State::Down && state != State::Over) {
        TraceLog("ui: button %s: state %d has no sound", GetName().CStr(), static_cast<int>(state));
        return;
    }
    TWindowServices* manager = GetWindowServices();
    TAssetManager* cache = manager != nullptr ? manager->GetHost().GetAssetManager() : nullptr;
    mSounds[static_cast<size_t>(state)] =
        name.Length() > 0 ? TSound::Get(cache, name, true, kSoundGroup) : nullptr;
}

const std::shared_ptr<TSound>& TButton::GetSound(State state) const
{
    static const std::shared_ptr<TSound> kNone;
    const auto index = static_cast<size_t>(state);
    return index < kSoundCount ? mSounds[index] : kNone;
}

void TButton::SetMask(const std::shared_ptr<TTexture>& texture)
{
    mMask.clear();
    mMaskWidth = 0;
    mMaskHeight = 0;
    uint32_t* pixels = nullptr;
    int pitch = 0;
    if (!texture || !texture->Lock(pixels, pitch))
        return;
    const int width = texture->GetWidth();
    const int height = texture->GetHeight();
    if (width > 0 && height > 0 && pitch >= width) {
        mMask.resize(size_t(width) * size_t(height));
        for (int y = 0; y < height; ++y) {
            const uint32_t* row = pixels + size_t(y) * size_t(pitch);
            std::copy(row, row + width, mMask.begin() + std::ptrdiff_t(y) * width);
        }
        mMaskWidth = width;
        mMaskHeight = height;
    }
    texture->Unlock();
}

// ---- label ----

// Among the children only: a button itself named "label" must not answer for its label.
TLabelWindow* TButton::FindLabel() const
{
    for (const std::unique_ptr<TWindow>& child : GetChildren()) {
        if (TWindow* found = child->FindChild("label"))
            return dynamic_cast<TLabelWindow*>(found);
    }
    return nullptr;
}

TString TButton::GetLabel() const
{
    const TLabelWindow* label = FindLabel();
    return label != nullptr ? label->GetLabel() : TString();
}

void TButton::SetLabel(const TString& text)
{
    if (TLabelWindow* label = FindLabel())
        label->SetLabel(text);
}
