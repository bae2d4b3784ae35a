#include "engine/platform/TInstanceLock.h"
#include "engine/platform/TSystemPaths.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

namespace {

std::string UniqueName()
{
    return "velmora_test_" + std::to_string(getpid()) + "_MUTEX.lock";
}

TEST(TInstanceLock, SecondHolderIsRefusedUntilTheFirstLetsGo)
{
    const std::string name = UniqueName();
    std::unique_ptr<TInstanceLock> first;
    ASSERT_EQ(TInstanceLock::Create(name, first), TInstanceLock::TResult::Acquired);
    ASSERT_NE(first, nullptr);

    std::unique_ptr<TInstanceLock> second;
    EXPECT_EQ(TInstanceLock::Create(name, second), TInstanceLock::TResult::HeldElsewhere);
    EXPECT_EQ(second, nullptr);

    first.reset();
    EXPECT_EQ(TInstanceLock::Create(name, second), TInstanceLock::TResult::Acquired);
    second.reset();
    std::remove((TSystemPaths::GetRuntimeFolder() + name).c_str()); // the lock file stays otherwise
}

TEST(TInstanceLock, UnusableFolderIsReportedNotHeld)
{
    std::unique_ptr<TInstanceLock> lock;
    EXPECT_EQ(TInstanceLock::Create("no/such/folder/x.lock", lock),
              TInstanceLock::TResult::Unavailable);
}

} // namespace
