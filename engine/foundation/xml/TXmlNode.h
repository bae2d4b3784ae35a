#pragma once

// The engine's XML element tree, its forgiving reader and its writer.
//
// The reader is token based and never fails: it keeps going through anything it does
// not understand, and whatever it could parse stays. Text is an element's words joined
// by single spaces ("=" counts as a word); attribute values may be bare or quoted, in
// double or single quotes alike (a quote never closed takes the rest of the input, with
// a log line; TXmlTokenizer.h has the details); an end tag closes the open element
// whatever its name; "<?xml ...?>", "<!DOCTYPE ...>" and comments become children named
// "?xml", "!DOCTYPE" and "!--" (a ">" inside a comment ends it). Files may be packed as
// "ZXML" (TZxml.h). Elements nest at most kMaxDepth deep; deeper input is dropped with a
// log line.
//
// The writer puts every element on its own lines, indented by 4 spaces per level, one
// attribute per line, and escapes text so that any byte string reads back unchanged.

#include "engine/foundation/core/TString.h"

#include <cstddef>
#include <memory>
#include <vector>

class TGetChar;
class TXmlTokenizer;

struct XmlAttribute
{
    TString name;
    TString value;
    bool quoted = false; // the value was written between quotes (is to be: double quotes)
};

class TXmlNode
{
public:
    static constexpr int kMaxDepth = 256;

    TXmlNode() = default;
    explicit TXmlNode(const TString& name) : mName(name) {}
    virtual ~TXmlNode();
    TXmlNode(const TXmlNode&) = delete;
    TXmlNode& operator=(const TXmlNode&) = delete;

    // Reading: the parsed top-level elements become children of this element (normally
    // an empty root). Parsing only ever adds. LoadFile returns false when the file cannot
    // be opened (nothing is added then).
    bool LoadFile(const TString& name);
    // A NUL-terminated text, or a "ZXML" block (its length is then the text's length up
    // to the first NUL byte, so a block holding NUL bytes fails to unpack: use the sized
    // form for blocks).
    void LoadString(const char* text);
    void LoadString(const char* data, size_t length);
    // A "ZXML" block of size bytes; a damaged block adds nothing and logs why.
    void LoadPacked(const void* block, size_t size);
    // Parses the bytes of source into this element; sourceName names it in log lines.
    void Parse(TGetChar& source, const char* sourceName = "document");

    // Querying. Names compare exactly (case-sensitive).
    const TString& GetName() const { return mName; }
    TXmlNode* FindChild(const TString& name) const;
    void ResetChildIterator() { mChildCursor = 0; }
    // The next child in document order; false after the last.
    bool NextChild(TString& name, TXmlNode*& node);
    // The value of the first attribute of that name, or "".
    TString GetAttribute(const TString& name, bool* quoted = nullptr) const;
    void ResetAttributeIterator() { mAttributeCursor = 0; }
    bool NextAttribute(TString& name, TString& value);
    TString GetText() const { return mText; }
    bool HasChildren() const { return !mChildren.empty(); }
    size_t GetChildCount() const { return mChildren.size(); }
    const std::vector<XmlAttribute>& GetAttributes() const { return mAttributes; }

    // Building. Iteration cursors stay valid (indices), new entries come last.
    // Appends a new child (owned by this element) and returns it.
    TXmlNode* AddChild(const TString& name);
    // Replaces the value of the first attribute of that name and marks it quoted, or
    // appends a new quoted attribute.
    void SetAttribute(const TString& name, const TString& value);

    // Writing: appends this element as text at position (updated) of output.
    void Write(TString& output, int& position, int indent) const;
    TString ToString() const;

    // What the reader calls on the element it is filling; a subclass may override them.
    virtual TXmlNode* NewChild(const TString& name) { return AddChild(name); }
    // An end tag, or a tag without content, has been read. Does nothing here.
    virtual void EndTag(const TString& token) { (void)token; }
    // Appends text; a second piece is joined to the first by one space.
    virtual void AppendText(const char* text, int length);
    // Appends an attribute (duplicates are kept).
    virtual void AddAttribute(const TString& name, const TString& value, bool quoted);

private:
    struct TTagResult;
    // False when parsing must stop (nesting too deep).
    bool ParseContent(TXmlTokenizer& tokenizer, int depth);
    TTagResult ReadTag(TXmlTokenizer& tokenizer);
    void WriteTo(std::string& out, int indent) const;

    TString mText;
    int mTextLength = 0; // bytes of text, 0 = none
    mutable int mSizeHint = 4096;
    TString mName;
    std::vector<std::unique_ptr<TXmlNode>> mChildren;
    size_t mChildCursor = 0;
    std::vector<XmlAttribute> mAttributes;
    size_t mAttributeCursor = 0;
};
