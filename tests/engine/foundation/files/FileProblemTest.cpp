#include "engine/foundation/files/FileProblem.h"

#include "engine/foundation/files/TPathMap.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/foundation/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class FileProblemTest : public EngineStateTest
{
protected:
    void SetUp() override
    {
        TPathMap::Get().SetWorkingFolder(mTemp.Path().c_str());
        TPathMap::Get().SetDataFolders(mTemp.MakeFolder("user").c_str(), "", "");
    }

    TTempFolder mTemp;
};

// Asset keys, working-folder paths and data-folder paths each name the reason.
TEST_F(FileProblemTest, EachReasonIsNamed)
{
    mTemp.Write("assets/audio/click.ogg", "OggS");
    mTemp.Write("assets/audio/empty.ogg", "");
    mTemp.Write("assets/audio/music.ogg/theme.ogg", "OggS"); // a folder of the file's name
    mTemp.Write("user/saved.dat", "1");
    mTemp.Write("user/blank.dat", "");
    mTemp.MakeFolder("user/shelf");
    ASSERT_EQ(mkfifo((mTemp / "user/pipe.dat").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo((mTemp / "assets/audio/pipe.ogg").c_str(), 0600), 0);
    LoadFinalList();
    struct TCase
    {
        const char* path;
        const char* problem;
    } cases[] = {
        {"audio/click.ogg", ""},
        {"audio/empty.ogg", "is empty"},
        {"audio/music.ogg", "is a folder"},
        {"audio/missing.ogg", "does not exist"},
        {"::assets/audio/click.ogg", ""},
        {"::assets/audio/music.ogg", "is a folder"},
        {"::assets/audio/none.ogg", "does not exist"},
        {"user:saved.dat", ""},
        {"user:blank.dat", "is empty"},
        {"user:shelf", "is a folder"},
        {"user:gone.dat", "does not exist"},
        {"user:pipe.dat", "is not a regular file"}, // not opened: that would wait for a writer
        {"audio/pipe.ogg", "is not a regular file"},
        {"", "does not exist"},
    };
    for (const TCase& c : cases)
        EXPECT_STREQ(DescribeFileProblem(c.path).CStr(), c.problem) << c.path;
}

} // namespace
