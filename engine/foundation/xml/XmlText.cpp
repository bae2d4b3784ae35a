#include "engine/foundation/xml/XmlText.h"

#include <cctype>
#include <cstring>

namespace {

struct TNamedReference
{
    const char* name; // after the "&"
    char character;
};

constexpr TNamedReference kNamedReferences[] = {
    {"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''},
};

// atoi of text, modulo 256; the modulo is taken as the digits come, so no length of
// digits can overflow.
unsigned char DecimalModulo256(const char* text)
{
    while (std::isspace(static_cast<unsigned char>(*text))) {
        ++text;
    }
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    unsigned value = 0;
    while (*text >= '0' && *text <= '9') {
        value = (value * 10 + static_cast<unsigned>(*text - '0')) % 256;
        ++text;
    }
    return static_cast<unsigned char>(negative ? (256 - value) % 256 : value);
}

// Decodes the reference at token[at] (an "&") into out; returns the bytes consumed, or 0
// when it is no reference.
size_t DecodeReference(const std::string& token, size_t at, std::string& out)
{
    if (at + 1 < token.size() && token[at + 1] == '#') {
        const size_t semicolon = token.find(';', at + 2);
        if (semicolon != std::string::npos) {
            const std::string number = token.substr(at + 2, semicolon - at - 2);
            out += static_cast<char>(DecimalModulo256(number.c_str()));
            return semicolon + 1 - at;
        }
    }
    for (const TNamedReference& reference : kNamedReferences) {
        const size_t length = std::strlen(reference.name);
        if (token.compare(at + 1, length, reference.name) == 0) {
            out += reference.character;
            return length + 1;
        }
    }
    return 0;
}

} // namespace

bool XmlUnescape(std::string& token)
{
    if (token.find('&') == std::string::npos) {
        return false;
    }
    std::string out;
    out.reserve(token.size());
    bool startsWithReference = false;
    size_t at = 0;
    while (at < token.size()) {
        if (token[at] == '&') {
            const size_t consumed = DecodeReference(token, at, out);
            if (consumed > 0) {
                startsWithReference = startsWithReference || at == 0;
                at += consumed;
                continue;
            }
        }
        out += token[at++];
    }
    token.swap(out);
    return startsWithReference;
}

TString XmlUnescape(const TString& token, bool* startsWithReference)
{
    std::string text = token.CStr();
    const bool fromReference = XmlUnescape(text);
    if (startsWithReference != nullptr) {
        *startsWithReference = fromReference;
    }
    return TString(text.data(), static_cast<int>(text.size()));
}

void XmlEscape(const char* text, size_t length, std::string& out)
{
    for (size_t i = 0; i < length; ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        switch (byte) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            if (byte < 32 || byte >= 128) {
                out += "&#" + std::to_string(byte) + ";";
            } else {
                out += static_cast<char>(byte);
            }
        }
    }
}

TString XmlEscape(const TString& text)
{
    std::string out;
    XmlEscape(text.CStr(), static_cast<size_t>(text.Length()), out);
    return TString(out.c_str());
}
