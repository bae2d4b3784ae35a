#include "engine/ui/script/TWindowScript.h"

#include "engine/foundation/assets/TAssetMap.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/script/LuaBinder.h"
#include "engine/script/LuaStackGuard.h"
#include "engine/script/TEmbeddedScript.h"
#include "engine/script/TGameStateBinding.h"
#include "engine/script/TLuaFunction.h"
#include "engine/script/TLuaTable.h"
#include "engine/script/TScriptCode.h"
#include "engine/script/lua/LuaApi.h"
#include "engine/script/lua/LuaAux.h"
#include "engine/ui/manager/TWindowManager.h"
#include "engine/ui/message/MessageUserdata.h"
#include "engine/ui/message/TLuaMessageWrapper.h"
#include "engine/ui/message/TMessage.h"
#include "engine/ui/script/TLuaWindowStyle.h"
#include "engine/ui/script/TWindowScriptBinding.h"
#include "engine/ui/widgets/TButton.h"
#include "engine/ui/widgets/TFlashMovie.h"
#include "engine/ui/widgets/TImage.h"
#include "engine/ui/widgets/TSlider.h"
#include "engine/ui/widgets/TText.h"
#include "engine/ui/widgets/TTextEdit.h"
#include "engine/ui/widgets/TXSellWindow.h"
#include "engine/ui/window/TLayeredWindow.h"

#include <algorithm>

// The window script library, from screeninit.lua.
extern const TEmbeddedScript kScreenInitScript;

namespace {

constexpr const char* kQueueMessageText =
    "table.insert(gMessageQueue,gMessageToQueue); gMessageToQueue=nil;";
constexpr const char* kQueueCommandText =
    "table.insert(gCommandQueue,gMessageCommand); gMessageCommand=nil;";
constexpr const char* kCreatorText =
    "function %s( table )\tCreating( '%s', table );\ttable.typename='%s';\n"
    "\treturn function() DoWindow( table ) end end;";

void SetGlobal(lua_State* L, const char* name)
{
    lua_pushstring(L, name);
    lua_insert(L, -2);
    lua_settable(L, LUA_GLOBALSINDEX);
}

void SetGlobalNumber(lua_State* L, const char* name, double value)
{
    lua_pushnumber(L, value);
    SetGlobal(L, name);
}

} // namespace

TWindowScript::TWindowScript(lua_State* L, TAssetManager* codeCache) : TScript(L)
{
    if (codeCache != nullptr) {
        RegisterScriptCodeLoader(codeCache);
        mOwnsCodeLoader = true;
    }
    if (!IsValid())
        return;
    lua_State* state = GetState();
    LuaStackGuard guard(state);
    PublishWindowScript(state, *this, mLifeline);
    PublishGameState(state);
    RegisterEngineWindowTypes();
    RegisterMessageMetatable(state);
    RunLibrary();
}

TWindowScript::~TWindowScript()
{
    StopMovie();
    mTypes.clear();
    mParents.clear();
    if (mOwnsCodeLoader)
        TAssetMap::RegisterLoader("lua", {});
}

void TWindowScript::RegisterEngineWindowTypes()
{
    RegisterWindowType("Slider", &TSlider::Create);
    RegisterWindowType("Bitmap", &TImage::Create);
    RegisterWindowType("Button", &TButton::Create);
    RegisterWindowType("Text", &TText::Create);
    RegisterWindowType("TextEdit", &TTextEdit::Create);
    RegisterWindowType("Window", &TWindow::Create);
    RegisterWindowType("XSellWindow", &TXSellWindow::Create);
}

void TWindowScript::RunLibrary()
{
    lua_State* L = GetState();
    LuaStackGuard guard(L);
    if (kScreenInitScript.Run(L) != 0)
        TraceLog("ui: window script: the library %s did not run", kScreenInitScript.mChunkName);
}

// ---- the parent stack ----

TWindow* TWindowScript::GetCurrentWindow() const
{
    return mParents.empty() ? nullptr : mParents.back();
}

void TWindowScript::ResetParentStack(TWindow* window)
{
    mParents.clear();
    if (window != nullptr)
        mParents.push_back(window);
}

void TWindowScript::PushParent(TWindow* window)
{
    mParents.push_back(window);
}

void TWindowScript::PopParent()
{
    PopWindow();
}

void TWindowScript::PopWindow()
{
    if (mParents.size() > 1)
        mParents.pop_back();
}

// Blanked rather than removed, so that the pushes and pops of the scripts still pair.
void TWindowScript::ForgetParent(TWindow* window)
{
    if (window == nullptr)
        return;
    for (TWindow*& entry : mParents) {
        if (entry == window || window->IsAncestorOf(entry))
            entry = nullptr;
    }
}

