#pragma once

// The table of every text shown to the player, looked up by label (exact, case-sensitive).
// It is loaded from spreadsheet XML: each "<Row" gives a label from its first "<Data"
// cell and a text from its second; a cell's content runs from the ">" after "<Data" to
// the next "<" (rich text is cut there) and has its references decoded. Files may be
// packed as "ZXML". Later rows and later files replace earlier texts.
//
// Texts may hold placeholders: "%%" is a percent sign, "%1%" to "%5%" the arguments,
// "%label%" another label's text (inserted as it is, not expanded again). An argument
// written "%label%" inserts that label's text, and "%%" a percent sign. A lookup that
// cannot be completed gives "#####" and one log line, never a failure: a missing label
// is logged as missing, a text it cannot expand with the sequence that failed. A file
// that cannot be opened, or holds no rows, is logged by name.
//
// Expansion is bounded: what a text's placeholders insert comes to at most kMaxGrowth
// bytes, so a table that names one long text thousands of times cannot build a result
// of gigabytes. A text whose result would be longer is refused like a
// text that cannot be expanded, and its log line names the label and the placeholder at
// which the result outgrew the bound.

#include "engine/foundation/core/TString.h"

#include <cstddef>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

class TStringTable
{
public:
    static constexpr int kMaxArguments = 5;
    // The most bytes a text's placeholders may insert into it altogether (64 KB).
    static constexpr size_t kMaxGrowth = 64u << 10;

    // Adds the rows of a file; false (table unchanged) when it cannot be opened.
    bool Load(const TString& fileName);
    // Empties the table, then Load.
    bool LoadReplacing(const TString& fileName);
    // Adds the rows of a text in memory, plain or packed; source names it in log lines.
    void LoadText(const char* data, size_t size, const char* source);

    // The label's text with up to five arguments (missing ones are empty).
    TString GetString(const TString& label, const TString& arg1 = TString(),
                      const TString& arg2 = TString(), const TString& arg3 = TString(),
                      const TString& arg4 = TString(), const TString& arg5 = TString()) const;
    // The label's text with its placeholders expanded; argument numbers above count fail.
    TString Substitute(const TString& label, int count, const TString* arguments) const;
    // Appends every entry whose label begins with "FLASH_", in label order; when there is
    // none, every entry whose label reads as "flash<n>_<n>" instead.
    void GetFlashLabels(std::vector<std::pair<TString, TString>>& labels) const;

    bool Has(const TString& label) const { return mEntries.count(label) != 0; }
    size_t GetCount() const { return mEntries.size(); }
    void Clear() { mEntries.clear(); }
    const std::map<TString, TString>& GetEntries() const { return mEntries; }

private:
    enum class TExpansion
    {
        Done,
        UnknownName, // a placeholder names no argument or label
        TooLong,     // the placeholders would insert more than kMaxGrowth bytes
    };

    // When not Done, failed holds the sequence as written at which expansion stopped.
    TExpansion Expand(const std::string& text, int count, const TString* arguments,
                      std::string& out, std::string& failed) const;
    // What an argument inserts; false when it is "%..." and names no label.
    bool ArgumentText(const TString& argument, std::string_view& inserted) const;
    const TString* Find(const std::string& label) const;

    std::map<TString, TString> mEntries;
};
