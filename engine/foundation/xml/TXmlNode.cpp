#include "engine/foundation/xml/TXmlNode.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TFile.h"
#include "engine/foundation/xml/TGetCharFile.h"
#include "engine/foundation/xml/TGetCharString.h"
#include "engine/foundation/xml/TXmlTokenizer.h"
#include "engine/foundation/xml/TZxml.h"
#include "engine/foundation/xml/XmlText.h"

#include <cstring>
#include <string>

namespace {

// Packed files above this size are refused before reading them (the unpacked text has
// its own, smaller limit).
constexpr int64_t kMaxPackedFileSize = int64_t{TZxml::kMaxUnpackedSize} + (1 << 20);

TString MakeString(const std::string& text)
{
    return TString(text.data(), static_cast<int>(text.size()));
}

bool IsSpecialTag(const std::string& name)
{
    return name == "?xml" || name == "!DOCTYPE" || name.rfind("!--", 0) == 0;
}

} // namespace

struct TXmlNode::TTagResult
{
    TXmlNode* contentChild = nullptr; // a child opened whose content follows
    bool endTag = false;              // the tag closed the element being filled
};

TXmlNode::~TXmlNode() = default;

bool TXmlNode::LoadFile(const TString& name)
{
    TGetCharFile source(name);
    if (!source.IsOpen()) {
        return false;
    }
    char magic[4] = {' ', ' ', ' ', ' '};
    const size_t got = FileRead(magic, 1, 4, source.GetFile());
    if (got != 4 || std::memcmp(magic, "ZXML", 4) != 0) {
        source.Rewind();
        Parse(source, name.CStr());
        return true;
    }
    if (!source.ReopenBinary()) {
        return true;
    }
    TFile* file = source.GetFile();
    const int64_t size = file->GetSize();
    if (size > kMaxPackedFileSize) {
        TraceLog("xml: %s: packed file of %lld bytes is over the limit", name.CStr(),
                 static_cast<long long>(size));
        return true;
    }
    std::string block(static_cast<size_t>(size), '\0');
    file->Seek(0, kSeekStart);
    block.resize(file->Read(block.data(), block.size()));
    LoadPacked(block.data(), block.size());
    return true;
}

void TXmlNode::LoadString(const char* text)
{
    if (text != nullptr) {
        LoadString(text, std::strlen(text));
    }
}

void TXmlNode::LoadString(const char* data, size_t length)
{
    if (TZxml::IsPacked(data, length)) {
        LoadPacked(data, length);
        return;
    }
    TGetCharString source(data, length);
    Parse(source);
}

void TXmlNode::LoadPacked(const void* block, size_t size)
{
    std::string text;
    if (!TZxml::Unpack(block, size, text, mName.Length() > 0 ? mName.CStr() : "document")) {
        return;
    }
    TGetCharString source(text.data(), text.size());
    Parse(source);
}

void TXmlNode::Parse(TGetChar& source, const char* sourceName)
{
    TXmlTokenizer tokenizer(source, sourceName);
    ParseContent(tokenizer, 0);
}

bool TXmlNode::ParseContent(TXmlTokenizer& tokenizer, int depth)
{
    for (;;) {
        TXmlTokenizer::TToken token = tokenizer.Next();
        if (token.end) {
            return true;
        }
        if (!token.StartsWith('<')) {
            if (!token.text.empty()) {
                AppendText(token.text.data(), static_cast<int>(token.text.size()));
            }
            continue;
        }
        const TTagResult tag = ReadTag(tokenizer);
        if (tag.contentChild != nullptr) {
            if (depth + 1 >= kMaxDepth) {
                TraceLog("xml: elements nested deeper than %d, the rest is ignored", kMaxDepth);
                return false;
            }
            if (!tag.contentChild->ParseContent(tokenizer, depth + 1)) {
                return false;
            }
        }
        if (tag.endTag) {
            return true;
        }
    }
}

