#pragma once
// ComObject: the IUnknown part of a component object. A class derives from
// ComObject<IFoo, IBar> and implements the interfaces' other slots; QueryInterface answers for
// each listed interface and the interfaces they derive from.
//
// The reference count starts at 0, as the framework's objects do; MakeComObject returns the
// object held by a smart pointer (count 1). The object deletes itself when the count drops to 0.

#include <atomic>
#include <new>
#include <utility>

#include "platform/com/Unknown.h"

namespace orv::com {

namespace detail {

template <class I>
bool MatchInterface(I* p, REFIID iid, void** object) {
    if (iid == InterfaceTraits<I>::Id()) {
        *object = p;
        return true;
    }
    using Base = typename InterfaceTraits<I>::Base;
    if constexpr (!std::is_void_v<Base>) {
        return MatchInterface<Base>(static_cast<Base*>(p), iid, object);
    } else {
        return false;
    }
}

template <class First, class... Rest>
struct FirstOf {
    using Type = First;
};

}  // namespace detail

template <class... Interfaces>
class ComObject : public Interfaces... {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        const bool found = (detail::MatchInterface<Interfaces>(static_cast<Interfaces*>(this), iid, object) || ...);
        if (!found) {
            if (iid == IID_IUnknown) {
                *object = static_cast<IUnknown*>(static_cast<typename detail::FirstOf<Interfaces...>::Type*>(this));
            } else {
                *object = QueryExtraInterface(iid);
            }
        }
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
        const ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }
    template <class Q>
    HRESULT QueryInterface(Q** object) {
        return QueryInterface(UuidOf<Q>(), reinterpret_cast<void**>(object));
    }

    // The object's identity (its IUnknown), not AddRef'ed.
    IUnknown* GetUnknown() {
        return static_cast<IUnknown*>(static_cast<typename detail::FirstOf<Interfaces...>::Type*>(this));
    }

protected:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    virtual ~ComObject() = default;

    // Interfaces beyond the listed ones (for example those of an aggregated helper); return
    // the interface pointer, not AddRef'ed, or null.
    virtual void* QueryExtraInterface(REFIID) { return nullptr; }

private:
    std::atomic<ULONG> refs_{0};
};

}  // namespace orv::com

// The framework's way of creating such an object: CComObject<T>::CreateInstance(&p) gives a
// new T with a reference count of 0 (the first QueryInterface or AddRef takes it to 1).
template <class T>
class CComObject : public T {
public:
    using T::T;
    static HRESULT CreateInstance(CComObject<T>** object) {
        if (!object) return E_POINTER;
        *object = new (std::nothrow) CComObject<T>();
        return *object ? S_OK : E_OUTOFMEMORY;
    }
};
