// The expression nodes, one table of cases: the operands are pushed as constants, the
// node runs on a particle record of three attributes (offsets 0, 2 and 3, dimensions 2,
// 1 and 3), and what it pushes (or that it fails) is compared.
#include "engine/foundation/core/TMersenneTwister.h"
#include "engine/graphics/particles/TParticleCompiler.h"
#include "engine/graphics/particles/TParticleEvalContext.h"
#include "engine/graphics/particles/TParticleRandom.h"
#include "engine/graphics/particles/TParticleView.h"
#include "engine/graphics/particles/nodes/functions/FClosedCycle.h"
#include "engine/graphics/particles/nodes/functions/FOpenCycle.h"
#include "engine/graphics/particles/nodes/sources/FGetParticleParam.h"
#include "engine/graphics/particles/nodes/sources/FPush.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using TFloats = std::vector<float>;

constexpr int kRecordFloats = 6;
constexpr uint8_t kAttributeAt[kRecordFloats] = {2, 0, 1, 3, 0, 0};
const TFloats kRecord = {10, 11, 12, 13, 14, 15};

std::shared_ptr<TParticleFunction> Constant(const TFloats& values)
{
    switch (values.size()) {
    case 1:
        return std::make_shared<FPush<float>>(values.data());
    case 2:
        return std::make_shared<FPush<TVec2>>(values.data());
    case 3:
        return std::make_shared<FPush<TVec3>>(values.data());
    default:
        return std::make_shared<FPush<TVec4>>(values.data());
    }
}

// A particle record and what one stream did to it.
struct TRun
{
    bool ok = false;
    TFloats result; // the stack's bottom entry after the stream (empty: nothing pushed)
    TFloats record = kRecord;
    bool alive = true;
};

// Pushes each operand, then runs node with all of them as its operands.
TRun RunNode(const std::shared_ptr<TParticleFunction>& node, const std::vector<TFloats>& operands,
             uint32_t elapsedMs = 0, const std::vector<TParticleFunction*>* customNodes = nullptr)
{
    std::vector<TParticleStreamEntry> stream;
    for (const TFloats& operand : operands)
        stream.push_back({Constant(operand), 0, {}});
    stream.push_back({node, static_cast<uint8_t>(operands.size()), {}});
    TRun run;
    TParticleView view;
    view.floats = run.record.data();
    view.floatCount = kRecordFloats;
    view.attributeAt = kAttributeAt;
    view.elapsedMs = elapsedMs;
    TParticleEvalContext context(customNodes);
    run.ok = context.Run(stream, view);
    run.alive = view.alive;
    if (run.ok && context.GetPushIndex() > 0) {
        const float* values = context.GetStack().GetEntry(0);
        run.result.assign(values, values + context.GetStack().GetDimension(0));
    }
    return run;
}

TRun RunCommand(const char* command, const std::vector<TFloats>& operands, uint32_t elapsedMs = 0)
{
    std::shared_ptr<TParticleFunction> node = TParticleCompiler::CreateNode(command);
    EXPECT_NE(node, nullptr) << command;
    return node ? RunNode(node, operands, elapsedMs) : TRun{};
}

struct TCase
{
    const char* command;
    std::vector<TFloats> operands;
    std::optional<TFloats> pushed; // nullopt: the node fails
    uint32_t elapsedMs = 0;
};

