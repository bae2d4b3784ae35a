#include "engine/foundation/xml/TXmlNode.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TPathMap.h"
#include "engine/foundation/xml/TZxml.h"
#include "engine/foundation/xml/XmlText.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/foundation/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// A compact picture of a tree: name, attributes (a quoted value in quotes), the text in
// braces, then the children in brackets.
std::string Describe(TXmlNode& node)
{
    std::string out = node.GetName().CStr();
    for (const XmlAttribute& attribute : node.GetAttributes()) {
        out += std::string(" ") + attribute.name.CStr() + "=";
        out += attribute.quoted ? std::string("'") + attribute.value.CStr() + "'"
                                : attribute.value.CStr();
    }
    if (node.GetText().Length() > 0) {
        out += std::string("{") + node.GetText().CStr() + "}";
    }
    if (node.HasChildren()) {
        out += "[";
        node.ResetChildIterator();
        TString name;
        TXmlNode* child = nullptr;
        bool first = true;
        while (node.NextChild(name, child)) {
            out += (first ? "" : ",") + Describe(*child);
            first = false;
        }
        out += "]";
    }
    return out;
}

std::string Parse(const std::string& text)
{
    TXmlNode root;
    root.LoadString(text.data(), text.size());
    return Describe(root);
}

TEST(TXmlNodeReader, DocumentsGiveTheseTrees)
{
    struct TCase
    {
        const char* document;
        const char* tree;
    } cases[] = {
        {"<a x=1 y=\"2 3\">hello   big world</a>", "[a x=1 y='2 3'{hello big world}]"},
        {"<a/>", "[a]"},
        {"<a />", "[a]"},
        {"<a></a>", "[a]"},
        {"<a/>text", "{text}[a]"}, // no content is parsed into an empty element
        {"<a>1<b/>2</a>", "[a{1 2}[b]]"},
        {"<a><b></a>after</b>", "[a{after}[b]]"}, // an end tag closes whatever is open
        {"<a>x = y</a>", "[a{x = y}]"},
        {"<a>&#233;</a>", "[a{\xe9}]"},
        {"<a>&#x41;</a>", "[a]"},    // hexadecimal reads as 0: the text is one NUL byte
        {"<a>&#321;</a>", "[a{A}]"}, // 321 modulo 256
        {"<a>a&lt;b</a>", "[a{a<b}]"},
        {"<a>&lt;b&gt; c</a>", "[a{<b> c}]"}, // a token starting with a reference is text
        {"<a>&unknown; &amp;&quot;&apos;</a>", "[a{&unknown; &\"'}]"},
        {"<!-- note --><a/>", "[!--,a]"},
        {"<!--note here--><a/>", "[!--note,a]"},
        {"<!-- a > b --><c/>", "{b -- >}[!--,c]"}, // ">" inside a comment ends it
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><r/>",
         "[?xml version='1.0' encoding='UTF-8',r]"},
        {"<!DOCTYPE html><r/>", "[!DOCTYPE,r]"},
        {"<a lone x=1>t</a>", "[a x=1{t}]"}, // a name without a value is lost
        {"<a x=\"\">t</a>", "[a x=''{t}]"},
        {"<a>\"quoted  run\"</a>", "[a{quoted  run}]"},
        {"<a><b>unfinished", "[a[b{unfinished}]]"}, // truncated input keeps what was read
        {"<a x=", "[a]"},
        {"<", ""},
        {"", ""},
        {"<a>caf\xc3\xa9 \xe2\x82\xac</a>", "[a{caf\xc3\xa9 \xe2\x82\xac}]"},
        {"<a>\xc3", "[a{\xc3\xff}]"}, // a cut UTF-8 sequence reads its missing byte as 255
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Parse(c.document), c.tree) << c.document;
    }
}

