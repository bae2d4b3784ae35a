#pragma once

// The engine's one string type: a byte string (UTF-8 where the text is Unicode) whose
// copies share one heap representation until one of them is written. A null
// representation is the empty string; every read treats it as "".
//
// Reads never change the string; writes first give the string its own representation.
// The reference count is atomic, so copies of one string may live on different threads,
// but a single TString object must not be written by two threads at once.
//
// Positions and lengths are ints. Negative positions (other than the documented -1
// markers) are rejected: reads answer "", 0 or -1 and writes change nothing.

#include <atomic>
#include <cstdarg>
#include <cstdint>

struct TStringRep
{
    char* text = nullptr;         // malloc'd, always NUL-terminated
    std::atomic<int> refcount{1}; // TStrings sharing this representation
    int capacity = 0;             // bytes allocated for text, terminator included
    int length = 0;               // bytes before the first NUL, kept by every write
};

class TString
{
public:
    // Flags of FindChar, Find and Replace; they combine.
    static constexpr int kNoCase = 1;    // compare after toupper on both sides
    static constexpr int kAll = 2;       // Replace: every occurrence, not only the first
    static constexpr int kBackwards = 4; // search backwards; start counts from the end

    TString() = default;
    // Copies a C string; null gives "" (with a 16-byte representation).
    TString(const char* text);
    // Copies n bytes and terminates them; a negative n (or null data) gives "".
    TString(const char* data, int n);
    TString(const TString& other);
    TString(TString&& other) noexcept;
    ~TString();

    TString& operator=(const TString& other);
    TString& operator=(TString&& other) noexcept;
    // Builds a new representation first, so assigning a string's own text is safe.
    TString& operator=(const char* text);
    void AssignPrintf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // The bytes before the first NUL. Kept by the string, so Length and CharAt cost the
    // same for any length and loops over the text may call them per character.
    int Length() const;
    const char* CStr() const;                // never null
    char CharAt(int index) const;            // 0 outside [0, Length)
    int ToInt() const;                       // atoi of the text
    int Compare(const TString& other) const; // -1, 0, 1 over unsigned bytes
    bool operator==(const TString& other) const { return Compare(other) == 0; }
    bool operator<(const TString& other) const { return Compare(other) < 0; }

    // Index of the first match, or -1. Forwards from start, or with kBackwards from
    // Length-1-start down to 0. A negative start finds nothing.
    int FindChar(char c, int flags = 0, int start = 0) const;
    // The same for a substring; an empty (or null) sub matches at the first position tested.
    int Find(const char* sub, int flags = 0, int start = 0) const;
    int Find(const TString& sub, int flags = 0, int start = 0) const;

    // len bytes from pos (len -1 = to the end); "" when pos is outside the text or
    // negative, or len is below -1.
    TString Substr(int pos, int len = -1) const;

    TString operator+(const TString& other) const;
    TString operator+(char c) const;

    // printf formatting. Results below 4096 bytes are formatted on the stack only.
    static TString Format(const char* format, va_list args) __attribute__((format(printf, 1, 0)));
    static TString Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
    // The UTF-8 encoding of one code point; empty when Utf8Encode gives no bytes.
    static TString FromCodepoint(uint32_t codepoint);

    void MakeLower();
    // Appends; the buffer grows by doubling, so appending in a loop stays linear.
    TString& operator+=(const TString& other);
    // Writes n bytes at pos (-1 = at the end), growing the buffer by doubling, and a
    // NUL after them when terminate is set. Returns pos + n, or -1 when pos < -1, n < 0
    // or memory ran out (the string is then unchanged). A gap between the old end and
    // pos reads as NUL bytes.
    int WriteAt(int pos, const void* data, int n, bool terminate);
    // Replaces the first occurrence of from at or after start (every one with kAll);
    // kNoCase and kBackwards apply to the search. An empty from changes nothing.
    void Replace(const char* from, const char* to, int flags = 0, int start = 0);
    // Removes len bytes at pos (len -1, or a len past the end, = to the end).
    void Erase(int pos, int len);
    // Gives the string a private buffer of max(size, 16) bytes keeping at most size-1
    // bytes of the old text.
    void Reallocate(int size);

private:
    static TString FromRep(TStringRep* rep);
    static TStringRep* NewRep(int capacity);
    static TStringRep* NewRep(const char* data, int n, int capacity);
    static void Release(TStringRep* rep);
    void Adopt(TStringRep* rep);
    bool Unshare();
    bool EnsureCapacity(int64_t need);
    bool GrowTo(int64_t need);

    TStringRep* mRep = nullptr;
};

// Writes the UTF-8 encoding of codepoint to out (room for 4 bytes) and returns the byte
// count. U+FEFF, U+FFFE, U+FFFF and values above U+10FFFF give 0 bytes; surrogates
// are encoded like any other value.
int Utf8Encode(uint32_t codepoint, char* out);
