#pragma once

#include <memory>

// A loadable resource shared between its users: textures, animated textures, sounds,
// compiled scripts, models. An asset lives exactly as long as someone holds a shared
// pointer to it; the cache (TAssetManager) only keeps weak references.
//
// Class identity: every asset class has a static ClassId() giving a unique identifier,
// and answers IsKindOf for its own identifier and its bases'. A subclass writes:
//     static TClassId ClassId();   // { static const char id = 0; return &id; }
//     bool IsKindOf(TClassId id) const override { return id == ClassId() || TBase::IsKindOf(id); }
//
// Release and Restore bracket a display reset: device-dependent data is given up before
// and rebuilt after. Main thread only.
class TAsset : public std::enable_shared_from_this<TAsset>
{
public:
    using TClassId = const void*;

    static TClassId ClassId();

    virtual const char* GetClassName() const { return "TAsset"; }
    virtual bool IsKindOf(TClassId id) const { return id == ClassId(); }
    virtual ~TAsset() = default;
    virtual void Release() {}
    virtual void Restore() {}
};

// The asset as a shared pointer of class T, or empty when raw is null, is not a T, or is
// not owned by a shared pointer.
template <class T> std::shared_ptr<T> AssetCastRaw(TAsset* raw)
{
    if (raw == nullptr || !raw->IsKindOf(T::ClassId()))
        return nullptr;
    return std::static_pointer_cast<T>(raw->weak_from_this().lock());
}

template <class T> std::shared_ptr<T> AssetCast(const std::shared_ptr<TAsset>& asset)
{
    return AssetCastRaw<T>(asset.get());
}
