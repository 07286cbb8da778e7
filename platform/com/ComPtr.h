#pragma once
// Smart pointers to interfaces. CComPtr<T> holds one reference and never throws;
// ComPtr<T> is the throwing kind: creating from a class id and calling through a null pointer
// raise a _com_error.

#include <memory>
#include <type_traits>
#include <utility>

#include "platform/com/ClassRegistry.h"
#include "platform/com/ErrorInfo.h"

template <class T>
class CComPtr {
public:
    T* p = nullptr;

    CComPtr() = default;
    CComPtr(std::nullptr_t) {}
    CComPtr(T* object) : p(object) {
        if (p) p->AddRef();
    }
    CComPtr(const CComPtr& other) : CComPtr(other.p) {}
    CComPtr(CComPtr&& other) noexcept : p(std::exchange(other.p, nullptr)) {}
    ~CComPtr() {
        if (p) p->Release();
    }

    CComPtr& operator=(T* object) {
        if (object) object->AddRef();
        T* old = std::exchange(p, object);
        if (old) old->Release();
        return *this;
    }
    CComPtr& operator=(const CComPtr& other) { return *this = other.p; }
    CComPtr& operator=(CComPtr&& other) noexcept {
        if (this != std::addressof(other)) {
            T* old = std::exchange(p, std::exchange(other.p, nullptr));
            if (old) old->Release();
        }
        return *this;
    }

    operator T*() const { return p; }
    T& operator*() const { return *p; }
    T* operator->() const { return p; }
    // The address for an out parameter; releases the current object first.
    T** operator&() {
        Release();
        return &p;
    }
    bool operator!() const { return p == nullptr; }
    explicit operator bool() const { return p != nullptr; }

    void Release() {
        if (T* old = std::exchange(p, nullptr)) old->Release();
    }
    // Takes over a reference without AddRef.
    void Attach(T* object) {
        T* old = std::exchange(p, object);
        if (old) old->Release();
    }
    T* Detach() { return std::exchange(p, nullptr); }
    HRESULT CopyTo(T** out) const {
        if (!out) return E_POINTER;
        *out = p;
        if (p) p->AddRef();
        return S_OK;
    }
    template <class Q>
    HRESULT QueryInterface(Q** out) const {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!p) return E_POINTER;
        return p->QueryInterface(orv::com::UuidOf<Q>(), reinterpret_cast<void**>(out));
    }
    HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer = nullptr, DWORD context = CLSCTX_ALL) {
        Release();
        return ::CoCreateInstance(clsid, outer, context, orv::com::UuidOf<T>(), reinterpret_cast<void**>(&p));
    }
    HRESULT CoCreateInstance(LPCOLESTR progId, IUnknown* outer = nullptr, DWORD context = CLSCTX_ALL) {
        CLSID clsid;
        const HRESULT hr = ::CLSIDFromProgID(progId, &clsid);
        if (FAILED(hr)) {
            Release();
            return hr;
        }
        return CoCreateInstance(clsid, outer, context);
    }
    // Whether both point to the same object (same IUnknown).
    bool IsEqualObject(IUnknown* other) const {
        if (!p && !other) return true;
        if (!p || !other) return false;
        IUnknown* a = nullptr;
        IUnknown* b = nullptr;
        p->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a));
        other->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b));
        const bool same = a == b;
        if (a) a->Release();
        if (b) b->Release();
        return same;
    }
};

