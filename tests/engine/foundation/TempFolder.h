#pragma once

// A temporary folder for file-system tests, removed with everything in it at the end.
// The path map and package list that tests fill with its files are process-wide state:
// tests that use them run in an EngineStateTest fixture (tests/engine/EngineStateTest.h).

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class TTempFolder
{
public:
    TTempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmora-XXXXXX").string();
        mPath = mkdtemp(pattern.data());
    }

    ~TTempFolder()
    {
        std::error_code error;
        std::filesystem::permissions(mPath, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(mPath, error);
    }

    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::string& Path() const { return mPath; }
    std::string operator/(const std::string& relative) const { return mPath + "/" + relative; }

    // Writes bytes to relative (creating its folders) and returns the full path.
    std::string Write(const std::string& relative, const std::string& bytes) const
    {
        const std::string full = *this / relative;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream out(full, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return full;
    }

    std::string MakeFolder(const std::string& relative) const
    {
        const std::string full = *this / relative;
        std::filesystem::create_directories(full);
        return full;
    }

    static std::string Read(const std::string& full)
    {
        std::ifstream in(full, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string mPath;
};
