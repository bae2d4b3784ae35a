#include "engine/script/lua/objects/LInputStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// Hands out a text in pieces of at most mPieceSize bytes, reusing one buffer (as file
// readers do), so a piece is only valid until the next call.
struct LPieceReader
{
    std::string mText;
    std::size_t mPieceSize;
    std::size_t mPosition;
    char mBuffer[8];
};

const char* ReadPiece(lua_State*, void* data, std::size_t* size)
{
    LPieceReader* r = static_cast<LPieceReader*>(data);
    if (r->mPosition >= r->mText.size())
        return nullptr;
    *size = std::min(r->mPieceSize, r->mText.size() - r->mPosition);
    r->mText.copy(r->mBuffer, *size, r->mPosition);
    r->mPosition += *size;
    return r->mBuffer;
}

std::string ReadAll(LInputStream* z)
{
    std::string out;
    for (int c; (c = luaZ_getc(z)) != kEndOfStream;)
        out += static_cast<char>(c);
    return out;
}

struct LWideMarkCase
{
    std::string mText;
    bool mWide;
    std::string mRest;
};

TEST(LInputStreamTest, WideMarkIsFoundInAnyPieceSize)
{
    const LWideMarkCase cases[] = {
        {std::string("\xff\xfex\0", 4), true, std::string("x\0", 2)},
        {"\xffx", false, "\xffx"},
        {"\xff", false, "\xff"},
        {"\xfe\xff", false, "\xfe\xff"},
        {"ab", false, "ab"},
        {"", false, ""},
    };
    for (std::size_t pieceSize : {1u, 2u, 3u, 8u}) {
        for (const LWideMarkCase& c : cases) {
            LPieceReader reader{c.mText, pieceSize, 0, {}};
            LInputStream z;
            luaZ_init(&z, &ReadPiece, &reader, "=t");
            luaZ_detectwide(&z);
            EXPECT_EQ(z.mWide != 0, c.mWide) << pieceSize << " " << c.mText;
            EXPECT_EQ(ReadAll(&z), c.mRest) << pieceSize << " " << c.mText;
        }
    }
}

TEST(LInputStreamTest, ReadCrossesPiecesAndReportsWhatIsMissing)
{
    LPieceReader reader{"abcdefg", 3, 0, {}};
    LInputStream z;
    luaZ_init(&z, &ReadPiece, &reader, "=t");
    char out[8] = {};
    EXPECT_EQ(luaZ_read(&z, out, 5), 0u);
    EXPECT_EQ(std::string(out, 5), "abcde");
    EXPECT_EQ(luaZ_lookahead(&z), 'f');
    EXPECT_EQ(luaZ_read(&z, out, 4), 2u); // only "fg" was left
    EXPECT_EQ(luaZ_lookahead(&z), kEndOfStream);
}

} // namespace
