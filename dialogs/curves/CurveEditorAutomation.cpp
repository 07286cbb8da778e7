#include "dialogs/curves/CurveEditorAutomation.h"

#include "platform/com/ClassRegistry.h"

namespace Marlo {

// ---- DispatchDriver ----

DispatchDriver::DispatchDriver(LCID lcid, const IID& iid) : lcid_(lcid), iid_(iid) {}

DispatchDriver::~DispatchDriver() { ReleaseDispatch(); }

HRESULT DispatchDriver::CreateObject(const wchar_t* progId) {
    ReleaseDispatch();
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(progId, &clsid);
    if (FAILED(hr)) return hr;
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                            reinterpret_cast<void**>(&dispatch_));
}

void DispatchDriver::Attach(IDispatch* object) {
    ReleaseDispatch();
    dispatch_ = object;
    if (dispatch_) dispatch_->AddRef();
}

HRESULT DispatchDriver::GetIDOfName(const wchar_t* name, DISPID* id) {
    if (!dispatch_) return E_POINTER;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    return dispatch_->GetIDsOfNames(IID_NULL, names, 1, lcid_, id);
}

HRESULT DispatchDriver::Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result) {
    if (!dispatch_) return E_POINTER;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ClearExcepInfo(&excepInfo_);
    argErr_ = UINT(-1);
    return dispatch_->Invoke(id, iid_, lcid_, flags, params ? params : &none, result, &excepInfo_, &argErr_);
}

HRESULT DispatchDriver::InvokeByName(const wchar_t* name, WORD flags, DISPPARAMS* params, VARIANT* result) {
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = GetIDOfName(name, &id);
    if (FAILED(hr)) return hr;
    return Invoke(id, flags, params, result);
}

HRESULT DispatchDriver::PutProperty(const wchar_t* name, VARIANT* value, WORD flags) {
    if (!value) return E_POINTER;
    if (flags == 0) {
        const VARTYPE vt = VARTYPE(value->vt & ~VT_BYREF);
        flags = (vt == VT_DISPATCH || vt == VT_UNKNOWN) ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
    }
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{value, &named, 1, 1};
    return InvokeByName(name, flags, &params, nullptr);
}

HRESULT DispatchDriver::GetProperty(const wchar_t* name, VARIANT* result) {
    return InvokeByName(name, DISPATCH_PROPERTYGET, nullptr, result);
}

HRESULT DispatchDriver::CallMethod(const wchar_t* name, DISPPARAMS* params, VARIANT* result) {
    return InvokeByName(name, DISPATCH_METHOD, params, result);
}

void DispatchDriver::ReleaseDispatch() {
    if (dispatch_) {
        dispatch_->Release();
        dispatch_ = nullptr;
    }
    ClearExcepInfo(&excepInfo_);
    argErr_ = UINT(-1);
}

// ---- message filters ----

DWORD CoMessageFilter::HandleInComingCall(DWORD callType, HTASK caller, DWORD tickCount, LPINTERFACEINFO info) {
    if (previous_) return previous_->HandleInComingCall(callType, caller, tickCount, info);
    return SERVERCALL_ISHANDLED;
}

DWORD CoMessageFilter::RetryRejectedCall(HTASK, DWORD, DWORD) { return 1000; }

DWORD CoMessageFilter::MessagePending(HTASK, DWORD, DWORD) { return PENDINGMSG_WAITNOPROCESS; }

DWORD CoPendingLimitMessageFilter::MessagePending(HTASK, DWORD, DWORD) {
    if (limit_ <= 0) return PENDINGMSG_WAITNOPROCESS;
    if (counter_ >= limit_) return PENDINGMSG_CANCELCALL;
    ++counter_;
    return PENDINGMSG_WAITNOPROCESS;
}

MessageFilterScope::MessageFilterScope() {
    CComObject<CoMessageFilter>* filter = nullptr;
    if (FAILED(CComObject<CoMessageFilter>::CreateInstance(&filter))) return;
    filter->AddRef();
    IMessageFilter* previous = nullptr;
    if (FAILED(CoRegisterMessageFilter(filter, &previous))) {
        filter->Release();
        return;
    }
    filter->SetPrevious(previous);
    if (previous) previous->Release();  // SetPrevious keeps its own reference
    filter_ = filter;
}

MessageFilterScope::~MessageFilterScope() {
    if (!filter_) return;
    CComPtr<IMessageFilter> previous;
    previous.Attach(filter_->DetachPrevious());
    CoRegisterMessageFilter(previous, nullptr);  // the thread releases our filter
    filter_->Release();
}

}  // namespace Marlo
