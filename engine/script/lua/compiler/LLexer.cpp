#include "engine/script/lua/compiler/LLexer.h"

#include "engine/script/lua/objects/LLimits.h"
#include "engine/script/lua/objects/LObjectUtil.h"
#include "engine/script/lua/objects/LString.h"
#include "engine/script/lua/runtime/LErrorUnwind.h"

#include <cstdint>
#include <cstring>

namespace {

const char* const kTokenTexts[] = {
    "and",      "break", "continue", "do",      "else",     "elseif", "end", "false",  "for",
    "function", "if",    "in",       "local",   "nil",      "not",    "or",  "repeat", "return",
    "then",     "true",  "until",    "while",   "*name",    "..",     "...", "==",     ">=",
    "<=",       "~=",    "*number",  "*string", "*wstring", "<<",     ">>",  "<eof>",
};

static_assert(sizeof(kTokenTexts) / sizeof(kTokenTexts[0]) == TK_EOS - kFirstReserved + 1,
              "one display text per token");

// Character classes are plain ASCII tests, independent of the locale.
bool IsDigit(int c)
{
    return c >= '0' && c <= '9';
}
bool IsAlpha(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsNameStart(int c)
{
    return IsAlpha(c) || c == '_';
}
bool IsNameChar(int c)
{
    return IsNameStart(c) || IsDigit(c);
}
bool IsControl(int c)
{
    return (c >= 0 && c < 32) || c == 127;
}

int HexValue(int c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void Next(LexState* ls)
{
    LInputStream* z = ls->mStream;
    const int first = luaZ_getc(z);
    if (!z->mWide || first == kEndOfStream) {
        ls->mCurrent = first;
        return;
    }
    const int second = luaZ_getc(z);
    ls->mCurrent = second == kEndOfStream ? kEndOfStream : (second << 8) | first;
}

void SaveByte(LexState* ls, int c)
{
    LTextBuffer* b = ls->mBuffer;
    if (ls->mBufferLength + 2 > b->mSize)
        luaZ_openspace(ls->mState, b, b->mSize * 2 + 2);
    b->mBuffer[ls->mBufferLength++] = static_cast<char>(c);
}

// A wide literal's 16-bit unit, stored little-endian in the token buffer.
void SaveUnit(LexState* ls, int unit)
{
    SaveByte(ls, unit & 0xff);
    SaveByte(ls, (unit >> 8) & 0xff);
}

void SaveAndNext(LexState* ls)
{
    SaveByte(ls, ls->mCurrent); // 16-bit source: the low byte
    Next(ls);
}

// The token text as a zero-terminated C string (for messages and conversions).
const char* BufferText(LexState* ls)
{
    SaveByte(ls, '\0');
    --ls->mBufferLength;
    return ls->mBuffer->mBuffer;
}

void IncrementLine(LexState* ls)
{
    Next(ls); // skip '\n'
    ++ls->mLineNumber;
    luaX_checklimit(ls, ls->mLineNumber, kMaxLines, "lines in a chunk");
}

// Lexical error near the text read so far, or near the given token's display text.
[[noreturn]] void LexError(LexState* ls, const char* message, int token)
{
    if (token == TK_EOS)
        luaX_errorline(ls, message, luaX_token2str(ls, TK_EOS), ls->mLineNumber);
    luaX_errorline(ls, message, BufferText(ls), ls->mLineNumber);
}

[[noreturn]] void CharError(LexState* ls, const char* message, int c)
{
    const char* nearText = luaO_pushfstring(ls->mState, "char(%d)", c);
    luaX_errorline(ls, message, nearText, ls->mLineNumber);
}

// "[[" ... "]]" with nesting; for a comment the text is dropped.
void ReadLongString(LexState* ls, LTokenValue* value)
{
    int nesting = 0;
    SaveByte(ls, '[');
    SaveAndNext(ls); // the second '['
    if (ls->mCurrent == '\n')
        IncrementLine(ls);
    for (;;) {
        switch (ls->mCurrent) {
        case kEndOfStream:
            LexError(ls, value != nullptr ? "unfinished long string" : "unfinished long comment",
                     TK_EOS);
        case '[':
            SaveAndNext(ls);
            if (ls->mCurrent == '[') {
                ++nesting;
                SaveAndNext(ls);
            }
            break;
        case ']':
            SaveAndNext(ls);
            if (ls->mCurrent == ']') {
                if (nesting == 0) {
                    SaveAndNext(ls);
                    if (value != nullptr)
                        value->mString = luaS_newlstr(ls->mState, ls->mBuffer->mBuffer + 2,
                                                      ls->mBufferLength - 4);
                    return;
                }
                --nesting;
                SaveAndNext(ls);
            }
            break;
        case '\n':
            SaveByte(ls, '\n');
            IncrementLine(ls);
            if (value == nullptr)
                ls->mBufferLength = 0; // a comment keeps no text
            break;
        default:
            SaveAndNext(ls);
            break;
        }
    }
}

constexpr int kEscapeNothing = -1;  // a backslash before the end of the stream
constexpr int kEscapeTooLarge = -2; // a decimal escape above 255

// After a backslash (current = the escape character). Returns the unit it stands for,
// or one of the two codes above.
// maxHexDigits is 2 for 8-bit strings and 4 for wide literals.
int ReadEscape(LexState* ls, int maxHexDigits)
{
    const int c = ls->mCurrent;
    switch (c) {
    case 'a':
        Next(ls);
        return '\a';
    case 'b':
        Next(ls);
        return '\b';
    case 'f':
        Next(ls);
        return '\f';
    case 'n':
        Next(ls);
        return '\n';
    case 'r':
        Next(ls);
        return '\r';
    case 't':
        Next(ls);
        return '\t';
    case 'v':
        Next(ls);
        return '\v';
    case '\n':
        IncrementLine(ls);
        return '\n';
    case kEndOfStream:
        return kEscapeNothing;
    case 'x': {
        Next(ls);
        int value = 0;
        int digits = 0;
        for (int d; digits < maxHexDigits && (d = HexValue(ls->mCurrent)) >= 0; ++digits) {
            value = value * 16 + d;
            Next(ls);
        }
        return digits > 0 ? value : 'x';
    }
    default:
        break;
    }
    if (!IsDigit(c)) {
        Next(ls);
        return c;
    }
    int value = 0;
    for (int i = 0; i < 3 && IsDigit(ls->mCurrent); ++i) {
        value = value * 10 + (ls->mCurrent - '0');
        Next(ls);
    }
    return value > 255 ? kEscapeTooLarge : value;
}

void CheckStringNotEnded(LexState* ls)
{
    if (ls->mCurrent == kEndOfStream)
        LexError(ls, "unfinished string", TK_EOS);
    if (ls->mCurrent == '\n')
        LexError(ls, "unfinished string", TK_STRING);
}

void ReadString(LexState* ls, int delimiter, LTokenValue* value)
{
    SaveAndNext(ls);
    while (ls->mCurrent != delimiter) {
        CheckStringNotEnded(ls);
        if (ls->mCurrent != '\\') {
            SaveAndNext(ls);
            continue;
        }
        Next(ls);
        const int unit = ReadEscape(ls, 2);
        if (unit == kEscapeTooLarge)
            LexError(ls, "escape sequence too large", TK_STRING);
        if (unit >= 0)
            SaveByte(ls, unit);
    }
    SaveAndNext(ls);
    value->mString = luaS_newlstr(ls->mState, ls->mBuffer->mBuffer + 1, ls->mBufferLength - 2);
}

// Error near the wide literal read so far, shown by the low bytes of its units.
[[noreturn]] void WideStringError(LexState* ls, const char* message, int token)
{
    if (token == TK_EOS)
        LexError(ls, message, TK_EOS);
    const std::size_t units = ls->mBufferLength / 2;
    for (std::size_t i = 0; i < units; ++i)
        ls->mBuffer->mBuffer[i] = ls->mBuffer->mBuffer[2 * i];
    ls->mBufferLength = units;
    LexError(ls, message, TK_STRING);
}

// L"..." (current = the opening quote): units interned as a wstring.
void ReadWideString(LexState* ls, LTokenValue* value)
{
    ls->mBufferLength = 0;
    SaveUnit(ls, 'L');
    SaveUnit(ls, '"');
    Next(ls);
    while (ls->mCurrent != '"') {
        if (ls->mCurrent == kEndOfStream)
            WideStringError(ls, "unfinished string", TK_EOS);
        if (ls->mCurrent == '\n')
            WideStringError(ls, "unfinished string", TK_STRING);
        if (ls->mCurrent != '\\') {
            SaveUnit(ls, ls->mCurrent);
            Next(ls);
            continue;
        }
        Next(ls);
        const int unit = ReadEscape(ls, 4);
        if (unit == kEscapeTooLarge)
            WideStringError(ls, "escape sequence too large", TK_STRING);
        if (unit >= 0)
            SaveUnit(ls, unit);
    }
    Next(ls);
    const std::size_t count = ls->mBufferLength / 2 - 2;
    char16_t* units = reinterpret_cast<char16_t*>(ls->mBuffer->mBuffer); // buffer is malloc-aligned
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* bytes =
            reinterpret_cast<const unsigned char*>(ls->mBuffer->mBuffer) + 2 * (i + 2);
        units[i] = static_cast<char16_t>(bytes[0] | (bytes[1] << 8));
    }
    value->mString = luaS_newlwstr(ls->mState, units, count);
}

// "0x" and up to 8 hexadecimal digits (current = 'x'): an unsigned 32-bit value.
double ReadHexNumber(LexState* ls)
{
    SaveAndNext(ls); // 'x'
    uint32_t value = 0;
    int digits = 0;
    for (int d; digits < 8 && (d = HexValue(ls->mCurrent)) >= 0; ++digits) {
        value = value * 16 + static_cast<uint32_t>(d);
        SaveAndNext(ls);
    }
    if (digits == 0)
        LexError(ls, "malformed number", TK_NUMBER);
    return static_cast<double>(value);
}

void SaveDigits(LexState* ls)
{
    while (IsDigit(ls->mCurrent))
        SaveAndNext(ls);
}

// A decimal number; startsWithPoint when the '.' is already in the buffer.
double ReadDecimalNumber(LexState* ls, bool startsWithPoint)
{
    bool hasPointOrExponent = startsWithPoint;
    SaveDigits(ls);
    if (!startsWithPoint && ls->mCurrent == '.') {
        hasPointOrExponent = true;
        SaveAndNext(ls);
        if (ls->mCurrent == '.') {
            SaveAndNext(ls);
            LexError(ls, "ambiguous syntax (decimal point x string concatenation)", TK_NUMBER);
        }
        SaveDigits(ls);
    }
    if (ls->mCurrent == 'e' || ls->mCurrent == 'E') {
        hasPointOrExponent = true;
        SaveAndNext(ls);
        if (ls->mCurrent == '+' || ls->mCurrent == '-')
            SaveAndNext(ls);
        SaveDigits(ls);
    }
    double value = 0;
    if (!luaO_str2dn(ls->mBuffer->mBuffer, ls->mBufferLength, &value))
        LexError(ls, hasPointOrExponent ? "malformed number" : "malformed integer", TK_NUMBER);
    return value;
}

double ReadNumber(LexState* ls)
{
    if (ls->mCurrent == '0') {
        SaveAndNext(ls);
        if (ls->mCurrent == 'x')
            return ReadHexNumber(ls);
    }
    return ReadDecimalNumber(ls, false);
}

// A name or reserved word (current = its first character, or the one after a saved L).
int ReadName(LexState* ls, LTokenValue* value)
{
    while (IsNameChar(ls->mCurrent))
        SaveAndNext(ls);
    LString* s = luaS_newlstr(ls->mState, ls->mBuffer->mBuffer, ls->mBufferLength);
    if (s->mKeywordIndex > 0)
        return s->mKeywordIndex - 1 + kFirstReserved;
    value->mString = s;
    return TK_NAME;
}

// Two-character operators: `first' alone, or followed by one of the given seconds.
int ReadOperator(LexState* ls, int first, int secondA, int tokenA, int secondB, int tokenB)
{
    Next(ls);
    if (ls->mCurrent == secondA) {
        Next(ls);
        return tokenA;
    }
    if (secondB != 0 && ls->mCurrent == secondB) {
        Next(ls);
        return tokenB;
    }
    return first;
}

void SkipComment(LexState* ls)
{
    Next(ls); // the second '-'
    if (ls->mCurrent == '[') {
        Next(ls);
        if (ls->mCurrent == '[') {
            ReadLongString(ls, nullptr);
            ls->mBufferLength = 0;
            return;
        }
    }
    while (ls->mCurrent != '\n' && ls->mCurrent != kEndOfStream)
        Next(ls);
}

int ReadDot(LexState* ls, LTokenValue* value)
{
    SaveAndNext(ls);
    if (ls->mCurrent == '.') {
        Next(ls);
        if (ls->mCurrent == '.') {
            Next(ls);
            return TK_DOTS;
        }
        return TK_CONCAT;
    }
    if (!IsDigit(ls->mCurrent))
        return '.';
    value->mNumber = ReadDecimalNumber(ls, true);
    return TK_NUMBER;
}

int ReadOther(LexState* ls, LTokenValue* value)
{
    const int c = ls->mCurrent;
    if (c >= 255)
        CharError(ls, "invalid wide char", c);
    if (c == 'L') {
        SaveAndNext(ls);
        if (ls->mCurrent == '"') {
            ReadWideString(ls, value);
            return TK_WSTRING;
        }
        return ReadName(ls, value);
    }
    if (IsDigit(c)) {
        value->mNumber = ReadNumber(ls);
        return TK_NUMBER;
    }
    if (IsNameStart(c))
        return ReadName(ls, value);
    if (IsControl(c))
        CharError(ls, "invalid control char", c);
    Next(ls);
    return c;
}

} // namespace

void luaX_init(lua_State* L)
{
    for (int i = 0; i < kNumReserved; ++i) {
        LString* s = luaS_new(L, kTokenTexts[i]);
        luaS_fix(s);
        s->mKeywordIndex = static_cast<uint8_t>(i + 1);
    }
}

void luaX_setinput(lua_State* L, LexState* ls, LInputStream* z, LTextBuffer* buffer,
                   const char* source)
{
    ls->mState = L;
    ls->mLookahead.mToken = TK_EOS;
    ls->mToken.mToken = TK_EOS;
    ls->mStream = z;
    ls->mBuffer = buffer;
    ls->mBufferLength = 0;
    ls->mFuncState = nullptr;
    ls->mLineNumber = 1;
    ls->mLastLine = 1;
    ls->mSource = source;
    ls->mNestLevel = 0;
    luaZ_openspace(L, buffer, kMinBufferSize);
    Next(ls);
    if (ls->mCurrent == '#') {
        while (ls->mCurrent != '\n' && ls->mCurrent != kEndOfStream)
            Next(ls);
    }
}

int luaX_lex(LexState* ls, LTokenValue* value)
{
    for (;;) {
        ls->mBufferLength = 0;
        switch (ls->mCurrent) {
        case '\n':
            IncrementLine(ls);
            continue;
        case ' ':
        case '\t':
        case '\r':
        case '\v':
        case '\f':
            Next(ls);
            continue;
        case '-':
            Next(ls);
            if (ls->mCurrent != '-')
                return '-';
            SkipComment(ls);
            continue;
        case '[':
            Next(ls);
            if (ls->mCurrent != '[')
                return '[';
            ReadLongString(ls, value);
            return TK_STRING;
        case '=':
            return ReadOperator(ls, '=', '=', TK_EQ, 0, 0);
        case '<':
            return ReadOperator(ls, '<', '=', TK_LE, '<', TK_SHL);
        case '>':
            return ReadOperator(ls, '>', '=', TK_GE, '>', TK_SHR);
        case '~':
            return ReadOperator(ls, '~', '=', TK_NE, 0, 0);
        case '"':
        case '\'':
            ReadString(ls, ls->mCurrent, value);
            return TK_STRING;
        case '.':
            return ReadDot(ls, value);
        case kEndOfStream:
            return TK_EOS;
        default:
            return ReadOther(ls, value);
        }
    }
}

const char* luaX_token2str(LexState* ls, int token)
{
    if (token >= kFirstReserved)
        return kTokenTexts[token - kFirstReserved];
    if (IsControl(token))
        return luaO_pushfstring(ls->mState, "char(%d)", token);
    return luaO_pushfstring(ls->mState, "%c", token);
}

void luaX_errorline(LexState* ls, const char* message, const char* nearText, int line)
{
    char chunk[kLexerChunkIdSize];
    luaO_chunkid(chunk, ls->mSource, kLexerChunkIdSize);
    luaO_pushfstring(ls->mState, "%s:%d: %s near `%s'", chunk, line, message, nearText);
    luaD_throw(ls->mState, LUA_ERRSYNTAX);
}

void luaX_syntaxerror(LexState* ls, const char* message)
{
    const int token = ls->mToken.mToken;
    const char* nearText = token == TK_NAME || token == TK_STRING || token == TK_NUMBER
                               ? BufferText(ls)
                               : luaX_token2str(ls, token);
    luaX_errorline(ls, message, nearText, ls->mLineNumber);
}

void luaX_checklimit(LexState* ls, int value, int limit, const char* what)
{
    if (value > limit) {
        const char* message = luaO_pushfstring(ls->mState, "too many %s (limit=%d)", what, limit);
        luaX_syntaxerror(ls, message);
    }
}
