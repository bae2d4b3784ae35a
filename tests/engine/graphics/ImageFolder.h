#pragma once

// Test support for everything that reads or writes image files: a temporary folder that
// is the user, common and desktop data folder at once (files are named "user:<name>"),
// and a debug log in it whose lines the test can read. Tests that use it run in an
// EngineStateTest fixture.

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TPathMap.h"
#include "tests/engine/foundation/TempFolder.h"

#include <sstream>
#include <string>
#include <vector>

class TImageFolder
{
public:
    TImageFolder()
    {
        TPathMap::Get().SetDataFolders(mTemp.Path().c_str(), mTemp.Path().c_str(),
                                       mTemp.Path().c_str());
        InitLog(mTemp.Path().c_str());
    }
    ~TImageFolder() { InitLog(nullptr); }
    TImageFolder(const TImageFolder&) = delete;
    TImageFolder& operator=(const TImageFolder&) = delete;

    // Writes bytes to the file name and returns its engine path, "user:<name>".
    std::string Put(const std::string& name, const std::string& bytes) const
    {
        mTemp.Write(name, bytes);
        return "user:" + name;
    }
    std::string Get(const std::string& name) const { return TTempFolder::Read(mTemp / name); }
    bool Has(const std::string& name) const { return std::filesystem::exists(mTemp / name); }
    const std::string& Path() const { return mTemp.Path(); }

    // The messages logged so far (the time stamp cut off), oldest first.
    std::vector<std::string> LogLines() const
    {
        std::vector<std::string> lines;
        std::istringstream in(TTempFolder::Read(mTemp / "logfile.txt"));
        std::string line;
        while (std::getline(in, line)) {
            const size_t colon = line.find(": ");
            lines.push_back(colon == std::string::npos ? line : line.substr(colon + 2));
        }
        return lines;
    }
    // How many logged messages contain text.
    int CountLogLines(const std::string& text) const
    {
        int count = 0;
        for (const std::string& line : LogLines())
            count += line.find(text) != std::string::npos;
        return count;
    }

private:
    TTempFolder mTemp;
};