// A value between single quotes reads as the same value between double quotes: the other
// kind of quote, references, blanks and markup characters inside stay part of it, and
// the attribute after it is read as well, from the plain text and from its packed form.
TEST(TXmlNodeReader, SingleAndDoubleQuotedValuesReadTheSame)
{
    struct TCase
    {
        const char* written; // "%" stands for the other kind of quote
        const char* value;
    } cases[] = {
        {"3.5", "3.5"},
        {"two words", "two words"},
        {"", ""},
        {"say %hi%", "say %hi%"},
        {"a &amp; b", "a & b"},
        {"&apos;&quot;", "'\""},
        {"&#65;&lt;", "A<"},
        {"  padded\tand\nbroken  ", "  padded\tand\nbroken  "},
        {"a>b", "a>b"},
        {">", ">"},
        {"=", "="},
        {"<b/>", "<b/>"},
        {"/", "/"},
    };
    for (const char quote : {'\'', '"'}) {
        const char other = quote == '"' ? '\'' : '"';
        for (const TCase& c : cases) {
            std::string written = c.written;
            std::string value = c.value;
            for (std::string* text : {&written, &value})
                for (char& character : *text)
                    character = character == '%' ? other : character;
            const std::string document =
                std::string("<a v = ") + quote + written + quote + " w=1>t</a>";
            SCOPED_TRACE(document);
            TXmlNode root;
            root.LoadString(document.data(), document.size());
            TXmlNode* a = root.FindChild("a");
            ASSERT_NE(a, nullptr);
            bool quoted = false;
            EXPECT_EQ(std::string(a->GetAttribute("v", &quoted).CStr()), value);
            EXPECT_TRUE(quoted);
            EXPECT_EQ(a->GetAttribute("w"), TString("1"));
            EXPECT_EQ(a->GetText(), TString("t"));
            const std::string packed = TZxml::Pack(document);
            TXmlNode fromPacked;
            fromPacked.LoadPacked(packed.data(), packed.size());
            EXPECT_EQ(Describe(fromPacked), Describe(root));
        }
    }
    TXmlNode number;
    number.LoadString("<p X='3.5' T='two words'/>");
    EXPECT_DOUBLE_EQ(std::atof(number.FindChild("p")->GetAttribute("X").CStr()), 3.5);
    EXPECT_EQ(number.FindChild("p")->GetAttribute("T"), TString("two words"));
}

TEST(TXmlNodeReader, SingleQuotesOutsideValuesAreApostrophes)
{
    EXPECT_EQ(Parse("<a>it's 'quoted' here</a>"), "[a{it's 'quoted' here}]");
    EXPECT_EQ(Parse("<a x=it's y='1'>'t</a>"), "[a x=it's y='1'{'t}]");
}

// A quote never closed takes the rest of the input, which is logged with the line the
// quote opened on.
TEST(TXmlNodeReader, AQuoteNeverClosedIsLogged)
{
    struct TCase
    {
        const char* document;
        const char* tree;
        const char* line;
    } cases[] = {
        {"<a x='abc>text</a>", "[a x='abc>text</a>']",
         "xml: document: the single quote opened on line 1 is never closed, so the rest of the "
         "input is read into it\n"},
        {"<a>\n<b y=\"1\n2></b></a>", "[a[b y='1\n2></b></a>']]",
         "xml: document: the double quote opened on line 2 is never closed, so the rest of the "
         "input is read into it\n"},
        {"<a>\"quoted\n", "[a{quoted\n}]",
         "xml: document: the double quote opened on line 1 is never closed, so the rest of the "
         "input is read into it\n"},
        {"<a x='1' y=\"2\">it's</a>", "[a x='1' y='2'{it's}]", ""},
    };
    InitLogOnStandardError();
    for (const TCase& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(Parse(c.document), c.tree) << c.document;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.line) << c.document;
    }
    InitLog(nullptr);
}

