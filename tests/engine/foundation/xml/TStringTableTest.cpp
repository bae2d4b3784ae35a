#include "engine/foundation/xml/TStringTable.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TMemoryFile.h"
#include "engine/foundation/files/TPathMap.h"
#include "engine/foundation/xml/TZxml.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/foundation/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Row(const std::string& label, const std::string& text)
{
    return "<Row><Cell><Data ss:Type=\"String\">" + label +
           "</Data></Cell><Cell><Data ss:Type=\"String\">" + text + "</Data></Cell></Row>\n";
}

std::string Sheet(const std::string& rows)
{
    return "<?xml version=\"1.0\"?>\n<Workbook><Worksheet><Table>\n<Column ss:Width=\"9\"/>\n" +
           rows + "</Table></Worksheet></Workbook>\n";
}

class TStringTableTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string sheet =
            Sheet(Row("windowtitle", "Velmora Spa") + Row("score", "Score: %1% of %2%") +
                  Row("six", "%6%") + Row("zero", "%0%") + Row("sure", "100%% sure") +
                  Row("fifty", "at 50%") + Row("unsure", "100% sure") +
                  Row("welcome", "Welcome to %windowtitle%!") + Row("level", "Level %1") +
                  Row("lead", "%%1%") + Row("nested", "[%welcome%]") +
                  Row("broken", "see %nolabel%") + Row("first", "%01% then %2%"));
        mTable.LoadText(sheet.data(), sheet.size(), "test");
    }

    TStringTable mTable;
};

TEST_F(TStringTableTest, SubstitutionCases)
{
    struct TCase
    {
        const char* label;
        std::vector<TString> arguments;
        const char* expected;
    } cases[] = {
        {"score", {"7", "10"}, "Score: 7 of 10"},
        {"score", {}, "Score:  of "}, // missing arguments are empty
        {"six", {"1", "2", "3", "4", "5"}, "#####"},
        {"zero", {"x"}, "#####"},
        {"sure", {}, "100% sure"},
        {"fifty", {}, "at 50%"},
        {"unsure", {}, "#####"}, // " sure" is read as a label name
        {"welcome", {}, "Welcome to Velmora Spa!"},
        {"nested", {}, "[Welcome to %windowtitle%!]"}, // a label's text is not expanded again
        {"score", {"%windowtitle%", "%%"}, "Score: Velmora Spa of %"},
        {"score", {"%nolabel%", "1"}, "#####"},
        {"score", {"%", "1"}, "#####"},
        {"score", {"%x", "1"}, "#####"},
        {"level", {"3"}, "Level 3"}, // an unterminated placeholder is not copied twice
        {"lead", {"a"}, "%1%"},
        {"first", {"a", "b"}, "a then b"},
        {"broken", {}, "#####"},
        {"missing", {}, "#####"},
        {"Windowtitle", {}, "#####"}, // labels are case-sensitive
    };
    for (const TCase& c : cases) {
        TString arguments[TStringTable::kMaxArguments];
        for (size_t i = 0; i < c.arguments.size(); ++i) {
            arguments[i] = c.arguments[i];
        }
        EXPECT_STREQ(mTable
                         .GetString(c.label, arguments[0], arguments[1], arguments[2], arguments[3],
                                    arguments[4])
                         .CStr(),
                     c.expected)
            << c.label;
    }
}

TEST_F(TStringTableTest, SubstituteChecksArgumentNumbersAgainstTheCount)
{
    const TString arguments[] = {"7", "10"};
    EXPECT_STREQ(mTable.Substitute("score", 2, arguments).CStr(), "Score: 7 of 10");
    EXPECT_STREQ(mTable.Substitute("score", 1, arguments).CStr(), "#####");
}

