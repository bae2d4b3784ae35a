#include "engine/foundation/files/FolderIterator.h"

#include "tests/engine/foundation/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Walk(FolderIterator& iterator, bool withFolders)
{
    std::vector<std::string> names;
    TString name;
    bool isFolder = false;
    while (iterator.Next(name, withFolders ? &isFolder : nullptr)) {
        names.push_back(std::string(name.CStr()) + (withFolders && isFolder ? "/" : ""));
    }
    return names;
}

TEST(FolderIterator, WalksOneFolderInNameOrder)
{
    TTempFolder temp;
    temp.Write("b.txt", "b");
    temp.Write("A.txt", "a");
    temp.Write("sub/inner.txt", "i");
    FolderIterator iterator;
    iterator.FindFiles((temp.Path() + "/").c_str());
    EXPECT_EQ(Walk(iterator, true), std::vector<std::string>({"A.txt", "b.txt", "sub/"}));
    EXPECT_FALSE(Walk(iterator, true).size() > 0) << "an ended walk stays ended";
    iterator.FindFiles(temp.Path().c_str());
    EXPECT_EQ(Walk(iterator, false), std::vector<std::string>({"A.txt", "b.txt"}));
    iterator.FindFiles((temp.Path() + "/missing").c_str());
    EXPECT_EQ(Walk(iterator, true), std::vector<std::string>());
}

} // namespace
