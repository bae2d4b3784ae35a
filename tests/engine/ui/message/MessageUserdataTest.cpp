#include "engine/ui/message/MessageUserdata.h"

#include "engine/script/TScript.h"
#include "engine/script/lua/LuaApi.h"
#include "engine/ui/message/TLuaMessageWrapper.h"
#include "tests/engine/ui/UiTestSupport.h"

namespace {

// A message that counts the live instances of its kind.
class TCountedMessage final : public TMessage
{
public:
    TCountedMessage(int type, const char* name) : TMessage(type, name) { ++sLive; }
    ~TCountedMessage() override { --sLive; }
    static int sLive;
};

int TCountedMessage::sLive = 0;

class MessageUserdata : public ::testing::Test
{
protected:
    MessageUserdata() { TCountedMessage::sLive = 0; }

    lua_State* State() { return mScript.GetState(); }
    TMessage* PushMessage(int type, const char* name)
    {
        auto message = std::make_unique<TCountedMessage>(type, name);
        TMessage* raw = message.get();
        PushMessageUserdata(State(), std::move(message));
        return raw;
    }
    void Run(const char* text) { mScript.DoLuaString(text); }
    std::string Global(const char* name)
    {
        lua_pushstring(State(), name);
        lua_gettable(State(), LUA_GLOBALSINDEX);
        const char* text = lua_isnil(State(), -1) ? "nil" : lua_tostring(State(), -1);
        std::string value = text != nullptr ? text : "?";
        lua_pop(State(), 1);
        return value;
    }
    void Collect() { lua_setgcthreshold(State(), 0); }

private:
    TScript mScript;
};

TEST_F(MessageUserdata, ScriptsReadTypeAndNameAndTheCollectorDeletesTheMessage)
{
    lua_pushstring(State(), "m");
    PushMessage(7, "x");
    lua_settable(State(), LUA_GLOBALSINDEX);
    EXPECT_EQ(TCountedMessage::sLive, 1);
    Run("t = m.type; n = m.name; o = m.other; m = nil");
    EXPECT_EQ(Global("t"), "7");
    EXPECT_EQ(Global("n"), "x");
    EXPECT_EQ(Global("o"), "nil");
    Collect();
    EXPECT_EQ(TCountedMessage::sLive, 0);
}

TEST_F(MessageUserdata, OnlyMessagesReadAsMessages)
{
    lua_State* L = State();
    TMessage* message = PushMessage(3, "ok");
    EXPECT_EQ(ToMessage(L, -1), message);
    EXPECT_EQ(ToMessage(L, 1), message);
    int other = 0;
    lua_pushboxedpointer(L, &other); // a boxed pointer to something else
    EXPECT_EQ(ToMessage(L, -1), nullptr);
    lua_newuserdata(L, sizeof(void*));
    lua_pushnumber(L, 1);
    lua_newtable(L);
    for (int index = -3; index <= -1; ++index)
        EXPECT_EQ(ToMessage(L, index), nullptr);
    EXPECT_EQ(lua_gettop(L), 5); // left as it was
    lua_settop(L, 0);
}

TEST_F(MessageUserdata, AWrapperStandsForTheScriptsOwnValue)
{
    lua_State* L = State();
    TMessage* inner = PushMessage(1001, "posted");
    lua_pushvalue(L, -1);
    auto wrapper = std::make_unique<TLuaMessageWrapper>(L); // takes the copy
    EXPECT_EQ(lua_gettop(L), 1);
    EXPECT_EQ(wrapper->GetType(), 1001);
    EXPECT_EQ(wrapper->GetName(), TString("posted"));
    EXPECT_TRUE(wrapper->IsKindOf(TMessage::ClassId()));
    EXPECT_TRUE(wrapper->IsKindOf(TLuaMessageWrapper::ClassId()));
    EXPECT_STREQ(wrapper->GetClassName(), "TLuaMessageWrapper");
    EXPECT_EQ(wrapper->GetMessage(), inner);
    wrapper->Push(L);
    EXPECT_TRUE(lua_rawequal(L, -1, -2)); // the very value the script made
    lua_settop(L, 0);

    // The wrapper keeps the value alive until it is deleted.
    Collect();
    EXPECT_EQ(TCountedMessage::sLive, 1);
    wrapper.reset();
    Collect();
    EXPECT_EQ(TCountedMessage::sLive, 0);

    // Over something that is no message it is an empty message.
    lua_newtable(L);
    TLuaMessageWrapper empty(L);
    EXPECT_EQ(empty.GetType(), 0);
    EXPECT_EQ(empty.GetName(), TString(""));
    EXPECT_EQ(empty.GetMessage(), nullptr);
}

using TWrappedMessages = TUiTest;

TEST_F(TWrappedMessages, ADialogsFocusChildIsOfferedTheMessageTheScriptMade)
{
    TScript script;
    lua_State* L = script.GetState();
    MakeRoot();
    auto* dialog = Manager().PushModal(std::make_unique<TProbeModal>("dialog"));
    auto focusOwned = std::make_unique<TProbe>("focus", 0, 0, 5, 5);
    auto* focus = focusOwned.get();
    focus->takesMessages = true;
    dialog->Adopt(std::move(focusOwned));
    dialog->SetFocusChild(focus);

    auto message = std::make_unique<TMessage>(1000, "inner");
    TMessage* inner = message.get();
    PushMessageUserdata(L, std::move(message));
    dialog->SendMessage(std::make_unique<TLuaMessageWrapper>(L));
    EXPECT_EQ(focus->lastMessage, inner);
}

} // namespace