// A CComPtr that asks for its interface when given another.
template <class T>
class CComQIPtr : public CComPtr<T> {
public:
    CComQIPtr() = default;
    CComQIPtr(T* object) : CComPtr<T>(object) {}
    template <class Q>
        requires(!std::is_same_v<Q, T>)
    CComQIPtr(Q* object) {
        if (object) object->QueryInterface(orv::com::UuidOf<T>(), reinterpret_cast<void**>(&this->p));
    }
    CComQIPtr& operator=(T* object) {
        CComPtr<T>::operator=(object);
        return *this;
    }
};

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // AddRef's object (addRef false: takes over the caller's reference).
    ComPtr(T* object, bool addRef = true) : p_(object) {
        if (p_ && addRef) p_->AddRef();
    }
    // Asks another object for T's interface; null when it has none.
    template <class Q>
        requires(!std::is_same_v<Q, T>)
    explicit ComPtr(const ComPtr<Q>& other) {
        if (other) other->QueryInterface(orv::com::UuidOf<T>(), reinterpret_cast<void**>(&p_));
    }
    // Creates an instance; throws _com_error when that fails.
    explicit ComPtr(REFCLSID clsid, IUnknown* outer = nullptr, DWORD context = CLSCTX_ALL) {
        const HRESULT hr = CreateInstance(clsid, outer, context);
        if (FAILED(hr) && hr != E_NOINTERFACE) _com_issue_error(hr);
    }
    explicit ComPtr(LPCOLESTR progId, IUnknown* outer = nullptr, DWORD context = CLSCTX_ALL) {
        const HRESULT hr = CreateInstance(progId, outer, context);
        if (FAILED(hr) && hr != E_NOINTERFACE) _com_issue_error(hr);
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~ComPtr() { Release(); }

    ComPtr& operator=(T* object) {
        if (object) object->AddRef();
        T* old = std::exchange(p_, object);
        if (old) old->Release();
        return *this;
    }
    ComPtr& operator=(const ComPtr& other) { return *this = other.p_; }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != std::addressof(other)) {
            T* old = std::exchange(p_, std::exchange(other.p_, nullptr));
            if (old) old->Release();
        }
        return *this;
    }

    HRESULT CreateInstance(REFCLSID clsid, IUnknown* outer = nullptr, DWORD context = CLSCTX_ALL) {
        Release();
        return ::CoCreateInstance(clsid, outer, context, orv::com::UuidOf<T>(), reinterpret_cast<void**>(&p_));
    }
    HRESULT CreateInstance(LPCOLESTR progId, IUnknown* outer = nullptr, DWORD context = CLSCTX_ALL) {
        Release();
        CLSID clsid;
        const HRESULT hr = ::CLSIDFromProgID(progId, &clsid);
        if (FAILED(hr)) return hr;
        return CreateInstance(clsid, outer, context);
    }

    // Throws _com_error(E_POINTER) when null.
    T* operator->() const {
        if (!p_) _com_issue_error(E_POINTER);
        return p_;
    }
    T& operator*() const { return *operator->(); }
    operator T*() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    bool operator!() const { return p_ == nullptr; }
    T* GetInterfacePtr() const { return p_; }
    // The address for an out parameter; releases the current object first.
    T** operator&() {
        Release();
        return &p_;
    }
    void Attach(T* object, bool addRef = false) {
        if (object && addRef) object->AddRef();
        T* old = std::exchange(p_, object);
        if (old) old->Release();
    }
    T* Detach() { return std::exchange(p_, nullptr); }
    void Release() {
        if (T* old = std::exchange(p_, nullptr)) old->Release();
    }
    template <class Q>
    HRESULT QueryInterface(Q** out) const {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!p_) return E_POINTER;
        return p_->QueryInterface(orv::com::UuidOf<Q>(), reinterpret_cast<void**>(out));
    }

private:
    T* p_ = nullptr;
};

// IFooPtr for ComPtr<IFoo>, as the framework's smart pointer declarations name them.
#define ORV_SMARTPTR_TYPEDEF(Interface) using Interface##Ptr = ComPtr<Interface>

namespace orv::com {

// A new T (a ComObject) with arguments, held by one reference.
template <class T, class... Args>
CComPtr<T> MakeComObject(Args&&... args) {
    return CComPtr<T>(new T(std::forward<Args>(args)...));
}

}  // namespace orv::com
