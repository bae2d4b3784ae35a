#include "engine/script/lua/lib/LStringFormat.h"

#include "engine/script/lua/LuaAux.h"
#include "engine/script/lua/lib/LLibSupport.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Longest conversion, from the percent sign to the conversion letter.
constexpr size_t kMaxConversion = 20;
constexpr char kFlags[] = "-+ #0";
// A string argument of this many bytes, without a precision, is added unformatted.
constexpr size_t kLongStringArgument = 100;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsPrintable(unsigned c)
{
    return c >= 0x20 && c < 0x7F;
}

// The escape letter of the control characters 7 to 13, as the lexer reads them.
char ControlEscape(unsigned c)
{
    static constexpr char kLetters[] = "abtnvfr";
    return (c >= 7 && c <= 13) ? kLetters[c - 7] : 0;
}

template <typename... TArgs> void AppendPrintf(std::string& out, const char* format, TArgs... args)
{
    char small[512];
    const int needed = std::snprintf(small, sizeof small, format, args...);
    if (needed < 0)
        return;
    if (static_cast<size_t>(needed) < sizeof small) {
        out.append(small, static_cast<size_t>(needed));
        return;
    }
    std::vector<char> large(static_cast<size_t>(needed) + 1);
    std::snprintf(large.data(), large.size(), format, args...);
    out.append(large.data(), static_cast<size_t>(needed));
}

// %b followed by a letter: raw little-endian bytes of the number argument.
void AppendRawBytes(lua_State* L, std::string& out, char letter, int arg)
{
    switch (letter) {
    case 'F':
    case 'f':
        LLibSupport::AppendReal(out, luaL_checknumber(L, arg), letter == 'f', false);
        break;
    case 'd':
        LLibSupport::AppendBytes(out, LLibSupport::ToUInt32(luaL_checknumber(L, arg)), 4, false);
        break;
    case 'w':
        LLibSupport::AppendBytes(out, LLibSupport::ToUInt32(luaL_checknumber(L, arg)), 2, false);
        break;
    case 'b':
        LLibSupport::AppendBytes(out, LLibSupport::ToUInt32(luaL_checknumber(L, arg)), 1, false);
        break;
    default:
        break; // any other letter uses up the argument and writes nothing
    }
}

struct TConversion
{
    std::string mText; // "%" flags width precision, without the conversion letter
    bool mHasPrecision = false;
};

// Reads flags, width and precision after a percent sign; `at` ends on the conversion.
TConversion ScanConversion(lua_State* L, const char* format, size_t length, size_t& at)
{
    TConversion spec;
    const size_t start = at;
    while (at < length && format[at] != 0 && std::strchr(kFlags, format[at]))
        ++at;
    for (int digits = 0; digits < 2 && at < length && IsDigit(format[at]); ++digits)
        ++at;
    if (at < length && format[at] == '.') {
        spec.mHasPrecision = true;
        ++at;
        for (int digits = 0; digits < 2 && at < length && IsDigit(format[at]); ++digits)
            ++at;
    }
    if (at < length && IsDigit(format[at]))
        luaL_error(L, "invalid format (width or precision too long)");
    if (at - start + 2 > kMaxConversion)
        luaL_error(L, "invalid format (too long)");
    spec.mText.assign(1, '%');
    spec.mText.append(format + start, at - start);
    return spec;
}

void AppendString(lua_State* L, std::string& out, const TConversion& spec, int arg)
{
    size_t length = 0;
    const char* text = luaL_checklstring(L, arg, &length);
    if (!spec.mHasPrecision && length >= kLongStringArgument) {
        out.append(text, length);
        return;
    }
    AppendPrintf(out, (spec.mText + 's').c_str(), text);
}

void AppendQuoted(lua_State* L, std::string& out, int arg)
{
    if (lua_type(L, arg) == LUA_TWSTRING) {
        const char16_t* text = lua_towstring(L, arg);
        out += LStringFormat::QuoteWide(text, lua_strlen(L, arg));
        return;
    }
    size_t length = 0;
    const char* text = luaL_checklstring(L, arg, &length);
    out += LStringFormat::QuoteNarrow(text, length);
}