// ---- window types and creation ----

void TWindowScript::RegisterWindowType(const TString& typeName, TWindowCreator creator)
{
    if (IsValid()) {
        const char* name = typeName.CStr();
        const TString text = TString::Printf(kCreatorText, name, name, name);
        LuaStackGuard guard(GetState());
        lua_dostring(GetState(), text.CStr());
    }
    mTypes[typeName] = creator;
}

bool TWindowScript::CreateWindowFromTable(TLuaTable& table, lua_State* builder)
{
    TLuaWindowStyle style(*this, table);
    const TString typeName = style.GetString("typename", "");
    const auto found = mTypes.find(typeName);
    if (found == mTypes.end() || found->second == nullptr) {
        TraceLog(kNoWindowTypeLog, typeName.CStr());
        return false;
    }
    if (GetCurrentWindow() == nullptr) {
        TraceLog("ui: window script: no current window to put a %s into", typeName.CStr());
        return false;
    }
    std::unique_ptr<TWindow> window = found->second();
    if (!window) {
        TraceLog("ui: window script: the creator of %s made no window", typeName.CStr());
        return false;
    }
    return CreateWindowFromTable(std::move(window), table, builder);
}

bool TWindowScript::CreateWindowFromTable(std::unique_ptr<TWindow> window, TLuaTable& table,
                                          lua_State* builder)
{
    TWindow* parent = GetCurrentWindow();
    if (parent == nullptr || !window) {
        TraceLog("ui: window script: no current window to put a new window into");
        return false;
    }
    TWindow* created = window.get();
    if (const std::unique_ptr<TWindow> refused = parent->AdoptChild(std::move(window), true)) {
        TraceLog("ui: window script: a %s refused to join %s", created->GetClassName(),
                 parent->GetName().CStr());
        return false;
    }
    TLuaWindowStyle style(*this, table, builder);
    created->Init(style);
    mParents.push_back(created);
    if (IsValid()) {
        lua_State* L = GetState();
        LuaStackGuard guard(L);
        SetGlobalNumber(L, "gDialogWidth", created->GetWidth());
        SetGlobalNumber(L, "gDialogHeight", created->GetHeight());
    }
    return true;
}

int TWindowScript::GenericCreate(lua_State* L)
{
    lua_settop(L, 1);
    TLuaTable table(L);
    lua_pushboolean(L, CreateWindowFromTable(table, L) ? 1 : 0);
    return 1;
}

void TWindowScript::PostCreate(TLuaTable* style, const TString&)
{
    TWindow* window = GetCurrentWindow();
    if (window == nullptr || style == nullptr) {
        TraceLog("ui: window script: PostCreate without a current window");
        return;
    }
    TLuaWindowStyle view(*this, *style);
    window->PostChildrenInit(view);
}

// ---- the current window ----

void TWindowScript::SetWindowName(const TString& name)
{
    if (TWindow* window = GetCurrentWindow())
        window->SetName(name);
}

void TWindowScript::DoSelectLayer(int layer)
{
    if (auto* layered = WindowCast<TLayeredWindow>(GetCurrentWindow()))
        layered->SelectLayer(layer);
}

void TWindowScript::RealSetFocus(const TString& name)
{
    TWindow* window = GetCurrentWindow();
    TWindow* found = window != nullptr ? window->FindChild(name) : nullptr;
    if (TWindowManager* manager = GetWindowManager())
        manager->SetFocusWindow(found);
}

void TWindowScript::DestroyWindow(const TString& name)
{
    TWindow* window = GetCurrentWindow();
    TWindow* found = window != nullptr ? window->FindChild(name) : nullptr;
    if (found == nullptr || found->GetParent() == nullptr)
        return;
    std::unique_ptr<TWindow> removed = found->GetParent()->RemoveChild(found);
    if (TWindowManager* manager = GetWindowManager()) {
        manager->ScheduleDelete(std::move(removed));
    } else {
        ForgetParent(found);
        removed.reset();
    }
}

void TWindowScript::DoFitToChildren()
{
    if (TWindow* window = GetCurrentWindow())
        window->FitToChildren();
}

int TWindowScript::CreateCloseMessage(lua_State* L)
{
    TWindow* window = GetCurrentWindow();
    const TString name = window != nullptr ? window->GetIdString() : TString();
    PushMessageUserdata(L, std::make_unique<TMessage>(TMessage::kCloseWindow, name));
    return 1;
}

// ---- movies ----

bool TWindowScript::StartMovie(const TString& file, bool translate, bool allowInput)
{
    if (file.Length() == 0)
        return false;
    StopMovie();
    mMovie = std::make_unique<TFlashMovie>(file);
    if (!mMovie->Start(false, translate, allowInput)) {
        mMovie.reset();
        return false;
    }
    return true;
}

