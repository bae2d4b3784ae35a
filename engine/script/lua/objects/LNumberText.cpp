// Text to number conversions. The 8-bit form is checked against the decimal grammar
// before it is converted, so neither the C library's hexadecimal, "inf" and "nan" forms
// nor the process locale can change what counts as a number.

#include "engine/script/lua/objects/LObjectUtil.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace {

bool IsSpace(unsigned c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(unsigned c)
{
    return c >= '0' && c <= '9';
}

int HexDigitValue(unsigned c)
{
    if (c >= '0' && c <= '9')
        return static_cast<int>(c - '0');
    if (c >= 'a' && c <= 'f')
        return static_cast<int>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return static_cast<int>(c - 'A' + 10);
    return -1;
}

// Scans [begin, end) for the decimal form: sign, digits, fraction, exponent. Returns
// the position after it, or begin when there is no number there.
template <typename Unit> const Unit* ScanDecimal(const Unit* begin, const Unit* end)
{
    const Unit* p = begin;
    if (p < end && (*p == '+' || *p == '-'))
        ++p;
    int digits = 0;
    while (p < end && IsDigit(*p)) {
        ++p;
        ++digits;
    }
    if (p < end && *p == '.') {
        ++p;
        while (p < end && IsDigit(*p)) {
            ++p;
            ++digits;
        }
    }
    if (digits == 0)
        return begin;
    if (p < end && (*p == 'e' || *p == 'E')) {
        const Unit* exponent = p + 1;
        if (exponent < end && (*exponent == '+' || *exponent == '-'))
            ++exponent;
        if (exponent < end && IsDigit(*exponent)) {
            while (exponent < end && IsDigit(*exponent))
                ++exponent;
            p = exponent;
        } else {
            return begin; // an exponent mark without digits spoils the number
        }
    }
    return p;
}

template <typename Unit> bool OnlySpaceLeft(const Unit* p, const Unit* end)
{
    for (; p < end; ++p) {
        if (!IsSpace(*p))
            return false;
    }
    return true;
}

locale_t CLocale()
{
    static locale_t sLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return sLocale;
}

// Converts text that ScanDecimal accepted.
double ConvertDecimal(const std::string& text)
{
    return strtod_l(text.c_str(), nullptr, CLocale());
}

// The hexadecimal wide form after "0x": digits, then optionally '.', fraction digits and
// a 'p' exponent. Returns the position after it, or null when it is not a number.
const char16_t* ScanWideHex(const char16_t* p, const char16_t* end, double* result)
{
    double value = 0;
    int digits = 0;
    for (int d; p < end && (d = HexDigitValue(*p)) >= 0; ++p, ++digits)
        value = value * 16 + d;
    if (p < end && *p == '.') {
        ++p;
        double weight = 1.0 / 16;
        for (int d; p < end && (d = HexDigitValue(*p)) >= 0; ++p, ++digits, weight /= 16)
            value += d * weight;
        if (p < end && (*p == 'p' || *p == 'P')) {
            ++p;
            bool negative = false;
            if (p < end && (*p == '+' || *p == '-'))
                negative = *p++ == '-';
            if (p >= end || !IsDigit(*p))
                return nullptr;
            long exponent = 0;
            for (; p < end && IsDigit(*p); ++p)
                exponent = std::min(exponent * 10 + (*p - '0'), 100000L);
            value = std::ldexp(value, static_cast<int>(negative ? -exponent : exponent));
        }
    }
    if (digits == 0)
        return nullptr;
    *result = value;
    return p;
}

} // namespace

int luaO_str2dn(const char* text, std::size_t length, double* result)
{
    const unsigned char* begin = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* end = begin + length;
    while (begin < end && IsSpace(*begin))
        ++begin;
    const unsigned char* numberEnd = ScanDecimal(begin, end);
    if (numberEnd == begin || !OnlySpaceLeft(numberEnd, end))
        return 0;
    *result = ConvertDecimal(std::string(reinterpret_cast<const char*>(begin), numberEnd - begin));
    return 1;
}

int luaO_str2d(const char* text, double* result)
{
    std::size_t length = 0;
    while (text[length] != '\0')
        ++length;
    return luaO_str2dn(text, length, result);
}

int luaO_wstr2d(const char16_t* text, std::size_t length, double* result)
{
    const char16_t* end = text + length;
    const char16_t* numberEnd;
    double value = 0;
    if (length >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        numberEnd = ScanWideHex(text + 2, end, &value);
        if (numberEnd == nullptr)
            return 0;
    } else {
        numberEnd = ScanDecimal(text, end);
        if (numberEnd == text)
            return 0;
        value = ConvertDecimal(std::string(text, numberEnd));
    }
    if (!OnlySpaceLeft(numberEnd, end))
        return 0;
    *result = value;
    return 1;
}
