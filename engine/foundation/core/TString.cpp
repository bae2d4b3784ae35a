#include "engine/foundation/core/TString.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr int kMinCapacity = 16;
constexpr int64_t kMaxLength = 0x7ffffffe;
constexpr int kStackFormatSize = 4096;

// Capacity of a representation made to hold exactly len bytes of text.
int CapacityFor(int64_t len)
{
    return (len >= kMinCapacity - 1 && len <= kMaxLength) ? static_cast<int>(len + 1)
                                                          : kMinCapacity;
}

int StrLen(const char* text)
{
    return text ? static_cast<int>(strnlen(text, kMaxLength)) : 0;
}

bool BytesMatch(const char* text, const char* sub, int subLen, bool noCase)
{
    for (int i = 0; i < subLen; ++i) {
        unsigned char a = static_cast<unsigned char>(text[i]);
        unsigned char b = static_cast<unsigned char>(sub[i]);
        if (noCase) {
            a = static_cast<unsigned char>(toupper(a));
            b = static_cast<unsigned char>(toupper(b));
        }
        if (a != b)
            return false;
    }
    return true;
}

bool PointsInto(const TStringRep* rep, const void* p)
{
    if (!rep || !p)
        return false;
    const auto begin = reinterpret_cast<uintptr_t>(rep->text);
    const auto at = reinterpret_cast<uintptr_t>(p);
    return at >= begin && at < begin + static_cast<uintptr_t>(rep->capacity);
}

char ToUpperIf(char c, bool noCase)
{
    return noCase ? static_cast<char>(toupper(static_cast<unsigned char>(c))) : c;
}

// The length of rep's text once n bytes were written at pos over a text of oldLength
// bytes (and a NUL after them when terminate was set). Only the bytes the write touched,
// and without a terminator those after them, are looked at.
int LengthAfterWrite(const TStringRep& rep, int oldLength, int pos, int n, bool terminate)
{
    if (pos > oldLength)
        return oldLength; // the gap before pos reads as NUL bytes
    const char* written = rep.text + pos;
    if (const void* nul = memchr(written, 0, static_cast<size_t>(n)))
        return pos + static_cast<int>(static_cast<const char*>(nul) - written);
    const int end = pos + n;
    if (terminate)
        return end;
    if (end < oldLength)
        return oldLength;
    // The old terminator was overwritten (or sits at end): the text runs on into what
    // lay past it.
    return end + static_cast<int>(strnlen(rep.text + end, static_cast<size_t>(rep.capacity - end)));
}

} // namespace

// ---- representation management -------------------------------------------------------

TStringRep* TString::NewRep(int capacity)
{
    capacity = std::max(capacity, kMinCapacity);
    auto* rep = new (std::nothrow) TStringRep;
    if (!rep)
        return nullptr;
    // Zero-filled: every byte past the text reads as NUL, so the buffer always holds a
    // terminator even after unterminated writes.
    rep->text = static_cast<char*>(calloc(static_cast<size_t>(capacity), 1));
    if (!rep->text) {
        delete rep;
        return nullptr;
    }
    rep->capacity = capacity;
    return rep;
}

TStringRep* TString::NewRep(const char* data, int n, int capacity)
{
    TStringRep* rep = NewRep(capacity);
    if (rep && n > 0) {
        memcpy(rep->text, data, static_cast<size_t>(n));
        rep->length = static_cast<int>(strnlen(rep->text, static_cast<size_t>(n)));
    }
    return rep;
}

TString TString::FromRep(TStringRep* rep)
{
    TString result;
    result.mRep = rep;
    return result;
}

void TString::Release(TStringRep* rep)
{
    if (!rep || rep->refcount.fetch_sub(1, std::memory_order_acq_rel) != 1)
        return;
    free(rep->text);
    delete rep;
}

void TString::Adopt(TStringRep* rep)
{
    Release(mRep);
    mRep = rep;
}