bool TWindowScript::IsMoviePlaying()
{
    return mMovie && mMovie->IsPlaying();
}

void TWindowScript::StopMovie()
{
    if (!mMovie)
        return;
    mMovie->Stop();
    mMovie.reset();
}

void TWindowScript::EndMovie()
{
    if (!mMovie || !IsValid())
        return;
    StopMovie();
    if (!IsSuspended() || mWaiting != TWaiting::ForMessage)
        return;
    // The waiting coroutine sees no message, as after a time-out.
    lua_State* L = GetState();
    LuaStackGuard guard(L);
    CheckResume(Resume(0));
}

// ---- messages and the dialog coroutine ----

bool TWindowScript::SetTranslateLabels(bool translate)
{
    const bool previous = mTranslateLabels;
    mTranslateLabels = translate;
    return previous;
}

int TWindowScript::HandleGetMessage(lua_State* L)
{
    // Outside the dialog coroutine, or under a protected call or dofile, nothing can be
    // waited for; a wait that returned at once would leave loops spinning.
    if (lua_canyield(L) == 0)
        return luaL_error(L, "HandleGetMessage: cannot wait for messages here (only the "
                             "dialog coroutine can, and not inside pcall or dofile)");
    if (lua_gettop(L) == 1) {
        const int timeout = lua_isnumber(L, 1) ? LuaBinding::ToInteger<int>(lua_tonumber(L, 1)) : 0;
        Start(timeout, true, true, false);
    } else {
        Stop();
    }
    mWaiting = TWaiting::ForMessage;
    mReportedDead = false;
    lua_settop(L, 0);
    lua_pushstring(L, "gYieldResult");
    lua_gettable(L, LUA_GLOBALSINDEX);
    return lua_yield(L, 1);
}

void TWindowScript::DeliverMessage(std::unique_ptr<TMessage> message,
                                   std::unique_ptr<TLuaFunction> function)
{
    if (!IsValid())
        return;
    lua_State* L = GetState();
    LuaStackGuard guard(L);
    if (!IsSuspended()) {
        QueueInScript(std::move(message), std::move(function));
        return;
    }
    if (mWaiting != TWaiting::ForMessage) {
        // Suspended somewhere else: the command runs now, the message is not wanted.
        if (function)
            function->Call();
        return;
    }
    if (message)
        PushMessageValue(std::move(message));
    else
        PushMessageUserdata(L, std::make_unique<TMessage>(TMessage::kLuaAction, ""));
    int count = 1;
    if (function) {
        function->Push(L);
        ++count;
    }
    CheckResume(Resume(count));
}

void TWindowScript::QueueInScript(std::unique_ptr<TMessage> message,
                                  std::unique_ptr<TLuaFunction> function)
{
    lua_State* L = GetState();
    if (message) {
        PushMessageValue(std::move(message));
        SetGlobal(L, "gMessageToQueue");
        DoLuaString(kQueueMessageText);
    }
    if (function) {
        function->Push(L);
        SetGlobal(L, "gMessageCommand");
        DoLuaString(kQueueCommandText);
    }
}

void TWindowScript::PushMessageValue(std::unique_ptr<TMessage> message)
{
    lua_State* L = GetState();
    if (message->IsKindOf(TLuaMessageWrapper::ClassId())) {
        const auto* wrapper = static_cast<const TLuaMessageWrapper*>(message.get());
        if (wrapper->IsStateOpen() && wrapper->GetState() == L) {
            wrapper->Push(L);
            return;
        }
    }
    PushMessageUserdata(L, std::move(message));
}

bool TWindowScript::DeliverClosure()
{
    lua_State* L = GetState();
    if (mWaiting != TWaiting::ForMessage) {
        lua_pop(L, 1);
        return false;
    }
    lua_pushnil(L);
    lua_insert(L, -2);
    const int status = Resume(2);
    CheckResume(status);
    return status == 0;
}

bool TWindowScript::Animate()
{
    // A dialog flow that ended by itself is done, not resumed into an error.
    if (!IsSuspended()) {
        Stop();
        return true;
    }
    const int status = Resume(0);
    CheckResume(status);
    if (status != 0 || !IsSuspended())
        Stop();
    return true;
}

void TWindowScript::CheckResume(int status)
{
    if (status == 0)
        return;
    mWaiting = TWaiting::Dead;
    if (mReportedDead)
        return;
    mReportedDead = true;
    TraceLog("ui: window script: dialog code failed and its coroutine has died; the "
             "dialogs no longer react, and messages collect in gMessageQueue");
}
