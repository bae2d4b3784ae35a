#include "engine/foundation/host/TDllGameState.h"

#include "engine/foundation/files/TPathMap.h"
#include "engine/platform/TSharedLibrary.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/foundation/TempFolder.h"

#include <gtest/gtest.h>

namespace {

class TDllGameStateTest : public EngineStateTest
{
protected:
    // Plug-ins are found through the virtual file system, like the game's.
    void Map(const char* name, const char* path) { TPathMap::Get().Set(name, path); }
    TTempFolder mFolder;
};

TEST_F(TDllGameStateTest, ForwardsToTheModulesHandlerAndDestroysIt)
{
    Map("plugin.so", VELMORA_TEST_PLUGIN_COMPLETE);
    // Our own handle keeps the module loaded, so its counter can be read after unloading.
    std::unique_ptr<TSharedLibrary> watch = TSharedLibrary::Create(VELMORA_TEST_PLUGIN_COMPLETE);
    ASSERT_NE(watch, nullptr);
    auto destroyed = reinterpret_cast<int (*)()>(watch->FindSymbol("DestroyedCount"));
    ASSERT_NE(destroyed, nullptr);
    int before = destroyed();
    {
        TDllGameState state;
        ASSERT_TRUE(state.Load("plugin.so"));
        EXPECT_TRUE(state.SetState("plugin", "1"));
        EXPECT_FALSE(state.SetState("other", "1"));
        EXPECT_STREQ(state.GetState("who", "me"), "plugin");
        EXPECT_STREQ(state.GetState("else", "me"), "me");
        EXPECT_TRUE(state.QueryRestartMode());
        EXPECT_FALSE(state.QueryJumpToMenu());
        EXPECT_TRUE(state.QueryMuteGame());
        EXPECT_TRUE(state.IsHostPaused());
    }
    EXPECT_EQ(destroyed(), before + 1);
}

TEST_F(TDllGameStateTest, RefusedModulesAnswerLikeTheBase)
{
    Map("nodestroy.so", VELMORA_TEST_PLUGIN_NO_DESTROY);
    Map("nullhandler.so", VELMORA_TEST_PLUGIN_NULL_HANDLER);
    Map("broken.so", mFolder.Write("broken.so", "not a shared object").c_str());
    for (const char* name : {"nodestroy.so", "nullhandler.so", "broken.so", "missing.so"}) {
        SCOPED_TRACE(name);
        TDllGameState state;
        EXPECT_FALSE(state.Load(name));
        EXPECT_FALSE(state.SetState("plugin", "1"));
        EXPECT_STREQ(state.GetState("who", "me"), "me");
        EXPECT_FALSE(state.QueryRestartMode());
        EXPECT_FALSE(state.IsHostPaused());
    }
}

} // namespace
