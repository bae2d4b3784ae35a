#pragma once

#include <string>
#include <vector>

class TGetChar;

// Splits the XML reader's input into tokens. Characters are whole UTF-8 sequences (a
// lead byte from 192 takes 1, from 224 2, from 240 3 more bytes; missing bytes at the
// end read as 255). Tokens split at white space, "<", ">" and "="; the last three are
// tokens of their own; a double-quoted run is one token without its quotes, and so is a
// single-quoted one where an attribute value is read (NextValue: elsewhere "'" is an
// apostrophe in text). A quoted run holds everything up to the same quote again, the
// other kind of quote, blanks and markup characters included; one never closed takes the
// rest of the input and is logged with the source's name and the line it opened on. Every
// token is passed through XmlUnescape.
class TXmlTokenizer
{
public:
    struct TToken
    {
        std::string text;
        bool quoted = false;     // the token was written between quotes (either kind)
        bool fromEntity = false; // its first character came from a reference
        bool end = false;        // the input has ended; there is no token

        // The token is the markup character c itself (not text that decodes to it, nor a
        // quoted one).
        bool Is(char c) const { return IsMarkup() && text.size() == 1 && text[0] == c; }
        bool StartsWith(char c) const { return IsMarkup() && !text.empty() && text[0] == c; }

    private:
        bool IsMarkup() const { return !fromEntity && !quoted; }
    };

    // source names the input in log lines.
    explicit TXmlTokenizer(TGetChar& source, const char* sourceName = "document")
        : mSource(source), mSourceName(sourceName)
    {
    }

    TToken Next() { return Read(false); }
    // The next token where an attribute value stands: single quotes quote as well.
    TToken NextValue() { return Read(true); }

private:
    TToken Read(bool singleQuotes);
    // One character: 1 to 4 bytes; empty at the end of the input.
    std::string ReadChar();
    void PutBack(const std::string& character) { mPutBack.push_back(character); }

    TGetChar& mSource;
    const char* mSourceName;
    int mLine = 1;                     // of the last character read from the source
    std::vector<std::string> mPutBack; // read again last first
};
