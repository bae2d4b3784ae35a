// hvpack: builds a ".hvp" package.
//
//   hvpack OUTPUT.hvp FOLDER...        every file below each FOLDER, named by its path
//                                      relative to that FOLDER
//   hvpack OUTPUT.hvp NAME=FILE...     FILE stored under NAME
//
// Names are stored in path-map key form: lower case, "/" separators. The two argument
// forms mix; a later entry of the same name wins when the package is read.
#include "engine/foundation/files/TPackageWriter.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string KeyForm(std::string name)
{
    std::replace(name.begin(), name.end(), '\\', '/');
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return name;
}

bool ReadFile(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool AddFile(TPackageWriter& writer, const std::string& name, const std::string& path)
{
    std::string bytes;
    if (!ReadFile(path, bytes)) {
        std::fprintf(stderr, "hvpack: cannot read %s\n", path.c_str());
        return false;
    }
    if (!writer.Add(KeyForm(name), bytes)) {
        std::fprintf(stderr, "hvpack: %s: name longer than 255 bytes, or package over 4 GiB\n",
                     name.c_str());
        return false;
    }
    std::printf("%s\n", KeyForm(name).c_str());
    return true;
}

bool AddFolder(TPackageWriter& writer, const std::filesystem::path& folder)
{
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (std::filesystem::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file()) {
            files.push_back(it->path());
        }
    }
    if (error) {
        std::fprintf(stderr, "hvpack: cannot walk %s: %s\n", folder.c_str(), error.message().c_str());
        return false;
    }
    std::sort(files.begin(), files.end());
    for (const std::filesystem::path& file : files) {
        if (!AddFile(writer, file.lexically_relative(folder).generic_string(), file.string())) {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: hvpack OUTPUT.hvp FOLDER... | NAME=FILE...\n");
        return 2;
    }
    TPackageWriter writer;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        const size_t equals = argument.find('=');
        const bool added = equals != std::string::npos
                               ? AddFile(writer, argument.substr(0, equals), argument.substr(equals + 1))
                               : AddFolder(writer, argument);
        if (!added) {
            return 1;
        }
    }
    if (!writer.WriteFile(argv[1])) {
        std::fprintf(stderr, "hvpack: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