const TCase kCases[] = {
    // Arithmetic: the same dimensions, or a scalar on the right of mul and div.
    {"add", {{1, 2}, {10, 20}}, TFloats{11, 22}},
    {"add", {{1, 2}, {10}}, std::nullopt},
    {"add", {{1}}, std::nullopt},
    {"sub", {{1, 2, 3}, {1, 1, 1}}, TFloats{0, 1, 2}},
    {"sub", {{1, 2, 3}, {1, 1}}, std::nullopt},
    {"mul", {{1, 2}, {3}}, TFloats{3, 6}},
    {"mul", {{1, 2}, {3, 3}}, std::nullopt},
    {"div", {{3, 6, 9, 12}, {3}}, TFloats{1, 2, 3, 4}},
    {"div", {{3}}, std::nullopt},
    {"unm", {{1, -2}}, TFloats{-1, 2}},
    {"unm", {{1}, {2}}, std::nullopt},
    // Comparisons of scalars.
    {"fLess", {{2}, {1}}, TFloats{0}},
    {"fLess", {{1}, {2}}, TFloats{1}},
    {"lt", {{1}, {1}}, TFloats{0}},
    {"fLessEqual", {{1}, {1}}, TFloats{1}},
    {"le", {{2}, {1}}, TFloats{0}},
    {"fLess", {{1, 1}, {2}}, std::nullopt},
    {"fLessEqual", {{1}}, std::nullopt},
    // Time: the pass's elapsed milliseconds.
    {"fTimeScale", {{0, 10}}, TFloats{0, 5}, 500},
    {"fTimeScale", {{4}}, TFloats{0}, 0},
    {"fTimeScale", {{1}, {2}}, std::nullopt, 500},
    {"fAge", {}, TFloats{250}, 250},
    {"fAge", {{1}}, std::nullopt, 250},
    // Keys: t, a0, d1, a1, ...
    {"fFade", {{3}, {0}, {2}, {10}}, TFloats{10}},
    {"fFade", {{1}, {0}, {2}, {10}}, TFloats{5}},
    {"fFade", {{-1}, {0}, {2}, {10}}, TFloats{0}},
    {"fFade", {{3}, {0}, {2}, {10}, {2}, {20}}, TFloats{15}},
    {"fFade", {{9}, {0}, {2}, {10}, {2}, {20}}, TFloats{20}},
    {"fFade", {{1}, {0, 4}, {2}, {10, 8}}, TFloats{5, 6}},
    {"fFade", {{5}, {7}}, TFloats{7}},
    {"fFade", {{1}, {0}, {2}}, std::nullopt},
    {"fFade", {{1}, {0}, {2, 2}, {10}}, std::nullopt},
    {"fFade", {{1}, {0}, {2}, {10, 10}}, std::nullopt},
    {"fFade", {{1, 1}, {0}, {2}, {10}}, std::nullopt},
    // Vectors and colours.
    {"fVec", {{1}, {2}, {3}}, TFloats{1, 2, 3}},
    {"fVec", {{1}, {2}, {3}, {4}}, TFloats{1, 2, 3, 4}},
    {"fVec", {}, std::nullopt},
    {"fVec", {{1}, {2}, {3}, {4}, {5}}, std::nullopt},
    {"fAlpha", {{1, 0.5f, 0.25f}, {0.5f}}, TFloats{1, 0.5f, 0.25f, 0.5f}},
    {"fAlpha", {{1, 0.5f, 0.25f, 1}, {0}}, TFloats{1, 0.5f, 0.25f, 0}},
    {"fAlpha", {{1, 0.5f}, {1}}, std::nullopt},
    {"fAlpha", {{1, 0.5f, 0.25f}}, std::nullopt},
    {"fDistance", {{0, 0}, {3, 4}}, TFloats{5}},
    {"fDistance", {{0, 0}, {3}}, std::nullopt},
    {"f2dRotation", {{0}}, TFloats{1, 0}},
    {"f2dRotation", {{0, 0}}, std::nullopt},
    {"fExpire", {{0}}, TFloats{0}},
    {"fExpire", {{1, 1}}, std::nullopt},
    {"fDebug", {{1, 2}, {3}}, TFloats{}},
    // The record: (10, 11) at 0, (12) at 2, (13, 14, 15) at 3.
    {"index", {{3}, {2}}, TFloats{14}},
    {"index", {{0}, {1}}, TFloats{10}},
    {"index", {{3}, {4}}, std::nullopt},
    {"index", {{3}, {0}}, std::nullopt},
    {"index", {{2}, {2}}, std::nullopt},
    {"index", {{1}, {1}}, std::nullopt},
    {"index", {{6}, {1}}, std::nullopt},
    {"index", {{200}, {1}}, std::nullopt},
    {"index", {{3}, {2, 2}}, std::nullopt},
    {"index", {{-1}, {1}}, TFloats{0}}, // no custom node 1: its value reads 0
    {"newindex", {{2}, {1}, {7}}, TFloats{7}},
    {"newindex", {{2}, {2}, {7}}, std::nullopt},
    {"newindex", {{-2}, {1}, {7}}, std::nullopt},
    {"newindex", {{2}, {1}}, std::nullopt},
    {"assign", {{7, 8}, {4}, {2}}, TFloats{}},
    {"assign", {{7, 8, 9}, {4}, {2}}, std::nullopt},
    {"assign", {{7}, {-1}, {1}}, std::nullopt},
    {"assign", {{7}}, std::nullopt},
    // Choices: one operand of any dimension.
    {"fPick", {}, std::nullopt},
    {"fPick", {{1, 2, 3}}, TFloats{1, 2, 3}},
    {"fRange", {{1, 2}, {1, 2}}, TFloats{1, 2}},
    {"fRange", {{1, 2}, {1}}, std::nullopt},
    {"f2dRadius", {{0}}, TFloats{0, 0}},
    {"f2dRadius", {{0}, {1, 1}}, TFloats{0, 0}},
    {"f2dRadius", {{0}, {1}}, std::nullopt},
    {"f2dRadius", {{0, 0}}, std::nullopt},
    {"fOpenCycle", {{0}, {9}}, std::nullopt},
    {"fClosedCycle", {{0}, {9, 9}, {3}}, std::nullopt},
};