void AppendBoolean(lua_State* L, std::string& out, int arg)
{
    const int type = lua_type(L, arg);
    if (type != LUA_TBOOLEAN && type != LUA_TNIL)
        luaL_typerror(L, arg, "boolean");
    out += lua_toboolean(L, arg) ? "true" : "false";
}

// One conversion; `at` is on the conversion letter and is left after what it used.
void AppendConversion(lua_State* L, std::string& out, const char* format, size_t length, size_t& at,
                      const TConversion& spec, int arg)
{
    const std::string& c = spec.mText;
    switch (format[at++]) {
    case 'c':
        AppendPrintf(out, (c + 'c').c_str(), LLibSupport::ToInt32(luaL_checknumber(L, arg)));
        break;
    case 'd':
    case 'i':
        AppendPrintf(out, (c + format[at - 1]).c_str(),
                     LLibSupport::ToInt32(luaL_checknumber(L, arg)));
        break;
    case 'o':
    case 'u':
    case 'x':
    case 'X':
        AppendPrintf(out, (c + format[at - 1]).c_str(),
                     LLibSupport::ToUInt32(luaL_checknumber(L, arg)));
        break;
    case 'e':
    case 'E':
    case 'f':
    case 'g':
    case 'G':
        AppendPrintf(out, (c + format[at - 1]).c_str(), luaL_checknumber(L, arg));
        break;
    case 's':
        AppendString(L, out, spec, arg);
        break;
    case 'q': {
        size_t textLength = 0;
        const char* text = luaL_checklstring(L, arg, &textLength);
        out += LStringFormat::QuoteClassic(text, textLength);
        break;
    }
    case 'Q':
        AppendQuoted(L, out, arg);
        break;
    case 'B':
        AppendBoolean(L, out, arg);
        break;
    case 'b':
        if (at >= length)
            luaL_error(L, "invalid option to `format'");
        AppendRawBytes(L, out, format[at++], arg);
        break;
    default:
        luaL_error(L, "invalid option to `format'");
    }
}

// The %Q quoting of either kind of text: the escapes the lexer reads back, printable
// characters as they are, everything else in hexadecimal.
template <typename TUnit>
std::string Quote(const TUnit* text, size_t length, const char* opening, const char* hexFormat)
{
    std::string out = opening;
    for (size_t i = 0; i < length; ++i) {
        const unsigned c = text[i];
        if (const char letter = ControlEscape(c)) {
            out.push_back('\\');
            out.push_back(letter);
        } else if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (IsPrintable(c)) {
            out.push_back(static_cast<char>(c));
        } else {
            AppendPrintf(out, hexFormat, c);
        }
    }
    out.push_back('"');
    return out;
}

} // namespace

int LStringFormat::Format(lua_State* L)
{
    size_t length = 0;
    const char* format = luaL_checklstring(L, 1, &length);
    std::string out;
    int arg = 1;
    size_t at = 0;
    while (at < length) {
        if (format[at] != '%') {
            out.push_back(format[at++]);
            continue;
        }
        ++at;
        if (at < length && format[at] == '%') {
            out.push_back('%');
            ++at;
            continue;
        }
        if (at + 1 < length && IsDigit(format[at]) && format[at + 1] == '$')
            luaL_error(L, "obsolete option (d$) to `format'");
        ++arg;
        const TConversion spec = ScanConversion(L, format, length, at);
        if (at >= length)
            luaL_error(L, "invalid option to `format'");
        AppendConversion(L, out, format, length, at, spec, arg);
    }
    lua_pushlstring(L, out.data(), out.size());
    return 1;
}

std::string LStringFormat::QuoteClassic(const char* text, size_t length)
{
    std::string out = "\"";
    for (size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (c == '"' || c == '\\' || c == '\n') {
            out.push_back('\\');
            out.push_back(c);
        } else if (c == 0) {
            out += "\\000";
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
    return out;
}

std::string LStringFormat::QuoteNarrow(const char* text, size_t length)
{
    return Quote(reinterpret_cast<const unsigned char*>(text), length, "\"", "\\x%02x");
}

std::string LStringFormat::QuoteWide(const char16_t* text, size_t length)
{
    return Quote(text, length, "L\"", "\\x%04x");
}
