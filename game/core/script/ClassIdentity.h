#pragma once

// The class identity of game objects, independent of the compiler's type information.
// Every class has a static TypeId function whose address is the class's identifier (the
// function answers the class's name, so no two classes share a body); the virtual
// IsKindOf answers for the class and each of its bases; KindCast down-casts through it.
// A class joins the scheme by deriving through Identified (Identified.h); a class that
// does not keeps its base's name and test.
//
//     class Entity : public Identified<ClassIdentity, "Entity"> { ... };
//     class Customer : public Identified<MovableEntity, "Customer"> { ... };
//     if (Customer* customer = KindCast<Customer>(entity)) ...

namespace YOLT::Core {

// A class's identifier: the address of its TypeId function.
using ClassId = const char* (*)();

class ClassIdentity
{
public:
    virtual ~ClassIdentity() = default;

    static const char* TypeId() { return "ClassIdentity"; }
    // Whether the object is of the class id or of a class derived from it.
    virtual bool IsKindOf(ClassId id) const { return id == &ClassIdentity::TypeId; }
    virtual const char* GetClassName() const { return TypeId(); }
};

// object as a T when it is of kind T, else null (also for a null object).
template <class T, class B> T* KindCast(B* object)
{
    return object != nullptr && object->IsKindOf(&T::TypeId) ? static_cast<T*>(object) : nullptr;
}

template <class T, class B> const T* KindCast(const B* object)
{
    return object != nullptr && object->IsKindOf(&T::TypeId) ? static_cast<const T*>(object)
                                                             : nullptr;
}

} // namespace YOLT::Core
