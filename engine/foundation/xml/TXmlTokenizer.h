#pragma once

#include <string>
#include <vector>

class TGetChar;

// Splits the XML reader's input into tokens. Characters are whole UTF-8 sequences (a
// lead byte from 192 takes 1, from 224 2, from 240 3 more bytes; missing bytes at the
// end read as 255). Tokens split at white space, "<", ">" and "="; the last three are
// tokens of their own; a double-quoted run is one token without its quotes. Every token
// is passed through XmlUnescape.
class TXmlTokenizer
{
public:
    struct TToken
    {
        std::string text;
        bool quoted = false;     // the token was written between double quotes
        bool fromEntity = false; // its first character came from a reference
        bool end = false;        // the input has ended; there is no token

        // The token is the markup character c itself (not text that decodes to it).
        bool Is(char c) const { return !fromEntity && text.size() == 1 && text[0] == c; }
        bool StartsWith(char c) const { return !fromEntity && !text.empty() && text[0] == c; }
    };

    explicit TXmlTokenizer(TGetChar& source) : mSource(source) {}

    TToken Next();

private:
    // One character: 1 to 4 bytes; empty at the end of the input.
    std::string ReadChar();
    void PutBack(const std::string& character) { mPutBack.push_back(character); }

    TGetChar& mSource;
    std::vector<std::string> mPutBack; // read again last first
};
