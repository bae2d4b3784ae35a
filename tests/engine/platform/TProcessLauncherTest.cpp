#include "engine/platform/TProcessLauncher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

TEST(TProcessLauncher, EachArgumentArrivesWhole)
{
    const std::filesystem::path out =
        std::filesystem::temp_directory_path() / ("velmora_launch_" + std::to_string(getpid()));
    const std::string url = "https://example.org/a b?q=\"x y\"&z='1';rm -rf /";
    ASSERT_TRUE(TProcessLauncher::Start(
        {"sh", "-c", "printf '%s|%s' \"$1\" \"$#\" > \"$2.tmp\" && mv \"$2.tmp\" \"$2\"", "sh", url,
         out.string()}));
    // The program runs on its own; wait for its answer. The deadline only bounds a
    // failing run, so it is generous for a busy machine.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!std::filesystem::exists(out) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream file(out);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ(text.str(), url + "|2");
    std::filesystem::remove(out);
}

TEST(TProcessLauncher, MissingProgramIsRefused)
{
    EXPECT_FALSE(TProcessLauncher::Start({"velmora-no-such-program"}));
    EXPECT_FALSE(TProcessLauncher::Start({}));
}

} // namespace
