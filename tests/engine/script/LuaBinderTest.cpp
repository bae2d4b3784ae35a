#include "engine/script/LuaBinder.h"

#include "ScriptTestSupport.h"
#include "engine/script/TLuaTable.h"

#include <climits>
#include <memory>
#include <string>

namespace {

// What a bound member received.
struct TReceived
{
    std::string text = "unset";
    int number = -1;
    float real = -1;
    bool flag = true;
    bool tableIsTable = true;
    double tableField = -1;
};

class TProbe : public TLifeline
{
public:
    void Record(TString text, int number, float real, bool flag, TLuaTable* table)
    {
        mReceived.text = text.CStr();
        mReceived.number = number;
        mReceived.real = real;
        mReceived.flag = flag;
        mReceived.tableIsTable = table->IsTable();
        mReceived.tableField = table->GetNumber("x", 7);
    }
    int Add(int a, int b) { return a + b; }
    int Sub(int a, int b) { return a - b; }
    unsigned Big() const { return 4000000000u; }
    short Narrow(short value) { return value; }
    bool Not(bool value) { return !value; }
    double Half(double value) { return value / 2; }
    TString Greet(const TString& name) { return TString("hello ") + name; }
    const char* Label() { return "probe"; }
    TProbe* Self() { return this; }
    TProbe* Nobody() { return nullptr; }
    int Raw(lua_State* L)
    {
        lua_pushnumber(L, lua_gettop(L));
        lua_pushstring(L, "raw");
        return 2;
    }

