#include "tools/hvpack/TPackageBuilder.h"

#include "tools/support/InputLimits.h"
#include "tools/support/ToolFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace fs = std::filesystem;

bool TPackageBuilder::KeyForm(const std::string& name, std::string& key, std::string& reason)
{
    key.clear();
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string::npos)
            end = name.size();
        const std::string part = name.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            reason = "a name cannot climb out of its folder with \"..\"";
            return false;
        }
        if (!key.empty())
            key += '/';
        for (char c : part)
            key += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    if (key.empty()) {
        reason = "empty name";
        return false;
    }
    if (key.size() > kMaxNameLength) {
        reason = "name longer than 255 bytes";
        return false;
    }
    return true;
}

bool TPackageBuilder::CanWriteOutput() const
{
    // The package is written beside the output and renamed over it, so its folder must
    // take a new file; the output itself is not touched here.
    std::error_code error;
    int reason = 0;
    const fs::path folder = mOutput.has_parent_path() ? mOutput.parent_path() : fs::path(".");
    if (fs::is_directory(mOutput, error))
        reason = EISDIR;
    else if (!fs::is_directory(folder, error))
        reason = fs::exists(folder, error) ? ENOTDIR : ENOENT;
    else if (access(folder.c_str(), W_OK | X_OK) != 0)
        reason = errno;
    if (reason == 0)
        return true;
    std::fprintf(stderr, "hvpack: cannot write %s: %s\n", mOutput.c_str(), std::strerror(reason));
    return false;
}

bool TPackageBuilder::AddFile(const std::string& name, const std::string& path)
{
    std::string key;
    std::string reason;
    if (!KeyForm(name, key, reason)) {
        std::fprintf(stderr, "hvpack: \"%s\" for %s: %s\n", name.c_str(), path.c_str(),
                     reason.c_str());
        return false;
    }
    std::string bytes;
    if (!ReadInputFile("hvpack", path, kMaxPackageEntryBytes, bytes))
        return false;
    if (!mWriter.Add(key, bytes)) {
        std::fprintf(stderr, "hvpack: %s: the package would outgrow 4 GiB\n", path.c_str());
        return false;
    }
    mNames.push_back(key);
    return true;
}

bool TPackageBuilder::IsOutput(const fs::path& file) const
{
    std::error_code error;
    return fs::equivalent(file, mOutput, error);
}

bool TPackageBuilder::AddFolder(const fs::path& folder)
{
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        std::fprintf(stderr, "hvpack: cannot read %s: %s\n", folder.c_str(),
                     fs::exists(folder, error) ? "not a folder (give NAME=FILE for a file)"
                                               : "No such file or directory");
        return false;
    }
    std::vector<fs::path> files;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file() && !IsOutput(it->path()))
            files.push_back(it->path());
    }
    if (error) {
        std::fprintf(stderr, "hvpack: cannot walk %s: %s\n", folder.c_str(),
                     error.message().c_str());
        return false;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        if (!AddFile(file.lexically_relative(folder).generic_string(), file.string()))
            return false;
    }
    return true;
}

bool TPackageBuilder::Write()
{
    if (!WriteOutputFile("hvpack", mOutput.string(), mWriter.Build()))
        return false;
    for (const std::string& name : mNames)
        std::printf("%s\n", name.c_str());
    return true;
}
