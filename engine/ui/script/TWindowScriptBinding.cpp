#include "engine/ui/script/TWindowScriptBinding.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/Settings.h"
#include "engine/graphics/TRenderer.h"
#include "engine/platform/TTimeSource.h"
#include "engine/script/LuaBinder.h"
#include "engine/script/LuaMarshal.h"
#include "engine/script/LuaStackGuard.h"
#include "engine/script/TLuaFunction.h"
#include "engine/script/TLuaTable.h"
#include "engine/script/lua/LuaApi.h"
#include "engine/ui/manager/TWindowManager.h"
#include "engine/ui/message/MessageUserdata.h"
#include "engine/ui/message/TLuaMessageWrapper.h"
#include "engine/ui/message/TMessage.h"
#include "engine/ui/script/ScriptPosition.h"
#include "engine/ui/script/TWindowScript.h"
#include "engine/ui/widgets/TImage.h"
#include "engine/ui/widgets/WindowPicture.h"
#include "engine/ui/window/TButtonWindow.h"
#include "engine/ui/window/TLabelWindow.h"
#include "engine/ui/window/TModalWindow.h"
#include "engine/ui/window/TWindowManagerHost.h"

#include <cstring>

namespace {

TModalWindow* TopModal()
{
    TWindowManager* manager = GetWindowManager();
    return manager != nullptr ? manager->GetTopModal() : nullptr;
}

// The window of that name in the top modal window's subtree.
TWindow* FindFromTopModal(const TString& name)
{
    TModalWindow* top = TopModal();
    return top != nullptr ? top->FindChild(name) : nullptr;
}

// The same, then in the subtree of each ancestor up to the root; the first found.
TWindow* FindUpFromTopModal(const TString& name)
{
    for (TWindow* level = TopModal(); level != nullptr; level = level->GetParent()) {
        if (TWindow* found = level->FindChild(name))
            return found;
    }
    return nullptr;
}

// The window of that name in window's own part of the tree: the modal windows pushed
// over it (its children too) are left out.
TWindow* FindOnLevel(TWindow* window, const TString& name)
{
    if (window->GetName() == name)
        return window;
    for (const std::unique_ptr<TWindow>& child : window->GetChildren()) {
        if ((child->GetFlags() & TWindow::kModalRoot) != 0)
            continue;
        if (TWindow* found = FindOnLevel(child.get(), name))
            return found;
    }
    return nullptr;
}

TButtonWindow* AsButton(TWindow* window)
{
    return dynamic_cast<TButtonWindow*>(window);
}

TString GetLabel(TString name)
{
    if (TopModal() == nullptr)
        return TString();
    TWindow* window = FindFromTopModal(name);
    if (window == nullptr)
        return name + "_is_not_found";
    if (auto* labelled = dynamic_cast<TLabelWindow*>(window))
        return labelled->GetLabel();
    return name + "_is_not_a_TText_window_or_TButton";
}

void SetLabel(TString name, TString text)
{
    if (auto* labelled = dynamic_cast<TLabelWindow*>(FindFromTopModal(name)))
        labelled->SetLabel(text);
}

// (name, file, scale)
int SetBitmap(lua_State* L)
{
    const TString name = GetLuaStringArg(L, 1);
    const TString file = GetLuaStringArg(L, 2);
    const auto scale = static_cast<float>(lua_tonumber(L, 3));
    auto* image = WindowCast<TImage>(FindFromTopModal(name));
    if (image == nullptr)
        return 0;
    const TString asker =
        DescribeAsker(TString("SetBitmap \"") + name + "\"", FindScriptFilePosition(L));
    image->SetImage(LoadWindowPicture(file, 0, asker), scale);
    return 0;
}

void SetPosition(TString name, int x, int y)
{
    TWindow* window = FindFromTopModal(name);
    if (window == nullptr)
        return;
    const TWindow* parent = window->GetParent();
    int width = window->GetWidth();
    int height = window->GetHeight();
    window->ResolveCoordinate(x, width, parent != nullptr ? parent->GetWidth() : 0, false, false,
                              false);
    window->ResolveCoordinate(y, height, parent != nullptr ? parent->GetHeight() : 0, false, false,
                              false);
    window->MoveTo(x, y);
}

// (name, function): the last argument becomes the button's command.
int SetCommand(lua_State* L)
{
    const TString name = GetLuaStringArg(L, 1);
    auto function = std::make_unique<TLuaFunction>(L);
    if (TButtonWindow* button = AsButton(FindFromTopModal(name)))
        button->SetCommand(std::move(function));
    return 0;
}

void FillRect(TLuaTable* rect, TLuaTable* color)
{
    TWindowManager* manager = GetWindowManager();
    const TWindow* root = manager != nullptr ? manager->GetRootWindow() : nullptr;
    if (root == nullptr || rect == nullptr || color == nullptr)
        return;
    const auto side = [rect](int index) {
        return LuaBinding::ToInteger<int>(rect->GetNumberByIndex(index, 0));
    };
    const auto channel = [color](int index) {
        return static_cast<float>(color->GetNumberByIndex(index, 0));
    };
    TRect area(side(1), side(2), side(3), side(4));
    area.Intersect(area, root->GetRect());
    TRenderer* renderer = TRenderer::Get();
    renderer->PushClipRect(area);
    renderer->FillRect(area, TColor(channel(1), channel(2), channel(3), channel(4)));
    renderer->PopClipRect();
}

uint32_t GetTimer()
{
    TWindowManager* manager = GetWindowManager();
    return manager != nullptr ? manager->GetHost().GetTimer() : TTimeSource::Now();
}

TString GetConfigSetting(TString name, TString defaultValue)
{
    return GetConfig(name, defaultValue);
}

bool IsSettingEnabled(TString name)
{
    return IsEnabled(name);
}

bool EnableWindow(TString name, bool enable)
{
    TWindow* window = FindUpFromTopModal(name);
    if (window == nullptr)
        return false;
    const unsigned int flags = window->GetFlags();
    window->SetFlags(enable ? flags | TWindow::kShown : flags & ~TWindow::kShown);
    if (!enable && AsButton(window) != nullptr)
        window->OnMouseExit();
    InvalidateWindows();
    return true;
}

bool GetButtonToggleState(TString name)
{
    TButtonWindow* button = AsButton(FindUpFromTopModal(name));
    return button != nullptr && button->GetToggleState();
}

// Each level's own button: a plain subtree search from an ancestor would find the one
// of the modal window over it again, and the ancestor's own would never be set.
void SetButtonToggleState(TString name, bool on)
{
    for (TWindow* level = TopModal(); level != nullptr; level = level->GetParent()) {
        if (TButtonWindow* button = AsButton(FindOnLevel(level, name)))
            button->SetToggleState(on);
    }
}

bool StringToClipboard(TString text)
{
    TWindowManager* manager = GetWindowManager();
    return manager != nullptr && manager->GetHost().SetClipboardText(text);
}

void UpdateWindow()
{
    InvalidateWindows();
}

TString PushModal(TString name)
{
    TWindowManager* manager = GetWindowManager();
    if (manager == nullptr)
        return TString();
    auto modal = std::make_unique<TModalWindow>();
    modal->SetName(name);
    return manager->PushModal(std::move(modal))->GetIdString();
}

void ClearModalChildren()
{
    TModalWindow* top = TopModal();
    if (top == nullptr) {
        TraceLog(kWithoutModalLog, "ClearModalChildren");
        return;
    }
    top->StopTasks();
    top->DeleteChildren();
    top->SetSize(0, 0);
    top->MoveTo(0, 0);
}

int GetWindowDepth()
{
    int depth = 0;
    for (const TWindow* level = TopModal(); level != nullptr; level = level->GetParent())
        ++depth;
    return depth;
}

void DoPopModal(TString name)
{
    if (TWindowManager* manager = GetWindowManager())
        manager->DoPopModal(name);
}

int CreateNamedMessage(lua_State* L)
{
    const int type = LuaBinding::ToInteger<int>(lua_tonumber(L, 1));
    PushMessageUserdata(L, std::make_unique<TMessage>(type, GetLuaStringArg(L, 2)));
    return 1;
}

// The message value (argument 1) wrapped for the queue; null, logged, for anything else.
std::unique_ptr<TLuaMessageWrapper> WrapPostedMessage(lua_State* L, const char* function)
{
    lua_settop(L, 1);
    if (ToMessage(L, 1) == nullptr) {
        TraceLog("ui: window script: %s needs a message, not a %s value", function,
                 lua_typename(L, lua_type(L, 1)));
        return nullptr;
    }
    return std::make_unique<TLuaMessageWrapper>(L);
}

int PostMessage(lua_State* L)
{
    std::unique_ptr<TLuaMessageWrapper> message = WrapPostedMessage(L, "PostMessage");
    TWindowManager* manager = GetWindowManager();
    if (message && manager != nullptr)
        manager->QueueMessage(std::move(message));
    return 0;
}

int PostMessageToParent(lua_State* L)
{
    std::unique_ptr<TLuaMessageWrapper> message = WrapPostedMessage(L, "PostMessageToParent");
    TWindowManager* manager = GetWindowManager();
    TModalWindow* top = TopModal();
    if (!message || manager == nullptr)
        return 0;
    if (top == nullptr) {
        TraceLog(kWithoutModalLog, "PostMessageToParent");
        return 0;
    }
    message->SetTarget(top->GetParent());
    manager->QueueMessage(std::move(message));
    return 0;
}

TString GetString(TString label, TString a1, TString a2, TString a3, TString a4, TString a5)
{
    TWindowManager* manager = GetWindowManager();
    if (manager == nullptr)
        return TString("#####");
    return manager->GetHost().GetString(label, {a1, a2, a3, a4, a5});
}

bool ImageLoaded(TString name)
{
    const TImage* image = WindowCast<TImage>(FindFromTopModal(name));
    return image != nullptr && image->GetTexture() != nullptr;
}

// ---- errors in commands ----

constexpr int kTracebackLines = 16;

// "source:line: in function `name'" and the like, as Lua tracebacks write a frame.
TString FrameText(lua_State* L, lua_Debug& frame)
{
    lua_getinfo(L, "Snl", &frame);
    TString where = frame.currentline > 0
                        ? TString::Printf("%s:%d:", frame.short_src, frame.currentline)
                        : TString::Printf("%s:", frame.short_src);
    if (std::strcmp(frame.what, "main") == 0)
        return where + " in main chunk";
    if (frame.name != nullptr)
        return where + TString::Printf(" in function `%s'", frame.name);
    if (std::strcmp(frame.what, "C") == 0)
        return where + " ?";
    return where + TString::Printf(" in function <%s:%d>", frame.short_src, frame.linedefined);
}

// The frames of L from level on, one per line after a tab; a run of tail calls is one
// line, and after kTracebackLines lines the rest is "...".
TString Traceback(lua_State* L, int level)
{
    TString text;
    int lines = 0;
    bool inTailCalls = false;
    lua_Debug frame;
    for (; lua_getstack(L, level, &frame) != 0; ++level) {
        const bool tailCall = frame.i_ci == 0;
        if (tailCall && inTailCalls)
            continue;
        inTailCalls = tailCall;
        if (lines++ == kTracebackLines) {
            text += "\n\t...";
            break;
        }
        text += "\n\t";
        text += tailCall ? TString("(tail calls)") : FrameText(L, frame);
    }
    return text;
}

// Where the function at index was defined. A closure made by GetClosure (a call
// delivered into the dialog coroutine) is described by the function it calls.
TString FunctionText(lua_State* L, int index)
{
    LuaStackGuard guard(L);
    lua_pushvalue(L, index);
    lua_pushstring(L, "GetClosure");
    lua_gettable(L, LUA_GLOBALSINDEX);
    lua_Debug closure;
    lua_Debug maker;
    if (lua_isfunction(L, -1) && lua_isfunction(L, -2)) {
        lua_getinfo(L, ">S", &maker);
        lua_pushvalue(L, -1);
        lua_getinfo(L, ">S", &closure);
        const char* upvalue = lua_getupvalue(L, -1, 1);
        if (upvalue != nullptr && std::strcmp(upvalue, "f") == 0 && lua_isfunction(L, -1) &&
            std::strcmp(closure.source, maker.source) == 0)
            lua_remove(L, -2);
    }
    lua_settop(L, guard.Top() + 1);
    if (!lua_isfunction(L, -1))
        return TString::Printf("a %s value", lua_typename(L, lua_type(L, -1)));
    lua_Debug frame;
    lua_getinfo(L, ">S", &frame);
    if (std::strcmp(frame.what, "C") == 0)
        return "a C function";
    if (std::strcmp(frame.what, "main") == 0)
        return TString::Printf("the chunk %s", frame.short_src);
    return TString::Printf("the function at %s:%d", frame.short_src, frame.linedefined);
}

// (message, command): RunCommand's report of a command that raised an error; logged
// with what the command was and the frames of the dialog coroutine that ran it.
int ReportCommandError(lua_State* L)
{
    lua_settop(L, 2);
    const TString message =
        lua_isstring(L, 1) || lua_iswstring(L, 1)
            ? GetLuaStringArg(L, 1)
            : TString::Printf("(error object is a %s value)", lua_typename(L, lua_type(L, 1)));
    TraceLog("ui: window script: a command failed, and the dialog goes on waiting: %s\n\t"
             "the command: %s\n\tthe dialog ran it from:%s",
             message.CStr(), FunctionText(L, 2).CStr(), Traceback(L, 1).CStr());
    return 0;
}

} // namespace

