#include "engine/script/lua/LuaAux.h"
#include "engine/script/lua/LuaLib.h"
#include "engine/script/lua/lib/LLibSupport.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

constexpr uint32_t kMaxCount = 0x7FFFFFFF;

// One code of a format with its count and prefixes.
struct TCode
{
    char mCode = 0;
    bool mWide = false;
    bool mHasCount = false;
    uint32_t mCount = 1;
    uint32_t mFill = 0; // @N:F only
};

// Reads codes one at a time from a pack or unpack format.
class TFormatReader
{
public:
    TFormatReader(const char* format, size_t length) : mFormat(format), mLength(length) {}

    bool Next(TCode& code)
    {
        if (mAt >= mLength)
            return false;
        code = TCode();
        code.mCode = mFormat[mAt++];
        if (code.mCode == 'w' && mAt < mLength) {
            code.mWide = true;
            code.mCode = mFormat[mAt++];
        }
        code.mHasCount = ReadNumber(code.mCount);
        if (code.mCount == 0)
            code.mCount = 1;
        if (code.mCode == '@') {
            if (!code.mHasCount)
                code.mCount = 0;
            if (mAt < mLength && mFormat[mAt] == ':') {
                ++mAt;
                ReadNumber(code.mFill);
            }
        }
        return true;
    }

private:
    bool ReadNumber(uint32_t& value)
    {
        value = 0;
        bool any = false;
        while (mAt < mLength && mFormat[mAt] >= '0' && mFormat[mAt] <= '9') {
            const uint32_t digit = static_cast<uint32_t>(mFormat[mAt++] - '0');
            value = value > (kMaxCount - digit) / 10 ? kMaxCount : value * 10 + digit;
            any = true;
        }
        return any;
    }

    const char* mFormat;
    size_t mLength;
    size_t mAt = 0;
};

int ByteCount(char code)
{
    switch (code) {
    case 'b':
    case 'c':
    case 'B':
    case 'p':
        return 1;
    case 'h':
    case 'H':
    case 'P':
        return 2;
    case 'i':
    case 'I':
    case 'l':
    case 'L':
    case 'f':
    case 'a':
        return 4;
    case 'd':
    case 'n':
        return 8;
    default:
        return 0;
    }
}

// Raises the argument error "bad code `?'" naming the code.
void BadCode(lua_State* L, int formatArg, char code)
{
    const char text[] = {'b', 'a', 'd', ' ', 'c', 'o', 'd', 'e', ' ', '`', code, '\'', 0};
    luaL_argerror(L, formatArg, text);
}

class TPacker
{
public:
    explicit TPacker(lua_State* L) : mL(L) {}

    void Add(const TCode& code)
    {
        switch (code.mCode) {
        case '<':
        case '=':
            mBigEndian = false;
            return;
        case '>':
            mBigEndian = true;
            return;
        case ' ':
        case ',':
            return;
        case '@':
            Mark(code);
            return;
        default:
            break;
        }
        for (uint32_t i = 0; i < code.mCount; ++i)
            AddValue(code);
    }

    const std::string& Result() const { return mOut; }

private:
    void Mark(const TCode& code)
    {
        if (!mMarked) {
            mMarked = true;
            mMarkAt = mOut.size();
            mMarkSize = code.mCount;
            mFillByte = static_cast<char>(code.mFill & 0xFF);
            return;
        }
        mMarked = false;
        const size_t written = mOut.size() - mMarkAt;
        if (written < mMarkSize) {
            CheckSize(mMarkSize - written);
            mOut.append(mMarkSize - written, mFillByte);
        }
    }

    void CheckSize(uint64_t extra)
    {
        if (extra > LLibSupport::kMaxBuiltString - mOut.size())
            luaL_error(mL, "resulting string too large");
    }

