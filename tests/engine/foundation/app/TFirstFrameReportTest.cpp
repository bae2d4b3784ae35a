#include "engine/foundation/app/TFirstFrameReport.h"

#include "tests/engine/platform/TScopedEnvironment.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// What was written to file.
std::string ReadAll(std::FILE* file)
{
    std::rewind(file);
    std::string text;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, file) != nullptr)
        text += buffer;
    return text;
}

struct TTurn
{
    int frames;
    uint32_t milliseconds;
};

struct TReportCase
{
    const char* name;
    std::vector<TTurn> turns;
    const char* expectedStart; // null: nothing written
};

TEST(TFirstFrameReport, TheFirstTurnWithAFrameReportsOnce)
{
    const TReportCase kCases[] = {
        {"no frame yet", {{0, 10}, {0, 20}}, nullptr},
        {"the first frame", {{0, 10}, {1, 212}}, "first frame: 212 ms after the engine started, "},
        {"later turns say nothing more",
         {{1, 90}, {2, 100}, {5, 400}},
         "first frame: 90 ms after the engine started, "},
        {"several frames at once",
         {{0, 5}, {3, 250}},
         "first frame: 250 ms after the engine started, "},
    };
    for (const TReportCase& c : kCases) {
        std::FILE* out = std::tmpfile();
        ASSERT_NE(out, nullptr);
        TFirstFrameReport report(out);
        for (const TTurn& turn : c.turns)
            report.Update(turn.frames, turn.milliseconds);
        const std::string text = ReadAll(out);
        std::fclose(out);
        EXPECT_EQ(report.IsDone(), c.expectedStart != nullptr) << c.name;
        if (c.expectedStart == nullptr) {
            EXPECT_EQ(text, "") << c.name;
            continue;
        }
        // One line, with the resident set in KB.
        EXPECT_EQ(text.rfind(c.expectedStart, 0), 0u) << c.name << ": " << text;
        EXPECT_NE(text.find(" KB resident\n"), std::string::npos) << c.name << ": " << text;
        EXPECT_EQ(text.find('\n'), text.size() - 1) << c.name << ": " << text;
        const long kilobytes = std::stol(text.substr(std::string(c.expectedStart).size()));
        EXPECT_GT(kilobytes, 0) << c.name;
    }
}

TEST(TFirstFrameReport, OnlyTheEnvironmentsOneAsksForTheLine)
{
    for (const char* value : {static_cast<const char*>(nullptr), "", "0", "yes"}) {
        TScopedEnvironment variable("VELMORA_FIRST_FRAME", value);
        TFirstFrameReport report;
        testing::internal::CaptureStdout();
        report.Update(1, 100);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << (value ? value : "(not set)");
    }
    TScopedEnvironment variable("VELMORA_FIRST_FRAME", "1");
    TFirstFrameReport report;
    testing::internal::CaptureStdout();
    report.Update(1, 100);
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("first frame: 100 ms", 0), 0u);
}

} // namespace
