#include "engine/foundation/assets/TAsset.h"

#include "engine/foundation/assets/TAssetManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TFakeTexture : public TAsset
{
public:
    explicit TFakeTexture(std::vector<std::string>* calls = nullptr, std::string name = "")
        : mCalls(calls), mName(std::move(name))
    {
    }
    static TClassId ClassId()
    {
        static const char id = 0;
        return &id;
    }
    const char* GetClassName() const override { return "TFakeTexture"; }
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TAsset::IsKindOf(id); }
    void Release() override { Record("release"); }
    void Restore() override { Record("restore"); }

private:
    void Record(const char* what)
    {
        if (mCalls != nullptr)
            mCalls->push_back(mName + ":" + what);
    }
    std::vector<std::string>* mCalls;
    std::string mName;
};

class TFakeAnimation final : public TFakeTexture
{
public:
    static TClassId ClassId()
    {
        static const char id = 0;
        return &id;
    }
    bool IsKindOf(TClassId id) const override
    {
        return id == ClassId() || TFakeTexture::IsKindOf(id);
    }
};

class TFakeSound final : public TAsset
{
public:
    static TClassId ClassId()
    {
        static const char id = 0;
        return &id;
    }
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TAsset::IsKindOf(id); }
};

TEST(TAssetTest, CastsFollowTheClassTree)
{
    std::shared_ptr<TAsset> animation = std::make_shared<TFakeAnimation>();
    EXPECT_EQ(AssetCast<TFakeAnimation>(animation).get(), animation.get());
    EXPECT_EQ(AssetCast<TFakeTexture>(animation).get(), animation.get());
    EXPECT_EQ(AssetCast<TAsset>(animation).get(), animation.get());
    EXPECT_EQ(AssetCast<TFakeSound>(animation), nullptr);
    std::shared_ptr<TAsset> texture = std::make_shared<TFakeTexture>();
    EXPECT_EQ(AssetCast<TFakeAnimation>(texture), nullptr);
    EXPECT_EQ(AssetCastRaw<TFakeTexture>(nullptr), nullptr);
    EXPECT_STREQ(texture->GetClassName(), "TFakeTexture");
}

TEST(TAssetTest, AnAssetNotOwnedBySharedPointersCastsToEmpty)
{
    TFakeTexture onStack;
    EXPECT_EQ(AssetCastRaw<TFakeTexture>(&onStack), nullptr);
}

TEST(TAssetTest, RawCastSharesOwnership)
{
    auto texture = std::make_shared<TFakeTexture>();
    std::shared_ptr<TFakeTexture> again = AssetCastRaw<TFakeTexture>(texture.get());
    EXPECT_EQ(texture.use_count(), 2);
}

TEST(TAssetManagerTest, HoldsWeakReferencesOnly)
{
    TAssetManager manager;
    auto texture = std::make_shared<TFakeTexture>();
    manager.Add("ui/button:a:tex", texture);
    EXPECT_EQ(manager.Find("ui/button:a:tex"), texture);
    EXPECT_EQ(texture.use_count(), 1);
    texture.reset();
    EXPECT_EQ(manager.Find("ui/button:a:tex"), nullptr);
    EXPECT_EQ(manager.Find("never:tex"), nullptr);
    EXPECT_EQ(manager.GetEntryCount(), 2u) << "misses leave empty entries";
    manager.ReleaseAll();
    EXPECT_EQ(manager.GetEntryCount(), 0u);
}

TEST(TAssetManagerTest, AddReplacesAndRemoveErases)
{
    TAssetManager manager;
    auto first = std::make_shared<TFakeTexture>();
    auto second = std::make_shared<TFakeSound>();
    manager.Add("k", first);
    manager.Add("k", second);
    EXPECT_EQ(manager.Find("k"), second);
    manager.Remove("k");
    EXPECT_EQ(manager.GetEntryCount(), 0u);
    manager.Remove("k");
}

TEST(TAssetManagerTest, ReleaseComesBeforeRestoreInKeyOrder)
{
    std::vector<std::string> calls;
    TAssetManager manager;
    auto b = std::make_shared<TFakeTexture>(&calls, "b");
    auto a = std::make_shared<TFakeTexture>(&calls, "a");
    auto gone = std::make_shared<TFakeTexture>(&calls, "gone");
    manager.Add("b", b);
    manager.Add("a", a);
    manager.Add("c", gone);
    gone.reset();
    manager.ReleaseAll();
    manager.RestoreAll();
    std::vector<std::string> expected = {"a:release", "b:release", "a:restore", "b:restore"};
    EXPECT_EQ(calls, expected);
}

} // namespace
