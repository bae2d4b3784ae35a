#include "engine/script/lua/lib/LPatternMatcher.h"

#include "engine/script/lua/LuaAux.h"

#include <cctype>
#include <cstdint>
#include <cstring>

namespace {

constexpr char kEscape = '%';
constexpr char kSpecials[] = "^$*+?.([%-";

int Byte(const char* p)
{
    return static_cast<unsigned char>(*p);
}

// Character classes of the C locale, for every byte (bytes 128-255 are in none).
enum : uint16_t
{
    kAlpha = 1 << 0,
    kControl = 1 << 1,
    kDigit = 1 << 2,
    kLower = 1 << 3,
    kPunct = 1 << 4,
    kSpace = 1 << 5,
    kUpper = 1 << 6,
    kHexDigit = 1 << 7,
};

struct TClassTable
{
    uint16_t mFlags[256] = {};

    constexpr TClassTable()
    {
        for (int c = 0; c < 128; ++c) {
            uint16_t f = 0;
            const bool upper = c >= 'A' && c <= 'Z';
            const bool lower = c >= 'a' && c <= 'z';
            const bool digit = c >= '0' && c <= '9';
            if (upper)
                f |= kUpper | kAlpha;
            if (lower)
                f |= kLower | kAlpha;
            if (digit)
                f |= kDigit | kHexDigit;
            if ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))
                f |= kHexDigit;
            if (c < 32 || c == 127)
                f |= kControl;
            if (c == ' ' || (c >= 9 && c <= 13))
                f |= kSpace;
            if (c > 32 && c < 127 && !upper && !lower && !digit)
                f |= kPunct;
            mFlags[c] = f;
        }
    }
};

constexpr TClassTable kClassTable;

} // namespace

LPatternMatcher::LPatternMatcher(lua_State* L, const char* subject, size_t subjectLength,
                                 const char* pattern, size_t patternLength, bool allowAnchor)
    : mL(L), mSubject(subject), mSubjectEnd(subject + subjectLength), mPattern(pattern)
{
    const void* zero = std::memchr(pattern, 0, patternLength);
    mPatternEnd = zero ? static_cast<const char*>(zero) : pattern + patternLength;
    if (allowAnchor && mPattern < mPatternEnd && *mPattern == '^') {
        mAnchored = true;
        ++mPattern;
    }
}

bool LPatternMatcher::IsPlain(const char* pattern, size_t patternLength)
{
    for (size_t i = 0; i < patternLength && pattern[i] != 0; ++i) {
        if (std::strchr(kSpecials, pattern[i]))
            return false;
    }
    return true;
}

long LPatternMatcher::MatchAt(size_t start)
{
    mLevel = 0;
    mDepth = 0;
    const char* end = DoMatch(mSubject + start, mPattern);
    return end ? static_cast<long>(end - mSubject) : -1;
}

bool LPatternMatcher::MatchClass(int c, int classLetter)
{
    const uint16_t flags = kClassTable.mFlags[c & 0xFF];
    bool result;
    switch (classLetter | 0x20) {
    case 'a':
        result = flags & kAlpha;
        break;
    case 'c':
        result = flags & kControl;
        break;
    case 'd':
        result = flags & kDigit;
        break;
    case 'l':
        result = flags & kLower;
        break;
    case 'p':
        result = flags & kPunct;
        break;
    case 's':
        result = flags & kSpace;
        break;
    case 'u':
        result = flags & kUpper;
        break;
    case 'w':
        result = flags & (kAlpha | kDigit);
        break;
    case 'x':
        result = flags & kHexDigit;
        break;
    case 'z':
        result = (c == 0);
        break;
    default:
        return classLetter == c;
    }
    // An upper-case class letter is the complement.
    return (classLetter >= 'A' && classLetter <= 'Z') ? !result : result;
}

