#pragma once

// A window manager over a fake host with a real window script attached (a Lua state that
// has run the library), a clock moved by hand, dialog files served from memory, the
// debug log captured, and small windows that stand in for the labelled windows and
// buttons of the toolkit. One Turn is one turn of the game's event loop: the main task
// list (where the script's time-outs run), then the window manager's idle work (messages,
// frames). Image files go to a temporary folder ("user:<name>"), which also holds the log.

#include "engine/foundation/files/TMemoryFile.h"
#include "engine/foundation/host/TGameState.h"
#include "engine/graphics/image/PngImage.h"
#include "engine/platform/TTimeSource.h"
#include "engine/script/LuaMarshal.h"
#include "engine/script/LuaStackGuard.h"
#include "engine/script/lua/LuaApi.h"
#include "engine/ui/script/TWindowScript.h"
#include "engine/ui/window/TButtonWindow.h"
#include "engine/ui/window/TLabelWindow.h"
#include "tests/engine/graphics/ImageFolder.h"
#include "tests/engine/ui/UiTestSupport.h"

#include <deque>
#include <string>

// "left,top,right,bottom".
inline std::string RectText(const TRect& rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
           std::to_string(rect.right) + "," + std::to_string(rect.bottom);
}

// A window with a label, as a text window or a button shows one.
class TLabelProbe : public TWindow, public TLabelWindow
{
public:
    static std::unique_ptr<TWindow> Create() { return std::make_unique<TLabelProbe>(); }
    TString GetLabel() const override { return label; }
    void SetLabel(const TString& text) override { label = text; }

    TString label;
};

// A button as scripts drive it: a command run by Press, and an on state.
class TButtonProbe : public TWindow, public TButtonWindow
{
public:
    static std::unique_ptr<TWindow> Create() { return std::make_unique<TButtonProbe>(); }
    void SetCommand(std::unique_ptr<TLuaFunction> function) override
    {
        command = std::move(function);
    }
    bool GetToggleState() const override { return on; }
    void SetToggleState(bool state) override { on = state; }
    bool OnMouseExit() override
    {
        ++exits;
        return false;
    }
    // Hands the command to the window script, as a button press does.
    void Press()
    {
        if (!command)
            return;
        command->Push();
        auto fresh = std::make_unique<TLuaFunction>(command->GetState());
        GetWindowManager()->PassMessageToScript(nullptr, std::move(fresh));
    }

    std::unique_ptr<TLuaFunction> command;
    bool on = false;
    int exits = 0;
};

// A window that refuses to be attached.
class TRefusingWindow : public TWindow
{
public:
    static std::unique_ptr<TWindow> Create() { return std::make_unique<TRefusingWindow>(); }
    bool OnAttach() override { return false; }
};

class TWindowScriptTest : public TUiTest
{
protected:
    TWindowScriptTest()
    {
        TGameState::SetFacadePresent(true);
        mRoot = MakeRoot();
        mRoot->SetName("root");
        auto script = std::make_unique<TWindowScript>();
        mScript = script.get();
        Manager().AttachScript(std::move(script));
        mScript->RegisterWindowType("Label", &TLabelProbe::Create);
        mScript->RegisterWindowType("TestButton", &TButtonProbe::Create);
        mScript->RegisterWindowType("Refusing", &TRefusingWindow::Create);
        TScript::SetDebugOutHook([this](const TString& text) { debugOut.push_back(text.CStr()); });
    }
    ~TWindowScriptTest() override { TScript::SetDebugOutHook(nullptr); }

    TWindowScript& Script() { return *mScript; }
    TScreen* Root() { return mRoot; }
    lua_State* L() { return mScript->GetState(); }

    // Runs text in the script's state (a text that returns a function starts the dialog
    // coroutine with it).
    void Run(const std::string& text) { mScript->DoLuaString(text.c_str()); }
    // Starts the dialog coroutine with body as its function.
    void StartDialog(const std::string& body) { Run("return function() " + body + " end"); }

    // A dialog file the scripts read as "<name>" (ReadFile adds "assets/").
    void AddFile(const std::string& name, const std::string& text)
    {
        const std::string& kept = mFiles.emplace_back(text);
        RegisterMemoryFile(name.c_str(), kept.data(), kept.size());
    }

    std::string GlobalString(const char* name)
    {
        LuaStackGuard guard(L());
        lua_pushstring(L(), name);
        lua_gettable(L(), LUA_GLOBALSINDEX);
        if (lua_isnil(L(), -1))
            return "nil";
        if (lua_isboolean(L(), -1))
            return lua_toboolean(L(), -1) ? "true" : "false";
        return GetLuaStringArg(L(), -1).CStr();
    }
    double GlobalNumber(const char* name) { return mScript->GetGlobalNumber(name); }
    // Lua text's value (one expression), as GlobalString gives it.
    std::string Eval(const std::string& expression)
    {
        Run("gTestValue = " + expression);
        return GlobalString("gTestValue");
    }

    // One turn of the event loop, after the clocks (the time source's and the window
    // host's) moved ms.
    void Turn(uint32_t ms = 1)
    {
        mTime.Advance(ms);
        Host().timer += ms;
        Host().mainTasks.RunAll(kPassEveryTurn);
        Idle();
    }
    void Turns(int count, uint32_t ms = 1)
    {
        for (int i = 0; i < count; ++i)
            Turn(ms);
    }
    // Hands the script a message no window took.
    void Deliver(int type, const char* name)
    {
        Manager().PassMessageToScript(std::make_unique<TMessage>(type, name));
    }
    // Modal windows on the stack.
    int Depth() { return static_cast<int>(Manager().GetModalStack().size()); }

    // The window of that name anywhere under the root.
    TWindow* Find(const char* name) { return mRoot->FindChild(name); }

    // A PNG file of one colour (0xAARRGGBB); its engine name.
    std::string PutPng(const std::string& name, int width, int height, uint32_t color)
    {
        const std::vector<uint32_t> pixels(size_t(width) * height, color);
        const std::string path = "user:" + name;
        EXPECT_TRUE(WritePngImage(path.c_str(), pixels.data(), width, height, width * 4));
        return path;
    }
    bool Logged(const std::string& text) const { return mFolder.CountLogLines(text) > 0; }

    TManualTimeSource mTime{1000};
    TImageFolder mFolder;
    std::vector<std::string> debugOut;

private:
    TScreen* mRoot = nullptr;
    TWindowScript* mScript = nullptr;
    std::deque<std::string> mFiles;
};
