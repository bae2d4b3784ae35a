#include "engine/foundation/xml/TStringTable.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TFile.h"
#include "engine/foundation/xml/TZxml.h"
#include "engine/foundation/xml/XmlText.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr const char* kMissingMarker = "#####";
// Files above this size are refused before reading (a packed table unpacks to at most
// TZxml::kMaxUnpackedSize bytes).
constexpr int64_t kMaxFileSize = int64_t{TZxml::kMaxUnpackedSize} + (1 << 20);

// The content of the cell whose "<Data" starts at at: from the next ">" to the next "<".
std::string CellContent(const std::string& text, size_t at)
{
    const size_t open = text.find('>', at);
    if (open == std::string::npos) {
        return std::string();
    }
    const size_t close = text.find('<', open + 1);
    std::string content =
        text.substr(open + 1, (close == std::string::npos ? text.size() : close) - open - 1);
    XmlUnescape(content);
    return content;
}

TString MakeString(const std::string& text)
{
    return TString(text.data(), static_cast<int>(text.size()));
}

// atoi of a run of digits, stopping early once the value is beyond any argument number.
int ArgumentNumber(const std::string& digits)
{
    int value = 0;
    for (char digit : digits) {
        value = value * 10 + (digit - '0');
        if (value > TStringTable::kMaxArguments) {
            return value;
        }
    }
    return value;
}

bool IsDigits(const std::string& name)
{
    return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

bool TStringTable::Load(const TString& fileName)
{
    TFile file;
    if (!file.Open(fileName, kFileReadBinary)) {
        TraceLog("strings: %s: cannot be opened, its texts stay missing", fileName.CStr());
        return false;
    }
    file.Seek(0, kSeekEnd);
    const int64_t size = file.Tell();
    file.Seek(0, kSeekStart);
    if (size < 0 || size > kMaxFileSize) {
        TraceLog("strings: %s: %lld bytes is over the limit", fileName.CStr(),
                 static_cast<long long>(size));
        return true;
    }
    std::string text(static_cast<size_t>(size), '\0');
    text.resize(file.Read(text.data(), text.size()));
    file.Close();
    LoadText(text.data(), text.size(), fileName.CStr());
    return true;
}

bool TStringTable::LoadReplacing(const TString& fileName)
{
    Clear();
    return Load(fileName);
}

void TStringTable::LoadText(const char* data, size_t size, const char* source)
{
    std::string text;
    if (TZxml::IsPacked(data, size)) {
        if (!TZxml::Unpack(data, size, text, source)) {
            return;
        }
    } else {
        text.assign(data, size);
    }
    // The text ends at its first NUL byte, as a C string would.
    text.resize(std::strlen(text.c_str()));

    size_t row = text.find("<Row");
    if (row == std::string::npos) {
        TraceLog("strings: %s: no \"<Row\" in it, so no texts (not a string table?)", source);
    }
    while (row != std::string::npos) {
        const size_t next = text.find("<Row", row + 4);
        const size_t rowEnd = next == std::string::npos ? text.size() : next;
        const size_t labelCell = text.find("<Data", row);
        if (labelCell < rowEnd) {
            const size_t textCell = text.find("<Data", labelCell + 5);
            const std::string value =
                textCell < rowEnd ? CellContent(text, textCell) : std::string();
            mEntries[MakeString(CellContent(text, labelCell))] = MakeString(value);
        }
        row = next;
    }
}

TString TStringTable::GetString(const TString& label, const TString& arg1, const TString& arg2,
                                const TString& arg3, const TString& arg4, const TString& arg5) const
{
    const TString arguments[kMaxArguments] = {arg1, arg2, arg3, arg4, arg5};
    return Substitute(label, kMaxArguments, arguments);
}

TString TStringTable::Substitute(const TString& label, int count, const TString* arguments) const
{
    const TString* text = Find(label.CStr());
    if (text == nullptr) {
        TraceLog(" ##### : Missing string for label '%s'", label.CStr());
        return kMissingMarker;
    }
    std::string out;
    std::string failed;
    switch (Expand(text->CStr(), count, arguments, out, failed)) {
    case TExpansion::Done:
        return MakeString(out);
    case TExpansion::UnknownName:
        TraceLog(" ##### : String for label '%s' holds %s, which names no argument or label",
                 label.CStr(), failed.c_str());
        break;
    case TExpansion::TooLong:
        TraceLog(" ##### : String for label '%s' inserts more than %zu bytes by %s, so it is "
                 "refused",
                 label.CStr(), kMaxGrowth, failed.c_str());
        break;
    }
    return kMissingMarker;
}

TStringTable::TExpansion TStringTable::Expand(const std::string& text, int count,
                                              const TString* arguments, std::string& out,
                                              std::string& failed) const
{
    // The text's own characters are copied at most once each; only insertions can grow
    // it, and they are counted.
    size_t inserts = 0;
    size_t at = 0;
    while (at < text.size()) {
        const size_t percent = text.find('%', at);
        if (percent == std::string::npos) {
            out.append(text, at, std::string::npos);
            break;
        }
        out.append(text, at, percent - at);
        // The name runs to the next "%"; an unterminated one is the rest of the text,
        // after which copying goes on at the end (the name is not copied again).
        const size_t close = text.find('%', percent + 1);
        const size_t nameEnd = close == std::string::npos ? text.size() : close;
        const std::string name = text.substr(percent + 1, nameEnd - percent - 1);
        at = close == std::string::npos ? text.size() : close + 1;
        failed = text.substr(percent, at - percent);
        std::string_view inserted = "%";
        if (IsDigits(name)) {
            const int number = ArgumentNumber(name);
            if (number < 1 || number > count) {
                return TExpansion::UnknownName;
            }
            if (!ArgumentText(arguments[number - 1], inserted)) {
                failed += " (its argument " + std::string(arguments[number - 1].CStr()) + ")";
                return TExpansion::UnknownName;
            }
        } else if (!name.empty()) {
            const TString* entry = Find(name);
            if (entry == nullptr) {
                return TExpansion::UnknownName;
            }
            inserted = entry->CStr();
        }
        if (inserted.size() > kMaxGrowth - inserts) {
            return TExpansion::TooLong;
        }
        inserts += inserted.size();
        out += inserted;
    }
    return TExpansion::Done;
}

bool TStringTable::ArgumentText(const TString& argument, std::string_view& inserted) const
{
    const std::string_view text = argument.CStr();
    if (text.empty() || text[0] != '%') {
        inserted = text;
        return true;
    }
    if (text == "%%") {
        inserted = "%";
        return true;
    }
    if (text.size() > 2 && text.back() == '%') {
        const TString* entry = Find(std::string(text.substr(1, text.size() - 2)));
        if (entry != nullptr) {
            inserted = entry->CStr();
            return true;
        }
    }
    return false;
}

const TString* TStringTable::Find(const std::string& label) const
{
    const auto found = mEntries.find(TString(label.c_str()));
    return found != mEntries.end() ? &found->second : nullptr;
}

void TStringTable::GetFlashLabels(std::vector<std::pair<TString, TString>>& labels) const
{
    bool any = false;
    for (const auto& [label, text] : mEntries) {
        if (std::strncmp(label.CStr(), "FLASH_", 6) == 0) {
            labels.emplace_back(label, text);
            any = true;
        }
    }
    if (any) {
        return;
    }
    for (const auto& [label, text] : mEntries) {
        int first = 0;
        int second = 0;
        if (std::sscanf(label.CStr(), "flash%2d_%2d", &first, &second) >= 1) {
            labels.emplace_back(label, text);
        }
    }
}
