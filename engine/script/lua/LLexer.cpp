#include "engine/script/lua/LLexer.h"

#include "engine/script/lua/LString.h"

namespace {

const char* const kTokenTexts[] = {
    "and", "break", "continue", "do", "else", "elseif", "end", "false", "for", "function",
    "if", "in", "local", "nil", "not", "or", "repeat", "return", "then", "true", "until",
    "while", "*name", "..", "...", "==", ">=", "<=", "~=", "*number", "*string",
    "*wstring", "<<", ">>", "<eof>",
};

static_assert(sizeof(kTokenTexts) / sizeof(kTokenTexts[0]) == TK_EOS - kFirstReserved + 1,
              "one display text per token");

} // namespace

void luaX_init(lua_State* L)
{
    for (int i = 0; i < kNumReserved; ++i) {
        LString* s = luaS_new(L, kTokenTexts[i]);
        luaS_fix(s);
        s->mKeywordIndex = static_cast<uint8_t>(i + 1);
    }
}