    TReceived mReceived;
};

// A member reached through a base class that is not the first one, and a virtual
// member: both need the member-function pointer in full.
struct TPadding
{
    virtual ~TPadding() = default;
    int mPad = 0;
};
struct TSpeaker
{
    virtual ~TSpeaker() = default;
    virtual TString Speak() { return "base"; }
};
struct TLoudSpeaker final : TPadding, TSpeaker, TLifeline
{
    TString Speak() override { return "derived"; }
};

int gFreeCalls = 0;
void CountCall()
{
    gFreeCalls++;
}
int Triple(int value)
{
    return value * 3;
}

class LuaBinderTest : public ScriptStateTest
{
protected:
    void SetUp() override
    {
        ScriptStateTest::SetUp();
        mProbe = std::make_unique<TProbe>();
        TProbe& probe = *mProbe;
        Publish<&TProbe::Record>(L, "Record", probe);
        Publish<&TProbe::Add>(L, "Add", probe);
        Publish<&TProbe::Sub>(L, "Sub", probe);
        Publish<&TProbe::Big>(L, "Big", probe);
        Publish<&TProbe::Narrow>(L, "Narrow", probe);
        Publish<&TProbe::Not>(L, "Not", probe);
        Publish<&TProbe::Half>(L, "Half", probe);
        Publish<&TProbe::Greet>(L, "Greet", probe);
        Publish<&TProbe::Label>(L, "Label", probe);
        Publish<&TProbe::Self>(L, "Self", probe);
        Publish<&TProbe::Nobody>(L, "Nobody", probe);
        Publish<&TProbe::Raw>(L, "Raw", probe);
        Publish<&CountCall>(L, "CountCall");
        Publish<&Triple>(L, "Triple");
        EXPECT_EQ(lua_gettop(L), 0);
    }
    std::unique_ptr<TProbe> mProbe;
};

TEST_F(LuaBinderTest, ResultsOfEachSignature)
{
    struct Case
    {
        const char* expression;
        const char* expected; // tostring of the result
    };
    const Case cases[] = {
        {"Add(2.9, -1.9)", "1"},         // truncated toward zero
        {"Add('40', 2)", "42"},          // numeric strings convert
        {"Add({}, 5)", "5"},             // anything else is 0
        {"Add(1e300, 0)", "2147483647"}, // clamped, never an out-of-range conversion
        {"Narrow(70000)", "32767"},
        {"Big()", "4000000000"}, // unsigned stays non-negative
        {"Not(nil)", "true"},
        {"Not(0)", "false"}, // 0 is true in scripts
        {"Half(5)", "2.5"},
        {"Greet('you')", "hello you"},
        {"Greet(12)", "hello 12"},
        {"Greet({})", "hello "},
        {"Label()", "probe"},
        {"Nobody()", "nil"},
        {"Triple(4)", "12"},
        {"type(Self())", "userdata"},
    };
    for (const Case& c : cases) {
        Run(L, std::string("result = tostring(") + c.expression + ")");
        EXPECT_EQ(GlobalString(L, "result"), c.expected) << c.expression;
    }
    Run(L, "CountCall() CountCall(1, 2, 3)");
    EXPECT_EQ(gFreeCalls, 2);
}

TEST_F(LuaBinderTest, ArgumentsOfEachKindAndMissingOnes)
{
    Run(L, "Record('text', 3.7, 0.25, true, { x = 11 })");
    EXPECT_EQ(mProbe->mReceived.text, "text");
    EXPECT_EQ(mProbe->mReceived.number, 3);
    EXPECT_EQ(mProbe->mReceived.real, 0.25f);
    EXPECT_TRUE(mProbe->mReceived.flag);
    EXPECT_TRUE(mProbe->mReceived.tableIsTable);
    EXPECT_EQ(mProbe->mReceived.tableField, 11);

    Run(L, "Record()");
    EXPECT_EQ(mProbe->mReceived.text, "");
    EXPECT_EQ(mProbe->mReceived.number, 0);
    EXPECT_EQ(mProbe->mReceived.real, 0.0f);
    EXPECT_FALSE(mProbe->mReceived.flag);
    EXPECT_FALSE(mProbe->mReceived.tableIsTable); // a wrapped nil
    EXPECT_EQ(mProbe->mReceived.tableField, 7);   // which reads as empty, never raises
}

TEST_F(LuaBinderTest, RawFormWorksOnTheStack)
{
    Run(L, "count, word = Raw('a', 'b', 'c')");
    EXPECT_EQ(GlobalNumber(L, "count"), 3);
    EXPECT_EQ(GlobalString(L, "word"), "raw");
}

TEST_F(LuaBinderTest, OneThunkPerSignature)
{
    lua_pushstring(L, "Add");
    lua_gettable(L, LUA_GLOBALSINDEX);
    lua_pushstring(L, "Sub");
    lua_gettable(L, LUA_GLOBALSINDEX);
    lua_pushstring(L, "Narrow");
    lua_gettable(L, LUA_GLOBALSINDEX);
    EXPECT_EQ(lua_tocfunction(L, 1), lua_tocfunction(L, 2));
    EXPECT_NE(lua_tocfunction(L, 1), lua_tocfunction(L, 3));
    lua_settop(L, 0);
}

TEST_F(LuaBinderTest, VirtualMembersThroughALaterBase)
{
    TLoudSpeaker speaker;
    PublishMember(L, "Speak", speaker, speaker, &TSpeaker::Speak);
    Run(L, "said = Speak()");
    EXPECT_EQ(GlobalString(L, "said"), "derived");
}

TEST_F(LuaBinderTest, CallingADestroyedObjectIsAScriptError)
{
    auto speaker = std::make_unique<TLoudSpeaker>();
    Publish<&TLoudSpeaker::Speak>(L, "Speak", *speaker);
    EXPECT_EQ(RunError(L, "Speak()"), "");
    speaker.reset();
    std::string message = RunError(L, "Speak()");
    EXPECT_NE(message.find("Speak: its object no longer exists"), std::string::npos) << message;
    // The state goes on working.
    EXPECT_EQ(RunError(L, "x = Add(1, 2)"), "");
    EXPECT_EQ(GlobalNumber(L, "x"), 3);
}

TEST_F(LuaBinderTest, AnObjectsCopyHasALifeOfItsOwn)
{
    auto original = std::make_unique<TProbe>();
    TProbe copy = *original;
    Publish<&TProbe::Add>(L, "CopyAdd", copy);
    original.reset();
    EXPECT_EQ(RunError(L, "y = CopyAdd(2, 2)"), "");
    EXPECT_EQ(GlobalNumber(L, "y"), 4);
}

TEST_F(LuaBinderTest, BoxedPointersComeBackOnlyAsBoxes)
{
    Run(L, "me = Self()");
    lua_pushstring(L, "me");
    lua_gettable(L, LUA_GLOBALSINDEX);
    EXPECT_EQ(LuaToBoxedPointer(L, -1), mProbe.get());
    lua_pushlightuserdata(L, mProbe.get());
    EXPECT_EQ(LuaToBoxedPointer(L, -1), nullptr);
    lua_newuserdata(L, 8);
    EXPECT_EQ(LuaToBoxedPointer(L, -1), nullptr);
    lua_pushnumber(L, 1);
    EXPECT_EQ(LuaToBoxedPointer(L, -1), nullptr);
    lua_settop(L, 0);
}

} // namespace