bool TString::Unshare()
{
    if (mRep && mRep->refcount.load(std::memory_order_acquire) > 1)
        *this = CStr();
    return mRep != nullptr;
}

bool TString::EnsureCapacity(int64_t need)
{
    if (need > INT_MAX)
        return false;
    if (!mRep || mRep->capacity < need)
        Reallocate(static_cast<int>(need));
    return mRep != nullptr;
}

bool TString::GrowTo(int64_t need)
{
    if (need > INT_MAX)
        return false;
    if (mRep && mRep->capacity < need) {
        int64_t grown = mRep->capacity;
        while (grown < need)
            grown *= 2;
        Reallocate(static_cast<int>(std::min<int64_t>(grown, INT_MAX)));
    } else if (!mRep) {
        Reallocate(static_cast<int>(need));
    }
    return mRep != nullptr;
}

// ---- construction and assignment -------------------------------------------------------

TString::TString(const char* text)
{
    int len = StrLen(text);
    mRep = NewRep(text, len, len + 1);
}

TString::TString(const char* data, int n)
{
    if (n < 0 || (!data && n > 0))
        n = 0;
    mRep = NewRep(data, n, CapacityFor(n));
}

TString::TString(const TString& other) : mRep(other.mRep)
{
    if (mRep)
        mRep->refcount.fetch_add(1, std::memory_order_relaxed);
}

TString::TString(TString&& other) noexcept : mRep(other.mRep)
{
    other.mRep = nullptr;
}

TString::~TString()
{
    Release(mRep);
    mRep = nullptr;
}

TString& TString::operator=(const TString& other)
{
    if (mRep == other.mRep)
        return *this;
    if (other.mRep)
        other.mRep->refcount.fetch_add(1, std::memory_order_relaxed);
    Adopt(other.mRep);
    return *this;
}

TString& TString::operator=(TString&& other) noexcept
{
    if (this != &other) {
        Adopt(other.mRep);
        other.mRep = nullptr;
    }
    return *this;
}

TString& TString::operator=(const char* text)
{
    TString copy(text);
    Adopt(copy.mRep);
    copy.mRep = nullptr;
    return *this;
}

void TString::AssignPrintf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    *this = Format(format, args);
    va_end(args);
}

// ---- reading ---------------------------------------------------------------------------

int TString::Length() const
{
    return mRep ? mRep->length : 0;
}

const char* TString::CStr() const
{
    return mRep ? mRep->text : "";
}

char TString::CharAt(int index) const
{
    return static_cast<unsigned>(index) < static_cast<unsigned>(Length()) ? mRep->text[index] : 0;
}

int TString::ToInt() const
{
    return atoi(CStr());
}

int TString::Compare(const TString& other) const
{
    int result = strcmp(CStr(), other.CStr());
    return (result > 0) - (result < 0);
}

int TString::FindChar(char c, int flags, int start) const
{
    int len = Length();
    if (start < 0 || start >= len)
        return -1;
    const bool noCase = flags & kNoCase;
    const char wanted = ToUpperIf(c, noCase);
    const char* text = mRep->text;
    if (flags & kBackwards) {
        for (int pos = len - 1 - start; pos >= 0; --pos) {
            if (ToUpperIf(text[pos], noCase) == wanted)
                return pos;
        }
        return -1;
    }
    for (int pos = start; text[pos] != '\0'; ++pos) {
        if (ToUpperIf(text[pos], noCase) == wanted)
            return pos;
    }
    return -1;
}

int TString::Find(const char* sub, int flags, int start) const
{
    int len = Length();
    if (start < 0 || start >= len)
        return -1;
    const int subLen = StrLen(sub);
    const int last = len - subLen;
    const bool noCase = flags & kNoCase;
    const char* text = mRep->text;
    if (flags & kBackwards) {
        for (int pos = last - start; pos >= 0; --pos) {
            if (BytesMatch(text + pos, sub, subLen, noCase))
                return pos;
        }
        return -1;
    }
    for (int pos = start; pos <= last; ++pos) {
        if (BytesMatch(text + pos, sub, subLen, noCase))
            return pos;
    }
    return -1;
}