void PublishWindowScript(lua_State* L, TWindowScript& script, const TLifeline& lifeline)
{
    Publish<&TWindowScript::PostCreate>(L, "PostCreate", script, lifeline);
    Publish<&GetLabel>(L, "GetLabel");
    Publish<&SetLabel>(L, "SetLabel");
    Publish<&SetBitmap>(L, "_SetBitmap");
    Publish<&SetPosition>(L, "SetPosition");
    Publish<&SetCommand>(L, "SetCommand");
    Publish<&TWindowScript::SetWindowName>(L, "SetWindowName", script, lifeline);
    Publish<&FillRect>(L, "FillRect");
    Publish<&GetTimer>(L, "GetTimer");
    Publish<&GetConfigSetting>(L, "GetConfig");
    Publish<&IsSettingEnabled>(L, "IsEnabled");
    Publish<&TWindowScript::DoSelectLayer>(L, "DoSelectLayer", script, lifeline);
    Publish<&EnableWindow>(L, "EnableWindow");
    Publish<&GetButtonToggleState>(L, "GetButtonToggleState");
    Publish<&SetButtonToggleState>(L, "SetButtonToggleState");
    Publish<&TWindowScript::PopWindow>(L, "PopWindow", script, lifeline);
    Publish<&TWindowScript::RealSetFocus>(L, "RealSetFocus", script, lifeline);
    Publish<&StringToClipboard>(L, "StringToClipboard");
    Publish<&UpdateWindow>(L, "UpdateWindow");
    Publish<&PushModal>(L, "PushModal");
    Publish<&ClearModalChildren>(L, "ClearModalChildren");
    Publish<&GetWindowDepth>(L, "GetWindowDepth");
    Publish<&DoPopModal>(L, "DoPopModal");
    Publish<&TWindowScript::HandleGetMessage>(L, "HandleGetMessage", script, lifeline);
    Publish<&TWindowScript::GenericCreate>(L, "GenericCreate", script, lifeline);
    Publish<&CreateNamedMessage>(L, "CreateNamedMessage");
    Publish<&TWindowScript::CreateCloseMessage>(L, "CreateCloseMessage", script, lifeline);
    Publish<&PostMessage>(L, "PostMessage");
    Publish<&PostMessageToParent>(L, "PostMessageToParent");
    Publish<&GetString>(L, "_GetString");
    Publish<&TWindowScript::StartMovie>(L, "StartMovie", script, lifeline);
    Publish<&TWindowScript::IsMoviePlaying>(L, "IsMoviePlaying", script, lifeline);
    Publish<&TWindowScript::StopMovie>(L, "StopMovie", script, lifeline);
    Publish<&ImageLoaded>(L, "ImageLoaded");
    Publish<&TWindowScript::DestroyWindow>(L, "DestroyWindow", script, lifeline);
    Publish<&TWindowScript::DoFitToChildren>(L, "DoFitToChildren", script, lifeline);
    Publish<&ReportCommandError>(L, "_ReportCommandError");
}
