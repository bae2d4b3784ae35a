#pragma once

// A folder of the benchmark's own under the system's temporary folder, made with a name
// that starts with prefix and removed with all it holds when the object goes. Root() is
// empty when the folder could not be made.

#include <filesystem>

class TTempFolder
{
public:
    explicit TTempFolder(const char* prefix);
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& Root() const { return mRoot; }

private:
    std::filesystem::path mRoot;
};
