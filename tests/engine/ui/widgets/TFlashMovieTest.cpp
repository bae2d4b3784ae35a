#include "engine/ui/widgets/TFlashMovie.h"

#include "tests/engine/EngineStateTest.h"
#include "tests/engine/graphics/ImageFolder.h"

#include <gtest/gtest.h>

namespace {

class TFlashMovieTest : public EngineStateTest
{
protected:
    TImageFolder mFolder;
};

// Without a movie player every start is refused with a log line naming the movie, in
// whatever mode it is asked for; the movie never plays and stopping it is harmless.
TEST_F(TFlashMovieTest, EveryStartIsRefusedWithALogLine)
{
    struct TCase
    {
        bool loop, translate, allowInput;
    };
    const TCase cases[] = {{false, false, false}, {false, true, true}, {true, false, true}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.loop) + std::to_string(c.translate) +
                     std::to_string(c.allowInput));
        TFlashMovie movie("intro.swf");
        EXPECT_FALSE(movie.Start(c.loop, c.translate, c.allowInput));
        EXPECT_FALSE(movie.IsPlaying());
        EXPECT_EQ(movie.GetPlayerVersion(), 0);
        movie.Stop();
        movie.Stop();
        EXPECT_FALSE(movie.IsPlaying());
    }
    EXPECT_EQ(mFolder.CountLogLines(TString::Printf(TFlashMovie::kNoPlayerLog, "intro.swf").CStr()),
              3);
}

} // namespace
