#include "engine/foundation/app/TPlatform.h"

#include "engine/foundation/app/MachineId.h"
#include "engine/foundation/app/TEvent.h"
#include "engine/foundation/app/TPlatformData.h"
#include "engine/foundation/core/CreateGuid.h"
#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/core/Settings.h"
#include "engine/foundation/core/TCommandLine.h"
#include "engine/foundation/core/TTaskList.h"
#include "engine/foundation/core/WebLink.h"
#include "engine/foundation/files/TPathMap.h"
#include "engine/foundation/host/TGameState.h"
#include "engine/foundation/host/TMsnZylomHandler.h"
#include "engine/foundation/seams/TEngineSeams.h"
#include "engine/foundation/xml/TStringTable.h"
#include "engine/foundation/xml/TXmlNode.h"
#include "engine/platform/TEventSource.h"
#include "engine/platform/TNativeWindow.h"
#include "engine/platform/TProcessLauncher.h"
#include "engine/platform/TVideoSystem.h"

#include <cstdlib>
#include <cstring>

namespace {

TPlatform* sInstance = nullptr;

// 8-bit text is Latin-1 here; the window system speaks UTF-8.
std::string Latin1ToUtf8(const TString& text)
{
    std::string utf8;
    for (int i = 0; i < text.Length(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text.CharAt(i));
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else {
            utf8 += static_cast<char>(0xc0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3f));
        }
    }
    return utf8;
}

// UTF-8 to Latin-1; characters beyond Latin-1 become "?".
TString Utf8ToLatin1(const std::string& utf8)
{
    TString text;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : 4;
        if (i + length > utf8.size())
            break;
        uint32_t codepoint = length == 1 ? lead : lead & (0x7f >> length);
        for (int k = 1; k < length; ++k)
            codepoint = (codepoint << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3f);
        i += length;
        const char latin1 = static_cast<char>(codepoint <= 0xff ? codepoint : '?');
        text += TString(&latin1, 1);
    }
    return text;
}

// What the web-site host bridge needs of the platform while the facade exists.
THostBridgeHooks MakeHostBridgeHooks(TPlatformData& data)
{
    THostBridgeHooks hooks;
    hooks.pauseCursor = [&data](bool paused) {
        data.ShowMouse(!paused);
        data.GetVideoSystem().ShowSystemCursor(paused);
    };
    hooks.releaseMouseCapture = [&data] {
        if (TNativeWindow* window = data.GetMainWindow())
            window->CaptureMouse(false);
    };
    return hooks;
}

void OnSettingWritten(const TString& name, const TString& value)
{
    if (sInstance != nullptr)
        sInstance->GetData().OnSettingChanged(name, value);
}

} // namespace

TPlatform::TPlatform(std::unique_ptr<TPlatformData> data)
{
    sInstance = this;
    mRefreshTasks = std::make_unique<TTaskList>();
    SetConfig("memorymax", "100000000");
    SetConfig("texturememorymax", "100000000");
    SetConfig("utf8modeinit", GetConfig("utf8mode", ""));
    mData = std::move(data);
    SetSettingWriteHook(OnSettingWritten);
    TMsnZylomHandler::SetHooks(MakeHostBridgeHooks(*mData));
    TGameState::SetFacadePresent(true);
    SeedRandom();
    if (TWindowManagerSeam* windowManager = mData->GetWindowManager())
        windowManager->AttachScript(TEngineSeams::CreateWindowScript());
    SetConfig("computerid", GetMachineId());
    LoadSettingsFile();
    SetDataFolders(mData->GetUserFolder(), mData->GetCommonFolder(), mData->GetDesktopFolder());
    // Only the exact value "1" means hosted here; "2" or " 1" still scan the data folders.
    TPathMap::Get().SetEmbedded(GetConfig("activex", "") == TString("1"));
    TPathMap::Get().SetFirstPeek(IsEnabled("firstpeek"));
    LoadFinalList();
    LoadStringTables();
    mData->PublishBuildTag();
    TraceLog("%s, version %s.", mData->GetProductName().CStr(), mData->GetVersion().CStr());
    SetConfig("gamename", mData->GetProductName());
    SetConfig("version", mData->GetVersion());
}

