#pragma once

// A window manager over a fake host (a clock the test moves, the platform's state as the
// test sets it) and the renderer over a small in-memory back buffer; a style read from
// maps; probe windows that record what happens to them into one shared log; and a
// window script that records what reaches it.

#include "engine/foundation/app/TEvent.h"
#include "engine/foundation/core/TTaskList.h"
#include "engine/script/TLuaFunction.h"
#include "engine/ui/manager/TWindowManager.h"
#include "engine/ui/message/TMessage.h"
#include "engine/ui/window/TModalWindow.h"
#include "engine/ui/window/TScreen.h"
#include "engine/ui/window/TWindowManagerHost.h"
#include "engine/ui/window/TWindowScriptLink.h"
#include "engine/ui/window/TWindowStyle.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/graphics/RendererTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TFakeWindowHost final : public TWindowManagerHost
{
public:
    uint32_t GetTimer() override { return timer; }
    bool IsActive() override { return active; }
    bool IsFullScreen() override { return fullScreen; }
    bool IsPresentDone() override { return presentDone; }
    bool IsHosted() override { return hosted; }
    bool HasPqSwitch() override { return pqSwitch; }
    void PostQuitMessage(int) override { ++quitsPosted; }
    void RunMainTasks(TTaskPass pass) override { mainTasks.RunAll(pass); }
    bool AddMainTask(TTask* task) override
    {
        mainTasks.AddTask(std::unique_ptr<TTask>(task));
        return true;
    }
    bool IsDisplayReady() override { return displayReady; }
    TAssetManager* GetAssetManager() override { return nullptr; }
    TString GetString(const TString& label, const TStringArguments& arguments) override
    {
        lastArguments.clear();
        for (const TString& argument : arguments)
            lastArguments.emplace_back(argument.CStr());
        const auto at = strings.find(label.CStr());
        return at != strings.end() ? TString(at->second.c_str()) : TString("#####");
    }
    TString GetClipboardText() override { return clipboard.c_str(); }
    bool SetClipboardText(const TString& text) override
    {
        if (!clipboardWritable)
            return false;
        clipboard = text.CStr();
        return true;
    }
    void OpenURL(const TString& url) override { opened.emplace_back(url.CStr()); }

    uint32_t timer = 1000;
    bool active = true;
    bool fullScreen = false;
    bool presentDone = true;
    bool hosted = false;
    bool pqSwitch = false;
    bool displayReady = true;
    int quitsPosted = 0;
    TTaskList mainTasks;
    std::map<std::string, std::string> strings; // the string table
    std::vector<std::string> lastArguments;     // of the last GetString
    std::string clipboard;
    bool clipboardWritable = true;
    std::vector<std::string> opened; // web links, in order
};

// A style whose keys are numbers, texts or flags given by the test.
class TMapStyle final : public TWindowStyle
{
public:
    TMapStyle() = default;
    TMapStyle(std::initializer_list<std::pair<const std::string, double>> values) : numbers(values)
    {
    }

    double GetNumber(const char* key, double defaultValue) const override
    {
        const auto at = numbers.find(key);
        return at != numbers.end() ? at->second : defaultValue;
    }
    TString GetString(const char* key, const TString& defaultValue) const override
    {
        const auto at = strings.find(key);
        return at != strings.end() ? TString(at->second.c_str()) : defaultValue;
    }
    TColor GetColor(const char*, const TColor& defaultValue) const override { return defaultValue; }
    bool GetBool(const char* key, bool defaultValue) const override
    {
        const auto at = numbers.find(key);
        return at != numbers.end() ? at->second != 0 : defaultValue;
    }
    std::unique_ptr<TLuaTable> GetTable(const char*) const override { return nullptr; }
    std::unique_ptr<TLuaFunction> GetFunction(const char*) const override { return nullptr; }

    std::map<std::string, double> numbers;
    std::map<std::string, std::string> strings;
};

// What probe windows saw, in order: "<name> <what>".
inline std::vector<std::string>& ProbeLog()
{
    static std::vector<std::string> log;
    return log;
}

// A window that records its input, messages, drawing and focus; it handles what the
// test tells it to, and may run an action when it gets an event.
class TProbe : public TWindow
{
public:
    TProbe(const char* name, int left, int top, int width, int height)
    {
        SetName(name);
        MoveTo(left, top);
        SetSize(width, height);
    }

    bool OnMouseDown(const TPoint& p) override { return Note("down", p); }
    bool OnMouseButton(const TPoint& p, int) override { return Note("button", p); }
    bool OnMouseUp(const TPoint& p) override { return Note("up", p); }
    bool OnMouseMove(const TPoint& p) override { return Note("move", p); }
    bool OnMouseHover(const TPoint& p) override { return Note("hover", p); }
    bool OnMouseExit() override
    {
        Record("exit");
        if (onExit)
            onExit(*this);
        return false;
    }
    bool OnKeyDown(int key, int) override { return Note("key " + std::to_string(key)); }
    bool OnChar(int character) override { return Note("char " + std::to_string(character)); }
    bool OnWideChar(const TString& utf8) override
    {
        Record(std::string("wide ") + utf8.CStr());
        return false;
    }
    bool OnMessage(TMessage* message) override
    {
        Record("message " + std::to_string(message->GetType()) + " " + message->GetName().CStr());
        lastMessage = message;
        return takesMessages;
    }
    void OnSetFocus(TWindow* previous) override
    {
        Record(std::string("focus from ") +
               (previous != nullptr ? previous->GetName().CStr() : "none"));
    }
    void Draw() override
    {
        Record("draw");
        if (fill.a > 0)
            TRenderer::Get()->FillRect(GetLocalRect(), fill);
        if (onDraw)
            onDraw(*this);
    }
    bool Update() override
    {
        Record("update");
        return keepAnimating;
    }
    void OnModalPopped() override { Record("popped"); }

