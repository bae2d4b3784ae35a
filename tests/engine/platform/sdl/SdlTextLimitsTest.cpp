#include "engine/platform/sdl/SdlTextLimits.h"

#include "engine/platform/TPlatformLog.h"
#include "tests/engine/platform/sdl/SdlWindowTest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

TEST(SdlTextLimits, CutsOnACharacterBoundary)
{
    const std::string e = "\xC3\xA9";             // 2 bytes
    const std::string euro = "\xE2\x82\xAC";      // 3 bytes
    const std::string smile = "\xF0\x9F\x98\x80"; // 4 bytes
    struct TCase
    {
        std::string text;
        size_t characters;
        size_t bytes;
        std::string expected;
    } cases[] = {
        {"abc", 3, 3, "abc"},
        {"abcd", 3, 100, "abc"},
        {"abcd", 100, 2, "ab"},
        {"a" + e + "b", 2, 100, "a" + e},
        {"a" + e + "b", 100, 2, "a"}, // the byte bound falls inside "é"
        {"a" + euro, 100, 3, "a"},
        {"a" + smile + "b", 100, 4, "a"},
        {"a" + smile + "b", 100, 5, "a" + smile},
        {smile + smile, 1, 100, smile},
        {e + euro + smile, 2, 100, e + euro},
        {"", 0, 0, ""},
        {"ab", 0, 100, ""},
        // Continuation bytes without a lead: the cut backs up at most three bytes.
        {std::string(8, '\x80'), 100, 5, std::string(2, '\x80')},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(CutUtf8(c.text, c.characters, c.bytes), c.expected)
            << c.text << " " << c.characters << " " << c.bytes;
}

std::vector<std::string> sLines;

// The line a cut logs: kTextCutLog behind the platform's tag.
std::string Logged(const char* format, const char* what, size_t bytes, size_t kept)
{
    char text[256];
    snprintf(text, sizeof text, format, what, bytes, kept);
    return std::string(TPlatformLog::kTag) + text;
}

void Collect(const char* line)
{
    sLines.emplace_back(line);
}

// Titles and clipboard texts reach SDL cut to their bounds, with a log line; shorter
// ones as they are, without one.
class SdlTextLimitsWindowTest : public SdlWindowTest
{
protected:
    void SetUp() override
    {
        SdlWindowTest::SetUp();
        sLines.clear();
        TPlatformLog::SetSink(&Collect);
    }

    void TearDown() override
    {
        TPlatformLog::SetSink(nullptr);
        SdlWindowTest::TearDown();
    }

    // kMaxTitleCharacters - 1 letters, then "é" as the last character that fits and more
    // after it: 20 MB in all.
    static std::string LongTitle()
    {
        std::string title(kMaxTitleCharacters - 1, 'v');
        title += "\xC3\xA9";
        title.resize(20u << 20, 'w');
        return title;
    }
};

TEST_F(SdlTextLimitsWindowTest, LongWindowTitlesAreCut)
{
    const std::string expected = std::string(kMaxTitleCharacters - 1, 'v') + "\xC3\xA9";
    mWindow->SetTitle(LongTitle());
    EXPECT_EQ(mWindow->GetTitle(), expected);
    mWindow.reset();
    mWindow = mVideo->CreateWindow(LongTitle(), 480, 360);
    ASSERT_NE(mWindow, nullptr);
    EXPECT_EQ(mWindow->GetTitle(), expected);
    const std::string line = Logged(kTextCutLog, "window title", 20971520, 1025);
    EXPECT_EQ(sLines, std::vector<std::string>({line, line}));

    sLines.clear();
    mWindow->SetTitle(expected);
    EXPECT_EQ(mWindow->GetTitle(), expected);
    EXPECT_TRUE(sLines.empty());
}

TEST_F(SdlTextLimitsWindowTest, LongClipboardTextsAreCut)
{
    // "€" straddles the bound: the text keeps what comes before it.
    std::string text(kMaxClipboardBytes - 1, 'c');
    text += "\xE2\x82\xAC";
    text.resize(17u << 20, 'd');
    ASSERT_TRUE(mVideo->SetClipboardText(text));
    EXPECT_EQ(mVideo->GetClipboardText(), std::string(kMaxClipboardBytes - 1, 'c'));
    EXPECT_EQ(sLines,
              std::vector<std::string>({Logged(kTextCutLog, "clipboard text", 17825792, 65535)}));

    sLines.clear();
    const std::string fits(kMaxClipboardBytes, 'f');
    ASSERT_TRUE(mVideo->SetClipboardText(fits));
    EXPECT_EQ(mVideo->GetClipboardText(), fits);
    EXPECT_TRUE(sLines.empty());
}

} // namespace