const char* LPatternMatcher::ClassEnd(const char* p) const
{
    const char c = *p++;
    if (c == kEscape) {
        if (p >= mPatternEnd)
            luaL_error(mL, "malformed pattern (ends with `%%')");
        return p + 1;
    }
    if (c != '[')
        return p;
    if (p < mPatternEnd && *p == '^')
        ++p;
    // The first character of a set is always a member, so "[]]" holds a bracket.
    do {
        if (p >= mPatternEnd)
            luaL_error(mL, "malformed pattern (missing `]')");
        const char member = *p++;
        if (member == kEscape && p < mPatternEnd)
            ++p;
    } while (p >= mPatternEnd || *p != ']');
    return p + 1;
}

bool LPatternMatcher::MatchBracketClass(int c, const char* p, const char* ec) const
{
    // p is at '[', ec at the closing ']'.
    bool member = true;
    if (p[1] == '^') {
        member = false;
        ++p;
    }
    while (++p < ec) {
        if (*p == kEscape) {
            ++p;
            if (MatchClass(c, Byte(p)))
                return member;
        } else if (p + 2 < ec && p[1] == '-') {
            p += 2;
            if (Byte(p - 2) <= c && c <= Byte(p))
                return member;
        } else if (Byte(p) == c) {
            return member;
        }
    }
    return !member;
}

bool LPatternMatcher::SingleMatch(int c, const char* p, const char* ep) const
{
    switch (*p) {
    case '.':
        return true;
    case kEscape:
        return MatchClass(c, Byte(p + 1));
    case '[':
        return MatchBracketClass(c, p, ep - 1);
    default:
        return Byte(p) == c;
    }
}

const char* LPatternMatcher::MatchBalance(const char* s, const char* p) const
{
    if (p + 1 >= mPatternEnd)
        luaL_error(mL, "unbalanced pattern");
    if (s >= mSubjectEnd || *s != *p)
        return nullptr;
    const char open = p[0];
    const char close = p[1];
    int depth = 1;
    while (++s < mSubjectEnd) {
        if (*s == close) {
            if (--depth == 0)
                return s + 1;
        } else if (*s == open) {
            ++depth;
        }
    }
    return nullptr;
}

const char* LPatternMatcher::MaxExpand(const char* s, const char* p, const char* ep)
{
    ptrdiff_t count = 0;
    while (s + count < mSubjectEnd && SingleMatch(Byte(s + count), p, ep))
        ++count;
    for (; count >= 0; --count) {
        if (const char* res = DoMatch(s + count, ep + 1))
            return res;
    }
    return nullptr;
}

const char* LPatternMatcher::MinExpand(const char* s, const char* p, const char* ep)
{
    for (;;) {
        if (const char* res = DoMatch(s, ep + 1))
            return res;
        if (s < mSubjectEnd && SingleMatch(Byte(s), p, ep))
            ++s;
        else
            return nullptr;
    }
}

const char* LPatternMatcher::StartCapture(const char* s, const char* p, long what)
{
    if (mLevel >= kMaxCaptures)
        luaL_error(mL, "too many captures");
    mCaptures[mLevel].mStart = s;
    mCaptures[mLevel].mLength = what;
    ++mLevel;
    const char* res = DoMatch(s, p);
    if (!res)
        --mLevel;
    return res;
}

int LPatternMatcher::CaptureToClose() const
{
    for (int level = mLevel - 1; level >= 0; --level) {
        if (mCaptures[level].mLength == kUnfinished)
            return level;
    }
    luaL_error(mL, "invalid pattern capture");
    return 0;
}

const char* LPatternMatcher::EndCapture(const char* s, const char* p)
{
    const int level = CaptureToClose();
    mCaptures[level].mLength = static_cast<long>(s - mCaptures[level].mStart);
    const char* res = DoMatch(s, p);
    if (!res)
        mCaptures[level].mLength = kUnfinished;
    return res;
}

int LPatternMatcher::CheckedCaptureIndex(int digit) const
{
    const int index = digit - '1';
    if (index < 0 || index >= mLevel || mCaptures[index].mLength == kUnfinished)
        luaL_error(mL, "invalid capture index");
    return index;
}