TPlatform::~TPlatform()
{
    TraceLog("shutdown: window manager");
    mData->TakeWindowManager().reset();
    mData->GetTaskList().DeleteAll();
    TraceLog("shutdown: sound manager");
    mData->TakeSoundManager().reset();
    mData->TakeVectorDraw().reset();
    TraceLog("shutdown: renderer and display");
    mData->TakeRenderer().reset();
    sInstance = nullptr;
    SetSettingWriteHook(nullptr);
    TMsnZylomHandler::SetHooks(THostBridgeHooks());
    TraceLog("shutdown: game state, string table, platform");
    TGameState::Destroy();
    TGameState::SetFacadePresent(false);
    mData->DeleteStringTableAndAssets();
    mData.reset();
    ClearSettings();
    TPathMap::Get().Clear();
    mRefreshTasks.reset();
}

TPlatform* TPlatform::GetInstance()
{
    return sInstance;
}

// Four words for the platform generator, each from three calls of the C library's rand.
void TPlatform::SeedRandom()
{
    uint32_t words[4];
    for (uint32_t& word : words) {
        const uint32_t a = static_cast<uint32_t>(std::rand());
        const uint32_t b = static_cast<uint32_t>(std::rand());
        const uint32_t c = static_cast<uint32_t>(std::rand());
        word = (a * 8u) * b + (c >> 3);
    }
    mData->GetRandom().SeedByArray(words, 4);
}

// "::assets/settings.xml": each child element of "settings" is a key and its text the
// value, in document order. A missing file is no error.
void TPlatform::LoadSettingsFile()
{
    TXmlNode root;
    if (!root.LoadFile("::assets/settings.xml"))
        return;
    TXmlNode* settings = root.FindChild("settings");
    if (settings == nullptr)
        return;
    settings->ResetChildIterator();
    TString name;
    TXmlNode* child = nullptr;
    while (settings->NextChild(name, child))
        SetConfig(child->GetName(), child->GetText());
}

// "strings.xml", then every "string*.xml" of the user and then the common folder.
void TPlatform::LoadStringTables()
{
    TStringTable& table = mData->GetStringTable();
    if (table.LoadReplacing("strings.xml")) {
        if (TWindowManagerSeam* windowManager = mData->GetWindowManager())
            windowManager->SetTranslateLabels(true);
    }
    for (const char* prefix : {"user:", "common:"}) {
        const int prefixLength = static_cast<int>(std::strlen(prefix));
        TString cursor;
        while (EnumeratePathMap(prefix, cursor, false)) {
            if (cursor.Find("string") == prefixLength && cursor.Find(".xml") >= 0)
                table.Load(cursor);
        }
    }
}

TWindowManagerSeam* TPlatform::GetWindowManager()
{
    return mData->GetWindowManager();
}

TStringTable& TPlatform::GetStringTable()
{
    return mData->GetStringTable();
}

TAssetManager& TPlatform::GetAssetManager()
{
    return mData->GetAssetManager();
}

TSoundManagerSeam* TPlatform::GetSoundManager()
{
    return mData->GetSoundManager();
}

bool TPlatform::InitSound()
{
    if (!mData->GetSoundManager()) {
        mData->SetSoundManager(TEngineSeams::CreateSoundManager());
        // The window system outlives the sound manager (see the destructor).
        if (TSoundManagerSeam* sound = mData->GetSoundManager();
            sound && mData->HasWindowSystem()) {
            TEventSource& events = mData->GetEventSource();
            sound->SetNotificationWake([&events] { events.Wake(); });
        }
    }
    TSoundManagerSeam* sound = mData->GetSoundManager();
    return sound != nullptr && sound->Init();
}

TRendererSeam* TPlatform::CreateRenderer()
{
    if (!mData->GetRenderer())
        mData->SetRenderer(TEngineSeams::CreateRenderer());
    return mData->GetRenderer();
}

TRendererSeam* TPlatform::GetRenderer()
{
    return mData->GetRenderer();
}

TTaskList& TPlatform::GetTaskList()
{
    return mData->GetTaskList();
}

void TPlatform::AddTask(std::unique_ptr<TTask> task)
{
    mData->GetTaskList().AddTask(std::move(task));
}

std::unique_ptr<TTask> TPlatform::RemoveTask(TTask* task)
{
    return mData->GetTaskList().RemoveTask(task);
}

void TPlatform::AddRefreshTask(std::unique_ptr<TTask> task)
{
    mRefreshTasks->AddTask(std::move(task));
}