TXmlNode::TTagResult TXmlNode::ReadTag(TXmlTokenizer& tokenizer)
{
    enum class TState
    {
        Name,
        AttributeName,
        Value
    };
    TState state = TState::Name;
    TTagResult result;
    TXmlNode* child = nullptr;
    bool special = false;
    std::string pending;
    for (;;) {
        TXmlTokenizer::TToken token =
            state == TState::Value ? tokenizer.NextValue() : tokenizer.Next();
        if (token.end) {
            return result;
        }
        if (token.Is('>')) {
            if (pending == "/" || pending == "?" || special) {
                EndTag(MakeString(token.text));
            } else if (!result.endTag) {
                result.contentChild = child;
            }
            return result;
        }
        switch (state) {
        case TState::Name:
            if (token.StartsWith('/')) {
                result.endTag = true;
                EndTag(MakeString(token.text));
            } else {
                child = NewChild(MakeString(token.text));
                special = IsSpecialTag(token.text);
            }
            state = TState::AttributeName;
            break;
        case TState::AttributeName:
            if (token.Is('=')) {
                state = TState::Value;
            } else {
                pending = token.text; // a name without a value is dropped
            }
            break;
        case TState::Value:
            if (child != nullptr) {
                child->AddAttribute(MakeString(pending), MakeString(token.text), token.quoted);
            }
            pending.clear();
            state = TState::AttributeName;
            break;
        }
    }
}

TXmlNode* TXmlNode::FindChild(const TString& name) const
{
    for (const auto& child : mChildren) {
        if (child->mName == name) {
            return child.get();
        }
    }
    return nullptr;
}

bool TXmlNode::NextChild(TString& name, TXmlNode*& node)
{
    if (mChildCursor >= mChildren.size()) {
        return false;
    }
    node = mChildren[mChildCursor++].get();
    name = node->mName;
    return true;
}

TString TXmlNode::GetAttribute(const TString& name, bool* quoted) const
{
    for (const XmlAttribute& attribute : mAttributes) {
        if (attribute.name == name) {
            if (quoted != nullptr) {
                *quoted = attribute.quoted;
            }
            return attribute.value;
        }
    }
    return TString();
}

bool TXmlNode::NextAttribute(TString& name, TString& value)
{
    if (mAttributeCursor >= mAttributes.size()) {
        return false;
    }
    const XmlAttribute& attribute = mAttributes[mAttributeCursor++];
    name = attribute.name;
    value = attribute.value;
    return true;
}

TXmlNode* TXmlNode::AddChild(const TString& name)
{
    mChildren.push_back(std::make_unique<TXmlNode>(name));
    return mChildren.back().get();
}

void TXmlNode::SetAttribute(const TString& name, const TString& value)
{
    for (XmlAttribute& attribute : mAttributes) {
        if (attribute.name == name) {
            attribute.value = value;
            attribute.quoted = true;
            return;
        }
    }
    mAttributes.push_back({name, value, true});
}

void TXmlNode::AppendText(const char* text, int length)
{
    if (text == nullptr || length < 0) {
        return;
    }
    // WriteAt grows by doubling, so a long run of words stays linear.
    if (mTextLength > 0) {
        mTextLength = mText.WriteAt(mTextLength, " ", 1, true);
    }
    const int end = mText.WriteAt(mTextLength, text, length, true);
    if (end >= 0) {
        mTextLength = end;
    }
}

void TXmlNode::AddAttribute(const TString& name, const TString& value, bool quoted)
{
    mAttributes.push_back({name, value, quoted});
}

void TXmlNode::WriteTo(std::string& out, int indent) const
{
    const std::string margin(static_cast<size_t>(indent), ' ');
    out += margin + "<" + mName.CStr();
    for (const XmlAttribute& attribute : mAttributes) {
        out += "\n" + margin + "    ";
        XmlEscape(attribute.name.CStr(), attribute.name.Length(), out);
        out += attribute.quoted ? "=\"" : "=";
        XmlEscape(attribute.value.CStr(), attribute.value.Length(), out);
        if (attribute.quoted) {
            out += '"';
        }
    }
    out += ">\n";
    if (mTextLength > 0) {
        out += margin;
        XmlEscape(mText.CStr(), mText.Length(), out);
        out += '\n';
    }
    for (const auto& child : mChildren) {
        child->WriteTo(out, indent + 4);
    }
    out += margin + "</";
    XmlEscape(mName.CStr(), mName.Length(), out);
    out += ">\n";
}

void TXmlNode::Write(TString& output, int& position, int indent) const
{
    std::string text;
    WriteTo(text, indent);
    const int end = output.WriteAt(position, text.data(), static_cast<int>(text.size()), true);
    if (end >= 0) {
        position = end;
    }
}

TString TXmlNode::ToString() const
{
    TString output;
    output.Reallocate(mSizeHint);
    int position = 0;
    Write(output, position, 0);
    if (position > mSizeHint) {
        mSizeHint = position + 1;
    }
    return output;
}
