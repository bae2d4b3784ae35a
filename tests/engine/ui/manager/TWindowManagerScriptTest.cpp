#include "engine/script/TScript.h"
#include "engine/script/lua/LuaApi.h"
#include "tests/engine/ui/UiTestSupport.h"

namespace {

// A window script with a script state: what the manager does with it is recorded.
class TScriptedLink final : public TScript, public TWindowScriptLink
{
public:
    void EndMovie() override {}
    void DeliverMessage(std::unique_ptr<TMessage> message, std::unique_ptr<TLuaFunction>) override
    {
        record.push_back("message " + std::to_string(message->GetType()));
    }
    void ResetParentStack(TWindow* window) override
    {
        record.push_back(std::string("reset ") + (window ? window->GetName().CStr() : "-"));
    }
    void PushParent(TWindow* window) override
    {
        record.push_back(std::string("push ") + window->GetName().CStr());
    }
    void PopParent() override { record.push_back("pop"); }
    void ForgetParent(TWindow*) override {}
    void RegisterWindowType(const TString&, TWindowCreator) override {}
    bool SetTranslateLabels(bool translate) override
    {
        record.push_back(translate ? "translate" : "no translation");
        return false;
    }
    bool GetTranslateLabels() const override { return false; }

    std::vector<std::string> record;
};

using TWindowManagerScript = TUiTest;

TEST_F(TWindowManagerScript, TheAttachedScriptRunsAsAMainTaskAndCanLimitDrawing)
{
    TScreen* root = MakeRoot();
    root->SetName("root");
    auto script = std::make_unique<TScriptedLink>();
    TScriptedLink* link = script.get();
    Manager().AttachScript(std::move(script));
    EXPECT_EQ(Manager().GetScript(), static_cast<TWindowScriptSeam*>(link));
    EXPECT_EQ(Manager().GetWindowScript(), link);
    EXPECT_FALSE(Host().mainTasks.IsEmpty()); // the main task list owns it
    EXPECT_EQ(link->record, (std::vector<std::string>{"push root"}));

    link->DoLuaString("SetTopModalOnly(true)");
    EXPECT_TRUE(Manager().IsTopModalOnly());
    link->DoLuaString("SetTopModalOnly(false)");
    EXPECT_FALSE(Manager().IsTopModalOnly());

    // Script files and texts run with a given parent window on the parent stack.
    link->record.clear();
    Manager().RunScriptString(root, "ran = 1");
    EXPECT_EQ(link->GetGlobalNumber("ran"), 1);
    EXPECT_FALSE(Manager().RunScriptFile(root, "::no/such/file.lua"));
    Manager().SetTranslateLabels(true);
    EXPECT_EQ(link->record,
              (std::vector<std::string>{"push root", "pop", "push root", "pop", "translate"}));

    // A message nobody takes reaches the script.
    link->record.clear();
    Manager().QueueMessage(std::make_unique<TMessage>(1000, ""));
    Idle();
    EXPECT_EQ(link->record, (std::vector<std::string>{"message 1000"}));
}

TEST_F(TWindowManagerScript, WithoutAWindowScriptMessagesEndInTheManager)
{
    MakeRoot();
    Manager().PassMessageToScript(std::make_unique<TMessage>(1000, "dropped"));
    Manager().QueueMessage(std::make_unique<TMessage>(1001, "dropped too"));
    Idle();
    SUCCEED(); // nothing leaks (the sanitizer's leak check)
}

using TWindowManagerLifetime = EngineStateTest;

TEST_F(TWindowManagerLifetime, ClosingTheManagerDeletesEverythingItHolds)
{
    TTestDisplay display(16, 16);
    auto manager = std::make_unique<TWindowManager>(std::make_unique<TFakeWindowHost>());
    EXPECT_EQ(GetWindowManager(), manager.get());
    manager->CreateRootScreen(16, 16);
    manager->PushModal(std::make_unique<TProbeModal>("a"));
    manager->PushModal(std::make_unique<TProbeModal>("b"));
    manager->AddOverlay(std::make_unique<TWindow>());
    manager->QueueMessage(std::make_unique<TMessage>(1000, "pending"));
    TModalWindow* popped = manager->GetTopModal();
    manager->PopModal(); // closed, not yet deleted
    EXPECT_EQ(popped->GetParent(), nullptr);
    manager.reset(); // every modal closes; their kModalClosed messages are dropped
    EXPECT_EQ(GetWindowManager(), nullptr);
}

} // namespace
