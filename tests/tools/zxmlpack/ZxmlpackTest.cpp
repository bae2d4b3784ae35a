// zxmlpack as its users meet it: a round trip, and the reason an unpack is refused.

#include "tests/tools/ToolTest.h"

#include <string>

namespace {

using ZxmlpackTest = ToolTest;

TEST_F(ZxmlpackTest, PackThenUnpackGivesTheTextBack)
{
    std::string text = "<strings>\n";
    for (int i = 0; i < 200; ++i)
        text += "  <s id=\"label" + std::to_string(i) + "\">Text number " + std::to_string(i) +
                "</s>\n";
    text += "</strings>\n";
    Write("strings.xml", text);
    ASSERT_EQ(Run("zxmlpack", {"strings.xml", "packed.xml"}).mStatus, 0);
    EXPECT_EQ(Read(mFolder / "packed.xml").rfind("ZXML", 0), 0u);
    const TToolResult unpack = Run("zxmlpack", {"-d", "packed.xml", "again.xml"});
    ASSERT_EQ(unpack.mStatus, 0) << unpack.mErr;
    EXPECT_EQ(Read(mFolder / "again.xml"), text);
}

TEST_F(ZxmlpackTest, AnUnpackThatFailsSaysWhy)
{
    std::string text(5000, 'x');
    for (size_t i = 0; i < text.size(); i += 7)
        text[i] = static_cast<char>('a' + i % 26);
    Write("plain.xml", text);
    ASSERT_EQ(Run("zxmlpack", {"plain.xml", "good.zxml"}).mStatus, 0);
    const std::string good = Read(mFolder / "good.zxml");
    ASSERT_GT(good.size(), 40u);

    std::string overLimit = good;
    overLimit.replace(8, 4, "\xff\xff\xff\x7f"); // unpacked size far over the limit
    std::string corrupt = good;
    corrupt[12] = '\x00'; // the zlib header
    std::string tooLong = good;
    tooLong[8] = '\x10'; // announces fewer bytes than the stream holds
    tooLong[9] = tooLong[10] = tooLong[11] = '\0';
    struct TCase
    {
        const char* mName;
        std::string mBytes;
        const char* mReason;
    };
    const TCase cases[] = {
        {"header", "ZXML\x01", "xml: header.zxml: packed header cut short\n"},
        {"limit", overLimit,
         "xml: limit.zxml: unpacked size 2147483647 is over the limit of 67108864 bytes\n"},
        {"cut", good.substr(0, good.size() - 10), "xml: cut.zxml: packed data cut short\n"},
        {"corrupt", corrupt, "xml: corrupt.zxml: packed data corrupt\n"},
        {"long", tooLong, "xml: long.zxml: unpacks to more than the 16 bytes its header gives\n"},
    };
    for (const TCase& c : cases) {
        const std::string name = std::string(c.mName) + ".zxml";
        Write(name, c.mBytes);
        const TToolResult result = Run("zxmlpack", {"-d", name, "out.xml"});
        EXPECT_EQ(result.mStatus, 1) << c.mName;
        EXPECT_EQ(result.mErr, c.mReason + std::string("zxmlpack: cannot unpack ") + name + "\n");
    }
}

} // namespace