int TString::Find(const TString& sub, int flags, int start) const
{
    return Find(sub.CStr(), flags, start);
}

TString TString::Substr(int pos, int len) const
{
    const int length = Length();
    if (pos < 0 || pos >= length || len == 0 || len < -1)
        return TString("", 0);
    // The copy stops at the end of the text, so a longer len costs no more memory.
    const int count = (len == -1) ? length - pos : std::min(len, length - pos);
    return TString(mRep->text + pos, count);
}

TString TString::operator+(const TString& other) const
{
    const int64_t la = Length();
    const int64_t lb = other.Length();
    if (la + lb > kMaxLength)
        return TString();
    TStringRep* rep = NewRep(CStr(), static_cast<int>(la), CapacityFor(la + lb));
    if (rep) {
        memcpy(rep->text + la, other.CStr(), static_cast<size_t>(lb));
        rep->length = static_cast<int>(la + lb);
    }
    return FromRep(rep);
}

TString TString::operator+(char c) const
{
    const int64_t la = Length();
    if (la + 1 > kMaxLength)
        return TString();
    TStringRep* rep = NewRep(CStr(), static_cast<int>(la), CapacityFor(la + 1));
    if (rep) {
        rep->text[la] = c;
        rep->length = static_cast<int>(c != '\0' ? la + 1 : la);
    }
    return FromRep(rep);
}

TString TString::Format(const char* format, va_list args)
{
    if (!format)
        return TString();
    char buffer[kStackFormatSize];
    va_list pass;
    va_copy(pass, args);
    const int n = vsnprintf(buffer, sizeof buffer, format, pass);
    va_end(pass);
    if (n >= 0 && n < kStackFormatSize)
        return TString(buffer, n);

    va_copy(pass, args);
    const int needed = vsnprintf(nullptr, 0, format, pass);
    va_end(pass);
    if (needed < 0 || needed > kMaxLength)
        return TString();
    TStringRep* rep = NewRep(needed + 1);
    if (rep) {
        va_copy(pass, args);
        vsnprintf(rep->text, static_cast<size_t>(needed) + 1, format, pass);
        va_end(pass);
        rep->length = static_cast<int>(strnlen(rep->text, static_cast<size_t>(needed)));
    }
    return FromRep(rep);
}

TString TString::Printf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    TString result = Format(format, args);
    va_end(args);
    return result;
}

TString TString::FromCodepoint(uint32_t codepoint)
{
    char bytes[4];
    const int n = Utf8Encode(codepoint, bytes);
    return n == 0 ? TString() : TString(bytes, n);
}

// ---- writing ---------------------------------------------------------------------------

void TString::MakeLower()
{
    if (!Unshare())
        return;
    for (char* p = mRep->text; *p; ++p)
        *p = static_cast<char>(tolower(static_cast<unsigned char>(*p)));
}

TString& TString::operator+=(const TString& other)
{
    const int len = Length();
    const int otherLen = other.Length();
    Unshare();
    if (!GrowTo(std::max<int64_t>(int64_t{len} + otherLen + 1, kMinCapacity)))
        return *this;
    // Read other only now: when other is this string, its buffer may just have moved.
    memcpy(mRep->text + len, other.CStr(), static_cast<size_t>(otherLen));
    mRep->text[len + otherLen] = '\0';
    mRep->length = len + otherLen;
    return *this;
}

