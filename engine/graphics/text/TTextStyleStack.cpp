#include "engine/graphics/text/TTextStyleStack.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Sizes, paddings and tab positions from markup stay in a range where the layout's
// arithmetic cannot overflow.
constexpr int kLargestValue = 100000;

int ClampedInt(const TString& value)
{
    return std::clamp(std::atoi(value.CStr()), -kLargestValue, kLargestValue);
}

// The value of a hexadecimal digit, or -1.
int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

void TTextStyleStack::Reset(const TString& face, int size, const TColor& colour)
{
    mFontDepth = 0;
    mFonts[0] = {face, size, colour};
    mBold = mItalic = mUnderline = false;
    mAlignDepth = 0;
    mAlignments[0] = -1;
    mLink = TString();
    mCurrentColour = TColor();
    mOutlineSize = 0.0f;
    mOutlineColour = TColor();
}

int TTextStyleStack::ScanTag(const char* text, int length, int index)
{
    mTagLength = 0;
    mTag[0] = '\0';
    if (index >= length || text[index] != '<')
        return 0;
    bool inQuotes = false;
    bool inValue = false;
    for (int at = index; at < length; ++at) {
        if (mTagLength == kTagBuffer)
            return at - index; // a tag too long to hold ends where the buffer is full
        const char c = text[at];
        if (c == ' ') {
            inValue = false;
            if (inQuotes)
                mTag[mTagLength++] = c;
        } else {
            if (c == '"' || c == '\'')
                inQuotes = !inQuotes;
            else if (c == '=')
                inValue = true;
            mTag[mTagLength++] =
                inValue ? c : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        mTag[mTagLength] = '\0';
        if (c == '>')
            return at - index + 1;
    }
    mTagLength = 0;
    mTag[0] = '\0';
    return 0;
}

bool TTextStyleStack::TagIs(const char* name) const
{
    return std::strncmp(mTag + 1, name, std::strlen(name)) == 0;
}

bool TTextStyleStack::GetAttribute(const char* name, TString& value) const
{
    const char* found = std::strstr(mTag, name);
    if (found == nullptr)
        return false;
    const char* after = found + std::strlen(name);
    for (const char quote : {'"', '\''}) {
        const char* open = std::strchr(after, quote);
        const char* close = open != nullptr ? std::strchr(open + 1, quote) : nullptr;
        if (close != nullptr) {
            value = TString(open + 1, static_cast<int>(close - open - 1));
            return true;
        }
    }
    return false;
}

bool TTextStyleStack::GetColour(const char* name, bool withAlpha, TColor& colour) const
{
    TString value;
    if (!GetAttribute(name, value))
        return false;
    const char* digits = value.CStr();
    if (*digits == '#')
        ++digits;
    int count = 0;
    uint64_t number = 0;
    for (; HexDigit(digits[count]) >= 0; ++count)
        number = number << 4 | static_cast<uint64_t>(HexDigit(digits[count]));
    if (withAlpha && count == 8 && digits[count] == '\0') {
        colour.SetFromBytes(int(number >> 24 & 0xFF), int(number >> 16 & 0xFF),
                            int(number >> 8 & 0xFF), int(number & 0xFF));
        return true;
    }
    colour.SetFromBytes(int(number >> 16 & 0xFF), int(number >> 8 & 0xFF), int(number & 0xFF), 255);
    return true;
}

void TTextStyleStack::PushAlignment(int alignment)
{
    ++mAlignDepth;
    if (mAlignDepth < kDepth)
        mAlignments[static_cast<size_t>(mAlignDepth)] = alignment;
}

bool TTextStyleStack::ParseTag(const char* text, int length, int index, TTag& tag)
{
    tag = TTag();
    tag.length = ScanTag(text, length, index);
    if (tag.length == 0)
        return false;
    Apply(tag);
    return true;
}

void TTextStyleStack::Apply(TTag& tag)
{
    TString value;
    const TColor fontColour = GetFont().colour;
    if (TagIs("br")) {
        tag.endsLine = tag.isContent = true;
        if (GetAttribute("pad", value))
            tag.padding = ClampedInt(value);
    } else if (TagIs("/p")) {
        tag.endsLine = tag.isContent = true;
    } else if (TagIs("a")) {
        if (GetAttribute("id", value))
            mLink = value;
        if (!GetColour("color", false, mCurrentColour))
            mCurrentColour = fontColour;
    } else if (TagIs("/a")) {
        mLink = TString();
        mCurrentColour = fontColour;
    } else if (TagIs("b") || TagIs("/b")) {
        mBold = mTag[1] == 'b';
    } else if (TagIs("i") || TagIs("/i")) {
        mItalic = mTag[1] == 'i';
    } else if (TagIs("u") || TagIs("/u")) {
        mUnderline = mTag[1] == 'u';
    } else if (TagIs("cursor")) {
        tag.isContent = tag.isCursor = true;
    } else if (TagIs("center") || TagIs("left") || TagIs("right")) {
        tag.endsLine = tag.aligns = true;
        PushAlignment(mTag[1] == 'c' ? 1 : mTag[1] == 'l' ? 0 : 2);
    } else if (TagIs("/center") || TagIs("/left") || TagIs("/right")) {
        tag.endsLine = tag.aligns = true;
        mAlignDepth = std::max(mAlignDepth - 1, 0);
    } else if (TagIs("font")) {
        ++mFontDepth;
        if (mFontDepth < kDepth) {
            TTextFontEntry& entry = mFonts[static_cast<size_t>(mFontDepth)];
            entry = mFonts[static_cast<size_t>(mFontDepth - 1)];
            if (GetAttribute("size", value))
                entry.size = std::clamp(ClampedInt(value), 0, 4096);
            GetColour("color", true, entry.colour);
            if (GetAttribute("face", value))
                entry.face = value;
        }
    } else if (TagIs("/font")) {
        mFontDepth = std::max(mFontDepth - 1, 0);
    } else if (TagIs("outline")) {
        GetColour("color", false, mOutlineColour);
        mOutlineSize = GetAttribute("size", value)
                           ? std::clamp(static_cast<float>(std::atof(value.CStr())), 0.0f, 256.0f)
                           : 2.0f;
    } else if (TagIs("/outline")) {
        mOutlineSize = 0.0f;
        mOutlineColour = TColor();
    } else if (TagIs("tab")) {
        if (GetAttribute("pos", value))
            tag.tab = 4 * std::clamp(ClampedInt(value), 0, kLargestValue);
    }
}
