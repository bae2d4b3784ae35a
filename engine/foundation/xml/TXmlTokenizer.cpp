#include "engine/foundation/xml/TXmlTokenizer.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/xml/TGetChar.h"
#include "engine/foundation/xml/XmlText.h"

namespace {

bool IsSpace(const std::string& character)
{
    switch (character[0]) {
    case ' ':
    case '\t':
    case '\n':
    case '\v':
    case '\f':
    case '\r':
        return true;
    default:
        return false;
    }
}

bool IsMarkup(const std::string& character)
{
    return character.size() == 1 &&
           (character[0] == '<' || character[0] == '>' || character[0] == '=');
}

int TrailingBytes(int lead)
{
    if (lead >= 240) {
        return 3;
    }
    if (lead >= 224) {
        return 2;
    }
    return lead >= 192 ? 1 : 0;
}

} // namespace

std::string TXmlTokenizer::ReadChar()
{
    if (!mPutBack.empty()) {
        std::string character = std::move(mPutBack.back());
        mPutBack.pop_back();
        return character;
    }
    const int lead = mSource.GetChar();
    if (lead < 0) {
        return std::string();
    }
    if (lead == '\n') {
        ++mLine;
    }
    std::string character(1, static_cast<char>(lead));
    for (int i = TrailingBytes(lead); i > 0; --i) {
        const int next = mSource.GetChar();
        character += static_cast<char>(next < 0 ? 255 : next);
    }
    return character;
}

TXmlTokenizer::TToken TXmlTokenizer::Read(bool singleQuotes)
{
    TToken token;
    std::string character = ReadChar();
    while (!character.empty() && IsSpace(character)) {
        character = ReadChar();
    }
    if (character.empty()) {
        token.end = true;
        return token;
    }
    if (IsMarkup(character)) {
        token.text = character;
        return token;
    }
    if (character == "\"" || (singleQuotes && character == "'")) {
        const std::string quote = character;
        const int line = mLine;
        token.quoted = true;
        for (character = ReadChar(); !character.empty() && character != quote;
             character = ReadChar()) {
            token.text += character;
        }
        if (character.empty()) {
            TraceLog("xml: %s: the %s opened on line %d is never closed, so the rest of the "
                     "input is read into it",
                     mSourceName, quote == "'" ? "single quote" : "double quote", line);
        }
    } else {
        token.text = character;
        for (character = ReadChar(); !character.empty(); character = ReadChar()) {
            if (IsSpace(character) || IsMarkup(character)) {
                PutBack(character);
                // "name/>" gives the name, then "/", then ">".
                if (character == ">" && token.text.size() > 1 && token.text.back() == '/') {
                    token.text.pop_back();
                    PutBack("/");
                }
                break;
            }
            token.text += character;
        }
    }
    token.fromEntity = XmlUnescape(token.text);
    return token;
}
