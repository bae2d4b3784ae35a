#include "tests/layering/TBuildLibraries.h"

#include <cctype>

namespace {

const std::string kPrefix = "velmora_";

bool IsLibrary(const std::string& word)
{
    return word.compare(0, kPrefix.size(), kPrefix) == 0;
}

bool IsBelow(const std::string& path, const std::string& folder)
{
    return path.compare(0, folder.size() + 1, folder + "/") == 0;
}

// The text without its comments ('#' outside a quoted argument, to the end of the line).
std::string StripComments(const std::string& text)
{
    std::string stripped;
    bool inComment = false;
    bool inQuotes = false;
    for (char c : text) {
        if (c == '\n')
            inComment = false;
        else if (c == '#' && !inQuotes)
            inComment = true;
        else if (c == '"' && !inComment)
            inQuotes = !inQuotes;
        if (!inComment)
            stripped += c;
    }
    return stripped;
}

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c)) != 0) {
            if (!word.empty())
                words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

} // namespace

TBuildLibraries::TBuildLibraries(const std::string& cmakeText)
{
    const std::string text = StripComments(cmakeText);
    size_t at = 0;
    while (at < text.size()) {
        const size_t open = text.find('(', at);
        if (open == std::string::npos)
            break;
        size_t start = open;
        while (start > 0 && (std::isalnum(static_cast<unsigned char>(text[start - 1])) != 0 ||
                             text[start - 1] == '_'))
            --start;
        int depth = 0;
        size_t close = open;
        for (; close < text.size(); ++close) {
            depth += text[close] == '(' ? 1 : text[close] == ')' ? -1 : 0;
            if (depth == 0)
                break;
        }
        ReadCommand(text.substr(start, open - start),
                    Words(text.substr(open + 1, close - open - 1)));
        at = close + 1;
    }
}

void TBuildLibraries::ReadCommand(const std::string& name,
                                  const std::vector<std::string>& arguments)
{
    if (name == "velmora_area" && arguments.size() >= 2) {
        TArea area;
        area.folder = arguments[1];
        std::string keyword;
        for (size_t i = 2; i < arguments.size(); ++i) {
            const std::string& word = arguments[i];
            if (word == "RECURSE")
                area.recurse = true;
            else if (word == "EXCLUDE" || word == "DEPS" || word == "PRIVATE_DEPS")
                keyword = word;
            else if (keyword == "DEPS" && IsLibrary(word))
                area.deps.push_back(word);
        }
        const std::string library = kPrefix + arguments[0];
        mAreaOrder.push_back(library);
        mAreas[library] = area;
    } else if (name == "add_library" && arguments.size() >= 2 && IsLibrary(arguments[0])) {
        if (arguments[1] == "INTERFACE")
            mBundles[arguments[0]];
        else if (arguments[1] == "STATIC" && arguments.size() >= 3)
            mPieces[arguments[0]] = arguments[2].substr(0, arguments[2].rfind('/'));
    } else if (name == "target_link_libraries" && arguments.size() >= 2 &&
               mBundles.count(arguments[0]) != 0 && arguments[1] == "INTERFACE") {
        for (size_t i = 2; i < arguments.size(); ++i)
            if (IsLibrary(arguments[i]))
                mBundles[arguments[0]].push_back(arguments[i]);
    }
}

std::string TBuildLibraries::LibraryOf(const std::string& folder) const
{
    std::string found;
    size_t foundLength = 0;
    for (const auto& [library, area] : mAreas) {
        const bool holds = folder == area.folder || (area.recurse && IsBelow(folder, area.folder));
        if (holds && (found.empty() || area.folder.size() > foundLength)) {
            found = library;
            foundLength = area.folder.size();
        }
    }
    return found;
}

std::vector<std::string> TBuildLibraries::StandsFor(const std::string& target) const
{
    if (mAreas.count(target) != 0)
        return {target};
    if (auto piece = mPieces.find(target); piece != mPieces.end()) {
        const std::string area = LibraryOf(piece->second);
        return area.empty() ? std::vector<std::string>() : std::vector<std::string>{area};
    }
    std::vector<std::string> areas;
    if (auto bundle = mBundles.find(target); bundle != mBundles.end())
        for (const std::string& named : bundle->second)
            for (const std::string& area : StandsFor(named))
                areas.push_back(area);
    return areas;
}

std::set<std::string> TBuildLibraries::Reach(const std::string& library) const
{
    std::set<std::string> reach;
    std::vector<std::string> pending = {library};
    while (!pending.empty()) {
        const std::string next = pending.back();
        pending.pop_back();
        auto area = mAreas.find(next);
        if (area == mAreas.end())
            continue;
        for (const std::string& dep : area->second.deps)
            for (const std::string& reached : StandsFor(dep))
                if (reach.insert(reached).second)
                    pending.push_back(reached);
    }
    reach.erase(library);
    return reach;
}