    void AddValue(const TCode& code)
    {
        const int arg = mArg++;
        switch (code.mCode) {
        case 'A':
        case 'z':
        case 'p':
        case 'P':
        case 'a':
            if (code.mWide)
                AddWideText(code.mCode, arg);
            else
                AddText(code.mCode, arg);
            return;
        case 'b':
        case 'H':
        case 'I':
        case 'L':
        case 'c':
        case 'h':
        case 'i':
        case 'l':
            LLibSupport::AppendBytes(mOut,
                                     static_cast<uint64_t>(LLibSupport::CheckInteger(mL, arg)),
                                     ByteCount(code.mCode), mBigEndian);
            return;
        case 'f':
        case 'd':
        case 'n':
            LLibSupport::AppendReal(mOut, luaL_checknumber(mL, arg), code.mCode == 'f', mBigEndian);
            return;
        case 'B':
            luaL_argcheck(mL, lua_type(mL, arg) == LUA_TBOOLEAN, arg, "expected a boolean");
            mOut.push_back(lua_toboolean(mL, arg) ? 1 : 0);
            return;
        default:
            BadCode(mL, 1, code.mCode);
        }
    }

    void AddLengthPrefix(char code, uint64_t count, int arg)
    {
        const int prefixSize = code == 'p' ? 1 : code == 'P' ? 2 : code == 'a' ? 4 : 0;
        if (prefixSize == 0)
            return;
        const uint64_t limit = (uint64_t(1) << (8 * prefixSize)) - 1;
        luaL_argcheck(mL, count <= limit, arg, "string too long for its length prefix");
        LLibSupport::AppendBytes(mOut, count, prefixSize, mBigEndian);
    }

    void AddText(char code, int arg)
    {
        size_t length = 0;
        const char* text = luaL_checklstring(mL, arg, &length);
        AddLengthPrefix(code, length, arg);
        CheckSize(length + 1);
        mOut.append(text, length);
        if (code == 'z')
            mOut.push_back(0);
    }

    void AddWideText(char code, int arg)
    {
        int length = 0;
        const char16_t* text = luaL_checklwstring(mL, arg, &length);
        const size_t count = length > 0 ? static_cast<size_t>(length) : 0;
        AddLengthPrefix(code, count, arg);
        CheckSize(2 * (uint64_t(count) + 1));
        for (size_t i = 0; i < count; ++i)
            LLibSupport::AppendBytes(mOut, text[i], 2, mBigEndian);
        if (code == 'z')
            LLibSupport::AppendBytes(mOut, 0, 2, mBigEndian);
    }

    lua_State* mL;
    std::string mOut;
    int mArg = 2;
    bool mBigEndian = false;
    bool mMarked = false;
    size_t mMarkAt = 0;
    size_t mMarkSize = 0;
    char mFillByte = 0;
};

int Pack(lua_State* L)
{
    size_t formatLength = 0;
    const char* format = luaL_checklstring(L, 1, &formatLength);
    TFormatReader reader(format, formatLength);
    TPacker packer(L);
    TCode code;
    while (reader.Next(code))
        packer.Add(code);
    lua_pushlstring(L, packer.Result().data(), packer.Result().size());
    return 1;
}

class TUnpacker
{
public:
    TUnpacker(lua_State* L, const char* data, size_t length, size_t at)
        : mL(L), mData(reinterpret_cast<const unsigned char*>(data)), mLength(length), mAt(at)
    {
    }

    // Unpacks one code; false once the data ran out.
    bool Take(const TCode& code)
    {
        switch (code.mCode) {
        case '<':
        case '=':
            mBigEndian = false;
            return true;
        case '>':
            mBigEndian = true;
            return true;
        case ' ':
        case ',':
            return true;
        case 'A':
            return TakeText(code.mWide, code.mCount);
        default:
            break;
        }
        if (ByteCount(code.mCode) == 0 && code.mCode != 'z') {
            BadCode(mL, 2, code.mCode);
            return false;
        }
        for (uint32_t i = 0; i < code.mCount; ++i) {
            if (!TakeOne(code))
                return false;
        }
        return true;
    }

    size_t Position() const { return mAt; }
    int Pushed() const { return mPushed; }

private:
    bool Available(uint64_t count) const { return mAt <= mLength && mLength - mAt >= count; }

    uint64_t Read(int byteCount)
    {
        uint64_t value = 0;
        for (int i = 0; i < byteCount; ++i) {
            const int shift = 8 * (mBigEndian ? byteCount - 1 - i : i);
            value |= uint64_t(mData[mAt + static_cast<size_t>(i)]) << shift;
        }
        mAt += static_cast<size_t>(byteCount);
        return value;
    }

