#pragma once
// The lexer: turns a chunk's characters into tokens for the parser. Characters are
// bytes, or 16-bit little-endian units when the input stream's wide flag is set.
// Lexical errors raise syntax errors "chunk:line: message near `token'".

#include "engine/script/lua/objects/LInputStream.h"
#include "engine/script/lua/objects/LTextBuffer.h"
#include "engine/script/lua/objects/LValue.h"

#include <cstddef>

struct LFuncState;

// Tokens above the single characters, in display-text order; the first 22 are the
// reserved words, keyword index 1 for TK_AND .. 22 for TK_WHILE.
enum LToken
{
    kFirstReserved = 257,
    TK_AND = kFirstReserved,
    TK_BREAK,
    TK_CONTINUE,
    TK_DO,
    TK_ELSE,
    TK_ELSEIF,
    TK_END,
    TK_FALSE,
    TK_FOR,
    TK_FUNCTION,
    TK_IF,
    TK_IN,
    TK_LOCAL,
    TK_NIL,
    TK_NOT,
    TK_OR,
    TK_REPEAT,
    TK_RETURN,
    TK_THEN,
    TK_TRUE,
    TK_UNTIL,
    TK_WHILE,
    TK_NAME,
    TK_CONCAT,
    TK_DOTS,
    TK_EQ,
    TK_GE,
    TK_LE,
    TK_NE,
    TK_NUMBER,
    TK_STRING,
    TK_WSTRING,
    TK_SHL,
    TK_SHR,
    TK_EOS
};

constexpr int kNumReserved = TK_WHILE - kFirstReserved + 1;

// The value a token carries: a number, or an interned string (8-bit for names and
// strings, a wstring for wide literals).
union LTokenValue {
    double mNumber;
    LString* mString;
};

struct LTokenRecord
{
    int mToken;
    LTokenValue mValue;
};

struct LexState
{
    int mCurrent; // current character, -1 at the end of the stream
    int mLineNumber;
    int mLastLine;           // line of the last token consumed
    LTokenRecord mToken;     // current token
    LTokenRecord mLookahead; // TK_EOS when there is none
    LFuncState* mFuncState;  // the function being compiled
    lua_State* mState;
    LInputStream* mStream;
    LTextBuffer* mBuffer;      // token text (wide literals: 16-bit units)
    std::size_t mBufferLength; // bytes of token text in mBuffer
    const char* mSource;       // chunk name
    int mNestLevel;            // parser's syntax nesting
};

// Interns and fixes the reserved words with their keyword indices.
void luaX_init(lua_State* L);
// Starts reading a stream: line 1, no lookahead; skips a first line starting with '#'.
void luaX_setinput(lua_State* L, LexState* ls, LInputStream* z, LTextBuffer* buffer,
                   const char* source);
// The next token; its value goes to *value.
int luaX_lex(LexState* ls, LTokenValue* value);
// Display text of a token ("and", "<<", "*name", "<eof>", or the character itself).
const char* luaX_token2str(LexState* ls, int token);
// Syntax error near the current token.
[[noreturn]] void luaX_syntaxerror(LexState* ls, const char* message);
// Raises "%s:%d: %s near `%s'" with status 3.
[[noreturn]] void luaX_errorline(LexState* ls, const char* message, const char* nearText, int line);
// "too many %s (limit=%d)" when value > limit.
void luaX_checklimit(LexState* ls, int value, int limit, const char* what);