// Each failure is logged as what it is: a missing label, or the sequence of a text that
// cannot be expanded.
TEST_F(TStringTableTest, AFailedLookupLogsWhatFailed)
{
    struct TCase
    {
        const char* label;
        std::vector<TString> arguments;
        const char* line;
    } cases[] = {
        {"nolabel", {}, " ##### : Missing string for label 'nolabel'"},
        {"broken",
         {},
         " ##### : String for label 'broken' holds %nolabel%, which names no argument or label"},
        {"six",
         {"1"},
         " ##### : String for label 'six' holds %6%, which names no argument or label"},
        {"unsure",
         {},
         " ##### : String for label 'unsure' holds % sure, which names no argument or label"},
        {"score",
         {"%nolabel%"},
         " ##### : String for label 'score' holds %1% (its argument %nolabel%), which names no "
         "argument or "
         "label"},
    };
    InitLogOnStandardError();
    for (const TCase& c : cases) {
        std::vector<TString> arguments = c.arguments;
        arguments.resize(TStringTable::kMaxArguments);
        testing::internal::CaptureStderr();
        EXPECT_STREQ(mTable.Substitute(c.label, 5, arguments.data()).CStr(), "#####");
        EXPECT_EQ(testing::internal::GetCapturedStderr(), std::string(c.line) + "\n");
    }
    InitLog(nullptr);
}

// What placeholders insert is bounded by kMaxGrowth bytes: a table that names a long text
// thousands of times gives "#####" and a log line, not a result of gigabytes.
TEST(TStringTableBound, PlaceholdersInsertAtMostTheBound)
{
    const std::string kilo(1024, 'k');
    const std::string big(TStringTable::kMaxGrowth + 1, 'b');
    std::string repeated;
    for (int i = 0; i < 64; ++i) {
        repeated += "%kilo%";
    }
    std::string many;
    for (int i = 0; i < 5000; ++i) {
        many += "%big%";
    }
    const std::string sheet = Sheet(Row("kilo", kilo) + Row("big", big) + Row("full", repeated) +
                                    Row("over", repeated + "%%") + Row("many", many) +
                                    Row("arg", "[%1%]") + Row("plain", big + big));
    TStringTable table;
    table.LoadText(sheet.data(), sheet.size(), "test");

    struct TCase
    {
        const char* label;
        TString argument;
        size_t length; // 0: refused
    } cases[] = {
        {"full", "", TStringTable::kMaxGrowth}, // exactly at the bound
        {"over", "", 0},                        // one byte past it
        {"many", "", 0},
        {"arg", TString(kilo.c_str()), kilo.size() + 2},
        {"arg", TString(big.c_str()), 0},
        {"arg", "%big%", 0},
        {"plain", "", 2 * big.size()}, // a text's own characters are not insertions
    };
    for (const TCase& c : cases) {
        const TString result = table.GetString(c.label, c.argument);
        if (c.length == 0) {
            EXPECT_STREQ(result.CStr(), "#####") << c.label;
        } else {
            EXPECT_EQ(static_cast<size_t>(result.Length()), c.length) << c.label;
        }
    }

    InitLogOnStandardError();
    testing::internal::CaptureStderr();
    table.GetString("many");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              " ##### : String for label 'many' inserts more than 65536 bytes by %big%, so it is "
              "refused\n");
    InitLog(nullptr);
}

TEST(TStringTableLoad, AFileThatGivesNoTextsIsLoggedByName)
{
    TTempFolder temp;
    TPathMap::Get().SetWorkingFolder(temp.Path().c_str());
    temp.Write("junk.xml", "<html>not a sheet</html>");
    TStringTable table;
    InitLogOnStandardError();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(table.Load("::missing.xml"));
    EXPECT_TRUE(table.Load("::junk.xml"));
    const std::string lines = testing::internal::GetCapturedStderr();
    InitLog(nullptr);
    EXPECT_EQ(lines, "strings: ::missing.xml: cannot be opened, its texts stay missing\n"
                     "strings: ::junk.xml: no \"<Row\" in it, so no texts (not a string table?)\n");
    EXPECT_EQ(table.GetCount(), 0u);
}

