#pragma once
// IUnknown: the root of every component interface. Interfaces are abstract classes whose
// virtual functions are the interface's slots, in order.

#include "platform/com/Guid.h"
#include "platform/com/HResult.h"

#define STDMETHODCALLTYPE
using STDMETHODIMP = HRESULT;

extern const IID IID_IUnknown;  // {00000000-0000-0000-C000-000000000046}

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;  // objects are released, never deleted through an interface
};
