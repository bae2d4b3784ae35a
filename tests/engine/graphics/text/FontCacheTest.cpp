#include "engine/graphics/text/FontCache.h"

#include "engine/graphics/text/TVecFont.h"
#include "tests/engine/graphics/ImageFolder.h"
#include "tests/engine/graphics/text/TextTestSupport.h"

#include <gtest/gtest.h>

namespace {

using FontCacheTest = TextTest;

// Which of the test's fonts font is: the square font has "C" but no "~", the partial one
// neither, the built-in font both.
std::string Which(const TVecFont* font)
{
    if (font == nullptr)
        return "none";
    const bool c = font->FindGlyph('C') >= 0;
    const bool tilde = font->FindGlyph('~') >= 0;
    return c && tilde ? "built-in" : c ? "square" : font->FindGlyph('A') >= 0 ? "partial" : "empty";
}

TEST_F(FontCacheTest, NamesFallBackToTheDefaultFileAndThenTheBuiltInFont)
{
    TImageFolder folder; // the log
    EXPECT_EQ(Which(FontCache::GetFont("fonts/partial.mvec")), "partial");
    EXPECT_EQ(Which(FontCache::GetFont("fonts/missing.mvec")), "square");
    EXPECT_EQ(Which(FontCache::GetFont("fonts/broken.mvec")), "empty");
    EXPECT_EQ(Which(FontCache::GetFont("__DEFAULT")), "built-in");
    EXPECT_EQ(Which(FontCache::GetFont("")), "square");
    RegisterMemoryFile("fonts/default.mvec", nullptr, 0);
    EXPECT_EQ(Which(FontCache::GetFont("fonts/other.mvec")), "built-in");
    for (const char* name : {"fonts/partial.mvec", "fonts/missing.mvec", "fonts/broken.mvec",
                             "__DEFAULT", "", "fonts/other.mvec"})
        EXPECT_EQ(folder.CountLogLines(TString::Printf(FontCache::kNotFoundLog, name).CStr()), 0);
}

TEST_F(FontCacheTest, ANameIsReadOnce)
{
    TVecFont* missing = FontCache::GetFont("fonts/late.mvec");
    EXPECT_EQ(Which(missing), "square");
    // The file appears later: the name keeps its fallback and the file is not read.
    Register("fonts/late.mvec", mPartial);
    EXPECT_EQ(FontCache::GetFont("fonts/late.mvec"), missing);
    TVecFont* partial = FontCache::GetFont("fonts/partial.mvec");
    Register("fonts/partial.mvec", mSquare);
    EXPECT_EQ(FontCache::GetFont("fonts/partial.mvec"), partial);
    EXPECT_EQ(Which(partial), "partial");
    // Clear forgets them all.
    FontCache::Clear();
    EXPECT_EQ(Which(FontCache::GetFont("fonts/late.mvec")), "partial");
}

} // namespace
