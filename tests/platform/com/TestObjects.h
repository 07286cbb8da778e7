#pragma once
// Small component objects for the component layer's tests.

#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Dispatch.h"
#include "platform/com/ErrorInfo.h"

namespace orv::com::test {

inline const IID IID_ICounter = GuidLiteral(L"{6B1D2C3A-0000-4000-8000-000000000001}");
inline const IID IID_ICounter2 = GuidLiteral(L"{6B1D2C3A-0000-4000-8000-000000000002}");
inline const IID IID_INamed = GuidLiteral(L"{6B1D2C3A-0000-4000-8000-000000000003}");
inline const CLSID CLSID_Counter = GuidLiteral(L"{6B1D2C3A-0000-4000-8000-0000000000C1}");

struct ICounter : IUnknown {
    virtual HRESULT Increment(LONG by) = 0;
    virtual HRESULT Value(LONG* value) = 0;

protected:
    ~ICounter() = default;
};

struct ICounter2 : ICounter {
    virtual HRESULT Reset() = 0;

protected:
    ~ICounter2() = default;
};

struct INamed : IUnknown {
    virtual HRESULT Name(BSTR* name) = 0;

protected:
    ~INamed() = default;
};

}  // namespace orv::com::test

ORV_INTERFACE(orv::com::test::ICounter, IUnknown, orv::com::test::IID_ICounter);
ORV_INTERFACE(orv::com::test::ICounter2, orv::com::test::ICounter, orv::com::test::IID_ICounter2);
ORV_INTERFACE(orv::com::test::INamed, IUnknown, orv::com::test::IID_INamed);

namespace orv::com::test {

// Counts its live instances so that tests can check every reference was released.
class Counter final : public ComObject<ICounter2, INamed, ISupportErrorInfo> {
public:
    static inline int live = 0;
    Counter() { ++live; }
    ~Counter() override { --live; }

    HRESULT Increment(LONG by) override {
        if (by < 0) return ReportError(IID_ICounter, L"Counters only count up.", E_INVALIDARG, L"Counter");
        value_ += by;
        return S_OK;
    }
    HRESULT Value(LONG* value) override {
        if (!value) return E_POINTER;
        *value = value_;
        return S_OK;
    }
    HRESULT Reset() override {
        value_ = 0;
        return S_OK;
    }
    HRESULT Name(BSTR* name) override {
        if (!name) return E_POINTER;
        *name = SysAllocString(L"counter");
        return S_OK;
    }
    HRESULT InterfaceSupportsErrorInfo(REFIID iid) override { return iid == IID_ICounter ? S_OK : S_FALSE; }

private:
    LONG value_ = 0;
};

inline ULONG RefCount(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

}  // namespace orv::com::test