    void MakeRoom()
    {
        luaL_checkstack(mL, 1, "too many results to unpack");
        ++mPushed;
    }

    bool TakeText(bool wide, uint64_t count)
    {
        const uint64_t bytes = wide ? 2 * count : count;
        if (!Available(bytes))
            return false;
        PushText(wide, static_cast<size_t>(count));
        return true;
    }

    void PushText(bool wide, size_t count)
    {
        MakeRoom();
        if (!wide) {
            lua_pushlstring(mL, reinterpret_cast<const char*>(mData + mAt), count);
            mAt += count;
            return;
        }
        std::u16string text(count, u'\0');
        for (size_t i = 0; i < count; ++i)
            text[i] = static_cast<char16_t>(Read(2));
        lua_pushlwstring(mL, text.data(), text.size());
    }

    bool TakeZeroTerminated(bool wide)
    {
        const size_t unit = wide ? 2 : 1;
        for (size_t end = mAt; end <= mLength && mLength - end >= unit; end += unit) {
            const bool zero = mData[end] == 0 && (!wide || mData[end + 1] == 0);
            if (!zero)
                continue;
            PushText(wide, (end - mAt) / unit);
            mAt += unit;
            return true;
        }
        return false;
    }

    bool TakeOne(const TCode& code)
    {
        if (code.mCode == 'z')
            return TakeZeroTerminated(code.mWide);
        const int size = ByteCount(code.mCode);
        if (!Available(static_cast<uint64_t>(size)))
            return false;
        switch (code.mCode) {
        case 'p':
        case 'P':
        case 'a': {
            const size_t start = mAt;
            const uint64_t count = Read(size);
            if (TakeText(code.mWide, count))
                return true;
            mAt = start;
            return false;
        }
        case 'B':
            MakeRoom();
            lua_pushboolean(mL, Read(1) != 0);
            return true;
        case 'f': {
            const uint32_t bits = static_cast<uint32_t>(Read(4));
            float value;
            std::memcpy(&value, &bits, sizeof value);
            MakeRoom();
            lua_pushnumber(mL, value);
            return true;
        }
        case 'd':
        case 'n': {
            const uint64_t bits = Read(8);
            double value;
            std::memcpy(&value, &bits, sizeof value);
            MakeRoom();
            lua_pushnumber(mL, value);
            return true;
        }
        default:
            break;
        }
        const uint64_t raw = Read(size);
        const bool isSigned =
            code.mCode == 'c' || code.mCode == 'h' || code.mCode == 'i' || code.mCode == 'l';
        double value = static_cast<double>(raw);
        if (isSigned && (raw >> (8 * size - 1)) != 0)
            value -= static_cast<double>(uint64_t(1) << (8 * size));
        MakeRoom();
        lua_pushnumber(mL, value);
        return true;
    }

    lua_State* mL;
    const unsigned char* mData;
    size_t mLength;
    size_t mAt;
    bool mBigEndian = false;
    int mPushed = 0;
};

int Unpack(lua_State* L)
{
    size_t length = 0;
    size_t formatLength = 0;
    const char* data = luaL_checklstring(L, 1, &length);
    const char* format = luaL_checklstring(L, 2, &formatLength);
    const int64_t start = LLibSupport::OptInteger(L, 3, 1);
    luaL_argcheck(L, start >= 1, 3, "start position out of range");
    lua_settop(L, 3);
    lua_pushnil(L); // placeholder for the next position
    const size_t at = static_cast<size_t>(start - 1);
    TFormatReader reader(format, formatLength);
    TUnpacker unpacker(L, data, length, at);
    TCode code;
    while (reader.Next(code) && unpacker.Take(code)) {
    }
    lua_pushnumber(L, static_cast<double>(unpacker.Position() + 1));
    lua_replace(L, 4);
    return unpacker.Pushed() + 1;
}

const luaL_reg kPackFunctions[] = {
    {"pack", Pack},
    {"unpack", Unpack},
    {nullptr, nullptr},
};

} // namespace

int luaopen_pack(lua_State* L)
{
    luaL_openlib(L, "string", kPackFunctions, 0);
    return 1;
}
