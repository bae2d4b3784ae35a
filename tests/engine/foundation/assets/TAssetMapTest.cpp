#include "engine/foundation/assets/TAssetMap.h"

#include "engine/foundation/core/DebugLog.h"
#include "engine/foundation/files/TPathMap.h"
#include "tests/engine/EngineStateTest.h"
#include "tests/engine/foundation/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TFakeTexture final : public TAsset
{
public:
    static constexpr const char* kAssetMapNotFound = TAssetMap::kTextureNotFound;
    static TClassId ClassId()
    {
        static const char id = 0;
        return &id;
    }
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TAsset::IsKindOf(id); }
};

class TFakeSound final : public TAsset
{
public:
    static constexpr const char* kAssetMapNotFound = TAssetMap::kSoundNotFound;
    static TClassId ClassId()
    {
        static const char id = 0;
        return &id;
    }
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TAsset::IsKindOf(id); }
};

class TAssetMapTest : public EngineStateTest
{
protected:
    void SetUp() override
    {
        InitLog(mFolder.Path().c_str());
        auto texture = [this](const TString& path) -> std::shared_ptr<TAsset> {
            mLoaded.push_back(path.CStr());
            return mFailLoads ? nullptr : std::make_shared<TFakeTexture>();
        };
        auto sound = [this](const TString& path) -> std::shared_ptr<TAsset> {
            mLoaded.push_back(path.CStr());
            return std::make_shared<TFakeSound>();
        };
        TAssetMap::RegisterLoader("png", texture);
        TAssetMap::RegisterLoader("jpg", texture);
        TAssetMap::RegisterLoader("xml", texture);
        TAssetMap::RegisterLoader("ogg", sound);
    }
    // Makes the virtual file system answer that key exists.
    void Exists(const char* key) { TPathMap::Get().Set(key, (mFolder / "file").c_str()); }
    std::string Log() const { return TTempFolder::Read(mFolder / "logfile.txt"); }

    TTempFolder mFolder;
    TAssetMap mMap;
    std::vector<std::string> mLoaded;
    bool mFailLoads = false;
};

TEST_F(TAssetMapTest, BackslashesBecomeSlashesAndExtensionsAreProbed)
{
    Exists("ui/button.png");
    mMap.AddAsset("ui\\button");
    EXPECT_EQ(mLoaded, std::vector<std::string>{"ui/button.png"});
    EXPECT_NE(mMap.Get<TFakeTexture>("ui/button"), nullptr);
    EXPECT_NE(mMap.Get<TFakeTexture>("ui\\button"), nullptr);
    EXPECT_EQ(Log(), "");
}

TEST_F(TAssetMapTest, ExtensionsAreTriedInTheirOrder)
{
    Exists("bg.png");
    Exists("bg.jpg");
    Exists("bg.xml");
    mMap.AddAsset("bg");
    EXPECT_EQ(mLoaded, std::vector<std::string>{"bg.xml"});
    Exists("plain.jpg");
    mMap.AddAsset("plain.jpg");
    EXPECT_EQ(mLoaded.back(), "plain.jpg") << "a name that exists as given is taken as it is";
}

TEST_F(TAssetMapTest, QueryStaysInTheKeyButNotInTheFileLookedFor)
{
    Exists("sfx/ding.ogg");
    mMap.AddAsset("sfx\\ding?group=2");
    EXPECT_EQ(mLoaded, std::vector<std::string>{"sfx/ding.ogg?group=2"});
    EXPECT_NE(mMap.Get<TFakeSound>("sfx/ding?group=2"), nullptr);
}

TEST_F(TAssetMapTest, FailuresAreLoggedAndStoreNothing)
{
    struct TCase
    {
        const char* name;
        const char* exists; // null: nothing exists
        bool failLoad;
        const char* logLine;
    };
    const TCase cases[] = {
        {"missing", nullptr, false,
         "TAssetMap::AddAsset: Failed to find asset missing with any standard extension "
         "(jpg/png/anm/xml/ogg/mesh)"},
        {"notes.txt", "notes.txt", false, "TAssetMap::AddAsset: Error loading notes.txt"},
        {"readme", "readme", false, "TAssetMap::AddAsset: Error loading readme"},
        {"broken", "broken.png", true, "TAssetMap::AddAsset: Error loading broken.png"},
        {"odd?x=1", "odd.anm", false, "TAssetMap::AddAsset: Error loading odd.anm?x=1"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.exists)
            Exists(c.exists);
        mFailLoads = c.failLoad;
        InitLog(mFolder.Path().c_str());
        mMap.AddAsset(c.name);
        EXPECT_NE(Log().find(c.logLine), std::string::npos) << Log();
        EXPECT_EQ(mMap.GetCount(), 0u);
    }
}

TEST_F(TAssetMapTest, TypedLookupOfAnotherKindIsEmptyAndSilent)
{
    Exists("ui/panel.png");
    mMap.AddAsset("ui/panel");
    EXPECT_EQ(mMap.Get<TFakeSound>("ui/panel"), nullptr);
    EXPECT_EQ(Log(), "");
}

TEST_F(TAssetMapTest, MissingAssetsLoadOnlyWithAutoLoad)
{
    Exists("later.png");
    EXPECT_EQ(mMap.Get<TFakeTexture>("later"), nullptr);
    EXPECT_NE(Log().find("Texture asset not found: later (auto load set to false)"),
              std::string::npos);
    EXPECT_EQ(mMap.Get<TFakeSound>("quiet"), nullptr);
    EXPECT_NE(Log().find("Sound asset not found: quiet\n"), std::string::npos);
    EXPECT_TRUE(mLoaded.empty());

    mMap.SetAutoLoad(true);
    EXPECT_NE(mMap.Get<TFakeTexture>("later"), nullptr);
    EXPECT_EQ(mLoaded, std::vector<std::string>{"later.png"});
    EXPECT_EQ(mMap.Get<TFakeTexture>("gone"), nullptr);
    EXPECT_NE(Log().find("Texture asset not found: gone (auto load set to true)"),
              std::string::npos);
}

TEST_F(TAssetMapTest, TheMapHoldsItsAssetsAliveUntilCleared)
{
    Exists("a.png");
    Exists("b.ogg");
    const char* const names[] = {"a", "b", nullptr};
    mMap.AddAssets(names);
    std::weak_ptr<TFakeTexture> watch = mMap.Get<TFakeTexture>("a");
    EXPECT_FALSE(watch.expired());
    auto replacement = std::make_shared<TFakeTexture>();
    mMap.AddAsset("a", replacement);
    EXPECT_TRUE(watch.expired()) << "replacing drops the old asset";
    EXPECT_EQ(mMap.Get<TFakeTexture>("a"), replacement);
    std::weak_ptr<TFakeSound> sound = mMap.Get<TFakeSound>("b");
    mMap.Clear();
    EXPECT_TRUE(sound.expired());
    EXPECT_EQ(mMap.GetCount(), 0u);
}

} // namespace