const char* LPatternMatcher::MatchBackReference(const char* s, int digit) const
{
    const TCapture& capture = mCaptures[CheckedCaptureIndex(digit)];
    const size_t length = capture.mLength == kPosition ? 0 : static_cast<size_t>(capture.mLength);
    if (static_cast<size_t>(mSubjectEnd - s) >= length &&
        std::memcmp(capture.mStart, s, length) == 0)
        return s + length;
    return nullptr;
}

const char* LPatternMatcher::DoMatch(const char* s, const char* p)
{
    struct TDepthGuard
    {
        int& mDepth;
        explicit TDepthGuard(int& depth) : mDepth(depth) { ++mDepth; }
        ~TDepthGuard() { --mDepth; }
    } guard(mDepth);
    if (mDepth > kMaxDepth)
        luaL_error(mL, "pattern too complex");

    for (;;) {
        if (p >= mPatternEnd)
            return s;
        switch (*p) {
        case '(':
            if (p + 1 < mPatternEnd && p[1] == ')')
                return StartCapture(s, p + 2, kPosition);
            return StartCapture(s, p + 1, kUnfinished);
        case ')':
            return EndCapture(s, p + 1);
        case '$':
            if (p + 1 == mPatternEnd)
                return s == mSubjectEnd ? s : nullptr;
            break;
        case kEscape:
            if (p + 1 < mPatternEnd) {
                const char next = p[1];
                if (next == 'b') {
                    s = MatchBalance(s, p + 2);
                    if (!s)
                        return nullptr;
                    p += 4;
                    continue;
                }
                if (next == 'f') {
                    p += 2;
                    if (p >= mPatternEnd || *p != '[')
                        luaL_error(mL, "missing `[' after `%%f' in pattern");
                    const char* ep = ClassEnd(p);
                    const int previous = (s == mSubject) ? 0 : Byte(s - 1);
                    const int current = (s < mSubjectEnd) ? Byte(s) : 0;
                    if (MatchBracketClass(previous, p, ep - 1) ||
                        !MatchBracketClass(current, p, ep - 1))
                        return nullptr;
                    p = ep;
                    continue;
                }
                if (std::isdigit(static_cast<unsigned char>(next))) {
                    s = MatchBackReference(s, next);
                    if (!s)
                        return nullptr;
                    p += 2;
                    continue;
                }
            }
            break;
        default:
            break;
        }

        // A single character class, possibly followed by a quantifier.
        const char* ep = ClassEnd(p);
        const bool matched = s < mSubjectEnd && SingleMatch(Byte(s), p, ep);
        const char quantifier = ep < mPatternEnd ? *ep : 0;
        switch (quantifier) {
        case '?':
            if (matched) {
                if (const char* res = DoMatch(s + 1, ep + 1))
                    return res;
            }
            p = ep + 1;
            continue;
        case '*':
            return MaxExpand(s, p, ep);
        case '+':
            return matched ? MaxExpand(s + 1, p, ep) : nullptr;
        case '-':
            return MinExpand(s, p, ep);
        default:
            if (!matched)
                return nullptr;
            ++s;
            p = ep;
            continue;
        }
    }
}

void LPatternMatcher::PushCapture(int index, size_t start, size_t end)
{
    if (index >= mLevel) {
        if (index != 0)
            luaL_error(mL, "invalid capture index");
        lua_pushlstring(mL, mSubject + start, end - start);
        return;
    }
    const TCapture& capture = mCaptures[index];
    if (capture.mLength == kUnfinished)
        luaL_error(mL, "unfinished capture");
    if (capture.mLength == kPosition)
        lua_pushnumber(mL, static_cast<double>(capture.mStart - mSubject + 1));
    else
        lua_pushlstring(mL, capture.mStart, static_cast<size_t>(capture.mLength));
}

int LPatternMatcher::PushCaptures(size_t start, size_t end, bool wholeIfNone)
{
    const int count = (mLevel == 0 && wholeIfNone) ? 1 : mLevel;
    luaL_checkstack(mL, count, "too many captures");
    for (int i = 0; i < count; ++i)
        PushCapture(i, start, end);
    return count;
}