std::string Describe(const TCase& c)
{
    std::string text = std::string(c.command) + "(";
    for (const TFloats& operand : c.operands) {
        text += "(";
        for (float v : operand)
            text += std::to_string(v) + " ";
        text += ")";
    }
    return text + ")";
}

TEST(ParticleNodesTest, EachCommandPushesItsResultOrFails)
{
    TParticleRandom random;
    for (const TCase& c : kCases) {
        SCOPED_TRACE(Describe(c));
        const TRun run = RunCommand(c.command, c.operands, c.elapsedMs);
        EXPECT_EQ(run.ok, c.pushed.has_value());
        if (!run.ok || !c.pushed)
            continue;
        ASSERT_EQ(run.result.size(), c.pushed->size());
        for (size_t i = 0; i < run.result.size(); ++i)
            EXPECT_NEAR(run.result[i], (*c.pushed)[i], 1e-5f) << "component " << i;
    }
}

TEST(ParticleNodesTest, CompiledResultDimensionsMatchWhatIsPushed)
{
    const uint8_t scalars[3] = {1, 1, 1};
    const uint8_t vectors[4] = {3, 1, 2, 3};
    struct
    {
        const char* command;
        int count;
        const uint8_t* dimensions;
        int expected;
    } const cases[] = {
        {"fVec", 3, scalars, 3},       {"fVec", 0, scalars, 0},      {"add", 2, vectors, 3},
        {"unm", 1, vectors, 3},        {"fFade", 4, vectors, 1},     {"fAlpha", 2, vectors, 4},
        {"assign", 3, vectors, 0},     {"fDistance", 2, vectors, 1}, {"f2dRadius", 1, scalars, 2},
        {"fOpenCycle", 3, scalars, 1}, {"fDebug", 3, scalars, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(
            TParticleCompiler::CreateNode(c.command)->GetResultDimension(c.count, c.dimensions),
            c.expected)
            << c.command;
    EXPECT_EQ(TParticleCompiler::CreateNode("fBogus"), nullptr);
    EXPECT_STREQ(TParticleCompiler::CreateNode("fLess")->GetClassName(), "FLt");
    EXPECT_TRUE(
        TParticleCompiler::CreateNode("fTimeScale")->IsKindOf(TParticleFunction::ClassId()));
    EXPECT_FALSE(TParticleCompiler::CreateNode("add")->IsKindOf(FOpenCycle::ClassId()));
}

TEST(ParticleNodesTest, ExpireClearsTheAliveFlagOnlyForANonZeroCondition)
{
    EXPECT_FALSE(RunCommand("fExpire", {{1}}).alive);
    EXPECT_EQ(RunCommand("fExpire", {{1}}).result, TFloats{1});
    EXPECT_TRUE(RunCommand("fExpire", {{0}}).alive);
}

TEST(ParticleNodesTest, WritesStayInsideTheRecordAndChangeOnlyTheirFloats)
{
    EXPECT_EQ(RunCommand("assign", {{7, 8}, {4}, {2}}).record, (TFloats{10, 11, 12, 13, 7, 8}));
    EXPECT_EQ(RunCommand("assign", {{7, 8, 9}, {4}, {2}}).record, kRecord);
    EXPECT_EQ(RunCommand("newindex", {{3}, {3}, {7}}).record, (TFloats{10, 11, 12, 13, 14, 7}));
    EXPECT_EQ(RunCommand("newindex", {{3}, {4}, {7}}).record, kRecord);
}

TEST(ParticleNodesTest, CyclesStepThroughTheirValuesAcrossParticles)
{
    struct
    {
        std::shared_ptr<TParticleFunction> node;
        float a, b, count;
        TFloats expected;
    } const cases[] = {
        {FClosedCycle::Create(), 0, 10, 3, {0, 5, 10, 0, 5}},
        {FOpenCycle::Create(), 0, 9, 3, {0, 3, 6, 0}},
        {FClosedCycle::Create(), 4, 10, 1, {4, 4}},
        {FOpenCycle::Create(), 4, 10, 0, {4, 4}},
        {FOpenCycle::Create(), 4, 10, -3, {4}},
        {FClosedCycle::Create(), 4, 10, std::nanf(""), {4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.node->GetClassName()) + " count " + std::to_string(c.count));
        for (float expected : c.expected) {
            const TRun run = RunNode(c.node, {{c.a}, {c.b}, {c.count}});
            ASSERT_TRUE(run.ok);
            EXPECT_FLOAT_EQ(run.result.at(0), expected);
        }
    }
}

TEST(ParticleNodesTest, RandomNodesDrawFromTheSharedGenerator)
{
    TParticleRandom random;
    TParticleRandom::Seed(4242);
    TMersenneTwister reference;
    reference.Seed(4242);
    const auto uniform = [&reference] {
        return static_cast<float>(reference.NextUInt32() * (1.0 / 4294967424.0));
    };
    // fRange: one draw per component.
    const TRun range = RunCommand("fRange", {{0, 10}, {4, 30}});
    const float u0 = uniform();
    const float u1 = uniform();
    EXPECT_EQ(range.result, (TFloats{0 + u0 * 4, 10 + u1 * 20}));
    // fPick: the 53-bit real times the operand count.
    const TRun pick = RunCommand("fPick", {{1}, {2, 2}, {3, 3, 3}});
    const int chosen = static_cast<int>(reference.NextReal() * 3);
    EXPECT_EQ(pick.result, TFloats(size_t(chosen + 1), float(chosen + 1)));
    // f2dRadius: a point on the circle.
    const TRun radius = RunCommand("f2dRadius", {{5}});
    const float angle = uniform() * 2.0f * 3.1415927f;
    EXPECT_EQ(radius.result, (TFloats{5 * std::cos(angle), 5 * std::sin(angle)}));
    // Values stay below 1 and differ from draw to draw.
    std::vector<float> draws;
    for (int i = 0; i < 1000; ++i)
        draws.push_back(TParticleRandom::NextFloat());
    EXPECT_LT(*std::max_element(draws.begin(), draws.end()), 1.0f);
    EXPECT_GT(std::set<float>(draws.begin(), draws.end()).size(), 990u);
}

// A custom node answering a fixed colour, as game code registers them.
class TFixedColour final : public TParticleFunction
{
public:
    int GetResultDimension(int, const uint8_t*) const override { return 4; }
    bool Evaluate(TParticleView&, TParticleEvalContext& context) override
    {
        const float colour[4] = {1, 0.5f, 0.25f, 1};
        return context.Push(colour, 4);
    }
};

class TFailing final : public TParticleFunction
{
public:
    int GetResultDimension(int, const uint8_t*) const override { return 0; }
    bool Evaluate(TParticleView&, TParticleEvalContext&) override { return false; }
};

TEST(ParticleNodesTest, MemberReadsTakeTheRecordOrACustomNode)
{
    TFixedColour colour;
    TFailing failing;
    const std::vector<TParticleFunction*> custom = {&colour, &failing};
    struct
    {
        TParticleMemberHandle handle;
        std::optional<TFloats> pushed;
    } const reads[] = {
        {{0, 2}, TFloats{10, 11}},
        {{3, 3}, TFloats{13, 14, 15}},
        {{4, 3}, std::nullopt}, // past the record
        {{-1, 4}, TFloats{1, 0.5f, 0.25f, 1}},
        {{-1, 0}, TFloats{1, 0.5f, 0.25f, 1}}, // the dimension comes from the node
        {{-2, 4}, std::nullopt},
        {{-3, 4}, std::nullopt},
    };
    for (const auto& read : reads) {
        SCOPED_TRACE(read.handle.offset);
        const TRun run = RunNode(std::make_shared<FGetParticleParam>(read.handle), {}, 0, &custom);
        EXPECT_EQ(run.ok, read.pushed.has_value());
        if (run.ok && read.pushed) {
            EXPECT_EQ(run.result, *read.pushed);
        }
    }
    struct
    {
        float node, component;
        std::optional<float> pushed;
    } const indexes[] = {
        {-1, 2, 0.5f},         {-1, 4, 1.0f}, {-1, 5, std::nullopt},
        {-1, 0, std::nullopt}, {-2, 1, 0.0f}, {-3, 1, 0.0f},
    };
    for (const auto& index : indexes) {
        SCOPED_TRACE(std::to_string(index.node) + "[" + std::to_string(index.component) + "]");
        const TRun run = RunNode(TParticleCompiler::CreateNode("index"),
                                 {{index.node}, {index.component}}, 0, &custom);
        EXPECT_EQ(run.ok, index.pushed.has_value());
        if (run.ok && index.pushed) {
            EXPECT_EQ(run.result, TFloats{*index.pushed});
        }
    }
}

TEST(ParticleNodesTest, TheStackRefusesMoreThanItsEntries)
{
    std::vector<TParticleStreamEntry> stream;
    const float one = 1;
    for (int i = 0; i < TParticleStack::kMaxEntries; ++i)
        stream.push_back({std::make_shared<FPush<float>>(&one), 0, {}});
    TFloats record = kRecord;
    TParticleView view;
    view.floats = record.data();
    view.floatCount = kRecordFloats;
    view.attributeAt = kAttributeAt;
    TParticleEvalContext context;
    EXPECT_TRUE(context.Run(stream, view));
    stream.push_back({std::make_shared<FPush<float>>(&one), 0, {}});
    EXPECT_FALSE(context.Run(stream, view));
    // A node that would take more operands than the stack holds ends the stream.
    EXPECT_FALSE(context.Run({{TParticleCompiler::CreateNode("add"), 2, {}}}, view));
}

} // namespace