int TString::WriteAt(int pos, const void* data, int n, bool terminate)
{
    if (pos < -1 || n < 0 || (!data && n > 0))
        return -1;
    // Data taken from this string's own buffer must survive a reallocation.
    TString ownCopy;
    if (PointsInto(mRep, data)) {
        ownCopy = TString(static_cast<const char*>(data), n);
        data = ownCopy.CStr();
    }
    Unshare();
    const int len = Length();
    if (pos == -1)
        pos = len;
    if (!GrowTo(int64_t{pos} + n + 1))
        return -1;
    char* text = mRep->text;
    if (pos > len)
        memset(text + len, 0, static_cast<size_t>(pos - len));
    memmove(text + pos, data, static_cast<size_t>(n));
    if (terminate)
        text[pos + n] = '\0';
    mRep->length = LengthAfterWrite(*mRep, len, pos, n, terminate);
    return pos + n;
}

void TString::Replace(const char* from, const char* to, int flags, int start)
{
    const int fromLen = StrLen(from);
    if (fromLen == 0 || !Unshare())
        return;
    // Texts taken from this string's own buffer must survive the edits below.
    TString fromCopy(from);
    TString toCopy(to);
    const char* toText = toCopy.CStr();
    const int toLen = toCopy.Length();
    const int d = toLen - fromLen;
    const int searchFlags = flags & (kNoCase | kBackwards);
    int offset = start;
    for (;;) {
        const int found = Find(fromCopy.CStr(), searchFlags, offset);
        if (found < 0)
            return;
        const int len = Length();
        if (d >= 1 && !EnsureCapacity(int64_t{len} + d + 1))
            return;
        char* text = mRep->text;
        if (d != 0) {
            memmove(text + found + toLen, text + found + fromLen,
                    static_cast<size_t>(len - found - fromLen + 1));
        }
        memcpy(text + found, toText, static_cast<size_t>(toLen));
        mRep->length = len + d;
        if (!(flags & kAll))
            return;
        if (searchFlags & kBackwards) {
            // Go on before the replaced text: the next match must end where this one began.
            const int next = found - fromLen;
            if (next < 0)
                return;
            offset = (len + d - fromLen) - next;
        } else {
            offset = found + toLen;
        }
    }
}

void TString::Erase(int pos, int len)
{
    const int length = Length();
    if (pos < 0 || pos >= length || len < -1 || !Unshare())
        return;
    char* text = mRep->text;
    if (len == -1 || int64_t{pos} + len >= length) {
        text[pos] = '\0';
        mRep->length = pos;
        return;
    }
    memmove(text + pos, text + pos + len, static_cast<size_t>(length - pos - len + 1));
    mRep->length = length - len;
}

void TString::Reallocate(int size)
{
    const int capacity = std::max(size, kMinCapacity);
    const int keep = mRep ? std::min(mRep->length, std::max(size - 1, 0)) : 0;
    Adopt(NewRep(CStr(), keep, capacity));
}

// ---- UTF-8 -----------------------------------------------------------------------------

int Utf8Encode(uint32_t codepoint, char* out)
{
    auto byte = [](uint32_t v) { return static_cast<char>(v & 0xFF); };
    if (codepoint < 0x80) {
        out[0] = byte(codepoint);
        return 1;
    }
    if (codepoint < 0x800) {
        out[0] = byte(0xC0 | codepoint >> 6);
        out[1] = byte(0x80 | (codepoint & 0x3F));
        return 2;
    }
    if (codepoint <= 0xFFFF) {
        if (codepoint == 0xFEFF || codepoint == 0xFFFE || codepoint == 0xFFFF)
            return 0;
        out[0] = byte(0xE0 | codepoint >> 12);
        out[1] = byte(0x80 | ((codepoint >> 6) & 0x3F));
        out[2] = byte(0x80 | (codepoint & 0x3F));
        return 3;
    }
    if (codepoint <= 0x10FFFF) {
        out[0] = byte(0xF0 | codepoint >> 18);
        out[1] = byte(0x80 | ((codepoint >> 12) & 0x3F));
        out[2] = byte(0x80 | ((codepoint >> 6) & 0x3F));
        out[3] = byte(0x80 | (codepoint & 0x3F));
        return 4;
    }
    return 0;
}
