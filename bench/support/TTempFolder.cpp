#include "bench/support/TTempFolder.h"

#include <cstdlib>
#include <string>
#include <system_error>

TTempFolder::TTempFolder(const char* prefix)
{
    std::string pattern =
        (std::filesystem::temp_directory_path() / (std::string(prefix) + "_XXXXXX")).string();
    if (mkdtemp(pattern.data()) != nullptr)
        mRoot = pattern;
}

TTempFolder::~TTempFolder()
{
    std::error_code error;
    if (!mRoot.empty())
        std::filesystem::remove_all(mRoot, error);
}
