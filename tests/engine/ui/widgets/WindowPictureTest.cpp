// Pictures that window scripts name but that cannot be loaded: said in the log once per
// name, with the window and the script file that asked for them.

#include "engine/ui/widgets/WindowPicture.h"

#include "engine/graphics/TTexture.h"
#include "engine/ui/widgets/TImage.h"
#include "tests/engine/LogLine.h"
#include "tests/engine/ui/script/WindowScriptTestSupport.h"

namespace {

class WindowPictureTest : public TWindowScriptTest
{
protected:
    // Opens the dialog file dlg/<name>.lua of these windows and closes it again.
    void OpenAndClose(const std::string& name, const std::string& windows)
    {
        AddFile("dlg/" + name + ".lua", "MakeDialog {\n" + windows + "\n}\n");
        Run("PushModal('dlg/" + name + ".lua') ReadFile('dlg/" + name + ".lua')");
        ASSERT_EQ(Depth(), 2);
        Turns(3);
        Run("CloseWindow()");
        Turns(3);
        ASSERT_EQ(Depth(), 1);
    }
    std::vector<std::string> PictureLines() const
    {
        std::vector<std::string> lines;
        for (const std::string& line : mFolder.LogLines()) {
            if (line.find(" cannot be loaded (asked for by ") != std::string::npos)
                lines.push_back(line);
        }
        return lines;
    }
};

TEST_F(WindowPictureTest, AMissingPictureIsLoggedOnceWithTheWindowAndScriptThatAskedForIt)
{
    const std::string good = PutPng("good.png", 4, 4, 0xff808080);
    struct TCase
    {
        const char* what;
        std::string windows;
        std::string picture;
        std::string asker; // up to the script's line number
    };
    const TCase cases[] = {
        {"an image", "Bitmap { name = 'logo', image = 'ui/lgo.png' }", "picture \"ui/lgo.png\"",
         "Bitmap \"logo\", assets/dlg/image.lua:"},
        {"an image's mask",
         "Bitmap { name = 'shade', image = '" + good + "', mask = 'ui/shade_mask.png' }",
         "picture \"" + good + "\" with mask \"ui/shade_mask.png\"",
         "Bitmap \"shade\", assets/dlg/masked.lua:"},
        {"a button's picture",
         "Button { name = 'play', graphics = { '" + good + "', 'ui/play_dwn.png', '" + good +
             "' } }",
         "picture \"ui/play_dwn.png\"", "Button \"play\", assets/dlg/button.lua:"},
        {"a button's mask", "Button { name = 'round', mask = 'ui/round_mask.png' }",
         "picture \"ui/round_mask.png\"", "Button \"round\", assets/dlg/buttonmask.lua:"},
        {"a slider's rail", "Slider { name = 'volume', w = 40, h = 10, railmid = 'ui/rail.png' }",
         "picture \"ui/rail.png\"", "Slider \"volume\", assets/dlg/slider.lua:"},
        {"a picture set by a script function",
         "Bitmap { name = 'photo', image = '" + good +
             "' },\n function() SetBitmap('photo', 'ui/foto.png') end",
         "picture \"ui/foto.png\"", "SetBitmap \"photo\", assets/dlg/setbitmap.lua:"},
    };
    const char* files[] = {"image", "masked", "button", "buttonmask", "slider", "setbitmap"};
    size_t index = 0;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = files[index++];
        // Twice, each time with frames drawn: still one line.
        for (int time = 0; time < 2; ++time)
            OpenAndClose(file + std::to_string(time), c.windows);
        // The line up to the script's line number: without its closing parenthesis.
        std::string expected = LogLine(kPictureNotLoadedLog, c.picture.c_str(), c.asker.c_str());
        expected.pop_back();
        expected.replace(expected.find(file + ".lua"), file.size(), file + "0");
        const std::vector<std::string> lines = PictureLines();
        ASSERT_EQ(lines.size(), index);
        const std::string& line = lines.back();
        EXPECT_EQ(line.rfind(expected, 0), 0u) << line;
        // The line number of the dialog file, then the end.
        const std::string rest = line.substr(std::min(expected.size(), line.size()));
        EXPECT_GT(std::atoi(rest.c_str()), 0) << line;
        EXPECT_EQ(rest.back(), ')') << line;
    }
}

TEST_F(WindowPictureTest, PicturesThatLoadAndEmptyNamesAreNotLogged)
{
    const std::string good = PutPng("good.png", 4, 4, 0xff808080);
    OpenAndClose("fine",
                 "Bitmap { name = 'a', image = '" + good + "' },\n Bitmap { name = 'b' },\n" +
                     "Button { name = 'c', graphics = { '" + good + "', '', '" + good + "' } }");
    EXPECT_TRUE(PictureLines().empty());
    EXPECT_NE(LoadWindowPicture(good.c_str(), 0, "a test"), nullptr);
    EXPECT_EQ(LoadWindowPicture("", 0, "a test"), nullptr);
    EXPECT_TRUE(PictureLines().empty());
    // Without a window script the caller says who asks; a style that cannot say where it
    // was written adds nothing.
    EXPECT_EQ(LoadWindowPicture("ui/none.png", 0, "a test"), nullptr);
    EXPECT_EQ(PictureLines(), (std::vector<std::string>{LogLine(
                                  kPictureNotLoadedLog, "picture \"ui/none.png\"", "a test")}));
    TImage image;
    image.SetName("still");
    EXPECT_EQ(DescribeAsker(image, TMapStyle()), "TImage \"still\"");
}

} // namespace