TEST(TStringTableLoad, RowsCellsAndReplacement)
{
    const std::string sheet =
        Sheet("<Row><Cell><Data>only</Data></Cell></Row>\n"
              "<Row><Cell>no data cells</Cell></Row>\n" +
              Row("Title", "Upper") + Row("title", "lower") + Row("rich", "<B>bold</B> text") +
              Row("cut", "plain <Font>red</Font>") + Row("entity", "caf&#233; &amp; &lt;tea&gt;") +
              Row("title", "replaced") +
              "<Row><Cell><Data>three</Data></Cell><Cell><Data>2nd</Data></Cell>"
              "<Cell><Data>3rd</Data></Cell></Row>");
    TStringTable table;
    table.LoadText(sheet.data(), sheet.size(), "test");
    struct TCase
    {
        const char* label;
        const char* text;
    } cases[] = {
        {"only", ""},     {"Title", "Upper"}, {"title", "replaced"},
        {"rich", ""},     {"cut", "plain "},  {"entity", "caf\xe9 & <tea>"},
        {"three", "2nd"},
    };
    for (const TCase& c : cases) {
        EXPECT_TRUE(table.Has(c.label)) << c.label;
        EXPECT_STREQ(table.GetString(c.label).CStr(), c.text) << c.label;
    }
    EXPECT_EQ(table.GetCount(), 7u);
}

// The tests below read files through the process-wide path map.
using TStringTableLoadTest = EngineStateTest;

TEST_F(TStringTableLoadTest, FilesPackedOrPlainAndLoadReplacing)
{
    TTempFolder temp;
    TPathMap::Get().SetWorkingFolder(temp.Path().c_str());
    temp.Write("a.xml", Sheet(Row("a", "plain") + Row("both", "from a")));
    temp.Write("b.xml", TZxml::Pack(Sheet(Row("b", "packed") + Row("both", "from b"))));
    std::string damaged = TZxml::Pack(Sheet(Row("c", "c")));
    damaged[11] = '\x7f'; // unpacked size far over the limit
    temp.Write("c.xml", damaged);

    TStringTable table;
    EXPECT_TRUE(table.Load("::a.xml"));
    EXPECT_TRUE(table.Load("::b.xml"));
    EXPECT_TRUE(table.Load("::c.xml"));
    EXPECT_FALSE(table.Load("::missing.xml"));
    EXPECT_STREQ(table.GetString("both").CStr(), "from b");
    EXPECT_STREQ(table.GetString("b").CStr(), "packed");
    EXPECT_EQ(table.GetCount(), 3u);

    EXPECT_TRUE(table.LoadReplacing("::b.xml"));
    EXPECT_FALSE(table.Has("a"));
    EXPECT_FALSE(table.LoadReplacing("::missing.xml"));
    EXPECT_EQ(table.GetCount(), 0u);
}

TEST_F(TStringTableLoadTest, TheShippedTableNamesTheWindow)
{
    TPathMap::Get().SetWorkingFolder(VELMORA_SOURCE_DIR);
    LoadFinalList();
    TStringTable table;
    ASSERT_TRUE(table.LoadReplacing("strings.xml"));
    EXPECT_STREQ(table.GetString("windowtitle").CStr(), "Velmora Spa");
}

TEST(TStringTableFlash, FlashPrefixedLabelsWinOverNumberedOnes)
{
    struct TCase
    {
        std::string rows;
        std::vector<std::string> labels;
    } cases[] = {
        {Row("FLASH_b", "2") + Row("FLASH_a", "1") + Row("flash01_02", "x") + Row("flash_x", "y"),
         {"FLASH_a", "FLASH_b"}},
        {Row("flash01_02", "x") + Row("flash3", "z") + Row("flashy", "n") + Row("Flash1_1", "n") +
             Row("flash_1", "n"),
         {"flash01_02", "flash3"}},
        {Row("other", "o"), {}},
    };
    for (const TCase& c : cases) {
        TStringTable table;
        const std::string sheet = Sheet(c.rows);
        table.LoadText(sheet.data(), sheet.size(), "test");
        std::vector<std::pair<TString, TString>> labels;
        table.GetFlashLabels(labels);
        std::vector<std::string> names;
        for (const auto& [label, text] : labels) {
            names.push_back(label.CStr());
        }
        EXPECT_EQ(names, c.labels);
    }
}

} // namespace
