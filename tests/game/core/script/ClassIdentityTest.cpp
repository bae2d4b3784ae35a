#include "game/core/script/ClassIdentity.h"

#include "game/core/script/Identified.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using YOLT::Core::ClassId;
using YOLT::Core::ClassIdentity;
using YOLT::Core::Identified;
using YOLT::Core::KindCast;

class Thing : public Identified<ClassIdentity, "Thing">
{
public:
    explicit Thing(int weight = 0) : mWeight(weight) {}
    int mWeight;
};

class Walker : public Identified<Thing, "Walker">
{
public:
    using Identified::Identified; // Thing's constructors
};

class Guest : public Identified<Walker, "Guest">
{
};

class Robot : public Identified<Thing, "Robot">
{
};

// Joins no class of its own: answers as a Guest.
class QuietGuest : public Guest
{
};

TEST(ClassIdentityTest, AnObjectIsOfItsClassAndEachOfItsBases)
{
    const Thing thing;
    const Walker walker(7);
    const Guest guest;
    const Robot robot;
    const QuietGuest quiet;
    struct TCase
    {
        const ClassIdentity* object;
        const char* name;
        bool thing, walker, guest, robot;
    };
    const TCase cases[] = {
        {&thing, "Thing", true, false, false, false}, {&walker, "Walker", true, true, false, false},
        {&guest, "Guest", true, true, true, false},   {&robot, "Robot", true, false, false, true},
        {&quiet, "Guest", true, true, true, false},
    };
    for (const TCase& test : cases) {
        EXPECT_EQ(std::string(test.object->GetClassName()), test.name);
        EXPECT_TRUE(test.object->IsKindOf(&ClassIdentity::TypeId)) << test.name;
        EXPECT_EQ(test.object->IsKindOf(&Thing::TypeId), test.thing) << test.name;
        EXPECT_EQ(test.object->IsKindOf(&Walker::TypeId), test.walker) << test.name;
        EXPECT_EQ(test.object->IsKindOf(&Guest::TypeId), test.guest) << test.name;
        EXPECT_EQ(test.object->IsKindOf(&Robot::TypeId), test.robot) << test.name;
        EXPECT_EQ(KindCast<Walker>(test.object) != nullptr, test.walker) << test.name;
    }
    EXPECT_EQ(KindCast<Walker>(static_cast<const ClassIdentity*>(&walker))->mWeight, 7);
}

TEST(ClassIdentityTest, EveryClassHasItsOwnIdAndName)
{
    const ClassId ids[] = {&ClassIdentity::TypeId, &Thing::TypeId, &Walker::TypeId, &Guest::TypeId,
                           &Robot::TypeId};
    for (size_t i = 0; i < std::size(ids); ++i)
        for (size_t j = i + 1; j < std::size(ids); ++j)
            EXPECT_NE(ids[i], ids[j]) << ids[i]() << " and " << ids[j]();
    EXPECT_EQ(&QuietGuest::TypeId, &Guest::TypeId);
    EXPECT_EQ(std::string(Robot::TypeId()), "Robot");
}

TEST(ClassIdentityTest, DownCastsCheckTheKind)
{
    std::unique_ptr<Thing> guest = std::make_unique<Guest>();
    std::unique_ptr<Thing> robot = std::make_unique<Robot>();
    EXPECT_EQ(KindCast<Guest>(guest.get()), guest.get());
    EXPECT_EQ(KindCast<Walker>(guest.get()), guest.get());
    EXPECT_EQ(KindCast<Guest>(robot.get()), nullptr);
    EXPECT_EQ(KindCast<Walker>(robot.get()), nullptr);
    EXPECT_EQ(KindCast<Guest>(static_cast<Thing*>(nullptr)), nullptr);
}

} // namespace
