#pragma once
// IUnknown: the root of every component interface. Interfaces are abstract classes whose
// virtual functions are the interface's slots, in order; they have no virtual destructor, so
// slot positions are exactly those of the declarations.

#include <type_traits>

#include "platform/com/Guid.h"
#include "platform/com/HResult.h"

#define STDMETHODCALLTYPE
using STDMETHODIMP = HRESULT;

extern const IID IID_IUnknown;  // {00000000-0000-0000-C000-000000000046}

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

    // Typed form: asks for Q's interface id.
    template <class Q>
    HRESULT QueryInterface(Q** object);

protected:
    ~IUnknown() = default;  // objects are released, never deleted through an interface
};
using LPUNKNOWN = IUnknown*;

namespace orv::com {

// The interface id of an interface type and the interface it derives from. Every interface
// that smart pointers or ComObject handle declares one with ORV_INTERFACE below.
template <class T>
struct InterfaceTraits;

template <>
struct InterfaceTraits<IUnknown> {
    using Base = void;
    static const IID& Id() { return IID_IUnknown; }
};

template <class T>
const IID& UuidOf() {
    return InterfaceTraits<std::remove_cv_t<T>>::Id();
}

}  // namespace orv::com

// Declares the interface id and base of an interface; use at global scope after the
// interface's definition, e.g. ORV_INTERFACE(IDispatch, IUnknown, IID_IDispatch).
#define ORV_INTERFACE(Interface, BaseInterface, iidObject) \
    template <>                                            \
    struct orv::com::InterfaceTraits<Interface> {          \
        using Base = BaseInterface;                        \
        static const IID& Id() { return iidObject; }       \
    }

template <class Q>
HRESULT IUnknown::QueryInterface(Q** object) {
    return QueryInterface(orv::com::UuidOf<Q>(), reinterpret_cast<void**>(object));
}