std::unique_ptr<TTask> TPlatform::RemoveRefreshTask(TTask* task)
{
    return mRefreshTasks->RemoveTask(task);
}

void TPlatform::RunRefreshTasks()
{
    mRefreshTasks->RunAll(kPassEveryTurn);
}

uint32_t TPlatform::GetTimer()
{
    return mData->GetTimer();
}

void TPlatform::Sleep(int milliseconds)
{
    mData->Sleep(milliseconds);
}

void TPlatform::PostQuitMessage(int)
{
    mData->GetPump().PostQuit();
}

bool TPlatform::IsQuitPending()
{
    return mData->GetPump().IsQuitPending();
}

uint32_t TPlatform::Random()
{
    return mData->GetRandom().NextUInt32();
}

void TPlatform::GetEvent(TEvent& event)
{
    mData->GetPump().GetEvent(event);
}

bool TPlatform::CreateMainWindow()
{
    return mData->CreateMainWindow();
}

void TPlatform::ShowMainWindow()
{
    if (TNativeWindow* window = mData->GetMainWindow())
        window->Show();
}

bool TPlatform::IsActive()
{
    TNativeWindow* window = mData->GetMainWindow();
    return window != nullptr && window->HasInputFocus();
}

bool TPlatform::IsFullScreen()
{
    return mData->IsFullScreen();
}

void TPlatform::ShowMouse(bool show)
{
    mData->ShowMouse(show);
}

bool TPlatform::IsPresentDone()
{
    TDisplaySeam* display = mData->GetDisplay();
    return display == nullptr || display->IsPresentDone();
}

void TPlatform::OutOfVideoMemory()
{
    if (TDisplaySeam* display = mData->GetDisplay())
        display->OutOfVideoMemory();
}

void TPlatform::SetWindowTitle(const TString& title)
{
    TNativeWindow* window = mData->GetMainWindow();
    if (window == nullptr)
        return;
    window->SetTitle(mData->IsUtf8ModeOn() ? std::string(title.CStr()) : Latin1ToUtf8(title));
}

void TPlatform::SetDisplay(int width, int height, bool fullScreen)
{
    TWindowManagerSeam* windowManager = mData->GetWindowManager();
    if (windowManager != nullptr && !windowManager->HasRootWindow())
        windowManager->CreateRootScreen(width, height);
    mData->SetDisplay(width, height, fullScreen);
    if (TRendererSeam* renderer = mData->GetRenderer()) {
        renderer->PopClipRect();
        renderer->PushClipRect(0, 0, width, height);
    }
}

void TPlatform::SetMouseImage(std::shared_ptr<TTexture> image, int hotX, int hotY, bool temporary)
{
    mData->SetMouseImage(std::move(image), hotX, hotY, temporary);
}

void TPlatform::OpenURL(const TString& url)
{
    if (!IsWebLink(url)) {
        TraceLog("link: \"%s\" is no http:// or https:// address with a host; not opened",
                 url.CStr());
        return;
    }
    if (!mData->IsHosted()) {
        mData->GetVideoSystem().OpenUrl(url.CStr());
        return;
    }
    const TString line = TCommandLine::GetCurrent();
    TString program = TCommandLine::GetHostProgram(line);
    if (!TCommandLine::Has(line, "-host=") || program.Length() == 0)
        program = "xdg-open";
    TProcessLauncher::Start({program.CStr(), url.CStr()});
}

bool TPlatform::StringToClipboard(const TString& text)
{
    const std::string utf8 = mData->IsUtf8ModeOn() ? std::string(text.CStr()) : Latin1ToUtf8(text);
    return mData->GetVideoSystem().SetClipboardText(utf8);
}

TString TPlatform::GetClipboardText()
{
    const std::string utf8 = mData->GetVideoSystem().GetClipboardText();
    return mData->IsUtf8ModeOn() ? TString(utf8.c_str()) : Utf8ToLatin1(utf8);
}

bool IsDisplayReady()
{
    TPlatform* platform = TPlatform::GetInstance();
    TDisplaySeam* display = platform != nullptr ? platform->GetData().GetDisplay() : nullptr;
    return display != nullptr && display->IsValid();
}

void MakeUniqueId(uint8_t id[16])
{
    CreateGuid(id);
}

void SetDataFolders(const TString& user, const TString& common, const TString& desktop)
{
    TPathMap::Get().SetDataFolders(user, common, desktop);
}
