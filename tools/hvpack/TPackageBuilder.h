#pragma once
// Collects the entries of one package for hvpack: names in path-map key form, files read
// whole, the output file itself never among them. Failures are printed as "hvpack: ..."
// lines on the standard error stream.

#include "engine/foundation/files/TPackageWriter.h"

#include <filesystem>
#include <string>
#include <vector>

class TPackageBuilder
{
public:
    static constexpr size_t kMaxNameLength = 255;

    explicit TPackageBuilder(const std::filesystem::path& output) : mOutput(output) {}

    // The key form of a name: lower case, "/" separators, empty and "." components
    // dropped. False with reason set when it has none (empty, "..", too long).
    static bool KeyForm(const std::string& name, std::string& key, std::string& reason);

    // Whether the output's folder takes the new package, asked before any input is read.
    bool CanWriteOutput() const;
    // Adds the file at path under name.
    bool AddFile(const std::string& name, const std::string& path);
    // Adds every regular file below folder, named by its path relative to it.
    bool AddFolder(const std::filesystem::path& folder);
    // Writes the package, then lists the names it holds on the standard output.
    bool Write();

private:
    bool IsOutput(const std::filesystem::path& file) const;

    std::filesystem::path mOutput;
    TPackageWriter mWriter;
    std::vector<std::string> mNames;
};
