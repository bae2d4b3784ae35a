#pragma once

// Gives a game class its place in the class identity scheme (ClassIdentity.h): derive
// from Identified<Base, "Name"> instead of Base. The class gets its own TypeId (named
// Name), an IsKindOf that accepts it and everything Base accepts, and GetClassName.
// Base's constructors are inherited. Base must derive from ClassIdentity.

#include "game/core/script/ClassIdentity.h"

#include <algorithm>
#include <cstddef>
#include <type_traits>

namespace YOLT::Core {

// A class name as a template argument.
template <size_t N> struct ClassName
{
    constexpr ClassName(const char (&text)[N]) { std::copy_n(text, N, mText); }
    char mText[N];
};

template <class Base, ClassName Name> class Identified : public Base
{
    static_assert(std::is_base_of_v<ClassIdentity, Base>, "Base must derive from ClassIdentity");

public:
    using Base::Base;

    static const char* TypeId() { return Name.mText; }
    bool IsKindOf(ClassId id) const override
    {
        return id == &Identified::TypeId || Base::IsKindOf(id);
    }
    const char* GetClassName() const override { return TypeId(); }
};

} // namespace YOLT::Core