    void Record(const std::string& what) { ProbeLog().push_back(GetName().CStr() + (" " + what)); }

    bool handles = false;
    bool takesMessages = false;
    bool keepAnimating = true;
    TColor fill = TColor(0, 0, 0, 0);
    TMessage* lastMessage = nullptr;
    std::function<void(TProbe&)> onEvent;
    std::function<void(TProbe&)> onExit;
    std::function<void(TProbe&)> onDraw;

private:
    bool Note(const std::string& what, const TPoint& p)
    {
        return Note(what + " " + std::to_string(p.x) + "," + std::to_string(p.y));
    }
    bool Note(const std::string& what)
    {
        Record(what);
        if (onEvent)
            onEvent(*this);
        return handles;
    }
};

// A modal window with a name and a size, recording its drawing like a probe.
class TProbeModal : public TModalWindow
{
public:
    explicit TProbeModal(const char* name, int width = 0, int height = 0)
    {
        SetName(name);
        if (width != 0)
            SetSize(width, height);
    }
    void Draw() override { ProbeLog().push_back(GetName().CStr() + std::string(" draw")); }
    void OnSetFocus(TWindow* previous) override
    {
        ProbeLog().push_back(GetName().CStr() + std::string(" focus"));
        TModalWindow::OnSetFocus(previous);
    }
};

// A window script that records what the manager hands it.
class TRecordingScript final : public TWindowScriptLink
{
public:
    void EndMovie() override {}
    void DeliverMessage(std::unique_ptr<TMessage> message,
                        std::unique_ptr<TLuaFunction> function) override
    {
        delivered.push_back(std::to_string(message->GetType()) + " " + message->GetName().CStr() +
                            (function ? " +function" : ""));
    }
    void ResetParentStack(TWindow* window) override
    {
        parents.clear();
        if (window != nullptr)
            parents.push_back(window);
    }
    void PushParent(TWindow* window) override { parents.push_back(window); }
    void PopParent() override
    {
        if (!parents.empty())
            parents.pop_back();
    }
    void ForgetParent(TWindow* window) override { forgotten.push_back(window); }
    void RegisterWindowType(const TString& typeName, TWindowCreator) override
    {
        types.push_back(typeName.CStr());
    }
    bool SetTranslateLabels(bool translate) override
    {
        const bool previous = translateLabels;
        translateLabels = translate;
        return previous;
    }
    bool GetTranslateLabels() const override { return translateLabels; }

    std::vector<std::string> delivered;
    std::vector<TWindow*> parents;
    std::vector<TWindow*> forgotten;
    std::vector<std::string> types;
    bool translateLabels = false;
};

// The renderer over a back buffer of kWidth x kHeight and a window manager over a fake
// host, in a fresh engine state; ProbeLog starts empty.
class TUiTest : public EngineStateTest
{
protected:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

    TUiTest() : mDisplay(kWidth, kHeight)
    {
        ProbeLog().clear();
        auto host = std::make_unique<TFakeWindowHost>();
        mHost = host.get();
        mManager = std::make_unique<TWindowManager>(std::move(host));
    }
    ~TUiTest() override
    {
        mManager.reset();
        ProbeLog().clear();
    }

    TWindowManager& Manager() { return *mManager; }
    // Destroys the window manager, and with it every window it holds.
    void CloseManager() { mManager.reset(); }
    TFakeWindowHost& Host() { return *mHost; }
    TSurface& BackBuffer() { return mDisplay.BackBuffer(); }

    // The root screen of the back buffer's size.
    TScreen* MakeRoot()
    {
        mManager->CreateRootScreen(kWidth, kHeight);
        return static_cast<TScreen*>(mManager->GetRootWindow());
    }
    // A script that records what reaches it, attached to the manager.
    TRecordingScript* AttachRecordingScript()
    {
        auto script = std::make_unique<TRecordingScript>();
        TRecordingScript* raw = script.get();
        mManager->AttachScript(std::move(script));
        return raw;
    }

    void Send(int type, int x = 0, int y = 0, int param = 0)
    {
        TEvent event;
        event.type = type;
        event.x = x;
        event.y = y;
        event.param = param;
        mManager->HandleEvent(event);
    }
    void Idle() { Send(TEvent::kIdle); }
    // Idle turns every step ms for total ms of the fake clock.
    void IdleFor(uint32_t total, uint32_t step = 1)
    {
        for (uint32_t spent = 0; spent < total; spent += step) {
            mHost->timer += step;
            Idle();
        }
    }

private:
    TTestDisplay mDisplay;
    TFakeWindowHost* mHost = nullptr;
    std::unique_ptr<TWindowManager> mManager;
};