TEST(TXmlNodeReader, QueriesFindByExactName)
{
    TXmlNode root;
    root.LoadString("<settings><Gamename>x</Gamename><gamename a=1 a=2>y</gamename></settings>");
    TXmlNode* settings = root.FindChild("settings");
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->FindChild("gamename")->GetText(), TString("y"));
    EXPECT_EQ(settings->FindChild("GAMENAME"), nullptr);
    bool quoted = true;
    EXPECT_EQ(settings->FindChild("gamename")->GetAttribute("a", &quoted), TString("1"));
    EXPECT_FALSE(quoted);
    EXPECT_EQ(settings->FindChild("gamename")->GetAttribute("b"), TString());

    TXmlNode* node = settings->FindChild("gamename");
    TString name;
    TString value;
    int count = 0;
    node->ResetAttributeIterator();
    while (node->NextAttribute(name, value)) {
        ++count;
    }
    EXPECT_EQ(count, 2) << "duplicate attributes are kept";
}

TEST(TXmlNodeReader, NestingDeeperThanTheLimitIsDropped)
{
    std::string deep;
    for (int i = 0; i < 100000; ++i) {
        deep += "<a>";
    }
    TXmlNode root;
    root.LoadString(deep.c_str());
    int depth = 0;
    for (TXmlNode* node = &root; node->HasChildren(); node = node->FindChild("a")) {
        ++depth;
    }
    EXPECT_EQ(depth, TXmlNode::kMaxDepth);
}

TEST(TXmlNodeWriter, WritesIndentedElementsWithEscapedText)
{
    TXmlNode root("prefs");
    root.SetAttribute("version", "2");
    root.SetAttribute("version", "3");
    TXmlNode* user = root.AddChild("user");
    user->AppendText("Ann <& \"B\"", 10);
    user->AddAttribute("id", "7", false);
    root.AddChild("empty");
    EXPECT_STREQ(root.ToString().CStr(),
                 "<prefs\n"
                 "    version=\"3\">\n"
                 "    <user\n"
                 "        id=7>\n"
                 "    Ann &lt;&amp; &quot;B&quot;\n" // text sits at its element's indent
                 "    </user>\n"
                 "    <empty>\n"
                 "    </empty>\n"
                 "</prefs>\n");
}

TEST(TXmlNodeWriter, EscapesControlAndHighBytesPerByte)
{
    EXPECT_STREQ(XmlEscape(TString("\xc3\xa9\t'")).CStr(), "&#195;&#169;&#9;&apos;");
    bool fromReference = false;
    EXPECT_EQ(XmlUnescape(TString("&#195;&#169;x"), &fromReference), TString("\xc3\xa9x"));
    EXPECT_TRUE(fromReference);
}

TEST(TXmlNodeWriter, WriteThenReadGivesTheSameTree)
{
    TXmlNode root("root");
    TXmlNode* a = root.AddChild("a");
    a->SetAttribute("name", "caf\xc3\xa9 & <bar>");
    a->SetAttribute("empty", "");
    const std::string text = "line\none\ttab \x01 \xe2\x82\xac";
    a->AppendText(text.data(), static_cast<int>(text.size()));
    TXmlNode* b = a->AddChild("b");
    b->AppendText("<not a tag>", 11);
    a->AddChild("c")->AddChild("d");

    TXmlNode reread; // the document's elements become children of the root it is read into
    reread.LoadString(root.ToString().CStr());
    ASSERT_EQ(reread.GetChildCount(), 1u);
    EXPECT_EQ(Describe(*reread.FindChild("root")), Describe(root));
}

TEST(TXmlNodeReader, PackedAndPlainGiveTheSameTree)
{
    const std::string plain = "<?xml version=\"1.0\"?><a x=\"1\">text<b y=2/></a>";
    const std::string packed = TZxml::Pack(plain);
    ASSERT_TRUE(TZxml::IsPacked(packed.data(), packed.size()));
    TXmlNode fromPacked;
    fromPacked.LoadString(packed.data(), packed.size());
    EXPECT_EQ(Describe(fromPacked), Parse(plain));

    TXmlNode fromBlock;
    fromBlock.LoadPacked(packed.data(), packed.size());
    EXPECT_EQ(Describe(fromBlock), Parse(plain));
}

