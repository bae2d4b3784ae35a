#include "game/core/script/ScriptPublisher.h"

#include "engine/script/TLifeline.h"
#include "game/core/script/WindowScript.h"
#include "tests/engine/script/ScriptTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using YOLT::Core::ScriptPublisher;
using YOLT::Core::WindowScript;

class Counter
{
public:
    void Publish(lua_State* L)
    {
        ScriptPublisher(L, *this, mLifeline)
            .Add<&Counter::Add>("CounterAdd")
            .Add<&Counter::Total>("CounterTotal")
            .Add<&Counter::Label>("CounterLabel");
    }
    void Add(int amount) { mTotal += amount; }
    int Total() const { return mTotal; }
    TString Label(TString prefix) const { return prefix + TString::Printf("%d", mTotal); }

private:
    TLifeline mLifeline;
    int mTotal = 0;
};

using ScriptPublisherTest = ScriptStateTest;

TEST_F(ScriptPublisherTest, PublishedOperationsReachTheObjectWhileItLives)
{
    auto counter = std::make_unique<Counter>();
    counter->Publish(L);
    Run(L, "CounterAdd(2.9) CounterAdd(-1.5) CounterAdd('4') total = CounterTotal()\n"
           "label = CounterLabel('n=')");
    EXPECT_EQ(counter->Total(), 5); // 2 - 1 + 4: numbers truncated toward zero
    EXPECT_EQ(GlobalNumber(L, "total"), 5);
    EXPECT_EQ(GlobalString(L, "label"), "n=5");

    counter.reset();
    EXPECT_NE(RunError(L, "CounterAdd(1)").find(":1: CounterAdd: its object no longer exists"),
              std::string::npos);
}

TEST_F(ScriptPublisherTest, ALaterPublicationReplacesTheEarlierOne)
{
    Counter first, second;
    first.Publish(L);
    second.Publish(L);
    Run(L, "CounterAdd(3)");
    EXPECT_EQ(first.Total(), 0);
    EXPECT_EQ(second.Total(), 3);
}

TEST_F(ScriptPublisherTest, WithoutAStateNothingIsPublished)
{
    Counter counter;
    counter.Publish(nullptr);
    EXPECT_NE(RunError(L, "CounterAdd(1)").find("attempt to call"), std::string::npos);
    EXPECT_EQ(counter.Total(), 0);
}

TEST_F(ScriptPublisherTest, WithoutAWindowManagerThereIsNoWindowScript)
{
    EXPECT_EQ(WindowScript::Get(), nullptr);
    EXPECT_EQ(WindowScript::GetState(), nullptr);
}

} // namespace
