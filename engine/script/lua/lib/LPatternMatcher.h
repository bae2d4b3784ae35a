#pragma once

#include <cstddef>

struct lua_State;

// The pattern matcher behind string.find, string.gfind and string.gsub: single
// characters and classes (%a %c %d %l %p %s %u %w %x %z and their complements), sets,
// the quantifiers * + - ?, anchors, up to 32 captures (position captures included),
// back-references %1..%9, balanced matches %bxy and frontiers %f[set].
//
// The pattern ends at its first zero byte or at its length, whichever comes first.
// Character classes use the C locale. Malformed patterns raise a script error through
// luaL_error; so does a pattern nested deeper than kMaxDepth ("pattern too complex"),
// which keeps the matcher's recursion off the end of the C stack.
class LPatternMatcher
{
public:
    static constexpr int kMaxCaptures = 32;
    static constexpr int kMaxDepth = 200;

    // The subject and the pattern must outlive the matcher. With allowAnchor clear a
    // leading '^' is an ordinary character (string.gfind).
    LPatternMatcher(lua_State* L, const char* subject, size_t subjectLength, const char* pattern,
                    size_t patternLength, bool allowAnchor = true);

    // True when the pattern holds none of the characters that make it a pattern, so a
    // plain substring search gives the same answer.
    static bool IsPlain(const char* pattern, size_t patternLength);

    // True when the pattern starts with '^'; MatchAt is then given the rest.
    bool IsAnchored() const { return mAnchored; }

    // Tries the pattern (after an anchor) at subject offset `start`; returns the offset
    // just past the match, or -1. Captures of a failed attempt are forgotten.
    long MatchAt(size_t start);

    // Pushes the captures of the last match (or the whole match start..end when the
    // pattern has none and wholeIfNone is set); returns how many were pushed.
    int PushCaptures(size_t start, size_t end, bool wholeIfNone);

    // Pushes capture `index` (0-based); index 0 without captures is the whole match.
    void PushCapture(int index, size_t start, size_t end);

    int CaptureCount() const { return mLevel; }

    // The 0-based index of the capture a digit '1'..'9' names; raises "invalid capture
    // index" for any other digit, a capture the pattern lacks or one not closed yet.
    int CheckedCaptureIndex(int digit) const;

private:
    static constexpr long kUnfinished = -1;
    static constexpr long kPosition = -2;

    struct TCapture
    {
        const char* mStart;
        long mLength;
    };

    const char* DoMatch(const char* s, const char* p);
    const char* ClassEnd(const char* p) const;
    bool SingleMatch(int c, const char* p, const char* ep) const;
    bool MatchBracketClass(int c, const char* p, const char* ec) const;
    const char* MaxExpand(const char* s, const char* p, const char* ep);
    const char* MinExpand(const char* s, const char* p, const char* ep);
    const char* StartCapture(const char* s, const char* p, long what);
    const char* EndCapture(const char* s, const char* p);
    const char* MatchBalance(const char* s, const char* p) const;
    const char* MatchBackReference(const char* s, int digit) const;
    int CaptureToClose() const;

    static bool MatchClass(int c, int classLetter);

    lua_State* mL;
    const char* mSubject;
    const char* mSubjectEnd;
    const char* mPattern;    // after the anchor
    const char* mPatternEnd; // first zero byte or the end
    bool mAnchored = false;
    int mLevel = 0;
    int mDepth = 0;
    TCapture mCaptures[kMaxCaptures];
};