TEST(TXmlNodeReader, DamagedPackedBlocksGiveAnEmptyDocument)
{
    const std::string good = TZxml::Pack("<a>some text that is long enough to pack</a>");
    std::string oversized = good;
    oversized[8] = oversized[9] = oversized[10] = oversized[11] = '\xff'; // unpacked 4 GiB
    std::string cut = good.substr(0, good.size() - 5);
    std::string claimsMore = good;
    claimsMore[7] = '\x7f'; // packed size beyond the bytes present
    std::string corrupt = good;
    corrupt[14] ^= 0x55;
    std::string claimsLess = good;
    claimsLess[8] = static_cast<char>(claimsLess[8] - 1); // one byte fewer than the stream holds
    struct TCase
    {
        const char* what;
        std::string block;
        const char* tree;
    } cases[] = {
        {"good", good, "[a{some text that is long enough to pack}]"},
        {"header only", "ZXML\x10", ""},
        {"unpacked size over the limit", oversized, ""},
        {"stream cut short", cut, ""},
        {"packed size beyond the data", claimsMore, "[a{some text that is long enough to pack}]"},
        {"corrupt stream", corrupt, ""},
        {"unpacked size too small", claimsLess, ""},
    };
    for (const TCase& c : cases) {
        TXmlNode root;
        root.LoadPacked(c.block.data(), c.block.size());
        EXPECT_EQ(Describe(root), c.tree) << c.what;
    }
    TXmlNode unsized;
    unsized.LoadString(good.c_str()); // the header's zero bytes end the text
    EXPECT_FALSE(unsized.HasChildren());
}

TEST(TXmlNodeReader, LargePackedDocumentsUnpackWhole)
{
    std::string plain = "<a>";
    for (int i = 0; i < 40000; ++i) {
        plain += "<b>" + std::to_string(i) + "</b>";
    }
    plain += "</a>";
    const std::string packed = TZxml::Pack(plain);
    std::string text;
    ASSERT_TRUE(TZxml::Unpack(packed.data(), packed.size(), text, "test"));
    EXPECT_EQ(text, plain);
    TXmlNode root;
    root.LoadPacked(packed.data(), packed.size());
    ASSERT_NE(root.FindChild("a"), nullptr);
    EXPECT_EQ(root.FindChild("a")->GetChildCount(), 40000u);
}

// The tests below read files through the process-wide path map.
using TXmlNodeReaderTest = EngineStateTest;

TEST_F(TXmlNodeReaderTest, LoadsPlainAndPackedFiles)
{
    TTempFolder temp;
    TPathMap::Get().SetWorkingFolder(temp.Path().c_str());
    temp.Write("plain.xml", "<a>\r\n<b>x</b>\r\n</a>");
    temp.Write("packed.xml", TZxml::Pack("<a>\r\n<b>x</b>\r\n</a>"));
    TXmlNode plain;
    TXmlNode packed;
    TXmlNode missing;
    EXPECT_TRUE(plain.LoadFile("::plain.xml"));
    EXPECT_TRUE(packed.LoadFile("::packed.xml"));
    EXPECT_FALSE(missing.LoadFile("::missing.xml"));
    EXPECT_EQ(Describe(plain), "[a[b{x}]]");
    EXPECT_EQ(Describe(packed), "[a[b{x}]]");
    EXPECT_EQ(Describe(missing), "");
}

TEST_F(TXmlNodeReaderTest, AQuoteNeverClosedInAFileIsLoggedWithTheFilesName)
{
    TTempFolder temp;
    TPathMap::Get().SetWorkingFolder(temp.Path().c_str());
    temp.Write("broken.xml", "<a>\r\n<b x='1 y=2/>\r\n</a>");
    TXmlNode root;
    InitLogOnStandardError();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(root.LoadFile("::broken.xml"));
    const std::string lines = testing::internal::GetCapturedStderr();
    InitLog(nullptr);
    EXPECT_EQ(lines, "xml: ::broken.xml: the single quote opened on line 2 is never closed, so "
                     "the rest of the input is read into it\n");
    EXPECT_EQ(Describe(root), "[a[b x='1 y=2/>\r\n</a>']]");
}

} // namespace
