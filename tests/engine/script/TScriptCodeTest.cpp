#include "engine/script/TScriptCode.h"

#include "ScriptTestSupport.h"
#include "engine/foundation/assets/TAssetManager.h"

#include <memory>
#include <string>

namespace {

using TScriptCodeTest = ScriptTest;

TEST_F(TScriptCodeTest, TheSameFileIsCompiledOnceWhileItsCodeIsHeld)
{
    TAssetManager cache;
    std::string path = WriteFile("scripts/config.lua", "width = 800\n");
    std::shared_ptr<TScriptCode> first = GetScriptCode(&cache, path.c_str(), "", nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_GT(first->GetLength(), 22u);
    EXPECT_EQ(first->GetBytes()[0], 27); // a precompiled chunk
    EXPECT_EQ(std::string(first->GetCode().CStr(), first->GetLength()),
              std::string(first->GetBytes(), first->GetLength()));
    EXPECT_STREQ(first->GetClassName(), "TScriptCode");
    EXPECT_TRUE(first->IsKindOf(TAsset::ClassId()));

    // Changing the file does not matter while the cached code lives.
    WriteFile("scripts/config.lua", "width = 1024\n");
    EXPECT_EQ(GetScriptCode(&cache, path.c_str(), "", nullptr), first);

    std::string oldCode(first->GetBytes(), first->GetLength());
    first.reset();
    std::shared_ptr<TScriptCode> second = GetScriptCode(&cache, path.c_str(), "", nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(std::string(second->GetBytes(), second->GetLength()), oldCode); // compiled again
}

TEST_F(TScriptCodeTest, FailuresGiveNothingAndTheLoadersMessage)
{
    TAssetManager cache;
    std::string broken = WriteFile("broken.lua", "x = = 1\n");
    TString error;
    EXPECT_EQ(GetScriptCode(&cache, broken.c_str(), "", &error), nullptr);
    EXPECT_NE(std::string(error.CStr()).find("broken.lua:1:"), std::string::npos) << error.CStr();

    error = "";
    EXPECT_EQ(GetScriptCode(&cache, VirtualPath("missing.lua").c_str(), "", &error), nullptr);
    EXPECT_NE(std::string(error.CStr()).find("cannot read"), std::string::npos) << error.CStr();

    EXPECT_EQ(GetScriptCode(&cache, "", "", nullptr), nullptr);
    EXPECT_EQ(GetScriptCode(&cache, broken.c_str(), "", nullptr), nullptr); // no error text asked
}

} // namespace
